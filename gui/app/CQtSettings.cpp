#include "CQtSettings.h"

CQtSettings::CQtSettings() : m_settings(QStringLiteral("Varrowin"), QStringLiteral("Dorvane")) {}

QString CQtSettings::Key(const std::string& section, const std::string& name)
{
    return QString::fromStdString(section) + u'/' + QString::fromStdString(name);
}

std::string CQtSettings::GetString(const std::string& section, const std::string& name,
                                   const std::string& fallback) const
{
    const QVariant value = m_settings.value(Key(section, name));
    if (!value.isValid())
        return fallback;
    return value.toString().toStdString();
}

void CQtSettings::WriteString(const std::string& section, const std::string& name,
                              const std::string& value)
{
    m_settings.setValue(Key(section, name), QString::fromStdString(value));
}

int CQtSettings::GetInt(const std::string& section, const std::string& name, int fallback) const
{
    const QVariant value = m_settings.value(Key(section, name));
    bool ok = false;
    const int result = value.toInt(&ok);
    return ok ? result : fallback;
}

void CQtSettings::WriteInt(const std::string& section, const std::string& name, int value)
{
    m_settings.setValue(Key(section, name), value);
}
