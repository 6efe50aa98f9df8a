#include <gtest/gtest.h>

#include <tuple>

#include "CoreTestSupport.h"
#include "image/CFitsImage.h"
#include "support/CAtomicFileWriter.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

using coretest::CFaultyFileOps;
using coretest::CFitsBuilder;
using coretest::CTempDir;
using coretest::ReadBytes;
using coretest::WriteBytes;
using EOp = CFaultyFileOps::EOp;
using Messages = std::vector<std::string>;

namespace {

// A save that fails at any step leaves the target as it was and no stray
// file behind, reports the step's message once, and can be retried.
class AtomicSaveTest : public ::testing::Test {
protected:
    AtomicSaveTest()
    {
        shared.m_nDisplayBpp = 32;
        CFitsBuilder b = CFitsBuilder::Mono16(600, 500);  // big enough to write in several blocks
        for (int i = 0; i < 600 * 500; ++i)
            b.Data16({static_cast<uint16_t>(i * 13)});
        source = b.Bytes();
        WriteBytes(dir.File("m42.fit"), source);
        WriteBytes(dir.File("other.fit"), std::vector<uint8_t>(100, 0x55));
        EXPECT_TRUE(image.Open(dir.File("m42.fit")));
        image.m_red[0] = 12345;  // a change, so a save really differs
    }

    void ExpectFailedSave(const std::string& target, EOp op, int after, const char* text)
    {
        const std::vector<uint8_t> before = ReadBytes(target);
        messages.Clear();
        ops.Arm(op, after);
        EXPECT_EQ(image.Save(target), 0);
        ops.Disarm();
        EXPECT_EQ(messages.m_messages, Messages{text});
        EXPECT_EQ(ReadBytes(target), before);
        EXPECT_EQ(dir.Entries().size(), 2u);

        messages.Clear();
        ASSERT_EQ(image.Save(target), 1);
        EXPECT_TRUE(messages.m_messages.empty());
        const std::vector<uint8_t> saved = ReadBytes(target);
        ASSERT_EQ(saved.size(), source.size());
        EXPECT_EQ(saved[2880], 0xB0);  // 12345 - 32768 = 0xB039
        EXPECT_EQ(saved[2881], 0x39);
        EXPECT_TRUE(std::equal(saved.begin() + 2882, saved.end(), source.begin() + 2882));
        EXPECT_EQ(dir.Entries().size(), 2u);
        WriteBytes(target, before);
    }

    CTempDir dir;
    CSharedState shared;
    CCollectingMessageSink messages;
    CFaultyFileOps ops;
    CFitsImage image{shared, messages, ops};
    std::vector<uint8_t> source;
};

TEST_F(AtomicSaveTest, EveryFailingStepInPlaceAndToAnotherPath)
{
    const std::tuple<const char*, EOp, int, const char*> steps[] = {
        {"m42.fit", EOp::CreateExclusive, 0, "Failed to write file."},
        {"m42.fit", EOp::SetMode, 0, "Failed to write file."},
        {"m42.fit", EOp::WriteAll, 0, "Failed to write header."},
        {"m42.fit", EOp::WriteAll, 1, "Failed to write image data."},
        {"m42.fit", EOp::Sync, 0, "Failed to close file."},
        {"m42.fit", EOp::Close, 0, "Failed to close file."},
        {"m42.fit", EOp::Rename, 0, "Failed to close file."},
        {"other.fit", EOp::CreateExclusive, 0, "Failed to create file."},
        {"other.fit", EOp::WriteAll, 0, "Failed to copy header."},
        {"other.fit", EOp::WriteAll, 1, "Failed to write image data."},  // the plane, after the header
        // The trailing bytes: a stream in that state fails its close.
        {"other.fit", EOp::WriteAll, 2, "Failed to close file."},
        {"other.fit", EOp::Rename, 0, "Failed to close file."},
    };
    for (const auto& [target, op, after, text] : steps) {
        SCOPED_TRACE(std::string(target) + " step " + std::to_string(static_cast<int>(op)) + "/" + std::to_string(after));
        ExpectFailedSave(dir.File(target), op, after, text);
    }
}

TEST_F(AtomicSaveTest, AFailedSaveToANewPathLeavesNothingThere)
{
    ops.Arm(EOp::WriteAll, 1);
    EXPECT_EQ(image.Save(dir.File("new.fit")), 0);
    EXPECT_EQ(messages.m_messages, Messages{"Failed to write image data."});
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST_F(AtomicSaveTest, AFolderThatCannotBeWrittenInFailsCleanly)
{
    EXPECT_EQ(image.Save(dir.File("no-such-folder/x.fit")), 0);
    EXPECT_EQ(messages.m_messages, Messages{"Failed to create file."});
}

TEST_F(AtomicSaveTest, ReadFailuresAreReportedOnce)
{
    CFitsImage fresh(shared, messages, ops);
    const std::tuple<EOp, int, const char*> failures[] = {
        {EOp::OpenRead, 0, "Failed to open file."},
        {EOp::ReadAt, 3, "Failed to read image data."},  // inside the data, after the header
        {EOp::Close, 0, "Failed to close file."},
    };
    for (const auto& [op, after, text] : failures) {
        messages.Clear();
        ops.Arm(op, after);
        EXPECT_FALSE(fresh.Open(dir.File("m42.fit")));
        EXPECT_EQ(messages.m_messages, Messages{text});
    }
    ops.Disarm();
}

TEST(AtomicFileWriter, ReplacesOnlyOnCommit)
{
    CTempDir dir;
    const std::string target = dir.File("t.bin");
    WriteBytes(target, {1, 2, 3});
    {
        CAtomicFileWriter writer;
        ASSERT_TRUE(writer.Begin(target));
        ASSERT_TRUE(writer.Write("abcd", 4));
        EXPECT_EQ(dir.Entries().size(), 2u);
        EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{1, 2, 3}));
    }  // destroyed without Commit
    EXPECT_EQ(dir.Entries().size(), 1u);
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{1, 2, 3}));

    CAtomicFileWriter writer;
    ASSERT_TRUE(writer.Begin(target));
    ASSERT_TRUE(writer.Write("abcd", 4));
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'a', 'b', 'c', 'd'}));
    EXPECT_EQ(dir.Entries().size(), 1u);
    EXPECT_FALSE(writer.Write("x", 1));  // nothing is open any more
}

}  // namespace
