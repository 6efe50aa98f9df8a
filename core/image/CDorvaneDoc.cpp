#include "CDorvaneDoc.h"

#include <filesystem>
#include <fstream>

#include "image/CAstroImage.h"
#include "image/CFitsImage.h"
#include "image/CSbigImage.h"
#include "support/IMessageSink.h"
#include "support/ISettings.h"

namespace {
// A file that cannot be opened for reading at all: missing, unreadable, or
// a folder (which opens as a stream on Linux but has no bytes to read).
bool CanOpenForReading(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return false;
    std::ifstream probe(path, std::ios::binary);
    return static_cast<bool>(probe);
}
}  // namespace

CDorvaneDoc::CDorvaneDoc(CSharedState& shared, IMessageSink& messages, ISettings& settings)
    : m_shared(shared), m_messages(messages), m_settings(settings)
{
}

CDorvaneDoc::~CDorvaneDoc()
{
    delete m_pImage;
}

bool CDorvaneDoc::OnOpenDocument(const std::string& path)
{
    // Checked first, so that a file that is not there changes nothing, not
    // even the favourite file type.
    if (!CanOpenForReading(path)) {
        m_messages.ShowError("Cannot open file " + path + ".");
        return false;
    }
    const EFileType type = CFileTypeTable::Lookup(path);
    if (type == EFileType::None)
        return false;

    m_isFits = type == EFileType::Fits ? 1 : 0;
    // Written before the image is read: a file with a bad header still
    // changes the favourite.
    m_settings.WriteString("Settings", "Favorite File Type", m_isFits ? "FITS" : "SBIG");

    delete m_pImage;
    m_pImage = nullptr;
    m_pImage = CreateImage(type).release();
    return m_pImage->Open(path);
}

bool CDorvaneDoc::OnSaveDocument(const std::string& path)
{
    if (m_pImage == nullptr)
        return false;
    return m_pImage->Save(path) == 1;
}

CImageSize CDorvaneDoc::GetImageSize() const
{
    if (m_pImage == nullptr)
        return {};
    return {m_pImage->m_width, m_pImage->m_height};
}

std::unique_ptr<CAstroImage> CDorvaneDoc::CreateImage(EFileType type)
{
    if (type == EFileType::Fits)
        return std::make_unique<CFitsImage>(m_shared, m_messages);
    return std::make_unique<CSbigImage>(m_shared, m_messages);
}
