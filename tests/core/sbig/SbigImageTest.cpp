// SBIG Type 3 files: the header's lines, raw and compressed rows, refusals
// before anything is allocated, and saving in the file's own form.
#include <gtest/gtest.h>

#include "CAllocationLimit.h"
#include "CoreTestSupport.h"
#include "image/CDorvaneDoc.h"
#include "image/CSbigImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CSharedState.h"

using namespace coretest;
using Messages = std::vector<std::string>;
using Lines = std::vector<std::string>;

namespace {

class SbigImage : public ::testing::Test {
protected:
    SbigImage() { shared.m_nDisplayBpp = 32; }

    std::unique_ptr<CSbigImage> Open(const Blob& bytes)
    {
        messages.Clear();
        auto image = std::make_unique<CSbigImage>(shared, messages);
        opened = image->Open(WriteBytes(dir.File("frame.st7"), bytes));
        return image;
    }

    CTempDir dir;
    CSharedState shared;
    CCollectingMessageSink messages;
    bool opened = false;
};

const Blob kEight = RawRows({0x1234, 2, 3, 4, 5, 6, 7, 8});

}  // namespace

TEST_F(SbigImage, HeaderLinesTable)
{
    // Keywords in any order, repeated (the last wins, each counts), only up
    // to End; lines end in LF CR or CR and are cut after 64 bytes; the first
    // line's last two words tell whether rows are compressed.
    const std::vector<uint32_t> values = {10, 11, 12, 13, 50000, 50001, 9, 9};
    const struct {
        Lines lines;
        const char* ending;
        Blob data;
        bool opens;
        int32_t width = 0, height = 0;
        bool compressed = false;
        Lines header = {};  // the header's lines as listed, when given
    } cases[] = {
        {{"ST-7 Image", "Width = 4", "Height = 2", "End", "after End"}, "\n\r", kEight, true, 4, 2, false,
         {"ST-7 Image", "Width = 4", "Height = 2", "End"}},
        {{"ST-7 Image", "Height = 2", "Note = x", "Width = 4", "End"}, "\r", kEight, true, 4, 2, false,
         {"ST-7 Image", "Height = 2", "Note = x", "Width = 4", "End"}},
        {{"ST-7 Image", "Width = 4", "Width = 5", "End"}, "\n\r", {}, true, 5, 0, false},
        {{"ST-7 Image", "Width = 4", "End"}, "\n\r", kEight, false},
        {{"ST-7 Image", "Width = 4", "End", "Height = 2"}, "\n\r", kEight, false},
        {{"ST-7 Image", "Width = 4", "Height = 2"}, "\n\r", kEight, false},
        // LF CR ends a line: CR LF puts the LF at the start of the next one.
        {{"ST-7 Image", "Width = 4", "Height = 2", "End"}, "\r\n", kEight, false, 0, 0, false,
         {"ST-7 Image", "Width = 4", "Height = 2", "End"}},
        {{"ST-7 Image", std::string(64, 'a') + "Height = 2", "Width = 4", "End"}, "\n\r", kEight, true, 4, 2, false},
        {{"ST-7 Image", std::string(63, 'a') + "Height = 2", "Width = 4", "End"}, "\n\r", kEight, false},
        {{"ST-7 Image", "Height = 2", "Width = " + std::string(56, ' ') + "4", "End"}, "\n\r", {}, true, 0, 2, false},
        {{"ST-7 Compressed Image", "Width = 4", "Height = 2", "End"}, "\n\r", CompressedRows(values, 4), true, 4, 2, true},
        {{"ST-7 Image", "Note = Compressed Image", "Width = 4", "Height = 2", "End"}, "\n\r", RawRows(values), true, 4, 2, false},
        {{"ST-7 Uncompressed Image", "Width = 4", "Height = 2", "End"}, "\n\r", RawRows(values), true, 4, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lines));
        auto image = Open(Concat(SbigHeader(c.lines, c.ending), c.data));
        ASSERT_EQ(opened, c.opens);
        EXPECT_TRUE(c.header.empty() || image->HeaderLines() == c.header) << testing::PrintToString(image->HeaderLines());
        if (!c.opens) {
            EXPECT_EQ(messages.m_messages, Messages{"Failed to read header."});
            continue;
        }
        EXPECT_TRUE(messages.m_messages.empty());
        EXPECT_EQ(std::tie(image->m_width, image->m_height, image->m_compressed), std::tie(c.width, c.height, c.compressed));
        EXPECT_EQ(std::tie(image->m_bitsPerPixel, image->m_maxValue, shared.m_nFullScale), std::tuple(16, 65535u, 65535u));
        const std::size_t n = static_cast<std::size_t>(c.width) * c.height;
        EXPECT_EQ(image->m_red, n ? (c.data == kEight ? std::vector<uint32_t>{0x1234, 2, 3, 4, 5, 6, 7, 8} : values)
                                  : std::vector<uint32_t>{});
        EXPECT_EQ(image->m_displayPixels.size(), 4 * n);
    }
}

TEST_F(SbigImage, CorruptShortAndOversizedFilesAreRefusedBeforeAllocating)
{
    const std::vector<uint32_t> frame = SkyFrame(64, 48, 7);
    const Blob packed = SbigHeader({"ST-7 Compressed Image", "Width = 64", "Height = 48", "End"});
    const Blob rows = CompressedRows(frame, 64);
    auto rowsWith = [&](std::size_t at, uint8_t byte) { Blob r = rows; r[at] = byte, r[1] = 0; return Concat(packed, r); };
    const std::size_t firstLength = rows[0] | (rows[1] << 8);
    ASSERT_LT(firstLength, 128u);
    const struct {
        const char* name;
        Blob bytes;
        const char* message;
        bool decoded = false;  // refused only once the rows were decoded
    } cases[] = {
        {"a row count beyond twice the width", rowsWith(0, 200), "Failed to read image data.", true},
        {"a row count below width+1", rowsWith(0, 64), "Failed to read image data.", true},
        // The next row's count is then read as pixel bytes.
        {"a row count one short", rowsWith(0, static_cast<uint8_t>(firstLength - 1)), "Failed to read image data.", true},
        {"cut inside the last row", Concat(packed, Blob(rows.begin(), rows.end() - 1)), "Failed to read image data."},
        {"cut before the first row ends", Concat(packed, Blob(rows.begin(), rows.begin() + 40)), "Failed to read image data."},
        {"raw, one byte short", Concat(SbigHeader({"ST-7 Image", "Width = 64", "Height = 48", "End"}),
                                       Blob(64 * 48 * 2 - 1, 0)), "Failed to read image data."},
        {"shorter than the header", Blob(1000, ' '), "Failed to read header."},
        {"60000 x 30000 over 100 bytes", Concat(SbigHeader({"ST-7 Image", "Width = 60000", "Height = 30000", "End"}), Blob(100, 0)),
         "Failed to read image data."},
        {"compressed, 60000 x 30000 over 100 bytes",
         Concat(SbigHeader({"ST-7 Compressed Image", "Width = 60000", "Height = 30000", "End"}), Blob(100, 0)),
         "Failed to read image data."},
        {"negative width", SbigHeader({"ST-7 Image", "Width = -4", "Height = 2", "End"}), "Image size is not supported."},
        {"65536 x 32768", SbigHeader({"ST-7 Image", "Width = 65536", "Height = 32768", "End"}), "Image size is not supported."},
    };
    for (const auto& c : cases) {
        auto image = Open(c.bytes);
        EXPECT_FALSE(opened) << c.name;
        EXPECT_EQ(messages.m_messages, Messages{c.message}) << c.name;
        EXPECT_TRUE(c.decoded || image->m_red.capacity() == 0) << c.name;
    }
    CSbigImage missing(shared, messages);
    messages.Clear();
    EXPECT_FALSE(missing.Open(dir.File("missing.st7")));
    EXPECT_EQ(messages.m_messages, Messages{"Failed to open file."});
}

TEST_F(SbigImage, ChangedImagesSaveInTheirOwnForm)
{
    // Raw or compressed as read, decoding to the change; a compressed row
    // ending exactly at the file's end.
    std::vector<uint32_t> frame = SkyFrame(64, 48, 7);
    for (bool compressed : {false, true}) {
        const Blob header = SbigHeader({compressed ? "ST-7 Compressed Image" : "ST-7 Image", "Width = 64", "Height = 48", "End"});
        auto image = Open(Concat(header, compressed ? CompressedRows(frame, 64) : RawRows(frame)));
        ASSERT_TRUE(opened);
        image->m_red[0] = 0;
        image->m_red[1] = 0x1234;
        image->m_red[64 * 48 - 1] = 65535;
        const std::string copy = dir.File("changed.st7");
        ASSERT_EQ(image->Save(copy), 1);
        const Blob written = ReadBytes(copy);
        EXPECT_EQ(written, Concat(header, compressed ? CompressedRows(image->m_red, 64) : RawRows(image->m_red)));
        CSbigImage again(shared, messages);
        ASSERT_TRUE(again.Open(copy));
        EXPECT_EQ(again.m_red, image->m_red);
        EXPECT_EQ(again.m_compressed, compressed);
    }
    // A row read compressed at 40000 pixels, then made too noisy to code in
    // 65535 bytes, is refused rather than written with a wrapped count.
    CSbigImage wide(shared, messages);
    wide.m_header = SbigHeader({"ST-7 Compressed Image", "Width = 40000", "Height = 1", "End"});
    wide.m_compressed = true;
    wide.m_width = 40000;
    wide.m_height = 1;
    wide.m_red.assign(40000, 0);
    for (std::size_t x = 1; x < wide.m_red.size(); x += 2)
        wide.m_red[x] = 60000;
    const std::string target = WriteBytes(dir.File("wide.st7"), {9});
    messages.Clear();
    EXPECT_EQ(wide.Save(target), 0);
    EXPECT_EQ(messages.m_messages, Messages{"Failed to write image data."});
    EXPECT_EQ(ReadBytes(target), Blob{9});
    // No rows: its width alone would size 4 GiB of row buffer.
    CSbigImage empty(shared, messages);
    empty.m_header = SbigHeader({"ST-7 Image", "Width = 2147483647", "Height = 0", "End"});
    empty.m_width = 2147483647;
    CAllocationLimit limit(std::size_t(1) << 20);
    EXPECT_EQ(empty.Save(target), 1);
    EXPECT_EQ(ReadBytes(target), empty.m_header);
}

// The samples' compressed rows come from the generator's own encoder, so the
// core's decoder and encoder are checked against a second implementation.
TEST_F(SbigImage, TheSamplesHoldTheFitsSamplesPixelsAndSaveBackByteForByte)
{
    CMemorySettings settings;
    auto open = [&](const char* name) {
        auto doc = std::make_unique<CDorvaneDoc>(shared, messages, settings);
        EXPECT_TRUE(doc->OnOpenDocument(std::string(DORVANE_SAMPLES_DIR) + "/" + name)) << name;
        return doc;
    };
    const auto fits = open("m42-synthetic.fit");
    for (const char* name : {"m42-synthetic.st7", "m42-synthetic-compressed.st7"}) {
        const auto doc = open(name);
        EXPECT_EQ(doc->m_pImage->m_red, fits->m_pImage->m_red) << name;
        EXPECT_EQ(std::pair(doc->m_pImage->m_stretchLow, doc->m_pImage->m_stretchHigh),
                  std::pair(fits->m_pImage->m_stretchLow, fits->m_pImage->m_stretchHigh));
        ASSERT_TRUE(doc->OnSaveDocument(dir.File(name)));
        EXPECT_EQ(ReadBytes(dir.File(name)), ReadBytes(std::string(DORVANE_SAMPLES_DIR) + "/" + name)) << name;
    }
    EXPECT_TRUE(messages.m_messages.empty());
}
