// Files written by cfitsio (an independent FITS implementation) open here with
// the values cfitsio reads; files saved here after a change read back in
// cfitsio with the changed values, and fitsverify still passes on them.
#include <gtest/gtest.h>

#include <fitsio.h>

#include <cstdlib>
#include <string>

#include "CoreTestSupport.h"
#include "filter/CFilterRunRecord.h"
#include "image/CFitsCard.h"
#include "image/CFitsHistory.h"
#include "image/CFitsImage.h"
#include "image/CFitsMaskWriter.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

using coretest::CTempDir;

namespace {

bool FitsverifyPasses(const std::string& path)
{
    const std::string command = std::string(DORVANE_FITSVERIFY) + " -q " + path + " > /dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Writes an image with cfitsio; values are the raw (physical) values.
void WriteWithCfitsio(const std::string& path, int bitpix, const std::vector<long>& axes,
                      const std::vector<long long>& values, bool explicitScale, int commentCards = 0,
                      bool extension = false)
{
    fitsfile* f = nullptr;
    int status = 0;
    const std::string name = "!" + path;  // "!" replaces an existing file
    fits_create_file(&f, name.c_str(), &status);
    std::vector<long> naxes = axes;
    fits_create_img(f, bitpix, static_cast<int>(naxes.size()), naxes.data(), &status);
    if (explicitScale) {
        double zero = 0.0, scale = 1.0;
        fits_write_key(f, TDOUBLE, "BZERO", &zero, "no offset", &status);
        fits_write_key(f, TDOUBLE, "BSCALE", &scale, "no scale", &status);
        fits_set_bscale(f, 1.0, 0.0, &status);
    }
    for (int i = 0; i < commentCards; ++i) {
        const std::string text = "line " + std::to_string(i) + " of a long observing log";
        if (i % 2)
            fits_write_comment(f, text.c_str(), &status);
        else
            fits_write_history(f, text.c_str(), &status);
    }
    std::vector<long long> data = values;
    fits_write_img(f, TLONGLONG, 1, static_cast<LONGLONG>(data.size()), data.data(), &status);
    if (extension) {
        long extAxes[2] = {3, 2};
        fits_create_img(f, FLOAT_IMG, 2, extAxes, &status);
        float ext[6] = {1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f};
        fits_write_img(f, TFLOAT, 1, 6, ext, &status);
    }
    fits_close_file(f, &status);
    ASSERT_EQ(status, 0) << "cfitsio status " << status;
}

// Reads the primary image with cfitsio into unsigned 32-bit values.
std::vector<long long> ReadWithCfitsio(const std::string& path, long long count)
{
    fitsfile* f = nullptr;
    int status = 0;
    std::vector<long long> values(static_cast<std::size_t>(count));
    fits_open_file(&f, path.c_str(), READONLY, &status);
    int anynul = 0;
    fits_read_img(f, TLONGLONG, 1, count, nullptr, values.data(), &anynul, &status);
    fits_close_file(f, &status);
    EXPECT_EQ(status, 0) << "cfitsio status " << status;
    return values;
}

// Every card of the primary header as cfitsio reads it, END left out.
std::vector<std::string> CardsWithCfitsio(const std::string& path)
{
    fitsfile* f = nullptr;
    int status = 0;
    fits_open_file(&f, path.c_str(), READONLY, &status);
    int count = 0, more = 0;
    fits_get_hdrspace(f, &count, &more, &status);
    std::vector<std::string> cards;
    for (int i = 1; i <= count && status == 0; ++i) {
        char card[FLEN_CARD] = {};
        fits_read_record(f, i, card, &status);
        cards.push_back(card);
    }
    fits_close_file(f, &status);
    EXPECT_EQ(status, 0) << "cfitsio status " << status;
    return cards;
}

// A keyword's value as cfitsio reads it: an integer (logical T is 1), or a
// string, long ones continued over several cards included. Missing keys
// give -1 and "(missing)".
long long KeyWithCfitsio(const std::string& path, const char* key)
{
    fitsfile* f = nullptr;
    int status = 0;
    long long value = -1;
    fits_open_file(&f, path.c_str(), READONLY, &status);
    if (fits_read_key(f, TLONGLONG, key, &value, nullptr, &status) == KEY_NO_EXIST)
        value = -1;
    status = 0;
    fits_close_file(f, &status);
    return value;
}

std::string StringKeyWithCfitsio(const std::string& path, const char* key)
{
    fitsfile* f = nullptr;
    int status = 0;
    char* value = nullptr;
    fits_open_file(&f, path.c_str(), READONLY, &status);
    fits_read_key_longstr(f, key, &value, nullptr, &status);
    std::string text = status == 0 && value ? value : "(missing)";
    if (value)
        fits_free_memory(value, &status);
    status = 0;
    fits_close_file(f, &status);
    return text;
}

class CfitsioInteropTest : public ::testing::Test {
protected:
    CfitsioInteropTest() { shared.m_nDisplayBpp = 32; }

    // Opens path, checks the planes against values, saves the image
    // unchanged (the same bytes again), changes one value per plane, saves
    // to a new file and checks it with cfitsio and fitsverify.
    void CheckOpenChangeSave(const std::string& path, const std::vector<long long>& values,
                             int planes, long long changed)
    {
        const bool verified = FitsverifyPasses(path);
        CFitsImage image(shared, messages);
        ASSERT_TRUE(image.Open(path)) << ::testing::PrintToString(messages.m_messages);
        ASSERT_EQ(image.m_isColor, planes == 3);
        std::vector<uint32_t>* plane[3] = {&image.m_red, &image.m_green, &image.m_blue};
        const std::size_t n = image.m_red.size();
        ASSERT_EQ(n * planes, values.size());
        for (int p = 0; p < planes; ++p)
            for (std::size_t i = 0; i < n; ++i)
                ASSERT_EQ(static_cast<int32_t>((*plane[p])[i]), values[p * n + i]) << p << "," << i;
        const std::string unchanged = dir.File("unchanged.fit");
        ASSERT_EQ(image.Save(unchanged), 1);
        EXPECT_EQ(coretest::ReadBytes(unchanged), coretest::ReadBytes(path));

        std::vector<long long> expected = values;
        for (int p = 0; p < planes; ++p) {
            (*plane[p])[n / 2] = static_cast<uint32_t>(changed);
            expected[p * n + n / 2] = changed;
        }
        const std::string saved = dir.File("saved.fit");
        ASSERT_EQ(image.Save(saved), 1);
        EXPECT_EQ(ReadWithCfitsio(saved, static_cast<long long>(values.size())), expected);
        if (verified) {
            EXPECT_TRUE(FitsverifyPasses(saved));
        }
    }

    CTempDir dir;
    CSharedState shared;
    CCollectingMessageSink messages;
};

TEST_F(CfitsioInteropTest, UnsignedSixteenBit)
{
    std::vector<long long> values;
    for (long long i = 0; i < 37 * 23; ++i)
        values.push_back((i * 977) % 65536);
    values[0] = 0;
    values[1] = 65535;
    const std::string path = dir.File("u16.fit");
    WriteWithCfitsio(path, USHORT_IMG, {37, 23}, values, false);
    EXPECT_EQ(ReadWithCfitsio(path, static_cast<long long>(values.size())), values);
    CheckOpenChangeSave(path, values, 1, 65535);
    EXPECT_TRUE(FitsverifyPasses(path));
}

TEST_F(CfitsioInteropTest, EightBitAndSignedSixteenBitWithAndWithoutScaleCards)
{
    // cfitsio writes neither BZERO nor BSCALE for these types unless asked:
    // both default to 0 and 1, and negative stored values stay negative.
    std::vector<long long> bytes;
    for (long long i = 0; i < 19 * 7; ++i)
        bytes.push_back((i * 31) % 256);
    const std::vector<long long> shorts{-32768, -1, 0, 1, 32767, -500};
    struct SCase {
        int bitpix;
        std::vector<long> axes;
        const std::vector<long long>& values;
        bool explicitScale;
        long long changed;
    };
    const SCase cases[] = {
        {BYTE_IMG, {19, 7}, bytes, false, 200},
        {BYTE_IMG, {19, 7}, bytes, true, 200},
        {SHORT_IMG, {3, 2}, shorts, false, -1234},
        {SHORT_IMG, {3, 2}, shorts, true, -1234},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "BITPIX " << c.bitpix << (c.explicitScale ? " with" : " without")
                                          << " BZERO and BSCALE");
        const std::string path = dir.File("plain.fit");
        WriteWithCfitsio(path, c.bitpix, c.axes, c.values, c.explicitScale);
        ASSERT_TRUE(FitsverifyPasses(path));
        CheckOpenChangeSave(path, c.values, 1, c.changed);
    }
}

TEST_F(CfitsioInteropTest, ThreePlaneCube)
{
    std::vector<long long> values;
    for (long long i = 0; i < 3 * 11 * 5; ++i)
        values.push_back(1000 + i * 401 % 60000);
    const std::string path = dir.File("cube.fit");
    WriteWithCfitsio(path, USHORT_IMG, {11, 5, 3}, values, false);
    CheckOpenChangeSave(path, values, 3, 7);
}

TEST_F(CfitsioInteropTest, HeaderOverSeveralBlocksWithCommentsAndHistory)
{
    std::vector<long long> values(64 * 48, 1200);
    values[5] = 40000;
    const std::string path = dir.File("long-header.fit");
    WriteWithCfitsio(path, USHORT_IMG, {64, 48}, values, false, 90);
    CheckOpenChangeSave(path, values, 1, 0);
    CFitsImage image(shared, messages);
    ASSERT_TRUE(image.Open(path));
    EXPECT_GE(image.m_header.size(), 3 * 2880u);
}

TEST_F(CfitsioInteropTest, AnExtensionAfterThePrimaryImageIsKept)
{
    std::vector<long long> values;
    for (long long i = 0; i < 20 * 10; ++i)
        values.push_back(i * 300);
    const std::string path = dir.File("ext.fit");
    WriteWithCfitsio(path, USHORT_IMG, {20, 10}, values, false, 0, true);
    CheckOpenChangeSave(path, values, 1, 3);

    // The extension still reads in cfitsio from the saved file.
    fitsfile* f = nullptr;
    int status = 0;
    const std::string saved = dir.File("saved.fit");
    fits_open_file(&f, saved.c_str(), READONLY, &status);
    int hdus = 0;
    fits_get_num_hdus(f, &hdus, &status);
    EXPECT_EQ(hdus, 2);
    int type = 0;
    fits_movabs_hdu(f, 2, &type, &status);
    float ext[6] = {};
    int anynul = 0;
    fits_read_img(f, TFLOAT, 1, 6, nullptr, ext, &anynul, &status);
    fits_close_file(f, &status);
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(ext[5], 6.5f);
}

TEST_F(CfitsioInteropTest, HistoryCardsGoBeforeEndInTheRoomLeftOrInANewBlock)
{
    std::vector<long long> values(16 * 12, 900);
    values[7] = 61000;
    // Where cfitsio's own header puts END, and the blank cards after it.
    const std::string probe = dir.File("probe.fit");
    WriteWithCfitsio(probe, USHORT_IMG, {16, 12}, values, false);
    const std::size_t endCard = CardsWithCfitsio(probe).size();
    const int room = static_cast<int>(35 - endCard % 36);
    ASSERT_GT(room, 1);
    struct SCase {
        const char* name;
        int logCards;  // cfitsio's own HISTORY and COMMENT cards
        int added;
        std::size_t newBlocks;
    };
    const SCase cases[] = {
        {"room for every card", 0, 2, 0},
        {"the cards fill the room exactly", 0, room, 0},
        {"one card more than the room", 0, room + 1, 1},
        {"END in the last card of its block", room, 1, 1},
        {"a header of several blocks", 40, 3, 0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("history.fit");
        WriteWithCfitsio(path, USHORT_IMG, {16, 12}, values, false, c.logCards);
        const std::vector<std::string> before = CardsWithCfitsio(path);
        CFitsImage image(shared, messages);
        ASSERT_TRUE(image.Open(path));
        const std::size_t headerBytes = image.m_header.size();
        std::vector<std::string> cards;
        for (int i = 0; i < c.added; ++i)
            cards.push_back(CFitsCard::Commentary("HISTORY", "step " + std::to_string(i) + " of the run").front());
        ASSERT_TRUE(CFitsHistory::Insert(image.m_header, cards));
        EXPECT_EQ(image.m_header.size(), headerBytes + 2880 * c.newBlocks);
        const std::string saved = dir.File("history-saved.fit");
        ASSERT_EQ(image.Save(saved), 1);
        EXPECT_TRUE(FitsverifyPasses(saved));
        // The old cards in their places, then the new ones, then END.
        std::vector<std::string> expected = before;
        for (const std::string& card : cards)
            expected.push_back(card.substr(0, card.find_last_not_of(' ') + 1));
        EXPECT_EQ(CardsWithCfitsio(saved), expected);
        EXPECT_EQ(ReadWithCfitsio(saved, static_cast<long long>(values.size())), values);
    }

    // No END card: nothing added.
    std::vector<uint8_t> noEnd(2880, ' ');
    EXPECT_FALSE(CFitsHistory::Insert(noEnd, {CFitsCard::End()}));
    EXPECT_EQ(noEnd, std::vector<uint8_t>(2880, ' '));
}

TEST_F(CfitsioInteropTest, ReplacedPixelMaskPassesFitsverifyAndReadsBackInCfitsio)
{
    const int32_t w = 13, h = 7;
    // A file name that needs quoting, continuation cards and replacement of
    // bytes a header cannot hold.
    const std::string name = "o'brien night 2 \xc3\xa9t\xc3\xa9 - a long name for a frame of M42, taken with care.fit";
    struct SCase {
        const char* name;
        bool color;
        std::vector<CPlaneRunRecord> planes;
        std::vector<std::pair<const char*, long long>> keys;  // -1: absent
    };
    auto plane = [&](int index, uint32_t intensity, int32_t length, std::vector<std::pair<int, int>> changed) {
        CPlaneRunRecord record;
        record.plane = index;
        record.intensity = intensity;
        record.length = length;
        record.width = 2;
        record.changes.Reset(w, h);
        for (auto [x, y] : changed)  // in row-major order
            record.changes.Add(y, x, x + 1);
        return record;
    };
    const SCase cases[] = {
        {"monochrome", false, {plane(0, 60000, 5, {{2, 1}, {5, 3}, {11, 6}})},
         {{"NAXIS", 2}, {"INTENS", 60000}, {"LENGTH", 5}, {"WIDTH", 2}, {"INTENS1", -1}, {"NREPLACE", 3}}},
        {"colour planes that differ", true, {plane(0, 60000, 5, {{3, 3}}), plane(2, 50000, 5, {{4, 4}, {4, 5}})},
         {{"NAXIS", 3}, {"NAXIS3", 3}, {"INTENS", -1}, {"INTENS1", 60000}, {"INTENS2", -1}, {"INTENS3", 50000},
          {"LENGTH", 5}, {"LENGTH1", -1}, {"NREPLACE", 3}}},
        {"colour, one plane", true, {plane(1, 40000, 3, {})},
         {{"NAXIS", 3}, {"INTENS", 40000}, {"LENGTH", 3}, {"NREPLACE", 0}}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        CFilterRunRecord record;
        record.imageWidth = w;
        record.imageHeight = h;
        record.isColor = c.color;
        record.mirror = true;
        record.region = {2, 1, 12, 7};
        record.planes = c.planes;
        const std::string path = dir.File("mask.fits");
        ASSERT_TRUE(CFitsMaskWriter::Write(path, record, {name, "dorvane-cli", "1.8", "2026-01-02T03:04:05"},
                                           messages));
        EXPECT_TRUE(FitsverifyPasses(path));
        for (auto [key, value] : c.keys)
            EXPECT_EQ(KeyWithCfitsio(path, key), value) << key;
        EXPECT_EQ(KeyWithCfitsio(path, "MIRROR"), 1);
        EXPECT_EQ(StringKeyWithCfitsio(path, "REGION"), "2,1,12,7");
        EXPECT_EQ(StringKeyWithCfitsio(path, "FILENAME"), CFitsCard::Printable(name));
        EXPECT_EQ(StringKeyWithCfitsio(path, "PLANES"), c.color ? (c.planes.size() == 2 ? "RB" : "G") : "(missing)");
        EXPECT_EQ(StringKeyWithCfitsio(path, "PROGRAM"), "dorvane-cli");
        const std::vector<long long> data = ReadWithCfitsio(path, w * h * (c.color ? 3 : 1));
        for (int p = 0; p < (c.color ? 3 : 1); ++p)
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const CPlaneRunRecord* run = record.Plane(p);
                    ASSERT_EQ(data[static_cast<std::size_t>((p * h + y) * w + x)], run && run->changes.At(x, y) ? 1 : 0)
                        << p << ":" << x << "," << y;
                }
    }
}

}  // namespace
