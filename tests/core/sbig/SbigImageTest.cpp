// SBIG Type 3 files: the header's lines, raw and compressed rows, refusals
// before anything is allocated, and saves of extreme sizes.
#include "CoreTestSupport.h"
#include "image/CSbigImage.h"

using Lines = std::vector<std::string>;
using Values = std::vector<uint32_t>;

namespace {

class SbigImage : public CoreTest {
protected:
    std::unique_ptr<CSbigImage> Open(const Blob& bytes) { return OpenImage<CSbigImage>(WriteBytes(dir.File("frame.st7"), bytes)); }
};

Blob Header(const char* first, int32_t width, int32_t height)
{
    return SbigHeader({first, "Width = " + std::to_string(width), "Height = " + std::to_string(height), "End"});
}

// A row encoded by the core, and decoded from an exactly sized copy of its
// body (a read past it is caught by the sanitizers).
Blob Encode(const Values& values)
{
    Blob out(CSbigRowCodec::MaxRowBytes(static_cast<int32_t>(values.size())));
    out.resize(CSbigRowCodec::EncodeRow(values.data(), static_cast<int32_t>(values.size()), out.data()));
    return out;
}

bool Decode(const Blob& body, int32_t width, Values& values)
{
    values.assign(static_cast<std::size_t>(width), 0xDEADBEEF);
    return CSbigRowCodec::DecodeRow(body.data(), body.size(), width, values.data());
}

const Values kEight = {0x1234, 2, 3, 4, 5, 6, 7, 8}, kOther = {10, 11, 12, 13, 50000, 50001, 9, 9};

}  // namespace

TEST_F(SbigImage, HeaderLinesTable)
{
    // Keywords in any order, repeated (the last wins, each counts), only up
    // to End; lines end in LF CR (CR LF puts the LF at the start of the next
    // line) or CR and are cut after 64 bytes; the first line's last two words
    // tell whether rows are compressed.
    const struct {
        Lines lines;
        const char* ending;
        Blob data;
        bool opens;
        int32_t width = 0, height = 0;
        bool compressed = false;
        Lines header = {};  // the header's lines as listed, when given
    } cases[] = {
        {{"ST-7 Image", "Width = 4", "Height = 2", "End", "after End"}, "\n\r", RawRows(kEight), true, 4, 2, false,
         {"ST-7 Image", "Width = 4", "Height = 2", "End"}},
        {{"ST-7 Image", "Height = 2", "Note = x", "Width = 4", "End"}, "\r", RawRows(kEight), true, 4, 2, false,
         {"ST-7 Image", "Height = 2", "Note = x", "Width = 4", "End"}},
        {{"ST-7 Image", "Width = 4", "Width = 5", "End"}, "\n\r", {}, true, 5, 0},
        {{"ST-7 Image", "Width = 4", "End"}, "\n\r", RawRows(kEight), false},
        {{"ST-7 Image", "Width = 4", "End", "Height = 2"}, "\n\r", RawRows(kEight), false},
        {{"ST-7 Image", "Width = 4", "Height = 2"}, "\n\r", RawRows(kEight), false},
        {{"ST-7 Image", "Width = 4", "Height = 2", "End"}, "\r\n", RawRows(kEight), false, 0, 0, false,
         {"ST-7 Image", "Width = 4", "Height = 2", "End"}},
        {{"ST-7 Image", std::string(64, 'a') + "Height = 2", "Width = 4", "End"}, "\n\r", RawRows(kEight), true, 4, 2},
        {{"ST-7 Image", std::string(63, 'a') + "Height = 2", "Width = 4", "End"}, "\n\r", RawRows(kEight), false},
        {{"ST-7 Image", "Height = 2", "Width = " + std::string(56, ' ') + "4", "End"}, "\n\r", {}, true, 0, 2},
        {{"ST-7 Compressed Image", "Width = 4", "Height = 2", "End"}, "\n\r", CompressedRows(kOther, 4), true, 4, 2,
         true},
        {{"ST-7 Image", "Note = Compressed Image", "Width = 4", "Height = 2", "End"}, "\n\r", RawRows(kOther), true, 4,
         2},
        {{"ST-7 Uncompressed Image", "Width = 4", "Height = 2", "End"}, "\n\r", RawRows(kOther), true, 4, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lines));
        auto image = Open(Concat(SbigHeader(c.lines, c.ending), c.data));
        ASSERT_EQ(opened, c.opens);
        EXPECT_TRUE(c.header.empty() || image->HeaderLines() == c.header);
        EXPECT_EQ(messages.m_messages, c.opens ? Lines{} : Lines{"Failed to read header."});
        if (!c.opens)
            continue;
        EXPECT_EQ(std::tie(image->m_width, image->m_height, image->m_compressed),
                  std::tie(c.width, c.height, c.compressed));
        EXPECT_EQ(std::tuple(image->m_bitsPerPixel, image->m_maxValue, shared.m_nFullScale),
                  std::tuple(16, 65535u, 65535u));
        const std::size_t n = static_cast<std::size_t>(c.width) * c.height;
        EXPECT_EQ(image->m_red, n == 0 ? Values{} : c.data == RawRows(kEight) ? kEight : kOther);
        EXPECT_EQ(image->m_displayPixels.size(), 4 * n);
    }
}

TEST_F(SbigImage, CorruptShortAndOversizedFilesAreRefusedBeforeAllocating)
{
    const Blob packed = Header("ST-7 Compressed Image", 64, 48), rows = CompressedRows(SkyFrame(64, 48, 7), 64);
    const std::size_t firstLength = rows[0] | (rows[1] << 8);  // below 128
    auto firstCount = [&](std::size_t count) {
        return Concat(Concat(packed, {static_cast<uint8_t>(count), 0}), Blob(rows.begin() + 2, rows.end()));
    };
    const char *data = "Failed to read image data.", *size = "Image size is not supported.";
    const struct {
        const char* name;
        Blob bytes;
        const char* message;
        bool decoded = false;  // refused only once the rows were decoded
    } cases[] = {
        {"a row count beyond twice the width", firstCount(200), data, true},
        {"a row count below width+1", firstCount(64), data, true},
        {"a row count one short: the next count is read as pixels", firstCount(firstLength - 1), data, true},
        {"cut inside the last row", Concat(packed, Blob(rows.begin(), rows.end() - 1)), data},
        {"cut before the first row ends", Concat(packed, Blob(rows.begin(), rows.begin() + 40)), data},
        {"raw, one byte short", Concat(Header("ST-7 Image", 64, 48), Blob(64 * 48 * 2 - 1, 0)), data},
        {"shorter than the header", Blob(1000, ' '), "Failed to read header."},
        {"60000 x 30000 over 100 bytes", Concat(Header("ST-7 Image", 60000, 30000), Blob(100, 0)), data},
        {"compressed, 60000 x 30000", Concat(Header("ST-7 Compressed Image", 60000, 30000), Blob(100, 0)), data},
        {"negative width", Header("ST-7 Image", -4, 2), size},
        {"65536 x 32768", Header("ST-7 Image", 65536, 32768), size},
    };
    for (const auto& c : cases) {
        auto image = Open(c.bytes);
        EXPECT_FALSE(opened) << c.name;
        EXPECT_EQ(messages.m_messages, Lines{c.message}) << c.name;
        EXPECT_TRUE(c.decoded || image->m_red.capacity() == 0) << c.name;
    }
    messages.Clear();
    EXPECT_FALSE(CSbigImage(shared, messages).Open(dir.File("missing.st7")));
    EXPECT_EQ(messages.m_messages, Lines{"Failed to open file."});
}

TEST_F(SbigImage, ANoisyWideRowIsRefusedAndAnImageWithoutRowsSavesWithoutARowBuffer)
{
    // A row read compressed at 40000 pixels, then made too noisy to code in
    // 65535 bytes, is refused rather than written with a wrapped count.
    CSbigImage wide(shared, messages);
    wide.m_header = Header("ST-7 Compressed Image", 40000, 1);
    std::tie(wide.m_compressed, wide.m_width, wide.m_height) = std::tuple(true, 40000, 1);
    for (uint32_t x = 0; x < 40000; ++x)
        wide.m_red.push_back(x % 2 * 60000);
    const std::string target = WriteBytes(dir.File("wide.st7"), {9});
    messages.Clear();
    EXPECT_EQ(wide.Save(target), 0);
    EXPECT_EQ(messages.m_messages, Lines{"Failed to write image data."});
    EXPECT_EQ(ReadBytes(target), Blob{9});
    // No rows: its width alone would size 4 GiB of row buffer.
    CSbigImage empty(shared, messages);
    empty.m_header = Header("ST-7 Image", INT32_MAX, 0);
    empty.m_width = INT32_MAX;
    CAllocationLimit limit(std::size_t(1) << 20);
    EXPECT_EQ(empty.Save(target), 1);
    EXPECT_EQ(ReadBytes(target), empty.m_header);
}

TEST(SbigRowCodec, DecodesDeltasEscapesAndWrapAroundAndRefusesMalformedRows)
{
    const struct {
        Blob body;
        int32_t width;
        bool ok;
        Values values;
    } cases[] = {
        // 0x1234, +1, -1, escape to 0xFFFF, +1 wraps to 0, -1 back to 0xFFFF,
        // +127 wraps to 126, -127 to 0xFFFF, escape on the last pixel.
        {{0x34, 0x12, 0x01, 0xFF, 0x80, 0xFF, 0xFF, 0x01, 0xFF, 0x7F, 0x81, 0x80, 0x00, 0x01}, 9, true,
         {0x1234, 0x1235, 0x1234, 0xFFFF, 0, 0xFFFF, 126, 0xFFFF, 256}},
        {{0x34, 0x12, 0xFF, 0xFF, 0x00, 0x01}, 3, true, {4660, 65535, 256}},  // twice the width: raw
        {{0, 0}, 1, true, {0}},                                                // width 1 is always raw
        {{}, 0, true, {}},
        {{}, 1, false, {}},
        {Blob(6, 0), 6, false, {}},                                 // fewer than width+1 bytes
        {Blob(13, 0), 6, false, {}},                                // more than twice the width
        {{0, 0, 1, 1, 1, 1, 1, 1}, 6, false, {}},                   // one byte too many
        {{0, 0, 1, 1, 1, 0x80, 1}, 6, false, {}},                   // escape cut off
        {{0, 0, 1, 1, 1, 1, 0x80}, 6, false, {}},                   // escape in the last byte
        {{0, 0, 0x80, 1, 0, 0x80, 2, 0, 0x80, 3}, 6, false, {}},    // the bytes run out
    };
    Values v;
    for (const auto& c : cases) {
        EXPECT_EQ(Decode(c.body, c.width, v), c.ok) << testing::PrintToString(c.body);
        EXPECT_TRUE(!c.ok || v == c.values) << testing::PrintToString(v);
    }
    // Every cut of a valid coded row is refused, though the bytes after the
    // cut, if read, would complete it.
    const Blob encoded = Encode({100, 101, 30000, 30001, 5, 6, 7, 60000, 60001, 60002, 3});
    ASSERT_LT(encoded.size(), 2u + 2 * 11);
    for (std::size_t cut = 2; cut < encoded.size(); ++cut)
        EXPECT_FALSE(Decode(Blob(&encoded[2], &encoded[cut]), 11, v)) << cut;
}

TEST(SbigRowCodec, EncodesCanonically)
{
    const std::pair<Values, Blob> cases[] = {
        // Deltas within -127..127 are one byte; 128 and -128 take the escape;
        // values keep bits 0..15.
        {{1000, 1127, 1000, 1128, 1000, 873, 873, 70000, 4464},
         {16, 0, 0xE8, 0x03, 0x7F, 0x81, 0x80, 0x68, 0x04, 0x80, 0xE8, 0x03, 0x81, 0x00, 0x80, 0x70, 0x11, 0x00}},
        // Two escapes: 10 bytes, as long as raw, which a reader would take
        // for raw values: it must be raw. One escape fewer: coded.
        {{10, 5000, 9000, 9001, 9002}, {10, 0, 10, 0, 0x88, 0x13, 0x28, 0x23, 0x29, 0x23, 0x2A, 0x23}},
        {{10, 5000, 5001, 5002, 5003}, {8, 0, 10, 0, 0x80, 0x88, 0x13, 1, 1, 1}},
        {{}, {0, 0}},
        {{65535}, {2, 0, 0xFF, 0xFF}},  // width 1: always raw
    };
    for (const auto& [values, encoded] : cases)
        EXPECT_EQ(Encode(values), encoded) << testing::PrintToString(values);
    // 40000 pixels: a raw row would need a count of 80000; a smooth row is
    // coded. (A row of escapes, which fits no count, is refused on saving.)
    Values wide(40000);
    for (uint32_t x = 0; x < 40000; ++x)
        wide[x] = 1000 + x % 50;
    EXPECT_EQ(Encode(wide).size(), 2u + 40001u);
}
