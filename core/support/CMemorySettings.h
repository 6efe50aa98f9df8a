#pragma once
#include <map>
#include <string>

#include "ISettings.h"

// An in-memory settings store, keyed "Section/Name".
class CMemorySettings : public ISettings {
public:
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) const override;
    void WriteString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    int GetInt(const std::string& section, const std::string& name, int fallback) const override;
    void WriteInt(const std::string& section, const std::string& name, int value) override;

    bool Has(const std::string& section, const std::string& name) const;
    std::map<std::string, std::string> m_values;
};
