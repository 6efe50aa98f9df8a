#pragma once
#include <string>

// The per-user settings store (a section is a group, e.g. "Settings", and a
// value a key inside it, e.g. "Mono Intensity"). The desktop program backs it
// with QSettings; tests and the command line use CMemorySettings.
class ISettings {
public:
    virtual ~ISettings() = default;
    virtual std::string GetString(const std::string& section, const std::string& name,
                                  const std::string& fallback) const = 0;
    virtual void WriteString(const std::string& section, const std::string& name,
                             const std::string& value) = 0;
    virtual int GetInt(const std::string& section, const std::string& name, int fallback) const = 0;
    virtual void WriteInt(const std::string& section, const std::string& name, int value) = 0;
};
