#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "CStepFaultFileOps.h"
#include "CoreTestSupport.h"
#include "image/CFitsImage.h"
#include "image/CSbigImage.h"
#include "sbig/SbigTestFiles.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSaveMessages.h"
#include "support/CSharedState.h"

using hardening::CStepFaultFileOps;
using hardening::EStep;

namespace {

// The whole file in one read (the byte-wise stream iterator is too slow for
// the many multi-megabyte comparisons here); empty when there is none.
std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    std::vector<uint8_t> bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

const char* StepName(EStep step)
{
    static const char* const names[] = {"create", "set mode", "write", "flush", "close", "rename", "folder flush"};
    return names[static_cast<int>(step)];
}

// Every step of a save made to fail in turn, for each format and form, saving
// over the source and over another existing file. Each failure must leave the
// target byte for byte as it was and no temporary file, report its one
// message, and a retry must write exactly what a clean save writes.
class SaveFaultMatrix : public ::testing::Test {
protected:
    SaveFaultMatrix() { shared.m_nDisplayBpp = 32; }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names = dir.Entries();
        std::sort(names.begin(), names.end());
        return names;
    }

    // Opens source with the seam and changes a pixel, so that a save really
    // differs from the file on disk.
    template <class TImage>
    std::unique_ptr<TImage> OpenChanged(const std::string& source)
    {
        auto image = std::make_unique<TImage>(shared, messages, ops);
        EXPECT_TRUE(image->Open(source)) << ::testing::PrintToString(messages.m_messages);
        image->m_red[1] ^= 0x55;
        return image;
    }

    // dataEnd: the offset where the planes end in a saved file; a write that
    // starts at 0 is the header's, one that starts at dataEnd or later a
    // trailer's.
    void RunMatrix(CAstroImage& image, const std::string& target, uint64_t dataEnd)
    {
        const bool samePath = target == image.m_pathName;
        SCOPED_TRACE(samePath ? "same path" : "other path");
        const std::vector<uint8_t> original = FileBytes(target);

        const std::string cleanPath = dir.File("clean-save.bin");
        ops.Reset();
        ASSERT_EQ(image.Save(cleanPath), 1);
        const std::vector<uint8_t> clean = FileBytes(cleanPath);
        const std::vector<CStepFaultFileOps::CWrite> writes = ops.m_writes;
        std::filesystem::remove(cleanPath);
        ASSERT_GE(writes.size(), 2u);
        ASSERT_EQ(writes.front().offset, 0u);

        struct CFault {
            EStep step;
            int index;
            ESaveStep reported;
        };
        // The writer tries other temporary names when one is taken, so a
        // create that fails must fail every time.
        std::vector<CFault> faults = {{EStep::Create, CStepFaultFileOps::kEvery, ESaveStep::Create},
                                      {EStep::SetMode, 0, ESaveStep::Create}};
        for (std::size_t i = 0; i < writes.size(); ++i) {
            const uint64_t at = writes[i].offset;
            const ESaveStep reported = at == 0         ? ESaveStep::Header
                                       : at < dataEnd ? ESaveStep::ImageData
                                                      : ESaveStep::Close;
            faults.push_back({EStep::Write, static_cast<int>(i), reported});
        }
        faults.push_back({EStep::Sync, 0, ESaveStep::Close});
        // Every close: a trailer copied from the source closes that file too.
        faults.push_back({EStep::Close, CStepFaultFileOps::kEvery, ESaveStep::Close});
        faults.push_back({EStep::Rename, 0, ESaveStep::Close});

        for (const CFault& fault : faults) {
            SCOPED_TRACE(std::string(StepName(fault.step)) + " #" + std::to_string(fault.index));
            const std::vector<uint8_t> before = FileBytes(target);
            const std::vector<std::string> entries = Entries();

            messages.Clear();
            ops.Reset();
            ops.FailAt(fault.step, fault.index);
            EXPECT_EQ(image.Save(target), 0);
            EXPECT_EQ(messages.m_messages,
                      std::vector<std::string>{CSaveMessages::Text(fault.reported, samePath)});
            EXPECT_EQ(FileBytes(target), before);
            EXPECT_EQ(Entries(), entries);
            if (fault.step != EStep::Create) {
                ASSERT_FALSE(ops.m_created.empty());
                EXPECT_FALSE(std::filesystem::exists(ops.m_created.back()));
            }

            messages.Clear();
            ops.Reset();
            ASSERT_EQ(image.Save(target), 1);
            EXPECT_TRUE(messages.m_messages.empty());
            EXPECT_EQ(FileBytes(target), clean);
            EXPECT_EQ(Entries(), entries);
            coretest::WriteBytes(target, before);
        }

        // Once renamed, the new file stays: a folder that cannot be flushed
        // is not worth failing the save for.
        messages.Clear();
        ops.Reset();
        ops.FailAt(EStep::SyncFolder, 0);
        EXPECT_EQ(image.Save(target), 1);
        EXPECT_TRUE(messages.m_messages.empty());
        EXPECT_EQ(FileBytes(target), clean);
        coretest::WriteBytes(target, original);
    }

    // Both targets: the file the image came from, and another existing file.
    void RunBothTargets(CAstroImage& image, uint64_t dataEnd)
    {
        const std::vector<uint8_t> source = FileBytes(image.m_pathName);
        RunMatrix(image, image.m_pathName, dataEnd);
        EXPECT_EQ(FileBytes(image.m_pathName), source);
        const std::string other = dir.File("other.img");
        coretest::WriteBytes(other, {9, 8, 7, 6, 5});
        RunMatrix(image, other, dataEnd);
        EXPECT_EQ(FileBytes(other), (std::vector<uint8_t>{9, 8, 7, 6, 5}));
    }

    coretest::CTempDir dir;
    CSharedState shared;
    CCollectingMessageSink messages;
    CStepFaultFileOps ops;
};

TEST_F(SaveFaultMatrix, FitsColourCube)
{
    constexpr int w = 120, h = 90;
    coretest::CFitsBuilder b;
    b.Value("SIMPLE", "T").Value("BITPIX", "16").Value("NAXIS", "3");
    b.Value("NAXIS1", std::to_string(w)).Value("NAXIS2", std::to_string(h)).Value("NAXIS3", "3");
    b.Value("BZERO", "32768").Value("BSCALE", "1");
    for (int i = 0; i < 3 * w * h; ++i)
        b.Data16({static_cast<uint16_t>(i * 37)});
    const std::string path = dir.File("m42-colour.fits");
    coretest::WriteBytes(path, b.Bytes());  // the data's padding is the trailer
    auto image = OpenChanged<CFitsImage>(path);
    ASSERT_TRUE(image->m_isColor);
    ASSERT_FALSE(image->m_trailer.empty());
    RunBothTargets(*image, image->m_header.size() + 3u * w * h * 2);
}

TEST_F(SaveFaultMatrix, FitsEightBitMono)
{
    constexpr int w = 300, h = 200;
    coretest::CFitsBuilder b;
    b.Value("SIMPLE", "T").Value("BITPIX", "8").Value("NAXIS", "2");
    b.Value("NAXIS1", std::to_string(w)).Value("NAXIS2", std::to_string(h));
    b.Value("BZERO", "0").Value("BSCALE", "1");
    for (int i = 0; i < w * h; ++i)
        b.data.push_back(static_cast<uint8_t>(i * 7));
    const std::string path = dir.File("moon.fit");
    coretest::WriteBytes(path, b.Bytes());
    auto image = OpenChanged<CFitsImage>(path);
    ASSERT_EQ(image->m_maxValue, 255u);
    RunBothTargets(*image, image->m_header.size() + static_cast<uint64_t>(w) * h);
}

TEST_F(SaveFaultMatrix, FitsLongTrailerToAnotherFile)
{
    // A trailer too long to hold is copied from the source during the save.
    // (The source itself is not a target here: restoring it between the
    // cases would be a change of the source, which the save refuses.)
    constexpr int w = 300, h = 200;
    coretest::CFitsBuilder b;
    b.Value("BITPIX", "8").Value("NAXIS", "2").Value("NAXIS1", std::to_string(w));
    b.Value("NAXIS2", std::to_string(h)).Value("BZERO", "0").Value("BSCALE", "1");
    for (int i = 0; i < w * h; ++i)
        b.data.push_back(static_cast<uint8_t>(i * 7));
    std::vector<uint8_t> bytes = b.Bytes(true, true, false);
    for (uint64_t i = 0; i < CFitsTrailer::kHeldBytes + 4321; ++i)
        bytes.push_back(static_cast<uint8_t>(i * 31 + 5));
    const std::string path = dir.File("long-trailer.fit");
    coretest::WriteBytes(path, bytes);
    auto image = OpenChanged<CFitsImage>(path);
    ASSERT_FALSE(image->m_trailer.IsHeld());
    const std::string other = dir.File("other.img");
    coretest::WriteBytes(other, {9, 8, 7});
    RunMatrix(*image, other, image->m_header.size() + static_cast<uint64_t>(w) * h);
}

// Frames tall enough for the plane to go out in more than one block.
constexpr int32_t kSbigWidth = 1024;
constexpr int32_t kSbigHeight = 2050;

TEST_F(SaveFaultMatrix, SbigRaw)
{
    const std::vector<uint32_t> frame = SkyFrame(kSbigWidth, kSbigHeight, 3);
    const std::string path = dir.File("m42.st7");
    coretest::WriteBytes(path, Concat(MakeSbigHeader({"ST-7 Image", "Width = 1024", "Height = 2050", "End"}),
                                      RawRows(frame)));
    auto image = OpenChanged<CSbigImage>(path);
    ASSERT_FALSE(image->m_compressed);
    RunBothTargets(*image, 2048u + 2u * frame.size());
}

TEST_F(SaveFaultMatrix, SbigCompressed)
{
    const std::vector<uint32_t> frame = SkyFrame(kSbigWidth, kSbigHeight, 4);
    const std::string path = dir.File("m42c.st7");
    coretest::WriteBytes(
        path, Concat(MakeSbigHeader({"ST-7 Compressed Image", "Width = 1024", "Height = 2050", "End"}),
                     CompressedRows(frame, kSbigWidth)));
    auto image = OpenChanged<CSbigImage>(path);
    ASSERT_TRUE(image->m_compressed);
    RunBothTargets(*image, UINT64_MAX);  // no trailer: every later write is the plane's
}

}  // namespace
