#include "CMemorySettings.h"

#include <cstdlib>

namespace {
std::string Key(const std::string& section, const std::string& name)
{
    return section + "/" + name;
}
}  // namespace

std::string CMemorySettings::GetString(const std::string& section, const std::string& name,
                                       const std::string& fallback) const
{
    auto it = m_values.find(Key(section, name));
    return it == m_values.end() ? fallback : it->second;
}

void CMemorySettings::WriteString(const std::string& section, const std::string& name,
                                  const std::string& value)
{
    m_values[Key(section, name)] = value;
}

int CMemorySettings::GetInt(const std::string& section, const std::string& name, int fallback) const
{
    auto it = m_values.find(Key(section, name));
    return it == m_values.end() ? fallback : std::atoi(it->second.c_str());
}

void CMemorySettings::WriteInt(const std::string& section, const std::string& name, int value)
{
    m_values[Key(section, name)] = std::to_string(value);
}

bool CMemorySettings::Has(const std::string& section, const std::string& name) const
{
    return m_values.count(Key(section, name)) != 0;
}
