#include "CSbigImage.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

#include "image/CSbigHeader.h"
#include "image/CSbigRowCodec.h"
#include "support/CAtomicFileWriter.h"
#include "support/CBinaryFileReader.h"
#include "support/CLargeBuffer.h"
#include "support/CParallel.h"
#include "support/CSaveMessages.h"
#include "support/CSharedState.h"
#include "support/IMessageSink.h"

namespace {
constexpr std::size_t kHeaderReads = 32;
constexpr std::size_t kHeaderReadSize = CSbigHeader::kSize / kHeaderReads;
constexpr std::size_t kBlockBytes = std::size_t(4) << 20;  // one read block
// One write block: it stays in the core's cache from its encoding until the
// write has copied it into the file.
constexpr std::size_t kWriteBlockBytes = std::size_t(1) << 20;
constexpr int64_t kMaxPlaneValues = INT32_MAX;

// Rows per split half: the split pays off only for a large plane.
std::size_t MinRowsToSplit(int32_t width)
{
    const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 1;
    return std::max<std::size_t>(2, CParallel::kMinSplit / w);
}
}  // namespace

CSbigImage::CSbigImage(CSharedState& shared, IMessageSink& messages, IFileOps& fileOps)
    : CAstroImage(shared, messages), m_fileOps(fileOps)
{
}

bool CSbigImage::FailOpen(CBinaryFileReader& reader, const char* message)
{
    m_messages.ShowError(message);
    if (!reader.Close())
        m_messages.ShowError("Failed to close file.");
    return false;
}

bool CSbigImage::Open(const std::string& path)
{
    m_pathName = path;
    CBinaryFileReader reader(m_fileOps);
    if (!reader.Open(path)) {
        m_messages.ShowError("Failed to open file.");
        return false;
    }
    if (!ReadHeader(reader))
        return FailOpen(reader, "Failed to read header.");

    // Refused before anything is allocated: a negative size, or a plane
    // larger than the arrays can index.
    if (m_width < 0 || m_height < 0 ||
        static_cast<int64_t>(m_width) * static_cast<int64_t>(m_height) > kMaxPlaneValues)
        return FailOpen(reader, "Image size is not supported.");

    m_bitsPerPixel = 16;
    m_maxValue = 65535;
    m_shared.m_nFullScale = m_maxValue;

    const bool planeRead = m_compressed ? ReadCompressedPlane(reader) : ReadRawPlane(reader);
    if (!planeRead)
        return FailOpen(reader, "Failed to read image data.");
    if (!reader.Close()) {
        m_messages.ShowError("Failed to close file.");
        return false;
    }

    FinishOpen();
    return true;
}

bool CSbigImage::ReadHeader(CBinaryFileReader& reader)
{
    m_header.assign(CSbigHeader::kSize, 0);
    for (std::size_t i = 0; i < kHeaderReads; ++i) {
        if (!reader.ReadExact(m_header.data() + i * kHeaderReadSize, kHeaderReadSize))
            return false;  // the file is shorter than its header
    }
    m_compressed = CSbigHeader::AnnouncesCompression(m_header.data(), m_header.size());
    return CSbigHeader::Scan(m_header.data(), m_header.size(), m_width, m_height);
}

bool CSbigImage::ReadRawPlane(CBinaryFileReader& reader)
{
    const std::size_t width = static_cast<std::size_t>(m_width);
    const std::size_t height = static_cast<std::size_t>(m_height);
    const std::size_t rowBytes = 2 * width;
    const uint64_t start = reader.Position();
    if (reader.Remaining() < static_cast<uint64_t>(rowBytes) * height)
        return false;  // the data end early: refused before allocating

    CLargeBuffer::AssignZeroed(m_red, width * height);
    if (rowBytes == 0)
        return true;
    const std::size_t rowsPerBlock = std::max<std::size_t>(1, kBlockBytes / rowBytes);
    std::atomic<bool> ok{true};
    CParallel::ForRange(height, [&](std::size_t begin, std::size_t end, unsigned) {
        std::vector<uint8_t> block(std::min(rowsPerBlock, end - begin) * rowBytes);
        for (std::size_t row = begin; row < end && ok; row += rowsPerBlock) {
            const std::size_t rows = std::min(rowsPerBlock, end - row);
            if (!reader.ReadExactAt(block.data(), rows * rowBytes, start + row * rowBytes)) {
                ok = false;
                return;
            }
            uint32_t* out = m_red.data() + row * width;
            const uint8_t* in = block.data();
            const std::size_t count = rows * width;
            for (std::size_t i = 0; i < count; ++i)
                out[i] = static_cast<uint32_t>(in[2 * i]) | (static_cast<uint32_t>(in[2 * i + 1]) << 8);
        }
    }, MinRowsToSplit(m_width));
    reader.Skip(static_cast<uint64_t>(rowBytes) * height);
    return ok;
}

bool CSbigImage::ReadCompressedPlane(CBinaryFileReader& reader)
{
    const std::size_t width = static_cast<std::size_t>(m_width);
    const std::size_t height = static_cast<std::size_t>(m_height);
    // Every row takes at least MinRowBytes: a file too short for that is
    // refused before anything is allocated. Bytes beyond the longest possible
    // plane are never needed.
    const uint64_t remaining = reader.Remaining();
    if (remaining < static_cast<uint64_t>(CSbigRowCodec::MinRowBytes(m_width)) * height)
        return false;
    const uint64_t longest = static_cast<uint64_t>(CSbigRowCodec::MaxRowBytes(m_width)) * height;
    std::vector<uint8_t> data(static_cast<std::size_t>(std::min(remaining, longest)));
    if (!reader.ReadExact(data.data(), data.size()))
        return false;

    // Rows have their own lengths: find where each starts, then decode the
    // two halves of the plane at once.
    std::vector<std::size_t> rowStart(height + 1);
    std::size_t pos = 0;
    for (std::size_t row = 0; row < height; ++row) {
        if (data.size() - pos < 2)
            return false;
        const std::size_t length = data[pos] | (static_cast<std::size_t>(data[pos + 1]) << 8);
        if (data.size() - pos - 2 < length)
            return false;
        rowStart[row] = pos;
        pos += 2 + length;
    }
    rowStart[height] = pos;

    CLargeBuffer::AssignZeroed(m_red, width * height);
    std::atomic<bool> ok{true};
    CParallel::ForRange(height, [&](std::size_t begin, std::size_t end, unsigned) {
        for (std::size_t row = begin; row < end && ok; ++row) {
            const uint8_t* body = data.data() + rowStart[row] + 2;
            const std::size_t length = rowStart[row + 1] - rowStart[row] - 2;
            if (!CSbigRowCodec::DecodeRow(body, length, m_width, m_red.data() + row * width))
                ok = false;
        }
    }, MinRowsToSplit(m_width));
    return ok;
}

std::vector<std::string> CSbigImage::HeaderLines() const
{
    return CSbigHeader::Lines(m_header.data(), m_header.size());
}

int CSbigImage::Save(const std::string& path)
{
    const bool samePath = CSaveMessages::IsSamePath(path, m_pathName);
    auto fail = [&](ESaveStep step) {
        m_messages.ShowError(CSaveMessages::Text(step, samePath));
        return 0;
    };

    const std::size_t width = m_width > 0 ? static_cast<std::size_t>(m_width) : 0;
    const std::size_t height = m_height > 0 ? static_cast<std::size_t>(m_height) : 0;

    auto writer = std::make_unique<CAtomicFileWriter>(m_fileOps);
    if (!writer->Begin(path))
        return fail(writer->BeginFailure());
    if (!writer->Write(m_header.data(), m_header.size()))
        return fail(ESaveStep::Header);
    if (m_red.size() < width * height)
        return fail(ESaveStep::ImageData);

    // Rows are gathered into large blocks, one write per block. An image
    // without rows needs no block: its width alone may be in the billions.
    const std::size_t maxRow = CSbigRowCodec::MaxRowBytes(m_width);
    const std::size_t rowsPerBlock = std::max<std::size_t>(1, kWriteBlockBytes / maxRow);
    std::vector<uint8_t> block(height == 0 ? 0 : std::min(rowsPerBlock, height) * maxRow);
    for (std::size_t row = 0; row < height; row += rowsPerBlock) {
        const std::size_t rows = std::min(rowsPerBlock, height - row);
        std::size_t used = 0;
        for (std::size_t r = row; r < row + rows; ++r) {
            const uint32_t* values = m_red.data() + r * width;
            if (m_compressed) {
                const std::size_t n = CSbigRowCodec::EncodeRow(values, m_width, block.data() + used);
                if (n == 0)
                    return fail(ESaveStep::ImageData);
                used += n;
            } else {
                uint8_t* out = block.data() + used;
                for (std::size_t x = 0; x < width; ++x) {
                    out[2 * x] = static_cast<uint8_t>(values[x] & 0xFF);
                    out[2 * x + 1] = static_cast<uint8_t>((values[x] >> 8) & 0xFF);
                }
                used += 2 * width;
            }
        }
        if (!writer->Write(block.data(), used))
            return fail(ESaveStep::ImageData);
    }
    bool deferred = false;
    if (!CommitSave(std::move(writer), deferred))
        return fail(ESaveStep::Close);
    return 1;
}
