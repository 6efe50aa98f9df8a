#include <gtest/gtest.h>

#include <sys/stat.h>

#include "CoreTestSupport.h"
#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

using coretest::CFitsBuilder;
using coretest::CTempDir;

namespace {

class FitsHeaderTest : public ::testing::Test {
protected:
    FitsHeaderTest() { shared.m_nDisplayBpp = 32; }

    bool Open(const std::vector<uint8_t>& bytes)
    {
        const std::string path = dir.File("image.fit");
        coretest::WriteBytes(path, bytes);
        return image.Open(path);
    }

    CTempDir dir;
    CSharedState shared;
    CCollectingMessageSink messages;
    CFitsImage image{shared, messages};
};

using Messages = std::vector<std::string>;

TEST_F(FitsHeaderTest, OpensTheUsualMonochromeFile)
{
    CFitsBuilder b = CFitsBuilder::Mono16(3, 2);
    b.Data16({0x8000, 0x8001, 0x8002, 0x0000, 0x7FFF, 0xFFFF});
    ASSERT_TRUE(Open(b.Bytes())) << ::testing::PrintToString(messages.m_messages);
    EXPECT_TRUE(messages.m_messages.empty());
    EXPECT_EQ(image.m_width, 3);
    EXPECT_EQ(image.m_height, 2);
    EXPECT_EQ(image.m_bitsPerPixel, 16);
    EXPECT_FALSE(image.m_isColor);
    EXPECT_EQ(image.m_maxValue, 65535u);
    EXPECT_EQ(shared.m_nFullScale, 65535u);
    EXPECT_EQ(image.m_red, (std::vector<uint32_t>{0, 1, 2, 32768, 65535, 32767}));
    EXPECT_TRUE(image.m_green.empty());
    EXPECT_EQ(image.m_header.size(), 2880u);
    EXPECT_EQ(image.m_trailer.size(), 2880u - 12u);
    EXPECT_EQ(image.m_displayLut.size(), 65536u);
    EXPECT_EQ(image.m_displayPixels.size(), 3u * 2u * 4u);
}

TEST_F(FitsHeaderTest, BitpixNaxisNaxis1AndNaxis2AreRequiredBzeroAndBscaleAreNot)
{
    const std::pair<const char*, Messages> cases[] = {
        {"", {}},
        {"BITPIX", {"Failed to read header."}},
        {"NAXIS", {"Failed to read header.", "File has incorrect number of axes."}},
        {"NAXIS1", {"Failed to read header."}},
        {"NAXIS2", {"Failed to read header."}},
    };
    for (const auto& [missing, expected] : cases) {
        messages.Clear();
        CFitsBuilder b;
        for (auto [keyword, value] : {std::pair{"BITPIX", "16"}, {"NAXIS", "2"}, {"NAXIS1", "2"}, {"NAXIS2", "1"}})
            if (std::string(keyword) != missing)
                b.Value(keyword, value);
        b.Data16({0xFFFF, 2});
        CFitsImage fresh(shared, messages);
        coretest::WriteBytes(dir.File("c.fit"), b.Bytes());
        EXPECT_EQ(fresh.Open(dir.File("c.fit")), expected.empty()) << missing;
        EXPECT_EQ(messages.m_messages, expected) << missing;
    }
}

TEST_F(FitsHeaderTest, RepeatedKeywordsTakeTheLastValue)
{
    // Colour file with BSCALE but no BZERO.
    CFitsBuilder b;
    b.Value("BITPIX", "16").Value("NAXIS", "3").Value("NAXIS1", "1").Value("NAXIS2", "1");
    b.Value("NAXIS3", "3").Value("BSCALE", "1");
    b.Data16({10, 20, 30});
    ASSERT_TRUE(Open(b.Bytes())) << ::testing::PrintToString(messages.m_messages);
    EXPECT_TRUE(image.m_isColor);
    EXPECT_EQ(image.m_bzero, 0);
    EXPECT_EQ(image.m_red[0], 10u);
    EXPECT_EQ(image.m_green[0], 20u);
    EXPECT_EQ(image.m_blue[0], 30u);

    // Repeated NAXIS1 and NAXIS2 cards: the last one wins. The SIMPLE card
    // is never looked at.
    CFitsBuilder c;
    c.Value("SIMPLE", "F").Value("BITPIX", "8").Value("NAXIS", "2").Value("NAXIS1", "9").Value("NAXIS1", "2");
    c.Value("NAXIS2", "5").Value("NAXIS2", "1");
    c.data = {7, 9};
    CFitsImage second(shared, messages);
    coretest::WriteBytes(dir.File("b.fit"), c.Bytes());
    ASSERT_TRUE(second.Open(dir.File("b.fit")));
    EXPECT_EQ(second.m_height, 1);
    EXPECT_EQ(second.m_red, (std::vector<uint32_t>{7, 9}));
}

TEST_F(FitsHeaderTest, Naxis3SetsTheAxisCountByThePrefixRule)
{
    CFitsBuilder b;
    b.Value("BITPIX", "16").Value("NAXIS", "3").Value("NAXIS1", "1").Value("NAXIS2", "1");
    b.Value("NAXIS3", "1").Value("BZERO", "0").Value("BSCALE", "1");
    b.Data16({1});
    EXPECT_FALSE(Open(b.Bytes()));
    EXPECT_EQ(messages.m_messages, Messages{"File has incorrect number of axes."});
}

TEST_F(FitsHeaderTest, EndInTheLastCardOfABlockEndsTheHeaderThere)
{
    CFitsBuilder b = CFitsBuilder::Mono16(1, 1);
    while (b.cards.size() < 35)
        b.Card("COMMENT filler");
    b.Data16({0x8005});
    const std::vector<uint8_t> bytes = b.Bytes();
    ASSERT_EQ(bytes.size(), 2 * 2880u);
    ASSERT_TRUE(Open(bytes));
    EXPECT_EQ(image.m_header.size(), 2880u);
    EXPECT_EQ(image.m_red[0], 5u);
}

TEST_F(FitsHeaderTest, EndInTheFirstCardOfABlockReadsAndTestsTheRestOfThatBlock)
{
    CFitsBuilder b = CFitsBuilder::Mono16(1, 1);
    while (b.cards.size() < 36)
        b.Card("HISTORY filler");
    std::vector<uint8_t> bytes = b.Bytes(false, false);
    const std::string end = "END" + std::string(77, ' ');
    bytes.insert(bytes.end(), end.begin(), end.end());
    // A card after END in the same block still counts.
    std::string late = "BZERO   =                   10";
    late.resize(80, ' ');
    bytes.insert(bytes.end(), late.begin(), late.end());
    bytes.resize(2 * 2880, ' ');
    bytes.push_back(0x00);
    bytes.push_back(0x07);
    ASSERT_TRUE(Open(bytes)) << ::testing::PrintToString(messages.m_messages);
    EXPECT_EQ(image.m_header.size(), 2 * 2880u);
    EXPECT_EQ(image.m_bzero, 10);
    EXPECT_EQ(image.m_red[0], 17u);
    EXPECT_TRUE(image.m_trailer.empty());
}

TEST_F(FitsHeaderTest, WithoutEndTheHeaderRunsIntoTheEndOfTheFile)
{
    CFitsBuilder b = CFitsBuilder::Mono16(1, 1);
    EXPECT_FALSE(Open(b.Bytes(false)));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to read header."});
    messages.Clear();
    // Cut in the middle of a card.
    std::vector<uint8_t> cut = b.Bytes(false, false);
    cut.resize(cut.size() - 30);
    EXPECT_FALSE(Open(cut));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to read header."});
}

TEST_F(FitsHeaderTest, FractionalScalesAreTruncated)
{
    CFitsBuilder b;
    b.Value("BITPIX", "16").Value("NAXIS", "2").Value("NAXIS1", "1").Value("NAXIS2", "1");
    b.Value("BZERO", "32768.0 / unsigned").Value("BSCALE", "1.5");
    b.Data16({0x0001});
    ASSERT_TRUE(Open(b.Bytes()));
    EXPECT_EQ(image.m_bscale, 1);
    EXPECT_EQ(image.m_bzero, 32768);
    EXPECT_EQ(image.m_red[0], 32769u);
}

TEST_F(FitsHeaderTest, RefusesBitDepthsOtherThanEightAndSixteen)
{
    for (const char* bitpix : {"32", "-32", "-64", "12"}) {
        messages.Clear();
        CFitsBuilder b;
        b.Value("BITPIX", bitpix).Value("NAXIS", "2").Value("NAXIS1", "1").Value("NAXIS2", "1");
        b.Value("BZERO", "0").Value("BSCALE", "1");
        b.data.assign(8, 0);
        CFitsImage fresh(shared, messages);
        coretest::WriteBytes(dir.File("d.fit"), b.Bytes());
        EXPECT_FALSE(fresh.Open(dir.File("d.fit")));
        const char* expected = std::string(bitpix) == "32" ? "32-bit File formats are not supported."
                                                           : "Failed to open file format.";
        EXPECT_EQ(messages.m_messages, Messages{expected}) << bitpix;
    }
}

TEST_F(FitsHeaderTest, OnlyRegularFilesOpen)
{
    EXPECT_FALSE(image.Open(dir.File("missing.fit")));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to open file."});
    messages.Clear();
    EXPECT_FALSE(image.Open(dir.Path()));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to open file."});
    // A device that never ends and a pipe nobody writes to neither hang nor
    // fill memory.
    messages.Clear();
    EXPECT_FALSE(image.Open("/dev/zero"));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to open file."});
    const std::string fifo = dir.File("pipe.fit");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    messages.Clear();
    EXPECT_FALSE(image.Open(fifo));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to open file."});
}

}  // namespace
