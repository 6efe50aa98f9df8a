// Files written by cfitsio (an independent FITS implementation) open here with
// the values cfitsio reads; files saved here after a change read back in
// cfitsio with the changed values, and fitsverify still passes on them.
#include <gtest/gtest.h>

#include <fitsio.h>

#include <cstdlib>
#include <string>

#include "CoreTestSupport.h"
#include "image/CFitsImage.h"
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

}  // namespace
