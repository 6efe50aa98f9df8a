// Files written by cfitsio (an independent FITS implementation) open here with
// the values cfitsio reads; files saved here after a change, with HISTORY
// cards added, and the replaced-pixel masks read back in cfitsio with the
// values meant, and fitsverify passes on them.
#include <fitsio.h>

#include <cstdlib>

#include "CoreTestSupport.h"
#include "filter/CFilterRunRecord.h"
#include "image/CFitsCard.h"
#include "image/CFitsHistory.h"
#include "image/CFitsImage.h"
#include "image/CFitsMaskWriter.h"

using Values = std::vector<long long>;

namespace {

bool FitsverifyPasses(const std::string& path)
{
    return std::system((std::string(DORVANE_FITSVERIFY) + " -q " + path + " > /dev/null 2>&1").c_str()) == 0;
}

// An image for cfitsio to write: values are the physical ones; BSCALE and
// BZERO cards only when bscale is not 0 (cfitsio writes none for these types
// unless asked); commentCards HISTORY and COMMENT cards; an extension after it.
struct SImage {
    int bitpix;
    std::vector<long> axes;
    Values values;
    double bscale = 0, bzero = 0;
    int commentCards = 0;
    bool extension = false;
};

void WriteWithCfitsio(const std::string& path, SImage image)
{
    fitsfile* f = nullptr;
    int status = 0;
    long extAxes[2] = {3, 2};
    float ext[6] = {1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f};
    fits_create_file(&f, ("!" + path).c_str(), &status);  // "!" replaces an existing file
    fits_create_img(f, image.bitpix, static_cast<int>(image.axes.size()), image.axes.data(), &status);
    if (image.bscale != 0) {
        fits_write_key(f, TDOUBLE, "BZERO", &image.bzero, "offset", &status);
        fits_write_key(f, TDOUBLE, "BSCALE", &image.bscale, "scale", &status);
        fits_set_bscale(f, image.bscale, image.bzero, &status);
    }
    for (int i = 0; i < image.commentCards; ++i)
        (i % 2 ? fits_write_comment : fits_write_history)(f, ("line " + std::to_string(i) + " of a log").c_str(), &status);
    fits_write_img(f, TLONGLONG, 1, static_cast<LONGLONG>(image.values.size()), image.values.data(), &status);
    if (image.extension && !fits_create_img(f, FLOAT_IMG, 2, extAxes, &status))
        fits_write_img(f, TFLOAT, 1, 6, ext, &status);
    fits_close_file(f, &status);
    ASSERT_EQ(status, 0) << "cfitsio status " << status;
}

// What cfitsio reads of a file: count values of the primary image, its cards
// (END left out), and the last HDU's float data when there are two.
struct SCfitsioView {
    Values values;
    std::vector<std::string> cards;
    std::vector<float> lastHdu;
};

SCfitsioView ReadWithCfitsio(const std::string& path, long long count)
{
    SCfitsioView view{Values(static_cast<std::size_t>(count)), {}, {}};
    fitsfile* f = nullptr;
    int status = 0, anynul = 0, cards = 0, hdus = 0, type = 0;
    char card[FLEN_CARD] = {};
    fits_open_file(&f, path.c_str(), READONLY, &status);
    fits_read_img(f, TLONGLONG, 1, count, nullptr, view.values.data(), &anynul, &status);
    fits_get_hdrspace(f, &cards, nullptr, &status);
    for (int i = 1; i <= cards && !fits_read_record(f, i, card, &status); ++i)
        view.cards.push_back(card);
    if (!fits_get_num_hdus(f, &hdus, &status) && hdus > 1 && !fits_movabs_hdu(f, hdus, &type, &status)) {
        view.lastHdu.resize(6);
        fits_read_img(f, TFLOAT, 1, 6, nullptr, view.lastHdu.data(), &anynul, &status);
    }
    fits_close_file(f, &status);
    EXPECT_EQ(status, 0) << "cfitsio status " << status;
    return view;
}

// A keyword's value as text, long strings continued over several cards
// joined; "(missing)" when there is none.
std::string KeyWithCfitsio(const std::string& path, const char* key)
{
    fitsfile* f = nullptr;
    int status = 0;
    char* value = nullptr;
    fits_open_file(&f, path.c_str(), READONLY, &status);
    fits_read_key_longstr(f, key, &value, nullptr, &status);
    const std::string text = status == 0 && value ? value : "(missing)";
    status = 0;
    fits_free_memory(value, &status);
    fits_close_file(f, &status);
    return text;
}

Values Ramp(long long count, long long step, long long modulo, long long offset = 0)
{
    Values values;
    for (long long i = 0; i < count; ++i)
        values.push_back(offset + i * step % modulo);
    return values;
}

using CfitsioInterop = CoreTest;

}  // namespace

// Each file: the planes as cfitsio wrote them, saved unchanged over itself the
// same bytes;
// with one value per plane changed, what cfitsio then reads, and fitsverify
// still passes.
TEST_F(CfitsioInterop, FilesOfCfitsioOpenChangeAndSave)
{
    const Values shorts{-32768, -1, 0, 1, 32767, -500}, bytes = Ramp(19 * 7, 31, 256);
    Values u16 = Ramp(37 * 23, 977, 65536), flat(64 * 48, 1200), scaled, scaledBytes;
    u16[1] = 65535;
    flat[5] = 40000;
    for (long long stored : Ramp(41 * 3, 977, 65536, -32768))
        scaled.push_back(3 * stored - 10);
    for (long long stored : bytes)
        scaledBytes.push_back(3 * stored - 7);
    const struct {
        const char* name;
        SImage image;
        long long changed, readBack;  // a value set in each plane, and what cfitsio then reads there
    } cases[] = {
        {"unsigned 16-bit", {USHORT_IMG, {37, 23}, u16}, 65535, 65535},
        {"8-bit", {BYTE_IMG, {19, 7}, bytes}, 200, 200},
        {"signed 16-bit", {SHORT_IMG, {3, 2}, shorts}, -1234, -1234},
        // A changed value no multiple of the scale divides back truncating
        // toward zero: (7+10)/3 = 5.67 -> 5, (-18+10)/3 = -2.67 -> -2.
        {"scaled by 3 around -10", {SHORT_IMG, {41, 3}, scaled, 3, -10}, 7, 5},
        {"scaled by 3 around -10, a negative change", {SHORT_IMG, {41, 3}, scaled, 3, -10}, -18, -16},
        {"8-bit scaled by 3 around -7", {BYTE_IMG, {19, 7}, scaledBytes, 3, -7}, 201, 200},
        {"scaled by -1", {SHORT_IMG, {3, 2}, Ramp(6, 977, 65536, -32767), -1, 0}, 100, 100},
        {"three-plane cube", {USHORT_IMG, {11, 5, 3}, Ramp(3 * 11 * 5, 401, 60000, 1000)}, 7, 7},
        {"header over several blocks", {USHORT_IMG, {64, 48}, flat, 0, 0, 90}, 0, 0},
        {"an extension after the image", {USHORT_IMG, {20, 10}, Ramp(200, 300, 1 << 30), 0, 0, 0, true}, 3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("source.fit"), saved = dir.File("saved.fit");
        WriteWithCfitsio(path, c.image);
        ASSERT_TRUE(FitsverifyPasses(path));
        const Blob original = ReadBytes(path);
        CFitsImage image(shared, messages);
        ASSERT_TRUE(image.Open(path)) << testing::PrintToString(messages.m_messages);
        ASSERT_EQ(image.Save(path), 1);  // over the file it came from
        EXPECT_EQ(ReadBytes(path), original);
        const Values& values = c.image.values;
        const std::size_t planes = c.image.axes.size() == 3 ? 3 : 1, n = image.m_red.size();
        ASSERT_EQ(image.m_isColor, planes == 3);
        ASSERT_EQ(n * planes, values.size());
        Values expected = values;
        for (std::size_t p = 0; p < planes; ++p) {
            std::vector<uint32_t>& plane = p == 0 ? image.m_red : p == 1 ? image.m_green : image.m_blue;
            Values actual;
            for (uint32_t v : plane)
                actual.push_back(static_cast<int32_t>(v));  // raw values are signed
            ASSERT_EQ(actual, Values(&values[p * n], &values[p * n] + n)) << p;
            plane[n / 2] = static_cast<uint32_t>(c.changed);
            expected[p * n + n / 2] = c.readBack;
        }
        ASSERT_EQ(image.Save(saved), 1);
        const SCfitsioView view = ReadWithCfitsio(saved, static_cast<long long>(values.size()));
        EXPECT_EQ(view.values, expected);
        EXPECT_TRUE(FitsverifyPasses(saved));
        EXPECT_EQ(view.lastHdu, (c.image.extension ? std::vector{1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f} : std::vector<float>()));
    }
}

TEST_F(CfitsioInterop, HistoryCardsGoBeforeEndInTheRoomLeftOrInANewBlock)
{
    Values values(16 * 12, 900);
    values[7] = 61000;
    // Where cfitsio's own header puts END, and the blank cards after it.
    const std::string path = dir.File("history.fit"), saved = dir.File("history-saved.fit");
    WriteWithCfitsio(path, {USHORT_IMG, {16, 12}, values});
    const int room = static_cast<int>(35 - ReadWithCfitsio(path, 1).cards.size() % 36);
    ASSERT_GT(room, 1);
    const struct {
        const char* name;
        int logCards, added;  // cfitsio's own HISTORY and COMMENT cards, and the cards added
        std::size_t newBlocks;
    } cases[] = {
        {"room for every card", 0, 2, 0},       {"the cards fill the room exactly", 0, room, 0},
        {"one card more than the room", 0, room + 1, 1}, {"END in the last card of its block", room, 1, 1},
        {"a header of several blocks", 40, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWithCfitsio(path, {USHORT_IMG, {16, 12}, values, 0, 0, c.logCards});
        std::vector<std::string> expected = ReadWithCfitsio(path, 1).cards, cards;
        CFitsImage image(shared, messages);
        ASSERT_TRUE(image.Open(path));
        const std::size_t headerBytes = image.m_header.size();
        for (int i = 0; i < c.added; ++i) {
            cards.push_back(CFitsCard::Commentary("HISTORY", "step " + std::to_string(i) + " of the run").front());
            expected.push_back(cards.back().substr(0, cards.back().find_last_not_of(' ') + 1));
        }
        ASSERT_TRUE(CFitsHistory::Insert(image.m_header, cards));
        EXPECT_EQ(image.m_header.size(), headerBytes + 2880 * c.newBlocks);
        ASSERT_EQ(image.Save(saved), 1);
        EXPECT_TRUE(FitsverifyPasses(saved));
        // The old cards in their places, then the new ones, then END.
        const SCfitsioView view = ReadWithCfitsio(saved, static_cast<long long>(values.size()));
        EXPECT_EQ(view.cards, expected);
        EXPECT_EQ(view.values, values);
    }
    std::vector<uint8_t> noEnd(2880, ' ');  // no END card: nothing added
    EXPECT_FALSE(CFitsHistory::Insert(noEnd, {CFitsCard::End()}));
    EXPECT_EQ(noEnd, std::vector<uint8_t>(2880, ' '));
}

TEST_F(CfitsioInterop, ReplacedPixelMaskPassesFitsverifyAndReadsBackInCfitsio)
{
    const int32_t w = 13, h = 7;
    // A file name that needs quoting, continuation cards and replacement of
    // bytes a header cannot hold.
    const std::string name = "o'brien night 2 \xc3\xa9t\xc3\xa9 - a long name for a frame of M42, taken with care.fit";
    auto plane = [&](int index, uint32_t intensity, int32_t length, std::vector<std::pair<int, int>> changed) {
        CPlaneRunRecord record{index, intensity, length, 2, 0, 0, {}};
        record.changes.Reset(w, h);
        for (auto [x, y] : changed)  // in row-major order
            record.changes.Add(y, x, x + 1);
        return record;
    };
    const struct {
        const char* name;
        bool color;
        std::vector<CPlaneRunRecord> planes;
        std::vector<std::pair<const char*, const char*>> keys;
    } cases[] = {
        {"monochrome", false, {plane(0, 60000, 5, {{2, 1}, {5, 3}, {11, 6}})},
         {{"NAXIS", "2"}, {"INTENS", "60000"}, {"LENGTH", "5"}, {"WIDTH", "2"}, {"INTENS1", "(missing)"},
          {"NREPLACE", "3"}, {"PLANES", "(missing)"}}},
        {"colour planes that differ", true, {plane(0, 60000, 5, {{3, 3}}), plane(2, 50000, 5, {{4, 4}, {4, 5}})},
         {{"NAXIS", "3"}, {"NAXIS3", "3"}, {"INTENS", "(missing)"}, {"INTENS1", "60000"}, {"INTENS2", "(missing)"},
          {"INTENS3", "50000"}, {"LENGTH", "5"}, {"LENGTH1", "(missing)"}, {"NREPLACE", "3"}, {"PLANES", "RB"}}},
        {"colour, one plane", true, {plane(1, 40000, 3, {})},
         {{"NAXIS", "3"}, {"INTENS", "40000"}, {"LENGTH", "3"}, {"NREPLACE", "0"}, {"PLANES", "G"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CFilterRunRecord record{w, h, c.color, true, {2, 1, 12, 7}, c.planes};
        const std::string path = dir.File("mask.fits");
        ASSERT_TRUE(CFitsMaskWriter::Write(path, record, {name, "dorvane-cli", "1.8", "2026-01-02T03:04:05"}, messages));
        EXPECT_TRUE(FitsverifyPasses(path));
        for (auto [key, value] : c.keys)
            EXPECT_EQ(KeyWithCfitsio(path, key), value) << key;
        for (auto [key, value] : {std::pair{"MIRROR", "T"}, {"REGION", "2,1,12,7"}, {"PROGRAM", "dorvane-cli"}})
            EXPECT_EQ(KeyWithCfitsio(path, key), value) << key;
        EXPECT_EQ(KeyWithCfitsio(path, "FILENAME"), CFitsCard::Printable(name));
        const Values data = ReadWithCfitsio(path, w * h * (c.color ? 3 : 1)).values;
        for (int p = 0; p < (c.color ? 3 : 1); ++p)
            for (int32_t i = 0; i < w * h; ++i)
                ASSERT_EQ(data[static_cast<std::size_t>(p * w * h + i)], record.Plane(p) && record.Plane(p)->changes.At(i % w, i / w))
                    << p << ":" << i;
    }
}
