#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "image/CAstroImage.h"
#include "support/CPosixFileOps.h"

class CBinaryFileReader;

// An SBIG Type 3 image: a 2048-byte text header (see CSbigHeader), then one
// plane of unsigned 16-bit little-endian pixels, raw or row-compressed (see
// CSbigRowCodec). Always monochrome, full scale 65535. Saving writes the
// header bytes as read and the plane in the form it was read in, so a
// header that announces compression stays true.
class CSbigImage : public CAstroImage {
public:
    CSbigImage(CSharedState& shared, IMessageSink& messages,
               IFileOps& fileOps = CPosixFileOps::Instance());

    bool Open(const std::string& path) override;
    int Save(const std::string& path) override;
    std::vector<std::string> HeaderLines() const override;

    std::vector<uint8_t> m_header;  // the 2048 header bytes as read
    bool m_compressed = false;      // the header announces compressed rows

private:
    bool ReadHeader(CBinaryFileReader& reader);
    bool ReadRawPlane(CBinaryFileReader& reader);
    bool ReadCompressedPlane(CBinaryFileReader& reader);
    // Reports message, closes the reader (a failed close adds its own
    // message) and returns false.
    bool FailOpen(CBinaryFileReader& reader, const char* message);

    IFileOps& m_fileOps;
};
