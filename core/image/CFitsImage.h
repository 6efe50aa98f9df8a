#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "CAstroImage.h"
#include "CFitsTrailer.h"
#include "support/CPosixFileOps.h"

class CAtomicFileWriter;
class CBinaryFileReader;
struct CFitsHeaderInfo;

// A FITS primary image: two axes (one plane) or three (three planes), 8 or 16
// bits per value, scaled by BSCALE and BZERO. Saving writes the header bytes
// as read, the planes re-encoded and then every byte that followed the data in
// the source file, so an unchanged image is written back byte for byte (a
// long trailer is copied from the file at that moment, see CFitsTrailer).
//
// The file is open only inside Open and Save; the file seam lets tests make
// any step fail.
class CFitsImage : public CAstroImage {
public:
    CFitsImage(CSharedState& shared, IMessageSink& messages,
               IFileOps& fileOps = CPosixFileOps::Instance());

    bool Open(const std::string& path) override;
    int Save(const std::string& path) override;
    std::vector<std::string> HeaderLines() const override;

    std::vector<uint8_t> m_header;   // every header byte as read (whole blocks)
    CFitsTrailer m_trailer;          // every byte after the last plane
    int32_t m_bzero = 0;
    int32_t m_bscale = 1;

private:
    bool CheckFormat(const CFitsHeaderInfo& info, CBinaryFileReader& reader);
    bool ReadPlane(CBinaryFileReader& reader, uint64_t offset, std::vector<uint32_t>& plane);
    bool WritePlane(CAtomicFileWriter& writer, const std::vector<uint32_t>& plane) const;
    int FailSave(const char* text);

    IFileOps& m_fileOps;
};
