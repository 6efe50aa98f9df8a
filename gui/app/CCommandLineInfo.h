#pragma once
#include <QString>
#include <QStringList>

// What the command line asks for: whether the splash may show, and the image
// to open at start-up. A switch begins with "-" ("/Embedding" and
// "/Automation" are also accepted); the first other argument is the file.
// "--no-splash" and the embedding and automation switches turn the splash
// off.
class CCommandLineInfo {
public:
    explicit CCommandLineInfo(const QStringList& arguments);

    bool m_bShowSplash = true;
    QString m_strFileName;
};
