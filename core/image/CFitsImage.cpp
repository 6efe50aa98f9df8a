#include "CFitsImage.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "CFitsHeader.h"
#include "CFitsPixelCodec.h"
#include "support/CAtomicFileWriter.h"
#include "support/CBinaryFileReader.h"
#include "support/CLargeBuffer.h"
#include "support/CParallel.h"
#include "support/CSaveMessages.h"
#include "support/CSharedState.h"
#include "support/IMessageSink.h"

namespace {

// Values per block read: big enough to keep system calls rare, small enough
// for the block to stay in the core's cache while it is converted.
constexpr std::size_t kBlockValues = std::size_t(1) << 17;
// Values per block written: a megabyte or less.
constexpr std::size_t kWriteBlockValues = std::size_t(1) << 19;

constexpr uint64_t kMaxPlaneValues = 2147483647u;

}  // namespace

CFitsImage::CFitsImage(CSharedState& shared, IMessageSink& messages, IFileOps& fileOps)
    : CAstroImage(shared, messages), m_fileOps(fileOps)
{
}

bool CFitsImage::Open(const std::string& path)
{
    m_pathName = path;
    CBinaryFileReader reader(m_fileOps);
    if (!reader.Open(path)) {
        m_messages.ShowError("Failed to open file.");
        return false;
    }

    CFitsHeaderInfo info;
    m_header.clear();
    bool problem = false;
    if (!CFitsHeader::Scan(reader, info)) {
        m_messages.ShowError("Failed to read header.");
        problem = true;
    }
    if (info.axes == 2) {
        m_isColor = false;
    } else if (info.axes == 3) {
        m_isColor = true;
    } else {
        m_messages.ShowError("File has incorrect number of axes.");
        problem = true;
    }
    m_width = info.width;
    m_height = info.height;
    m_bitsPerPixel = info.bitsPerPixel;
    m_bzero = info.bzero;
    m_bscale = info.bscale;
    if (problem) {
        if (!reader.Close())
            m_messages.ShowError("Failed to close file.");
        return false;
    }
    if (!CheckFormat(info, reader))
        return false;

    // The header's bytes are read only now that the file is accepted.
    const uint64_t dataStart = reader.Position();
    m_header.resize(static_cast<std::size_t>(dataStart));
    if (!reader.ReadExactAt(m_header.data(), m_header.size(), 0)) {
        m_messages.ShowError("Failed to read header.");
        return false;
    }
    m_shared.m_nFullScale = m_maxValue;
    const uint64_t planeBytes = static_cast<uint64_t>(m_width) * static_cast<uint64_t>(m_height) *
                                CFitsPixelCodec(m_bitsPerPixel, 1, 0).BytesPerValue();
    const int planes = m_isColor ? 3 : 1;
    std::vector<uint32_t>* targets[3] = {&m_red, &m_green, &m_blue};
    for (int p = 0; p < planes; ++p) {
        if (!ReadPlane(reader, dataStart + static_cast<uint64_t>(p) * planeBytes, *targets[p])) {
            m_messages.ShowError("Failed to read image data.");
            return false;
        }
    }
    reader.Skip(static_cast<uint64_t>(planes) * planeBytes);
    if (!m_trailer.Read(reader, path)) {
        m_messages.ShowError("Failed to read image data.");
        return false;
    }
    if (!reader.Close()) {
        m_messages.ShowError("Failed to close file.");
        return false;
    }
    FinishOpen();
    return true;
}

// The refusals that come before anything is allocated.
bool CFitsImage::CheckFormat(const CFitsHeaderInfo& info, CBinaryFileReader& reader)
{
    if (info.bitsPerPixel == 8) {
        m_maxValue = 255;
    } else if (info.bitsPerPixel == 16) {
        m_maxValue = 65535;
    } else if (info.bitsPerPixel == 32) {
        m_messages.ShowError("32-bit File formats are not supported.");
        return false;
    } else {
        m_messages.ShowError("Failed to open file format.");
        return false;
    }
    if (!info.bzeroInRange || !info.bscaleInRange) {
        m_messages.ShowError(info.bzeroInRange ? "BSCALE value is out of range." : "BZERO value is out of range.");
        return false;
    }
    // A scale whose integer part is 0 could not be undone when saving.
    if (info.bscale == 0) {
        m_messages.ShowError("BSCALE values below 1 are not supported.");
        return false;
    }
    if (info.width < 0 || info.height < 0 ||
        static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.height) > kMaxPlaneValues) {
        m_messages.ShowError("Image size is not supported.");
        return false;
    }
    const uint64_t values = static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.height);
    const uint64_t dataBytes = values * (m_isColor ? 3 : 1) * (info.bitsPerPixel / 8);
    if (reader.Remaining() < dataBytes) {
        m_messages.ShowError("Failed to read image data.");
        return false;
    }
    return true;
}

bool CFitsImage::ReadPlane(CBinaryFileReader& reader, uint64_t offset, std::vector<uint32_t>& plane)
{
    const std::size_t count = static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height);
    CLargeBuffer::AssignZeroed(plane, count);
    const CFitsPixelCodec codec(m_bitsPerPixel, m_bscale, m_bzero);
    const std::size_t bytesPer = codec.BytesPerValue();
    std::atomic<bool> failed{false};
    CParallel::ForRange(count, [&](std::size_t begin, std::size_t end, unsigned) {
        std::vector<uint8_t> block(std::min(kBlockValues, end - begin) * bytesPer);
        for (std::size_t at = begin; at < end && !failed; at += kBlockValues) {
            const std::size_t n = std::min(kBlockValues, end - at);
            if (!reader.ReadExactAt(block.data(), n * bytesPer, offset + at * bytesPer)) {
                failed = true;
                return;
            }
            codec.Decode(block.data(), n, plane.data() + at);
        }
    });
    return !failed;
}

std::vector<std::string> CFitsImage::HeaderLines() const
{
    return CFitsHeader::Cards(m_header);
}

int CFitsImage::Save(const std::string& path)
{
    const bool samePath = CSaveMessages::IsSamePath(path, m_pathName);
    auto writer = std::make_unique<CAtomicFileWriter>(m_fileOps);
    if (!writer->Begin(path))
        return FailSave(CSaveMessages::Text(writer->BeginFailure(), samePath));
    if (!writer->Write(m_header.data(), m_header.size()))
        return FailSave(CSaveMessages::Text(ESaveStep::Header, samePath));
    const std::vector<uint32_t>* planes[3] = {&m_red, &m_green, &m_blue};
    for (int p = 0; p < (m_isColor ? 3 : 1); ++p) {
        if (!WritePlane(*writer, *planes[p]))
            return FailSave(CSaveMessages::Text(ESaveStep::ImageData, samePath));
    }
    // A stream whose trailer write failed fails its close: same message.
    const CFitsTrailer::EWrite trailer = m_trailer.WriteTo(*writer, m_fileOps);
    if (trailer == CFitsTrailer::EWrite::SourceChanged)
        return FailSave("File has changed since it was opened.");
    bool deferred = false;
    if (trailer != CFitsTrailer::EWrite::Written || !CommitSave(std::move(writer), deferred))
        return FailSave(CSaveMessages::Text(ESaveStep::Close, samePath));
    if (!deferred) {
        const uint64_t trailerAt = m_header.size() + static_cast<uint64_t>(m_isColor ? 3 : 1) *
                                                         static_cast<uint64_t>(std::max(m_width, 0)) *
                                                         static_cast<uint64_t>(std::max(m_height, 0)) *
                                                         CFitsPixelCodec(m_bitsPerPixel, 1, 0).BytesPerValue();
        m_trailer.FollowSave(path, m_fileOps, trailerAt);
    }
    return 1;
}

bool CFitsImage::WritePlane(CAtomicFileWriter& writer, const std::vector<uint32_t>& plane) const
{
    const std::size_t count = static_cast<std::size_t>(std::max(m_width, 0)) *
                              static_cast<std::size_t>(std::max(m_height, 0));
    if (plane.size() < count || m_bscale == 0)
        return false;
    const CFitsPixelCodec codec(m_bitsPerPixel, m_bscale, m_bzero);
    const std::size_t bytesPer = codec.BytesPerValue();
    // Encoded on this thread, block by block, each small enough to stay in
    // the core's cache until the write has copied it into the file. The
    // copy costs more than the encoding; splitting each block over two
    // threads cost a thread start and a wait for the slower half per block.
    std::vector<uint8_t> block(std::min(kWriteBlockValues, count) * bytesPer);
    for (std::size_t at = 0; at < count; at += kWriteBlockValues) {
        const std::size_t n = std::min(kWriteBlockValues, count - at);
        codec.Encode(plane.data() + at, n, block.data());
        if (!writer.Write(block.data(), n * bytesPer))
            return false;
    }
    return true;
}

int CFitsImage::FailSave(const char* text)
{
    m_messages.ShowError(text);
    return 0;
}
