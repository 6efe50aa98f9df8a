#pragma once
#include <QObject>
#include <QStringList>

class ISettings;

// The four most recently opened or saved files, newest first, kept under
// "Recent File List" as "File1" to "File4".
class CRecentFileList : public QObject {
    Q_OBJECT

public:
    static constexpr int kSize = 4;

    explicit CRecentFileList(ISettings& settings);

    void ReadList();
    void WriteList() const;
    // Puts path first, dropping an older entry for the same file.
    void Add(const QString& path);
    void Remove(int index);
    const QStringList& Files() const { return m_files; }

signals:
    void changed();

private:
    ISettings& m_settings;
    QStringList m_files;
};
