#include <gtest/gtest.h>

#include <filesystem>

#include "CAllocationLimit.h"
#include "CoreTestSupport.h"
#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

using coretest::CFitsBuilder;
using coretest::CTempDir;
using Messages = std::vector<std::string>;

namespace {

class FitsOpenRefusalTest : public ::testing::Test {
protected:
    FitsOpenRefusalTest() { shared.m_nDisplayBpp = 32; }

    bool Open(const std::vector<uint8_t>& bytes)
    {
        const std::string path = dir.File("image.fit");
        coretest::WriteBytes(path, bytes);
        messages.Clear();
        CFitsImage fresh(shared, messages);
        const bool ok = fresh.Open(path);
        allocated = fresh.m_red.capacity();
        return ok;
    }

    static CFitsBuilder Header(const std::string& width, const std::string& height,
                               const std::string& bscale = "1", const std::string& axes = "2")
    {
        CFitsBuilder b;
        b.Value("BITPIX", "16").Value("NAXIS", axes).Value("NAXIS1", width).Value("NAXIS2", height);
        if (axes == "3")
            b.Value("NAXIS3", "3");
        b.Value("BZERO", "32768").Value("BSCALE", bscale);
        return b;
    }

    CTempDir dir;
    CSharedState shared;
    CCollectingMessageSink messages;
    std::size_t allocated = 0;
};

TEST_F(FitsOpenRefusalTest, DataCutShortIsRefusedBeforeAnythingIsAllocated)
{
    CFitsBuilder b = Header("4", "3");
    b.data.assign(4 * 3 * 2 - 1, 0);  // one byte short, not padded
    EXPECT_FALSE(Open(b.Bytes(true, true, false)));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to read image data."});
    EXPECT_EQ(allocated, 0u);

    // A header announcing 40000 x 40000 values over a few bytes.
    CFitsBuilder huge = Header("40000", "40000");
    huge.data.assign(100, 0);
    EXPECT_FALSE(Open(huge.Bytes()));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to read image data."});
    EXPECT_EQ(allocated, 0u);

    // A colour cube whose blue plane is missing.
    CFitsBuilder cube = Header("2", "2", "1", "3");
    cube.data.assign(2 * 2 * 2 * 2, 0);
    EXPECT_FALSE(Open(cube.Bytes(true, true, false)));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to read image data."});
}

TEST_F(FitsOpenRefusalTest, ExactlyTheAnnouncedDataWithoutPaddingOpens)
{
    CFitsBuilder b = Header("4", "3");
    b.data.assign(4 * 3 * 2, 0x80);
    EXPECT_TRUE(Open(b.Bytes(true, true, false))) << ::testing::PrintToString(messages.m_messages);
}

TEST_F(FitsOpenRefusalTest, NegativeOrOversizedDimensionsAreRefused)
{
    for (auto [w, h] : {std::pair{"-1", "10"}, {"10", "-5"}, {"65536", "32768"}, {"2147483647", "2"}}) {
        CFitsBuilder b = Header(w, h);
        b.data.assign(2880, 0);
        EXPECT_FALSE(Open(b.Bytes()));
        EXPECT_EQ(messages.m_messages, Messages{"Image size is not supported."}) << w << " x " << h;
        EXPECT_EQ(allocated, 0u);
    }
}

TEST_F(FitsOpenRefusalTest, ZeroDimensionsGiveAnImageWithoutPixels)
{
    CFitsBuilder b = Header("0", "100");
    const std::string path = dir.File("empty.fit");
    coretest::WriteBytes(path, b.Bytes());
    CFitsImage image(shared, messages);
    ASSERT_TRUE(image.Open(path)) << ::testing::PrintToString(messages.m_messages);
    EXPECT_TRUE(image.m_red.empty());
    EXPECT_TRUE(image.m_displayPixels.empty());
    EXPECT_EQ(image.m_stretchLow, 0);
    EXPECT_EQ(image.m_stretchHigh, 65535);
    ASSERT_EQ(image.Save(dir.File("copy.fit")), 1);
    EXPECT_EQ(coretest::ReadBytes(dir.File("copy.fit")), coretest::ReadBytes(path));
}

TEST_F(FitsOpenRefusalTest, ScalesWhoseIntegerPartIsZeroAreRefused)
{
    for (const char* bscale : {"0", "0.5", "-0.9"}) {
        CFitsBuilder b = Header("1", "1", bscale);
        b.data.assign(2, 0);
        EXPECT_FALSE(Open(b.Bytes()));
        EXPECT_EQ(messages.m_messages, Messages{"BSCALE values below 1 are not supported."}) << bscale;
    }
}

TEST_F(FitsOpenRefusalTest, ScalesBeyondThirtyTwoBitsAreRefusedNotClamped)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1E30", "1"}, {"-3E9", "1"}, {"1E999", "1"}, {"NAN", "1"}, {"32768", "1E10"}, {"32768", "-INF"},
    };
    for (const auto& [bzero, bscale] : cases) {
        CFitsBuilder b;
        b.Value("BITPIX", "16").Value("NAXIS", "2").Value("NAXIS1", "1").Value("NAXIS2", "1");
        b.Value("BZERO", bzero).Value("BSCALE", bscale);
        b.data.assign(2, 0);
        EXPECT_FALSE(Open(b.Bytes()));
        const char* keyword = std::string(bscale) == "1" ? "BZERO" : "BSCALE";
        EXPECT_EQ(messages.m_messages, Messages{std::string(keyword) + " value is out of range."})
            << bzero << " " << bscale;
    }
}

TEST_F(FitsOpenRefusalTest, AHeaderThatNeverEndsIsScannedInLittleMemory)
{
    const std::string path = dir.File("endless.fit");
    coretest::WriteBytes(path, {});
    std::filesystem::resize_file(path, std::size_t(8) << 20);  // 8 MB of cards, none of them END
    CFitsImage image(shared, messages);
    CAllocationLimit limit(std::size_t(1) << 20);
    EXPECT_FALSE(image.Open(path));
    EXPECT_EQ(messages.m_messages, (Messages{"Failed to read header.", "File has incorrect number of axes."}));
}

TEST_F(FitsOpenRefusalTest, RawValuesOutOfRangeAreKeptButClampedForDisplayAndHistogram)
{
    // Signed 16-bit data (BZERO 0): -100 and 300 among values of 50.
    CFitsBuilder b;
    b.Value("BITPIX", "16").Value("NAXIS", "2").Value("NAXIS1", "4").Value("NAXIS2", "1");
    b.Value("BZERO", "0").Value("BSCALE", "1");
    b.Data16({0xFF9C, 50, 50, 300});
    const std::string path = dir.File("signed.fit");
    coretest::WriteBytes(path, b.Bytes());
    shared.m_nDisplayBpp = 24;
    CFitsImage image(shared, messages);
    ASSERT_TRUE(image.Open(path));
    EXPECT_EQ(static_cast<int32_t>(image.m_red[0]), -100);
    // -100 counts as 0: the first quarter of the pixels is at 0, so the peak
    // below 15% finds nothing and the 98.22% point is 300.
    EXPECT_EQ(image.m_stretchLow, 0);
    EXPECT_EQ(image.m_stretchHigh, 300);
    image.m_stretchLow = 0;
    image.m_stretchHigh = 100;
    image.UpdateDisplay();
    EXPECT_EQ(image.m_displayPixels[0], 0);      // negative shows black
    EXPECT_EQ(image.m_displayPixels[3], 127);    // 50 of 0..100
    EXPECT_EQ(image.m_displayPixels[9], 255);    // above high
    ASSERT_EQ(image.Save(path), 1);
    EXPECT_EQ(coretest::ReadBytes(path), b.Bytes());

    // 8-bit data with BZERO 200: values up to 455 over a full scale of 255.
    CFitsBuilder e;
    e.Value("BITPIX", "8").Value("NAXIS", "2").Value("NAXIS1", "2").Value("NAXIS2", "1");
    e.Value("BZERO", "200").Value("BSCALE", "1");
    e.data = {0, 255};
    coretest::WriteBytes(path, e.Bytes());
    CFitsImage eight(shared, messages);
    ASSERT_TRUE(eight.Open(path));
    EXPECT_EQ(eight.m_red, (std::vector<uint32_t>{200, 455}));
    EXPECT_EQ(eight.m_maxValue, 255u);
    EXPECT_EQ(eight.m_stretchHigh, 255);  // 455 counts at full scale
    ASSERT_EQ(eight.Save(path), 1);
    EXPECT_EQ(coretest::ReadBytes(path), e.Bytes());
}

}  // namespace
