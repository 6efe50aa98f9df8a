// Saving FITS files: a change touches only its own bytes, and the file keeps
// its mode, owner, links and whatever follows the data, however long. (Files
// saved unchanged are compared byte for byte in the cfitsio tests.)
#include <sys/stat.h>
#include <unistd.h>

#include "CoreTestSupport.h"
#include "image/CFitsCard.h"
#include "image/CFitsHistory.h"
#include "image/CFitsImage.h"

namespace {

class FitsRoundTrip : public CoreTest {
protected:
    std::unique_ptr<CFitsImage> Open(const std::string& path)
    {
        auto image = OpenImage<CFitsImage>(path);
        EXPECT_TRUE(opened) << testing::PrintToString(messages.m_messages);
        return image;
    }
};

}  // namespace

TEST_F(FitsRoundTrip, AChangedPixelChangesOnlyItsTwoBytesAndTheFileKeepsModeOwnerAndLinks)
{
    Blob bytes = CFitsBuilder::Image(16, 4, 2).Data16({0x8000, 0x8001, 0x8002, 0x8003, 0x8004, 0x8005, 0x8006, 0x8007}).Bytes();
    const std::string path = WriteBytes(dir.File("a.fit"), bytes), link = dir.File("link.fit");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    const bool root = ::geteuid() == 0;  // only root can hand a file to another user
    ASSERT_TRUE(!root || ::chown(path.c_str(), 4321, 4322) == 0);
    auto image = Open(link);
    image->m_red[5] = 65535;
    ASSERT_EQ(image->Save(link), 1);
    bytes[2880 + 10] = 0x7F;
    bytes[2880 + 11] = 0xFF;
    EXPECT_EQ(ReadBytes(path), bytes);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(4321u, 4322u));
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.fit", "link.fit"}));
}

TEST_F(FitsRoundTrip, ALongTrailerIsCopiedFromTheFileNotHeldInMemory)
{
    CFitsBuilder b = CFitsBuilder::Image(16, 64, 64);
    b.data.assign(64 * 64 * 2, 0x80);
    const std::string path = WriteBytes(dir.File("long.fit"), b.Bytes()), copy = dir.File("copy.fit");
    std::filesystem::resize_file(path, std::filesystem::file_size(path) + (std::size_t(12) << 20));
    std::ofstream(path, std::ios::binary | std::ios::app) << "tail";
    Blob expected = ReadBytes(path);
    for (std::size_t i = 4 * 2880; i < expected.size(); i += 4099)
        expected[i] = static_cast<uint8_t>(i);  // every block of the trailer its own bytes
    WriteBytes(path, expected);
    expected[2881] = 0x01;  // the changed pixel below

    std::unique_ptr<CFitsImage> image;
    {
        CAllocationLimit limit(std::size_t(8) << 20);
        image = Open(path);
        image->m_red[0] = 0x8001 - 32768;
        ASSERT_EQ(image->Save(copy), 1);
        ASSERT_EQ(image->Save(path), 1);  // copied from the very file it replaces
        ASSERT_EQ(image->Save(path), 1);  // and then from the file that replaced it
    }
    EXPECT_EQ(ReadBytes(copy), expected);
    EXPECT_EQ(ReadBytes(path), expected);

    // A header grown by a block of HISTORY cards: the trailer moves with the
    // data, in the file it is then copied from; a save elsewhere moves nothing.
    ASSERT_TRUE(CFitsHistory::Insert(image->m_header, std::vector<std::string>(36, CFitsCard::Commentary("HISTORY", "run").front())));
    for (const std::string& target : {copy, path, path}) {
        ASSERT_EQ(image->Save(target), 1) << testing::PrintToString(messages.m_messages);
        const Blob grown = ReadBytes(target);
        ASSERT_EQ(grown.size(), expected.size() + 2880);
        EXPECT_TRUE(std::equal(expected.begin() + 2880, expected.end(), grown.begin() + 2 * 2880));
    }

    // A source changed behind the image's back is not copied from.
    const Blob before = ReadBytes(copy);
    std::ofstream(path, std::ios::binary | std::ios::app) << "!";
    EXPECT_EQ(image->Save(copy), 0);
    EXPECT_EQ(messages.m_messages, std::vector<std::string>{"File has changed since it was opened."});
    EXPECT_EQ(ReadBytes(copy), before);
    EXPECT_EQ(dir.Entries().size(), 2u);
}
