#include "CCommandLineInfo.h"

namespace {

bool IsEmbeddingSwitch(const QString& name)
{
    return name.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0
           || name.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0;
}

}  // namespace

CCommandLineInfo::CCommandLineInfo(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        // Here "/" also begins every absolute path, so only the two known
        // names make a "/" argument a switch.
        if (argument.startsWith(u'/') && IsEmbeddingSwitch(argument.mid(1))) {
            m_bShowSplash = false;
        } else if (argument.size() > 1 && argument.startsWith(u'-')) {
            if (argument == QLatin1String("--no-splash") || IsEmbeddingSwitch(argument.mid(1)))
                m_bShowSplash = false;
        } else if (m_strFileName.isEmpty()) {
            m_strFileName = argument;
        }
    }
}
