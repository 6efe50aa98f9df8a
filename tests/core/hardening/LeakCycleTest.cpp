#include <gtest/gtest.h>

#include <memory>

#include "CoreTestSupport.h"
#include "filter/CBloomFilter.h"
#include "filter/MirrorPlane.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CSharedState.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DORVANE_LEAK_CHECK 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define DORVANE_LEAK_CHECK 1
#endif
#ifdef DORVANE_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// What the desktop program does to many images in one session: open, filter
// (mirrored or not, with undo and redo), redraw, close. The sanitizer build
// checks that nothing of the 200 images is left behind; every build checks
// that the same file always gives the same result, so no state carries over
// from one image to the next.
TEST(LeakCycle, TwoHundredImagesOpenedFilteredAndClosed)
{
    using namespace coretest;
    CTempDir dir;
    const std::vector<uint32_t> sky = SkyFrame(48, 40, 11);
    CFitsBuilder mono = CFitsBuilder::Image(16, 48, 40), colour = CFitsBuilder::Image(16, 48, 40, true);
    for (int plane = 0; plane < 3; ++plane)
        for (uint32_t v : sky) {
            colour.Data16({static_cast<uint16_t>((v >> plane) ^ 0x8000)});  // stored = value - 32768
            if (plane == 0)
                mono.Data16({static_cast<uint16_t>(v ^ 0x8000)});
        }
    Blob broken = mono.Bytes();
    broken.resize(broken.size() / 2);  // ends inside its data: refused
    const std::vector<std::string> files = {
        WriteBytes(dir.File("mono.fit"), mono.Bytes()), WriteBytes(dir.File("colour.fts"), colour.Bytes()),
        WriteBytes(dir.File("raw.st7"), Concat(SbigHeader({"ST-7 Image", "Width = 48", "Height = 40", "End"}), RawRows(sky))),
        WriteBytes(dir.File("packed.st8"),
                   Concat(SbigHeader({"ST-8 Compressed Image", "Width = 48", "Height = 40", "End"}), CompressedRows(sky, 48))),
        WriteBytes(dir.File("broken.fit"), broken)};

    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CMemorySettings settings;
    std::vector<std::vector<uint32_t>> firstResult(2 * files.size());  // plain and mirrored
    int filtered = 0;

    for (int i = 0; i < 200; ++i) {
        const std::size_t f = static_cast<std::size_t>(i) % files.size();
        const bool mirror = (i / files.size()) % 2 == 1;
        messages.Clear();
        auto doc = std::make_unique<CDorvaneDoc>(shared, messages, settings);
        if (!doc->OnOpenDocument(files[f])) {
            EXPECT_EQ(f, 4u) << files[f];
            EXPECT_FALSE(messages.m_messages.empty());
            continue;
        }
        CAstroImage& image = *doc->m_pImage;
        image.SaveUndo();
        std::vector<uint32_t>* planes[3] = {&image.m_red, &image.m_green, &image.m_blue};
        for (int p = 0; p < (image.m_isColor ? 3 : 1); ++p) {
            if (mirror)
                MirrorPlane(*planes[p], image.m_width, image.m_height);
            CBloomFilter filter(image, *planes[p], 30000, 3, 2);
            filter.Run("", shared, nullptr);
            filtered += filter.LengthCheckedCount() > 0 ? 1 : 0;
            if (mirror)
                MirrorPlane(*planes[p], image.m_width, image.m_height);
        }
        image.UpdateDisplay();
        image.Undo();
        image.Redo();

        std::vector<uint32_t> result = image.m_red;
        if (image.m_isColor)
            result.insert(result.end(), image.m_blue.begin(), image.m_blue.end());
        std::vector<uint32_t>& first = firstResult[2 * f + (mirror ? 1 : 0)];
        if (first.empty())
            first = result;
        else
            EXPECT_EQ(result, first) << files[f] << (mirror ? " mirrored" : "") << ", pass " << i;
    }
    EXPECT_GT(filtered, 100);  // the saturated column is a bloom in every file
#ifdef DORVANE_LEAK_CHECK
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}

}  // namespace
