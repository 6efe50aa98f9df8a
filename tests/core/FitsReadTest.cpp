// Reading FITS files: the header scan, the keyword values, and every refusal
// with its one message, before anything is allocated. (The pixel values of
// every scaling are checked against cfitsio.)
#include <sys/stat.h>

#include "CoreTestSupport.h"
#include "image/CFitsImage.h"

using Cards = std::vector<std::pair<const char*, const char*>>;

namespace {

class FitsRead : public CoreTest {
protected:
    std::unique_ptr<CFitsImage> Open(const Blob& bytes) { return OpenImage<CFitsImage>(WriteBytes(dir.File("image.fit"), bytes)); }
};

const Cards kFirst = {{"BITPIX", "16"}, {"NAXIS", "2"}, {"NAXIS1", "2"}, {"NAXIS2", "1"}};

// A 2 x 1 16-bit header less the keyword left out, then the cards (a repeated
// keyword's last card wins), then the stored values.
Blob File(const Cards& cards, const std::vector<uint16_t>& data, const char* leftOut = "", bool padData = true)
{
    CFitsBuilder b;
    for (const Cards& part : {kFirst, cards})
        for (auto [keyword, value] : part)
            if (std::string(keyword) != leftOut)
                b.Value(keyword, value);
    return b.Data16(data).Bytes(true, true, padData);
}

const Messages kHeader = {"Failed to read header."}, kData = {"Failed to read image data."},
               kSize = {"Image size is not supported."}, kAxes = {"File has incorrect number of axes."},
               kFormat = {"Failed to open file format."}, kBelowOne = {"BSCALE values below 1 are not supported."},
               kZeroRange = {"BZERO value is out of range."}, kScaleRange = {"BSCALE value is out of range."};

}  // namespace

TEST_F(FitsRead, KeywordsCardsAndRefusalsTable)
{
    Blob endLast = CFitsBuilder::Image(16, 1, 1).Bytes(false, false);  // END the last card of block 1
    endLast.resize(35 * 80, ' ');
    endLast = Concat(Concat(endLast, CFitsBuilder().Bytes(true, false, false)), Blob(2880, 0));
    endLast[2881] = 0x05;
    endLast[2880] = 0x80;
    Blob endFirst = CFitsBuilder::Image(16, 1, 1).Bytes(false, false);  // END first in block 2, BZERO after it
    endFirst.resize(2880, ' ');
    endFirst = Concat(endFirst, CFitsBuilder().Card("END").Card("BZERO   =                   10").Bytes(false));
    endFirst.insert(endFirst.end(), {0x00, 0x07});
    Blob cut = CFitsBuilder::Image(16, 1, 1).Bytes(false, false);
    cut.resize(6 * 80 + 50);  // inside the seventh card
    const struct {
        const char* name;
        Blob bytes;
        Messages messages = {};  // none: opens
        std::vector<uint32_t> red = {};
        int32_t bzero = 0;
    } cases[] = {
        {"no BZERO and BSCALE: signed", File({}, {0xFFFF, 2}), {}, {0xFFFFFFFFu, 2}},
        {"no BITPIX", File({}, {0, 0}, "BITPIX"), kHeader},
        {"no NAXIS", File({}, {0, 0}, "NAXIS"), {kHeader[0], kAxes[0]}},
        {"no NAXIS1", File({}, {0, 0}, "NAXIS1"), kHeader},
        {"no NAXIS2", File({}, {0, 0}, "NAXIS2"), kHeader},
        {"colour with BSCALE alone", File({{"NAXIS", "3"}, {"NAXIS1", "1"}, {"NAXIS3", "3"}, {"BSCALE", "1"}}, {10, 20, 30}),
         {}, {10}},
        {"repeated cards: the last wins", File({{"SIMPLE", "F"}, {"NAXIS1", "9"}, {"NAXIS1", "4"}}, {7, 9, 11, 13}), {},
         {7, 9, 11, 13}},
        {"NAXIS3 sets the axes", File({{"NAXIS", "3"}, {"NAXIS3", "1"}}, {1, 2}), kAxes},
        {"NAXIS 4", File({{"NAXIS", "4"}}, {1, 2}), kAxes},
        {"END in the last card of a block", endLast, {}, {5}, 32768},
        {"END in the first card of a block, a card after it", endFirst, {}, {17}, 10},
        {"no END", CFitsBuilder::Image(16, 1, 1).Bytes(false), kHeader},
        {"cut inside a card", cut, kHeader},
        {"fractional scales", File({{"BZERO", "32768.0 / unsigned"}, {"BSCALE", "1.5"}}, {1, 2}), {}, {32769, 32770}, 32768},
        {"BSCALE -1", File({{"BZERO", "0"}, {"BSCALE", "-1"}}, {5, 0xFFFE}), {}, {0xFFFFFFFBu, 2}},
        {"BZERO 2^31-1", File({{"BZERO", "2147483647"}}, {0, 0}), {}, {0x7FFFFFFF, 0x7FFFFFFF}, INT32_MAX},
        {"BITPIX 32", File({{"BITPIX", "32"}}, {0, 0, 0, 0}), {"32-bit File formats are not supported."}},
        {"BITPIX -32", File({{"BITPIX", "-32"}}, {0, 0, 0, 0}), kFormat},
        {"BITPIX 12", File({{"BITPIX", "12"}}, {0, 0}), kFormat},
        {"BSCALE 0", File({{"BSCALE", "0"}}, {0, 0}), kBelowOne},
        {"BSCALE 0.5", File({{"BSCALE", "0.5"}}, {0, 0}), kBelowOne},
        {"BSCALE -0.9", File({{"BSCALE", "-0.9"}}, {0, 0}), kBelowOne},
        {"BZERO 1E30", File({{"BZERO", "1E30"}}, {0, 0}), kZeroRange},
        {"BZERO -3E9", File({{"BZERO", "-3E9"}}, {0, 0}), kZeroRange},
        {"BZERO NAN", File({{"BZERO", "NAN"}}, {0, 0}), kZeroRange},
        {"BSCALE 1E10", File({{"BSCALE", "1E10"}}, {0, 0}), kScaleRange},
        {"BSCALE -INF", File({{"BSCALE", "-INF"}}, {0, 0}), kScaleRange},
        {"zero width: no pixels", File({{"NAXIS1", "0"}, {"NAXIS2", "100"}}, {}), {}, {}},
        {"width -1", File({{"NAXIS1", "-1"}}, {0, 0}), kSize},
        {"height -5", File({{"NAXIS2", "-5"}}, {0, 0}), kSize},
        {"65536 x 32768", File({{"NAXIS1", "65536"}, {"NAXIS2", "32768"}}, {0, 0}), kSize},
        {"2^31-1 x 2", File({{"NAXIS1", "2147483647"}, {"NAXIS2", "2"}}, {0, 0}), kSize},
        {"data cut short", File({}, {0}, "", false), kData},
        {"exactly the data, no padding", File({{"BZERO", "32768"}}, {0x8080, 0x8081}, "", false), {}, {0x80, 0x81}, 32768},
        {"40000 x 40000 over a few bytes", File({{"NAXIS1", "40000"}, {"NAXIS2", "40000"}}, {0, 0}), kData},
        {"cube without its blue plane", File({{"NAXIS", "3"}, {"NAXIS3", "3"}}, {0, 0, 0, 0}, "", false), kData},
    };
    for (const auto& c : cases) {
        auto image = Open(c.bytes);
        EXPECT_EQ(messages.m_messages, c.messages) << c.name;
        EXPECT_EQ(opened, c.messages.empty()) << c.name;
        const std::size_t n = opened ? std::min(c.red.size(), image->m_red.size()) : 0;
        EXPECT_EQ(std::vector(image->m_red.data(), image->m_red.data() + n), c.red) << c.name;
        EXPECT_EQ(opened ? image->m_bzero : 0, c.bzero) << c.name;
        EXPECT_TRUE(opened || image->m_red.capacity() == 0) << c.name;
    }
}

TEST_F(FitsRead, OnlyRegularFilesOpenAndAnEndlessHeaderTakesLittleMemory)
{
    // A device that never ends and a pipe nobody writes to neither hang nor fill memory.
    const std::string fifo = dir.File("pipe.fit");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {dir.File("missing.fit"), dir.Path(), std::string("/dev/zero"), fifo}) {
        OpenImage<CFitsImage>(path);
        EXPECT_EQ(messages.m_messages, Messages{"Failed to open file."}) << path;
    }
    const std::string endless = WriteBytes(dir.File("endless.fit"), {});
    std::filesystem::resize_file(endless, std::size_t(8) << 20);  // 8 MB of cards, none of them END
    CAllocationLimit limit(std::size_t(1) << 20);
    OpenImage<CFitsImage>(endless);
    EXPECT_EQ(messages.m_messages, (Messages{kHeader[0], kAxes[0]}));
}

TEST_F(FitsRead, RawValuesOutOfRangeAreKeptButClampedForDisplayAndHistogram)
{
    // Signed data: -100 and 300 among values of 50. -100 counts as 0: a
    // quarter of the pixels at 0, so the peak below 15% finds nothing and the
    // 98.22% point is 300.
    shared.m_nDisplayBpp = 24;
    const Blob bytes = File({{"NAXIS1", "4"}}, {0xFF9C, 50, 50, 300});
    auto image = Open(bytes);
    ASSERT_TRUE(opened);
    EXPECT_EQ(static_cast<int32_t>(image->m_red[0]), -100);
    EXPECT_EQ(std::pair(image->m_stretchLow, image->m_stretchHigh), std::pair(0, 300));
    image->m_stretchHigh = 100;
    image->UpdateDisplay();
    EXPECT_EQ(std::vector(image->m_displayPixels.begin(), image->m_displayPixels.begin() + 12),
              (std::vector<uint8_t>{0, 0, 0, 127, 127, 127, 127, 127, 127, 255, 255, 255}));
    ASSERT_EQ(image->Save(dir.File("image.fit")), 1);
    EXPECT_EQ(ReadBytes(dir.File("image.fit")), bytes);
    // 8-bit data with BZERO 200: values up to 455 over a full scale of 255.
    CFitsBuilder eight = CFitsBuilder::Image(8, 2, 1, false, "200");
    eight.data = {0, 255};
    image = Open(eight.Bytes());
    ASSERT_TRUE(opened);
    EXPECT_EQ(image->m_red, (std::vector<uint32_t>{200, 455}));
    EXPECT_EQ(std::pair(image->m_maxValue, image->m_stretchHigh), std::pair(255u, 255));  // 455 counts at full scale
    ASSERT_EQ(image->Save(dir.File("image.fit")), 1);
    EXPECT_EQ(ReadBytes(dir.File("image.fit")), eight.Bytes());
}

TEST(KeywordHelpers, ValuesAsAtofReadsThemTruncatedAndSaturatedAndKeywordsByPrefix)
{
    // Cards padded to 80 (length 0), and lines whose "=" or number lie past
    // the length given.
    const std::tuple<const char*, std::size_t, int32_t> lines[] = {
        {"BSCALE  =    1.9", 0, 1}, {"BZERO   =   -0.5", 0, 0}, {"BZERO   =  -7.9", 0, -7}, {"BZERO   =  3.2E4", 0, 32000},
        {"BZERO   =  3.2e+4", 0, 32000}, {"NAXIS1  =  +1024", 0, 1024}, {"BZERO   =  32768.0 / offset", 0, 32768},
        {"BZERO   = 100/no blank before the comment", 0, 100}, {"NAXIS1  = 12e", 0, 12}, {"NAXIS1  = .5", 0, 0},
        {"NAXIS1  = 7.", 0, 7}, {"COMMENT   no equals sign 5", 0, 0}, {"OBJECT  = 'M42'", 0, 0}, {"BZERO   =", 0, 0},
        {"BZERO   = - 5", 0, 0}, {"Height =\t 768", 0, 768}, {"Height=768", 0, 768}, {"NAXIS1  = 1E30", 0, INT32_MAX},
        {"NAXIS1  = -1E30", 0, INT32_MIN}, {"NAXIS1  = 1E-400", 0, 0}, {"Width   = 4", 8, 0}, {"Width   = 4", 11, 4},
        {"Width=12345", 8, 12}, {"Width=4", 5, 0},
    };
    for (auto [text, length, value] : lines) {
        std::string line = text;
        line.resize(length ? line.size() : 80, ' ');
        EXPECT_EQ(CAstroImage::KeywordValue(line.data(), length ? length : 80), value) << text << " in " << length;
    }
    const char card[] = "NAXIS3  =                    3", end[3] = {'E', 'N', 'D'};
    EXPECT_TRUE(CAstroImage::KeywordMatches("NAXIS", card, 80));
    EXPECT_FALSE(CAstroImage::KeywordMatches("NAXIS1", card, 80) || CAstroImage::KeywordMatches("naxis", card, 80));
    EXPECT_TRUE(CAstroImage::KeywordMatches("END", end, 3));
    EXPECT_FALSE(CAstroImage::KeywordMatches("ENDX", end, 3));
}
