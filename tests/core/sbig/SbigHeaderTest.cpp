#include <gtest/gtest.h>

#include "image/CSbigImage.h"
#include "sbig/SbigTestFiles.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

class SbigHeaderScan : public ::testing::Test {
protected:
    // Opens a file of header lines (LF CR endings unless told) followed by
    // the given data bytes.
    bool OpenWith(const std::vector<std::string>& lines, const std::vector<uint8_t>& data,
                  const std::string& ending = "\n\r")
    {
        const std::string path = m_folder.Path("frame.st7");
        WriteBytes(path, Concat(MakeSbigHeader(lines, ending), data));
        m_messages.Clear();
        m_image = std::make_unique<CSbigImage>(m_shared, m_messages);
        return m_image->Open(path);
    }

    CSbigTestFolder m_folder;
    CSharedState m_shared;
    CCollectingMessageSink m_messages;
    std::unique_ptr<CSbigImage> m_image;
};

const std::vector<std::string> kHeaderFailed = {"Failed to read header."};

}  // namespace

TEST_F(SbigHeaderScan, ReadsLittleEndianPixelsOfTheAnnouncedSize)
{
    std::vector<uint8_t> data = RawRows({1, 2, 3, 4, 5, 6, 7, 8});
    data[0] = 0x34;
    data[1] = 0x12;
    ASSERT_TRUE(OpenWith({"ST-7 Image", "Width = 4", "Height = 2", "End"}, data));
    EXPECT_EQ(m_image->m_width, 4);
    EXPECT_EQ(m_image->m_height, 2);
    EXPECT_EQ(m_image->m_red, (std::vector<uint32_t>{4660, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(m_image->m_maxValue, 65535u);
    EXPECT_EQ(m_image->m_bitsPerPixel, 16);
    EXPECT_FALSE(m_image->m_isColor);
    EXPECT_FALSE(m_image->m_compressed);
    EXPECT_EQ(m_shared.m_nFullScale, 65535u);
    EXPECT_TRUE(m_messages.m_messages.empty());
}

TEST_F(SbigHeaderScan, KeywordsCountInAnyOrderAndRepeated)
{
    const std::vector<uint8_t> data = RawRows({1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_TRUE(OpenWith({"ST-7 Image", "Height = 2", "Note = x", "Width = 4", "End"}, data));
    EXPECT_EQ(m_image->m_width, 4);
    EXPECT_EQ(m_image->m_height, 2);

    // Two Width lines count as two: an image without pixels, the last wins.
    ASSERT_TRUE(OpenWith({"ST-7 Image", "Width = 4", "Width = 5", "End"}, {}));
    EXPECT_EQ(m_image->m_width, 5);
    EXPECT_EQ(m_image->m_height, 0);
    EXPECT_TRUE(m_image->m_red.empty());
    EXPECT_EQ(m_image->m_stretchLow, 0);
    EXPECT_EQ(m_image->m_stretchHigh, 65535);

    EXPECT_FALSE(OpenWith({"ST-7 Image", "Width = 4", "End"}, data));
    EXPECT_EQ(m_messages.m_messages, kHeaderFailed);
    // Keywords after "End" are not seen; no "End" at all fails.
    EXPECT_FALSE(OpenWith({"ST-7 Image", "Width = 4", "End", "Height = 2"}, data));
    EXPECT_FALSE(OpenWith({"ST-7 Image", "Width = 4", "Height = 2"}, data));
    EXPECT_EQ(m_messages.m_messages, kHeaderFailed);
}

TEST_F(SbigHeaderScan, LineFeedBeforeCarriageReturnKeepsKeywordsAtLineStart)
{
    const std::vector<std::string> lines = {"ST-7 Image", "Width = 4", "Height = 2", "End"};
    const std::vector<uint8_t> data = RawRows({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_TRUE(OpenWith(lines, data, "\n\r"));
    EXPECT_TRUE(OpenWith(lines, data, "\r"));
    // CR LF puts the line feed at the start of every following line.
    EXPECT_FALSE(OpenWith(lines, data, "\r\n"));
    EXPECT_EQ(m_messages.m_messages, kHeaderFailed);
}

TEST_F(SbigHeaderScan, LinesAreCutAfter64Bytes)
{
    const std::vector<uint8_t> data = RawRows({1, 2, 3, 4, 5, 6, 7, 8});
    // 64 bytes of text, then "Height" begins a piece of its own.
    EXPECT_TRUE(OpenWith({"ST-7 Image", std::string(64, 'a') + "Height = 2", "Width = 4", "End"}, data));
    EXPECT_EQ(m_image->m_height, 2);
    // 63 bytes: the cut falls inside "Height", which is then not seen.
    EXPECT_FALSE(OpenWith({"ST-7 Image", std::string(63, 'a') + "Height = 2", "Width = 4", "End"}, data));
    // A value is read only within its own piece: "Width = 4" cut after
    // "Width = " gives 0, and the rest "4" is a line of its own.
    const std::string padded = "Width = " + std::string(56, ' ');
    ASSERT_EQ(padded.size(), 64u);
    EXPECT_TRUE(OpenWith({"ST-7 Image", "Height = 2", padded + "4", "End"}, {}));
    EXPECT_EQ(m_image->m_width, 0);
}

TEST_F(SbigHeaderScan, FirstLineTellsWhetherRowsAreCompressed)
{
    const std::vector<uint32_t> values = {10, 11, 12, 13, 50000, 50001, 9, 9};
    ASSERT_TRUE(OpenWith({"ST-7 Compressed Image", "Width = 4", "Height = 2", "End"},
                         CompressedRows(values, 4)));
    EXPECT_TRUE(m_image->m_compressed);
    EXPECT_EQ(m_image->m_red, values);
    // The word elsewhere than in the first line, or inside another word,
    // says nothing.
    for (const char* first : {"ST-7 Image", "ST-7 Uncompressed Image"}) {
        ASSERT_TRUE(OpenWith({first, "Note = Compressed Image", "Width = 4", "Height = 2", "End"},
                             RawRows(values)))
            << first;
        EXPECT_FALSE(m_image->m_compressed);
        EXPECT_EQ(m_image->m_red, values);
    }
}
