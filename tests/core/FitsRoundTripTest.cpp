#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <unistd.h>

#include "CAllocationLimit.h"
#include "CoreTestSupport.h"
#include "image/CFitsCard.h"
#include "image/CFitsHistory.h"
#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

using coretest::CFitsBuilder;
using coretest::CTempDir;
using coretest::ReadBytes;
using coretest::WriteBytes;

namespace {

class FitsRoundTripTest : public ::testing::Test {
protected:
    FitsRoundTripTest() { shared.m_nDisplayBpp = 32; }

    // Opens source, saves to target and returns the bytes written.
    std::vector<uint8_t> RoundTrip(const std::string& source, const std::string& target)
    {
        CFitsImage image(shared, messages);
        EXPECT_TRUE(image.Open(source)) << ::testing::PrintToString(messages.m_messages);
        EXPECT_EQ(image.Save(target), 1) << ::testing::PrintToString(messages.m_messages);
        EXPECT_TRUE(messages.m_messages.empty());
        return ReadBytes(target);
    }

    CTempDir dir;
    CSharedState shared;
    CCollectingMessageSink messages;
};

TEST_F(FitsRoundTripTest, TheBundledSampleIsWrittenBackByteForByte)
{
    const std::string sample = std::string(DORVANE_SAMPLES_DIR) + "/m42-synthetic.fit";
    const std::vector<uint8_t> original = ReadBytes(sample);
    ASSERT_GT(original.size(), 1000000u);
    EXPECT_EQ(RoundTrip(sample, dir.File("copy.fit")), original);
    // And saved in place.
    WriteBytes(dir.File("inplace.fit"), original);
    EXPECT_EQ(RoundTrip(dir.File("inplace.fit"), dir.File("inplace.fit")), original);
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST_F(FitsRoundTripTest, ColourCubesEightBitFilesAndTrailingBytesSurvive)
{
    CFitsBuilder cube;
    cube.Value("SIMPLE", "T").Value("BITPIX", "16").Value("NAXIS", "3").Value("NAXIS1", "3");
    cube.Value("NAXIS2", "2").Value("NAXIS3", "3").Value("BZERO", "32768").Value("BSCALE", "1");
    cube.Value("EXTEND", "T");
    for (int i = 0; i < 18; ++i)
        cube.Data16({static_cast<uint16_t>(i * 3001)});
    std::vector<uint8_t> bytes = cube.Bytes();
    // An extension after the primary image, kept as trailing bytes.
    std::string ext = "XTENSION= 'IMAGE   '";
    ext.resize(2880, ' ');
    bytes.insert(bytes.end(), ext.begin(), ext.end());
    bytes.push_back(0x42);
    WriteBytes(dir.File("cube.fit"), bytes);
    EXPECT_EQ(RoundTrip(dir.File("cube.fit"), dir.File("cube2.fit")), bytes);

    CFitsBuilder eight;
    eight.Value("BITPIX", "8").Value("NAXIS", "2").Value("NAXIS1", "5").Value("NAXIS2", "3");
    eight.Value("BZERO", "-7").Value("BSCALE", "3");
    for (int i = 0; i < 15; ++i)
        eight.data.push_back(static_cast<uint8_t>(i * 17));
    WriteBytes(dir.File("eight.fit"), eight.Bytes());
    EXPECT_EQ(RoundTrip(dir.File("eight.fit"), dir.File("eight.fit")), eight.Bytes());
}

TEST_F(FitsRoundTripTest, AChangedPixelChangesOnlyItsTwoBytes)
{
    CFitsBuilder b = CFitsBuilder::Mono16(4, 2);
    b.Data16({0x8000, 0x8001, 0x8002, 0x8003, 0x8004, 0x8005, 0x8006, 0x8007});
    WriteBytes(dir.File("a.fit"), b.Bytes());
    CFitsImage image(shared, messages);
    ASSERT_TRUE(image.Open(dir.File("a.fit")));
    image.m_red[5] = 65535;
    ASSERT_EQ(image.Save(dir.File("a.fit")), 1);
    std::vector<uint8_t> expected = b.Bytes();
    expected[2880 + 10] = 0x7F;
    expected[2880 + 11] = 0xFF;
    EXPECT_EQ(ReadBytes(dir.File("a.fit")), expected);
    // The image still compares later targets with the path it was read from.
    ASSERT_EQ(image.Save(dir.File("b.fit")), 1);
    EXPECT_EQ(image.m_pathName, dir.File("a.fit"));
}

TEST_F(FitsRoundTripTest, SavingKeepsPermissionBitsAndSymbolicLinks)
{
    CFitsBuilder b = CFitsBuilder::Mono16(2, 2);
    b.Data16({1, 2, 3, 4});
    const std::string path = dir.File("kept.fit");
    WriteBytes(path, b.Bytes());
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const std::string link = dir.File("link.fit");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);

    CFitsImage image(shared, messages);
    ASSERT_TRUE(image.Open(link));
    image.m_red[0] = 9;
    ASSERT_EQ(image.Save(link), 1);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(path)[2880 + 1], static_cast<uint8_t>(9 - 32768 + 65536) & 0xFF);
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST_F(FitsRoundTripTest, SavingAnotherUsersFileKeepsItsOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can hand a file to another user";
    CFitsBuilder b = CFitsBuilder::Mono16(1, 1);
    b.Data16({0x8000});
    const std::string path = dir.File("theirs.fit");
    WriteBytes(path, b.Bytes());
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    CFitsImage image(shared, messages);
    ASSERT_TRUE(image.Open(path));
    ASSERT_EQ(image.Save(path), 1);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
}

TEST_F(FitsRoundTripTest, APathDifferingOnlyInCaseIsAnotherFile)
{
    CFitsBuilder b = CFitsBuilder::Mono16(1, 1);
    b.Data16({0x8000});
    WriteBytes(dir.File("m42.fit"), b.Bytes());
    CFitsImage image(shared, messages);
    ASSERT_TRUE(image.Open(dir.File("m42.fit")));
    ASSERT_EQ(image.Save(dir.File("M42.FIT")), 1);
    EXPECT_EQ(ReadBytes(dir.File("M42.FIT")), b.Bytes());
    EXPECT_EQ(ReadBytes(dir.File("m42.fit")), b.Bytes());
}

TEST_F(FitsRoundTripTest, ALongTrailerIsCopiedFromTheFileNotHeldInMemory)
{
    CFitsBuilder b = CFitsBuilder::Mono16(64, 64);
    b.data.assign(64 * 64 * 2, 0x80);
    const std::string path = dir.File("long.fit");
    WriteBytes(path, b.Bytes());
    std::filesystem::resize_file(path, std::filesystem::file_size(path) + (std::size_t(12) << 20));
    std::ofstream(path, std::ios::binary | std::ios::app) << "tail";
    std::vector<uint8_t> expected = ReadBytes(path);
    expected[2881] = 0x01;  // the changed pixel below

    CFitsImage image(shared, messages);
    {
        CAllocationLimit limit(std::size_t(8) << 20);
        ASSERT_TRUE(image.Open(path));
        image.m_red[0] = 0x8001 - 32768;
        ASSERT_EQ(image.Save(dir.File("copy.fit")), 1);
        ASSERT_EQ(image.Save(path), 1);  // copied from the very file it replaces
        ASSERT_EQ(image.Save(path), 1);  // and then from the file that replaced it
    }
    EXPECT_EQ(ReadBytes(dir.File("copy.fit")), expected);
    EXPECT_EQ(ReadBytes(path), expected);

    // A header grown by a block of HISTORY cards: the trailer moves with the
    // data in the file it is then copied from.
    ASSERT_TRUE(CFitsHistory::Insert(image.m_header,
                                     std::vector<std::string>(36, CFitsCard::Commentary("HISTORY", "run").front())));
    ASSERT_EQ(image.Save(path), 1);
    ASSERT_EQ(image.Save(path), 1);
    const std::vector<uint8_t> grown = ReadBytes(path);
    ASSERT_EQ(grown.size(), expected.size() + 2880);
    EXPECT_TRUE(std::equal(expected.begin() + 2880, expected.end(), grown.begin() + 2 * 2880));

    // A source changed behind the image's back is not copied from.
    std::ofstream(path, std::ios::binary | std::ios::app) << "!";
    EXPECT_EQ(image.Save(dir.File("copy.fit")), 0);
    EXPECT_EQ(messages.m_messages, std::vector<std::string>{"File has changed since it was opened."});
    EXPECT_EQ(ReadBytes(dir.File("copy.fit")), expected);
    EXPECT_EQ(dir.Entries().size(), 2u);
}

}  // namespace
