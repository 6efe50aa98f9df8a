// The pixels a Remove Blooming run reports as replaced, as both commands run
// it (CPlaneFilterRun): exactly the pixels whose value differs afterwards, in
// the image's own orientation, with the result the same as without asking.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "BloomFilterTestSupport.h"
#include "filter/CFilterRunRecord.h"
#include "filter/CPlaneFilterRun.h"
#include "filter/CReplacedPixelRuns.h"
#include "reference/CLiteralBloomFilter.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

struct SCase {
    const char* name;
    int32_t width, height;
    bool color;
    bool regionSet;
    CRegion region;
    bool mirror;
    int32_t filterWidth;
    bool borders;  // bright columns at both borders, runs from the first and to the last row
};

const SCase kCases[] = {
    {"whole image, blooms at every border", 30, 26, false, false, {}, false, 1, true},
    {"region hiding part of the blooms", 30, 26, false, true, {6, 5, 19, 20}, false, 2, true},
    {"region reaching past the image", 30, 26, false, true, {-4, -9, 400, 300}, false, 1, true},
    {"region outside the image", 30, 26, false, true, {40, 0, 60, 26}, false, 1, true},
    {"mirror with a region", 30, 26, false, true, {3, 2, 21, 24}, true, 1, true},
    {"colour planes with their own parameters, mirrored", 28, 24, true, false, {}, true, 2, true},
    {"colour planes in a region", 28, 24, true, true, {2, 3, 25, 20}, false, 1, false},
    {"no window fits: the fill alone", 16, 14, false, false, {}, false, 9, true},
    {"one row", 17, 1, false, false, {}, false, 1, false},
    {"tiny image", 2, 3, false, false, {}, true, 1, true},
};

}  // namespace

TEST(ReplacedPixels, MaskIsTheDifferenceBetweenThePlanesBeforeAndAfter)
{
    std::mt19937 rng(16);
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CSharedState shared;
        shared.m_bRegionSet = c.regionSet;
        shared.m_rcRegionImage = c.region;
        CCollectingMessageSink messages;
        CPlainImage image(shared, messages);
        image.m_width = c.width;
        image.m_height = c.height;
        image.m_isColor = c.color;
        std::vector<uint32_t>* planes[3] = {&image.m_red, &image.m_green, &image.m_blue};
        const int count = c.color ? 3 : 1;
        std::vector<std::vector<uint32_t>> before;
        for (int p = 0; p < count; ++p) {
            SPlane plane = MakeStreakPlane(rng, c.width, c.height, 5, c.height);
            for (int32_t y = 0; c.borders && y < c.height; ++y) {
                plane.At(0, y) = plane.At(c.width - 2, y) = plane.At(c.width - 1, y) = 1060;
                plane.At(y < c.height / 2 ? c.width / 2 : c.width / 3, y) = 1090 + static_cast<uint32_t>(y);
            }
            *planes[p] = plane.values;
            before.push_back(plane.values);
        }

        CFilterRunRecord record = CFilterRunRecord::Start(image, shared, c.mirror);
        for (int p = 0; p < count; ++p) {
            // Each plane its own parameters.
            const CPlaneFilterRun::SParameters parameters{1000u + 20u * static_cast<uint32_t>(p), 2 + p,
                                                          c.filterWidth};
            // The literal engine on the plane as the run sees it: each row reversed
            // with Mirror, and the region with it.
            std::vector<uint32_t> expected = before[static_cast<std::size_t>(p)];
            CSharedState literalState = shared;
            auto reverseRows = [&](std::vector<uint32_t>& v) {
                for (int32_t y = 0; c.mirror && y < c.height; ++y)
                    std::reverse(v.begin() + y * c.width, v.begin() + (y + 1) * c.width);
            };
            if (c.mirror)
                literalState.m_rcRegionImage = {c.width - c.region.right, c.region.top, c.width - c.region.left, c.region.bottom};
            reverseRows(expected);
            CLiteralBloomFilter(expected.data(), c.width, c.height, parameters.intensity, parameters.length,
                                parameters.width).Run("", literalState, nullptr);
            reverseRows(expected);
            CPlaneFilterRun::Run(image, *planes[p], p, parameters, c.mirror, "", shared, nullptr, 0,
                                 &record.planes.emplace_back());
            ASSERT_EQ(*planes[p], expected) << "plane " << p;
            ExpectMaskIsDifference(before[static_cast<std::size_t>(p)], *planes[p], c.width, c.height,
                                   record.planes.back().changes, "plane " + std::to_string(p));
            EXPECT_EQ(record.planes.back().intensity, parameters.intensity);
        }
        const CRegion whole{0, 0, c.width, c.height};
        EXPECT_EQ(record.region, c.regionSet ? c.region.ClippedTo(c.width, c.height) : whole);
    }
}

TEST(ReplacedPixels, ReducedLevelsMarkEveryBlockThatHoldsAReplacedPixelOfAnyPlane)
{
    std::mt19937 rng(25);
    for (auto [w, h] : {std::pair<int32_t, int32_t>{1, 1}, {7, 5}, {16, 9}, {33, 30}}) {
        CFilterRunRecord record;
        record.imageWidth = w;
        record.imageHeight = h;
        record.isColor = true;
        for (int p = 0; p < 3; ++p) {
            CChangeMask& changes = record.planes.emplace_back().changes;
            changes.Reset(w, h);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    if (rng() % 9 == 0)
                        changes.Add(y, x, x + 1);
        }
        const CReplacedPixelRuns runs(record);
        for (int level = 0; level < CReplacedPixelRuns::kLevels; ++level) {
            const int32_t scale = 1 << level;
            const CChangeMask& reduced = runs.Level(level);
            ASSERT_EQ(reduced.ImageWidth(), (w + scale - 1) / scale);
            for (int32_t y = 0; y < reduced.ImageHeight(); ++y)
                for (int32_t x = 0; x < reduced.ImageWidth(); ++x) {
                    bool any = false;
                    for (const CPlaneRunRecord& plane : record.planes)
                        for (int32_t dy = 0; dy < scale; ++dy)
                            for (int32_t dx = 0; dx < scale; ++dx)
                                any = any || plane.changes.At(x * scale + dx, y * scale + dy);
                    ASSERT_EQ(reduced.At(x, y), any) << w << "x" << h << " level " << level << " at " << x << "," << y;
                }
        }
    }
}
