// A Remove Blooming run as both commands make it (CPlaneFilterRun): the
// result is the literal engine's on the plane as the run sees it (mirrored,
// with the region), and the pixels it reports as replaced are exactly those
// whose value differs afterwards, in the image's own orientation.
#include <algorithm>
#include <random>

#include "BloomFilterTestSupport.h"
#include "filter/CFilterRunRecord.h"
#include "filter/CPlaneFilterRun.h"
#include "filter/CReplacedPixelRuns.h"
#include "reference/CLiteralBloomFilter.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

TEST(ReplacedPixels, MaskIsTheDifferenceBetweenThePlanesBeforeAndAfter)
{
    const struct {
        const char* name;
        int32_t width, height;
        bool color, regionSet;
        CRegion region;
        bool mirror;
        int32_t filterWidth;
        bool borders;  // bright columns at both borders, runs from the first and to the last row
    } cases[] = {
        {"whole image, blooms at every border", 30, 26, false, false, {}, false, 1, true},
        {"region hiding part of the blooms", 30, 26, false, true, {6, 5, 19, 20}, false, 2, true},
        {"region reaching past the image, mirrored", 30, 26, false, true, {-4, -9, 400, 300}, true, 1, true},
        {"region outside the image", 30, 26, false, true, {40, 0, 60, 26}, false, 1, true},
        {"mirror with a region", 30, 26, false, true, {3, 2, 21, 24}, true, 1, true},
        {"colour planes with their own parameters, mirrored", 28, 24, true, false, {}, true, 2, true},
        {"colour planes in a region", 28, 24, true, true, {2, 3, 25, 20}, false, 1, false},
        {"no window fits: the fill alone", 16, 14, false, false, {}, false, 9, true},
        {"tiny image", 2, 3, false, false, {}, true, 1, true},
    };
    std::mt19937 rng(16);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSharedState shared;
        shared.m_bRegionSet = c.regionSet;
        shared.m_rcRegionImage = c.region;
        CCollectingMessageSink messages;
        CPlainImage image(shared, messages);
        std::tie(image.m_width, image.m_height, image.m_isColor) = std::tie(c.width, c.height, c.color);
        CFilterRunRecord record = CFilterRunRecord::Start(image, shared, c.mirror);
        // The literal engine sees each row reversed with Mirror, and the region with it.
        CSharedState literalState = shared;
        if (c.mirror)
            literalState.m_rcRegionImage = {c.width - c.region.right, c.region.top, c.width - c.region.left, c.region.bottom};
        auto reverseRows = [&](std::vector<uint32_t>& v) {
            for (int32_t y = 0; c.mirror && y < c.height; ++y)
                std::reverse(v.begin() + y * c.width, v.begin() + (y + 1) * c.width);
        };
        for (int p = 0; p < (c.color ? 3 : 1); ++p) {
            SPlane plane = MakeStreakPlane(rng, c.width, c.height, 5, c.height);
            for (int32_t y = 0; c.borders && y < c.height; ++y) {
                plane.At(0, y) = plane.At(c.width - 2, y) = plane.At(c.width - 1, y) = 1060;
                plane.At(y < c.height / 2 ? c.width / 2 : c.width / 3, y) = 1090 + static_cast<uint32_t>(y);
            }
            std::vector<uint32_t>& target = p == 0 ? image.m_red : p == 1 ? image.m_green : image.m_blue;
            std::vector<uint32_t> expected = target = plane.values;
            // Each plane its own parameters.
            const CPlaneFilterRun::SParameters parameters{1000u + 20u * static_cast<uint32_t>(p), 2 + p, c.filterWidth};
            reverseRows(expected);
            CLiteralBloomFilter(expected.data(), c.width, c.height, parameters.intensity, parameters.length, parameters.width)
                .Run("", literalState, nullptr);
            reverseRows(expected);
            CPlaneFilterRun::Run(image, target, p, parameters, c.mirror, "", shared, nullptr, 0, &record.planes.emplace_back());
            ASSERT_EQ(target, expected) << "plane " << p;
            const CPlaneRunRecord& run = record.planes.back();
            ExpectMaskIsDifference(plane.values, target, c.width, c.height, run.changes, "plane " + std::to_string(p));
            EXPECT_EQ(std::tie(run.plane, run.intensity, run.length, run.width),
                      std::tie(p, parameters.intensity, parameters.length, parameters.width));
        }
        EXPECT_EQ(record.region, (c.regionSet ? c.region.ClippedTo(c.width, c.height) : CRegion{0, 0, c.width, c.height}));
    }
}

TEST(ReplacedPixels, ReducedLevelsMarkEveryBlockThatHoldsAReplacedPixelOfAnyPlane)
{
    std::mt19937 rng(25);
    for (auto [w, h] : {std::pair<int32_t, int32_t>{1, 1}, {7, 5}, {16, 9}, {33, 30}}) {
        CFilterRunRecord record{w, h, true, false, {}, std::vector<CPlaneRunRecord>(3)};
        for (CPlaneRunRecord& plane : record.planes) {
            plane.changes.Reset(w, h);
            for (int32_t i = 0; i < w * h; ++i)
                if (rng() % 9 == 0)
                    plane.changes.Add(i / w, i % w, i % w + 1);
        }
        const CReplacedPixelRuns runs(record);
        for (int level = 0; level < CReplacedPixelRuns::kLevels; ++level) {
            const int32_t scale = 1 << level;
            const CChangeMask& reduced = runs.Level(level);
            ASSERT_EQ(reduced.ImageWidth(), (w + scale - 1) / scale);
            for (int32_t y = 0; y < reduced.ImageHeight(); ++y)
                for (int32_t x = 0; x < reduced.ImageWidth(); ++x) {
                    bool any = false;
                    for (int32_t i = 0; i < 3 * scale * scale; ++i)
                        any = any || record.planes[i % 3].changes.At(x * scale + i / 3 % scale, y * scale + i / 3 / scale);
                    ASSERT_EQ(reduced.At(x, y), any) << w << "x" << h << " level " << level << " at " << x << "," << y;
                }
        }
    }
    // The level a zoom draws one to one: 2 up to 25 %, 1 up to 50 %, then 0.
    for (auto [zoom, level] : {std::pair{12, 2}, {25, 2}, {26, 1}, {50, 1}, {51, 0}, {800, 0}})
        EXPECT_EQ(CReplacedPixelRuns::LevelForZoom(zoom), level) << zoom;
}
