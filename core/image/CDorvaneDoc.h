#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "image/CFileTypeTable.h"
#include "support/CPosixFileOps.h"

class CAstroImage;
class IMessageSink;
class ISettings;
struct CSharedState;

struct CImageSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

// One opened image file: chooses the format from the file name's extension,
// records it as the favourite file type, owns the image and saves it back in
// its own format. Shared by the desktop program and the command line.
class CDorvaneDoc {
public:
    // files: the file layer its images read and write through (tests make
    // single steps fail through it).
    CDorvaneDoc(CSharedState& shared, IMessageSink& messages, ISettings& settings,
                IFileOps& files = CPosixFileOps::Instance());
    virtual ~CDorvaneDoc();
    CDorvaneDoc(const CDorvaneDoc&) = delete;
    CDorvaneDoc& operator=(const CDorvaneDoc&) = delete;

    // True when the image was read. False without a message when the path has
    // no extension of a known format; with a message when the file itself
    // could not be opened or read.
    bool OnOpenDocument(const std::string& path);
    // True when the image was written to path (in its own format).
    bool OnSaveDocument(const std::string& path);
    CImageSize GetImageSize() const;

    CAstroImage* m_pImage = nullptr;  // owned
    int32_t m_isFits = 0;             // 1 FITS, 0 SBIG Type 3

protected:
    // Makes the empty image for a file of the given format (Fits or Sbig).
    virtual std::unique_ptr<CAstroImage> CreateImage(EFileType type);

    CSharedState& m_shared;
    IMessageSink& m_messages;
    IFileOps& m_files;

private:
    ISettings& m_settings;
};
