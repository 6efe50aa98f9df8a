#pragma once
#include <QSettings>

#include "support/ISettings.h"

// The per-user settings of the desktop program, in QSettings under
// "Varrowin"/"Dorvane"; a section is a group ("Settings/Mono Intensity").
class CQtSettings : public ISettings {
public:
    CQtSettings();

    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) const override;
    void WriteString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    int GetInt(const std::string& section, const std::string& name, int fallback) const override;
    void WriteInt(const std::string& section, const std::string& name, int value) override;
    // Writes pending changes to the store.
    void Sync() { m_settings.sync(); }

private:
    static QString Key(const std::string& section, const std::string& name);
    mutable QSettings m_settings;
};
