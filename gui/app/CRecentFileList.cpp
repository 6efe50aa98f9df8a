#include "CRecentFileList.h"

#include <QFileInfo>

#include "support/ISettings.h"

namespace {

const std::string kSection = "Recent File List";

std::string EntryName(int index)
{
    return "File" + std::to_string(index + 1);
}

}  // namespace

CRecentFileList::CRecentFileList(ISettings& settings) : m_settings(settings) {}

void CRecentFileList::ReadList()
{
    m_files.clear();
    for (int i = 0; i < kSize; ++i) {
        const QString path = QString::fromStdString(m_settings.GetString(kSection, EntryName(i), ""));
        if (!path.isEmpty() && !m_files.contains(path))
            m_files << path;
    }
    emit changed();
}

void CRecentFileList::WriteList() const
{
    for (int i = 0; i < kSize; ++i)
        m_settings.WriteString(kSection, EntryName(i), i < m_files.size() ? m_files[i].toStdString() : "");
}

void CRecentFileList::Add(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(full);
    m_files.prepend(full);
    while (m_files.size() > kSize)
        m_files.removeLast();
    WriteList();
    emit changed();
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= m_files.size())
        return;
    m_files.removeAt(index);
    WriteList();
    emit changed();
}
