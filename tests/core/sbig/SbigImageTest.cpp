#include <gtest/gtest.h>

#include "CAllocationLimit.h"
#include "image/CSbigImage.h"
#include "sbig/SbigTestFiles.h"
#include "support/CCollectingMessageSink.h"
#include "support/CPosixFileOps.h"
#include "support/CSharedState.h"

namespace {

// The real file system, with one chosen step made to fail.
class CFailingFileOps : public CPosixFileOps {
public:
    int m_failWriteNumber = -1;  // 0-based count of WriteAll calls
    bool m_failRename = false;
    int m_writes = 0;

    bool WriteAll(int fd, const void* data, std::size_t size) override
    {
        if (m_writes++ == m_failWriteNumber)
            return false;
        return CPosixFileOps::WriteAll(fd, data, size);
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return !m_failRename && CPosixFileOps::Rename(from, to);
    }
};

const std::vector<std::string> kCompressedHeader = {"ST-7 Compressed Image", "Width = 64", "Height = 48", "End"};
const std::vector<std::string> kRawHeader = {"ST-7 Image", "Width = 64", "Height = 48", "End"};

class SbigImage : public ::testing::Test {
protected:
    SbigImage() { m_shared.m_nDisplayBpp = 32; }

    std::unique_ptr<CSbigImage> Open(const std::string& path, bool expectOk = true)
    {
        m_messages.Clear();
        auto image = std::make_unique<CSbigImage>(m_shared, m_messages, m_ops);
        EXPECT_EQ(image->Open(path), expectOk) << path;
        return image;
    }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::string path = m_folder.Path(name);
        WriteBytes(path, bytes);
        return path;
    }

    std::vector<std::string> Messages() const { return m_messages.m_messages; }

    CSbigTestFolder m_folder;
    CSharedState m_shared;
    CCollectingMessageSink m_messages;
    CFailingFileOps m_ops;
    const std::vector<uint32_t> m_frame = SkyFrame(64, 48, 7);
};

}  // namespace

TEST_F(SbigImage, UncompressedFileIsWrittenBackByteForByte)
{
    std::vector<uint32_t> values = m_frame;
    values[0] = 65535;
    values[1] = 256;
    const std::vector<uint8_t> source = Concat(MakeSbigHeader(kRawHeader), RawRows(values));
    const std::string path = Write("m42.st7", source);
    auto image = Open(path);
    EXPECT_EQ(image->m_red, values);
    EXPECT_EQ(image->m_displayPixels.size(), 64u * 48u * 4u);

    const std::string copy = m_folder.Path("copy.st7");
    ASSERT_EQ(image->Save(copy), 1);
    const std::vector<uint8_t> written = ReadBytes(copy);
    EXPECT_EQ(written, source);
    // 65535 as FF FF, 256 as 00 01.
    EXPECT_EQ(written[2048], 0xFF);
    EXPECT_EQ(written[2049], 0xFF);
    EXPECT_EQ(written[2050], 0x00);
    EXPECT_EQ(written[2051], 0x01);
}

TEST_F(SbigImage, CompressedFileReadsAndSavesCompressedAgain)
{
    // Rows as a camera writes them: coded, with escapes, and raw where coding
    // saves nothing (the noisy rows of the frame below).
    std::vector<uint32_t> values = m_frame;
    for (std::size_t x = 0; x < 64; ++x)
        values[5 * 64 + x] = static_cast<uint32_t>((x * 40503u) & 0xFFFF);
    const std::vector<uint8_t> rows = CompressedRows(values, 64);
    ASSERT_LT(rows.size(), 48u * (2u + 128u));
    const std::vector<uint8_t> source = Concat(MakeSbigHeader(kCompressedHeader), rows);
    const std::string path = Write("m42c.st7", source);
    auto image = Open(path);
    ASSERT_TRUE(image->m_compressed);
    EXPECT_EQ(image->m_red, values);

    // Unchanged: the same bytes. The encoding is canonical.
    ASSERT_EQ(image->Save(path), 1);
    EXPECT_EQ(ReadBytes(path), source);

    // Changed: still compressed after the same header, decoding to the change.
    image->m_red[0] = 0;
    image->m_red[64 * 48 - 1] = 65535;
    const std::string copy = m_folder.Path("changed.st7");
    ASSERT_EQ(image->Save(copy), 1);
    const std::vector<uint8_t> written = ReadBytes(copy);
    EXPECT_TRUE(std::equal(source.begin(), source.begin() + 2048, written.begin()));
    EXPECT_LT(written.size(), 2048u + 64u * 48u * 2u);
    auto reread = Open(copy);
    EXPECT_TRUE(reread->m_compressed);
    EXPECT_EQ(reread->m_red, image->m_red);
}

TEST_F(SbigImage, CorruptCompressedRowsAreRefused)
{
    const std::vector<uint8_t> header = MakeSbigHeader(kCompressedHeader);
    std::vector<uint8_t> rows = CompressedRows(m_frame, 64);
    const std::vector<std::string> dataFailed = {"Failed to read image data."};

    // A row count beyond twice the width.
    std::vector<uint8_t> bad = rows;
    bad[0] = 200;
    bad[1] = 0;
    Open(Write("long.st7", Concat(header, bad)), false);
    EXPECT_EQ(Messages(), dataFailed);

    // A row count below width+1.
    bad = rows;
    bad[0] = 64;
    Open(Write("short.st7", Concat(header, bad)), false);
    EXPECT_EQ(Messages(), dataFailed);

    // The file ends inside the last row, and before the first.
    bad.assign(rows.begin(), rows.end() - 1);
    Open(Write("cut.st7", Concat(header, bad)), false);
    EXPECT_EQ(Messages(), dataFailed);
    bad.assign(rows.begin(), rows.begin() + 40);
    auto image = Open(Write("cut2.st7", Concat(header, bad)), false);
    EXPECT_EQ(Messages(), dataFailed);
    EXPECT_TRUE(image->m_red.empty());

    // A length that fits the file but leaves the pixels one short: the next
    // row's count is then read as pixel bytes, and the row is refused.
    bad = rows;
    const std::size_t firstLength = bad[0] | (bad[1] << 8);
    ASSERT_LT(firstLength, 128u);
    bad[0] = static_cast<uint8_t>(firstLength - 1);
    Open(Write("shifted.st7", Concat(header, bad)), false);
    EXPECT_EQ(Messages(), dataFailed);
}

TEST_F(SbigImage, ShortAndOversizedFilesAreRefusedBeforeAllocating)
{
    // Shorter than the header.
    Open(Write("tiny.st7", std::vector<uint8_t>(1000, ' ')), false);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to read header."});

    // Data end early: a 60000 x 30000 frame over 100 bytes.
    auto image = Open(Write("huge.st7", Concat(MakeSbigHeader({"ST-7 Image", "Width = 60000", "Height = 30000", "End"}),
                                               std::vector<uint8_t>(100, 0))), false);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to read image data."});
    EXPECT_EQ(image->m_red.capacity(), 0u);
    image = Open(Write("hugec.st7", Concat(MakeSbigHeader({"ST-7 Compressed Image", "Width = 60000", "Height = 30000", "End"}),
                                           std::vector<uint8_t>(100, 0))), false);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to read image data."});
    EXPECT_EQ(image->m_red.capacity(), 0u);
    // One byte short of the last row.
    std::vector<uint8_t> raw = RawRows(m_frame);
    raw.pop_back();
    Open(Write("short.st7", Concat(MakeSbigHeader(kRawHeader), raw)), false);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to read image data."});

    const std::vector<std::string> sizeRefused = {"Image size is not supported."};
    Open(Write("neg.st7", MakeSbigHeader({"ST-7 Image", "Width = -4", "Height = 2", "End"})), false);
    EXPECT_EQ(Messages(), sizeRefused);
    Open(Write("big.st7", MakeSbigHeader({"ST-7 Image", "Width = 65536", "Height = 32768", "End"})), false);
    EXPECT_EQ(Messages(), sizeRefused);

    Open(m_folder.Path("missing.st7"), false);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to open file."});
}

TEST_F(SbigImage, FailedSaveLeavesTheTargetAndCanBeRetried)
{
    const std::vector<uint8_t> source = Concat(MakeSbigHeader(kCompressedHeader), CompressedRows(m_frame, 64));
    const std::string path = Write("m42.st7", source);
    auto image = Open(path);
    image->m_red[100] = 12345;

    // Same path: the in-place texts; the file keeps its old bytes.
    m_ops.m_writes = 0;
    m_ops.m_failWriteNumber = 0;
    EXPECT_EQ(image->Save(path), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to write header."});
    EXPECT_EQ(ReadBytes(path), source);

    m_messages.Clear();
    m_ops.m_writes = 0;
    m_ops.m_failWriteNumber = 1;
    EXPECT_EQ(image->Save(path), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to write image data."});
    EXPECT_EQ(ReadBytes(path), source);

    // Other path: the other-path texts; an existing target is kept.
    const std::string other = Write("other.st7", {1, 2, 3});
    m_messages.Clear();
    m_ops.m_writes = 0;
    m_ops.m_failWriteNumber = 0;
    EXPECT_EQ(image->Save(other), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to copy header."});
    m_messages.Clear();
    m_ops.m_failWriteNumber = -1;
    m_ops.m_failRename = true;
    EXPECT_EQ(image->Save(other), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to close file."});
    EXPECT_EQ(ReadBytes(other), (std::vector<uint8_t>{1, 2, 3}));
    // No temporary file is left behind.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        ++files;
    EXPECT_EQ(files, 2u);

    // Retried, it succeeds.
    m_ops.m_failRename = false;
    EXPECT_EQ(image->Save(path), 1);
    EXPECT_EQ(Open(path)->m_red, image->m_red);
}

TEST_F(SbigImage, RowThatNoCountCanHoldIsNotSaved)
{
    // Read compressed at 40000 pixels wide, then made too noisy to code in
    // 65535 bytes: refused rather than written with a wrapped count.
    CSbigImage image(m_shared, m_messages, m_ops);
    image.m_header = MakeSbigHeader({"ST-7 Compressed Image", "Width = 40000", "Height = 1", "End"});
    image.m_compressed = true;
    image.m_width = 40000;
    image.m_height = 1;
    image.m_red.assign(40000, 0);
    for (std::size_t x = 1; x < image.m_red.size(); x += 2)
        image.m_red[x] = 60000;
    const std::string target = Write("wide.st7", {9});
    EXPECT_EQ(image.Save(target), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to write image data."});
    EXPECT_EQ(ReadBytes(target), std::vector<uint8_t>{9});
}

TEST_F(SbigImage, AnImageWithoutRowsSavesWithoutABuffer)
{
    // Legal to open (no pixels), its width alone would size 4 GiB of rows.
    CSbigImage image(m_shared, m_messages, m_ops);
    image.m_header = MakeSbigHeader({"ST-7 Image", "Width = 2147483647", "Height = 0", "End"});
    image.m_width = 2147483647;
    image.m_height = 0;
    const std::string target = m_folder.Path("empty.st7");
    CAllocationLimit limit(std::size_t(1) << 20);
    EXPECT_EQ(image.Save(target), 1);
    EXPECT_EQ(ReadBytes(target), image.m_header);
}
