#include "CDorvaneDoc.h"

#include <new>

#include "image/CAstroImage.h"
#include "image/CFitsImage.h"
#include "image/CSbigImage.h"
#include "support/CPosixFileOps.h"
#include "support/IMessageSink.h"
#include "support/ISettings.h"

namespace {
// A file that cannot be opened for reading at all: missing, unreadable, or
// not a regular file. The file layer looks at the type before it opens, so a
// named pipe or a device never makes this wait.
bool CanOpenForReading(const std::string& path)
{
    IFileOps& files = CPosixFileOps::Instance();
    const int fd = files.OpenRead(path);
    if (fd < 0)
        return false;
    files.Close(fd);
    return true;
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
    // An image too large for the memory left fails alone; whatever else is
    // open (other windows, other files of a batch) goes on.
    try {
        m_pImage = CreateImage(type).release();
        return m_pImage->Open(path);
    } catch (const std::bad_alloc&) {
        m_messages.ShowError("Not enough memory to open the image.");
        return false;
    }
}

bool CDorvaneDoc::OnSaveDocument(const std::string& path)
{
    if (m_pImage == nullptr)
        return false;
    try {
        return m_pImage->Save(path) == 1;
    } catch (const std::bad_alloc&) {
        // The writer has removed its temporary file on the way out.
        m_messages.ShowError("Not enough memory to save the image.");
        return false;
    }
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
