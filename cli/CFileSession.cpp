#include "CFileSession.h"

CFileSession::CFileSession(int32_t displayBpp, IFileOps& files) : m_doc(m_shared, m_messages, m_settings, files)
{
    m_shared.m_nDisplayBpp = displayBpp;
}

bool CFileSession::Open(const std::string& path)
{
    m_messages.Clear();
    return m_doc.OnOpenDocument(path) && m_doc.m_pImage != nullptr;
}

bool CFileSession::Save(const std::string& path)
{
    m_messages.Clear();
    return m_doc.OnSaveDocument(path);
}

std::vector<std::string> CFileSession::Failure() const
{
    if (m_messages.m_messages.empty())
        return {"Not a FITS or SBIG Type 3 file name (.fit, .fits, .fts, .st*, .237, .255)."};
    return m_messages.m_messages;
}
