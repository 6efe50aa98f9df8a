// Many images in one session leave nothing behind, and a helper thread's
// failure reaches the file it worked on instead of ending the program.
#include <atomic>
#include <chrono>
#include <thread>

#include "CoreTestSupport.h"
#include "filter/CFilterRunRecord.h"
#include "filter/CPlaneFilterRun.h"
#include "filter/ParallelItems.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CMemorySettings.h"
#include "support/CParallel.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif


// What the desktop program does to many images in one session: open, filter
// (mirrored or not, with undo and redo), redraw, close. The sanitizer build
// checks that nothing of the 200 images is left behind; every build checks
// that the same file always gives the same result, so no state carries over
// from one image to the next.
using LeakCycle = CoreTest;

TEST_F(LeakCycle, TwoHundredImagesOpenedFilteredAndClosed)
{
    const std::vector<uint32_t> sky = SkyFrame(48, 40, 11);
    CFitsBuilder mono = CFitsBuilder::Image(16, 48, 40), colour = CFitsBuilder::Image(16, 48, 40, true);
    for (int plane = 0; plane < 3; ++plane)
        for (uint32_t v : sky) {
            colour.Data16({static_cast<uint16_t>((v >> plane) ^ 0x8000)});  // stored = value - 32768
            if (plane == 0)
                mono.Data16({static_cast<uint16_t>(v ^ 0x8000)});
        }
    Blob broken = mono.Bytes();
    broken.resize(4000);  // ends inside its data: refused
    const std::string size = "Width = 48\n\rHeight = 40";
    const std::vector<std::string> files = {
        WriteBytes(dir.File("mono.fit"), mono.Bytes()), WriteBytes(dir.File("colour.fts"), colour.Bytes()),
        WriteBytes(dir.File("raw.st7"), Concat(SbigHeader({"ST-7 Image", size, "End"}), RawRows(sky))),
        WriteBytes(dir.File("packed.st8"), Concat(SbigHeader({"ST-8 Compressed Image", size, "End"}), CompressedRows(sky, 48))),
        WriteBytes(dir.File("broken.fit"), broken)};
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
        CFilterRunRecord record = CFilterRunRecord::Start(image, shared, mirror);
        for (int p = 0; p < (image.m_isColor ? 3 : 1); ++p)
            filtered += CPlaneFilterRun::Run(image, p == 0 ? image.m_red : p == 1 ? image.m_green : image.m_blue, p,
                                             {30000, 3, 2}, mirror, "", shared, nullptr, 0, &record.planes.emplace_back()) > 0;
        image.UpdateDisplay();
        image.Undo();
        image.Redo();
        std::vector<uint32_t> result = image.m_red;
        result.insert(result.end(), image.m_blue.begin(), image.m_blue.end());
        std::vector<uint32_t>& first = firstResult[2 * f + (mirror ? 1 : 0)];
        EXPECT_EQ(result, first.empty() ? (first = result) : first) << files[f] << " mirrored " << mirror << ", pass " << i;
    }
    EXPECT_GT(filtered, 100);  // the saturated column is a bloom in every file
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}

TEST(ParallelFailure, AHelperThreadsExceptionReachesTheCaller)
{
    if (CParallel::ThreadCount() < 2)
        GTEST_SKIP() << "a single core: the loops start no helper thread";
    auto failSecondPart = [](std::size_t, std::size_t, unsigned part) {
        if (part == 1)
            throw std::bad_alloc();
    };
    EXPECT_THROW(CParallel::ForRange(1000, failSecondPart, 2), std::bad_alloc);
    // The first item waits until the helper has taken the second, which fails.
    std::atomic<bool> secondTaken{false};
    auto work = [&](std::size_t item, int) {
        if (item == 1) {
            secondTaken = true;
            throw std::bad_alloc();
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!secondTaken && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
    };
    EXPECT_THROW(RunItems(2, 2, work, [](std::size_t) {}), std::bad_alloc);
}
