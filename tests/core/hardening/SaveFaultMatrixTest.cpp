// Every step of a save made to fail in turn, for each format and form, saving
// over the source and over another existing file. Each failure must leave the
// target byte for byte as it was and no temporary file, report its one
// message, and a retry must write exactly what a clean save writes.
#include "CoreTestSupport.h"
#include "image/CFitsImage.h"
#include "image/CSbigImage.h"

namespace {

enum EText { kCreate, kHeader, kData, kClose };
// Each failing step's message, saving over the source or to another file.
const char* const kTexts[2][4] = {
    {"Failed to create file.", "Failed to copy header.", "Failed to write image data.", "Failed to close file."},
    {"Failed to write file.", "Failed to write header.", "Failed to write image data.", "Failed to close file."}};

class SaveFaultMatrix : public CoreTest {
protected:

    // Opens source through the seam and changes a pixel, so that a save
    // really differs from the file on disk.
    template <class TImage>
    std::unique_ptr<TImage> OpenChanged(const std::string& source)
    {
        auto image = std::make_unique<TImage>(shared, messages, ops);
        EXPECT_TRUE(image->Open(source)) << testing::PrintToString(messages.m_messages);
        image->m_red[1] ^= 0x55;
        return image;
    }

    // dataEnd: where the planes end in a saved file; a write that starts at 0
    // is the header's, one at dataEnd or later a trailer's.
    void RunMatrix(CAstroImage& image, const std::string& target, uint64_t dataEnd)
    {
        const bool same = target == image.m_pathName;
        SCOPED_TRACE(same ? "same path" : "other path");
        const Blob original = ReadBytes(target);
        const std::string cleanPath = dir.File("clean-save.bin");
        ops.Reset();
        ASSERT_EQ(image.Save(cleanPath), 1);
        const Blob clean = ReadBytes(cleanPath);
        const std::vector<uint64_t> writes = ops.writeOffsets;
        std::filesystem::remove(cleanPath);
        ASSERT_GE(writes.size(), 2u);

        // The writer tries other temporary names when one is taken, so a
        // create fails every time; every close fails, as a trailer copied
        // from the source closes that file too.
        std::vector<std::tuple<EStep, int, EText>> faults = {
            {EStep::Create, CFaultyFileOps::kEvery, kCreate}, {EStep::SetMode, 0, kCreate}, {EStep::Sync, 0, kClose},
            {EStep::Close, CFaultyFileOps::kEvery, kClose}, {EStep::Rename, 0, kClose}};
        for (std::size_t i = 0; i < writes.size(); ++i)
            faults.emplace_back(EStep::Write, static_cast<int>(i),
                                writes[i] == 0 ? kHeader : writes[i] < dataEnd ? kData : kClose);
        for (const auto& [step, index, text] : faults) {
            SCOPED_TRACE(testing::Message() << "step " << static_cast<int>(step) << " #" << index);
            const Blob before = ReadBytes(target);
            const std::vector<std::string> entries = dir.Entries();
            messages.Clear();
            ops.Reset(step, index);
            EXPECT_EQ(image.Save(target), 0);
            EXPECT_EQ(messages.m_messages, Messages{kTexts[same][text]});
            EXPECT_EQ(ReadBytes(target), before);
            EXPECT_EQ(dir.Entries(), entries);

            messages.Clear();
            ops.Reset();
            ASSERT_EQ(image.Save(target), 1);
            EXPECT_TRUE(messages.m_messages.empty());
            EXPECT_EQ(ReadBytes(target), clean);
            EXPECT_EQ(dir.Entries(), entries);
            WriteBytes(target, before);
        }
        // Once renamed, the new file stays: a folder that cannot be flushed
        // is not worth failing the save for.
        ops.Reset(EStep::SyncFolder);
        EXPECT_EQ(image.Save(target), 1);
        EXPECT_EQ(ReadBytes(target), clean);
        WriteBytes(target, original);
    }

    // The file the image came from, then another existing file.
    void RunBothTargets(CAstroImage& image, uint64_t dataEnd)
    {
        const Blob source = ReadBytes(image.m_pathName);
        RunMatrix(image, image.m_pathName, dataEnd);
        EXPECT_EQ(ReadBytes(image.m_pathName), source);
        RunMatrix(image, WriteBytes(dir.File("other.img"), {9, 8, 7, 6, 5}), dataEnd);
        EXPECT_EQ(ReadBytes(dir.File("other.img")), (Blob{9, 8, 7, 6, 5}));
    }

    CFaultyFileOps ops;
};

// Frames tall enough for the plane to go out in more than one block.
constexpr int32_t kSbigWidth = 1024, kSbigHeight = 1030;

}  // namespace

TEST_F(SaveFaultMatrix, FitsColourCube)
{
    CFitsBuilder b = CFitsBuilder::Image(16, 120, 90, true);
    for (int i = 0; i < 3 * 120 * 90; ++i)
        b.Data16({static_cast<uint16_t>(i * 37)});
    auto image = OpenChanged<CFitsImage>(WriteBytes(dir.File("m42-colour.fits"), b.Bytes()));
    RunBothTargets(*image, image->m_header.size() + 3u * 120 * 90 * 2);
}

TEST_F(SaveFaultMatrix, FitsEightBitWithALongTrailerCopiedDuringTheSave)
{
    // A trailer too long to hold is copied from the source. (The source is
    // no target here: restoring it between the cases would change it, which
    // the save refuses.)
    CFitsBuilder b = CFitsBuilder::Image(8, 300, 200, false, "0");
    for (uint64_t i = 0; i < 300 * 200 + CFitsTrailer::kHeldBytes + 4321; ++i)
        b.data.push_back(static_cast<uint8_t>(i * 7 + i / 60000));
    auto image = OpenChanged<CFitsImage>(WriteBytes(dir.File("long-trailer.fit"), b.Bytes(true, true, false)));
    ASSERT_FALSE(image->m_trailer.IsHeld());
    RunMatrix(*image, WriteBytes(dir.File("other.img"), {9, 8, 7}), image->m_header.size() + 300u * 200);
}

TEST_F(SaveFaultMatrix, SbigRawAndCompressed)
{
    const std::vector<uint32_t> frame = SkyFrame(kSbigWidth, kSbigHeight, 3);
    const std::string size = "Width = " + std::to_string(kSbigWidth), height = "Height = " + std::to_string(kSbigHeight);
    auto raw = OpenChanged<CSbigImage>(WriteBytes(dir.File("m42.st7"), Concat(SbigHeader({"ST-7 Image", size, height, "End"}), RawRows(frame))));
    RunBothTargets(*raw, UINT64_MAX);  // no trailer: every later write is the plane's
    auto packed = OpenChanged<CSbigImage>(WriteBytes(
        dir.File("m42c.st7"), Concat(SbigHeader({"ST-7 Compressed Image", size, height, "End"}), CompressedRows(frame, kSbigWidth))));
    RunBothTargets(*packed, UINT64_MAX);
}

TEST_F(SaveFaultMatrix, ReadFailuresAndAMissingFolderAreReportedOnce)
{
    const std::string path = WriteBytes(dir.File("m42.fit"), CFitsBuilder::Image(16, 600, 500).Data16(std::vector<uint16_t>(300000, 7)).Bytes());
    const std::tuple<EStep, int, const char*> failures[] = {
        {EStep::OpenRead, 0, "Failed to open file."},
        {EStep::ReadAt, 2, "Failed to read image data."},  // after the header's two reads
        {EStep::Close, 0, "Failed to close file."},
    };
    for (const auto& [step, index, text] : failures) {
        messages.Clear();
        ops.Reset(step, index);
        EXPECT_FALSE(CFitsImage(shared, messages, ops).Open(path)) << text;
        EXPECT_EQ(messages.m_messages, Messages{text});
    }
    ops.Reset();
    auto image = OpenChanged<CFitsImage>(path);
    messages.Clear();
    EXPECT_EQ(image->Save(dir.File("no-such-folder/x.fit")), 0);
    EXPECT_EQ(messages.m_messages, Messages{"Failed to create file."});
}
