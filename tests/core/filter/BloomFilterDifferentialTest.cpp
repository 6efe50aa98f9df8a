// The production engine against the literal one, on many planes: the same
// plane, the same counts, the same status display calls (less the repeated
// positions), and a change mask that is exactly the difference.
#include <algorithm>
#include <functional>
#include <random>

#include "BloomFilterTestSupport.h"
#include "filter/CBloomFilter.h"
#include "reference/CLiteralBloomFilter.h"
#include "support/CSharedState.h"

namespace {

using Calls = std::vector<std::string>;

struct SCase {
    SPlane plane;
    uint32_t intensity = 1000;
    int32_t length = 2;
    int32_t width = 1;
    CSharedState state;
};

int Value(const std::string& call)
{
    return std::stoi(call.substr(call.find(':') + 1));
}

bool Is(const std::string& call, const char* kind)
{
    return call.starts_with(kind);
}

// The literal engine's calls (one per column or row) reduced to what the
// engine reports: a position only when it changes, a count only with its
// column's position, and at the end of each counting stage the count it ends
// on (the one before the last column) when that was not yet sent.
Calls Reduce(const Calls& literal)
{
    Calls out;
    int lastPosition = -1;
    std::string lastDetected, lastLength, seenDetected, seenLength;
    bool lengthStage = false;
    for (std::size_t i = 0; i < literal.size(); ++i) {
        const std::string& call = literal[i];
        const bool countFollows = i + 1 < literal.size() && Is(literal[i + 1], "detected:");
        if (lengthStage && !Is(call, "length:") && !(Is(call, "pos:") && Value(call) < 28)) {
            if (seenLength != lastLength)
                out.push_back(seenLength);
            lengthStage = false;
        }
        if (Is(call, "pos:")) {
            if (Value(call) != lastPosition) {
                out.push_back(call);
                lastPosition = Value(call);
                if (countFollows)
                    out.push_back(lastDetected = literal[i + 1]);
            }
            if (countFollows)
                seenDetected = literal[++i];
        } else if (Is(call, "length:")) {
            lengthStage = true;
            seenLength = call;
            if (Value(literal[++i]) != lastPosition) {
                out.insert(out.end(), {call, literal[i]});
                lastLength = call;
                lastPosition = Value(literal[i]);
            }
        } else {
            if (call == "line:0" && seenDetected != lastDetected)
                out.push_back(seenDetected);
            out.push_back(call);
        }
    }
    return out;
}

// Both engines on copies of the plane; every selection method on one and two
// threads, compared call by call; the automatic one also records changes.
void ExpectSameAsLiteral(const SCase& c)
{
    const CRegion& r = c.state.m_rcRegionImage;
    SCOPED_TRACE(testing::Message() << c.plane.width << "x" << c.plane.height << " I=" << c.intensity << " L=" << c.length
                                    << " W=" << c.width << " region " << c.state.m_bRegionSet << ":" << r.left << ","
                                    << r.top << "," << r.right << "," << r.bottom);
    SPlane expected = c.plane;
    CRecordingStatus literalStatus;
    CLiteralBloomFilter literal(expected.values.data(), expected.width, expected.height, c.intensity, c.length, c.width);
    literal.Run(" in Red plane", c.state, &literalStatus);
    using S = CBloomFilter::ESelection;
    for (auto [selection, threads] : {std::pair{S::Sort, 1}, {S::Sort, 2}, {S::Histogram, 1}, {S::Histogram, 2},
                                      {S::Auto, 1}, {S::Auto, 2}}) {
        SPlane actual = c.plane;
        CBloomFilter engine(actual.values.data(), actual.width, actual.height, c.intensity, c.length, c.width);
        engine.SetSelection(selection);
        engine.SetThreadCount(threads);
        CRecordingStatus status;
        CChangeMask changes;
        engine.RecordChanges(selection == S::Auto ? &changes : nullptr);
        engine.Run(" in Red plane", c.state, &status);
        ASSERT_EQ(actual.values, expected.values) << "selection " << static_cast<int>(selection) << " threads " << threads;
        ASSERT_EQ(std::pair(engine.DetectedCount(), engine.LengthCheckedCount()),
                  std::pair(literal.m_nDetected, literal.m_nLengthChecked));
        ASSERT_EQ(status.m_calls, Reduce(literalStatus.m_calls));
        if (selection == S::Auto)
            ExpectMaskIsDifference(c.plane.values, actual.values, actual.width, actual.height, changes, "mask");
    }
}

// trials cases made by make(rng, trial), each checked against the literal engine.
void CheckCases(unsigned seed, int trials, const std::function<void(std::mt19937&, int, SCase&)>& make)
{
    std::mt19937 rng(seed);
    for (int trial = 0; trial < trials; ++trial) {
        SCase c;
        make(rng, trial, c);
        ExpectSameAsLiteral(c);
        if (testing::Test::HasFatalFailure())
            return;
    }
}

int32_t Pick(std::mt19937& rng, int32_t lo, int32_t hi)
{
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
}

// A w x h plane of streaks up to its height, Length 1..lengths, Width 1..widths.
void Streaks(std::mt19937& rng, SCase& c, int32_t w, int32_t h, int streaks, int32_t lengths, int32_t widths)
{
    c.plane = MakeStreakPlane(rng, w, h, streaks, h);
    c.length = Pick(rng, 1, lengths);
    c.width = Pick(rng, 1, widths);
}

}  // namespace

TEST(BloomFilterDifferential, SmallPlanesOfEveryKind)
{
    const std::pair<int32_t, int32_t> strips[] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {1, 17}, {17, 1},
                                                  {2, 9}, {9, 2}, {2, 30}, {30, 2}, {3, 3}, {3, 12}};
    const uint32_t specials[] = {0u, 1u, 65535u, 65536u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFF8000u};
    CheckCases(12345, 720, [&](std::mt19937& rng, int trial, SCase& c) {
        const int32_t w = Pick(rng, 1, 32), h = Pick(rng, 1, 32);
        const uint32_t bright = static_cast<uint32_t>(Pick(rng, 1000, 1200));
        switch (trial % 6) {
        case 0:  // streaks, Intensities around their values
            Streaks(rng, c, w, h, Pick(rng, 0, 6), 6, 6);
            c.intensity = static_cast<uint32_t>(Pick(rng, 995, 1005));
            break;
        case 1: {  // regions inside, across and outside the plane, some inverted
            Streaks(rng, c, w, h, Pick(rng, 1, 8), 4, 4);
            CRegion& r = c.state.m_rcRegionImage;
            r = {Pick(rng, -8, 40), Pick(rng, -8, 40), Pick(rng, -8, 40), Pick(rng, -8, 40)};
            if (trial % 4 != 1)
                r = {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
            c.state.m_bRegionSet = true;
            break;
        }
        case 2:  // tiny images and thin strips
            Streaks(rng, c, strips[trial / 6 % 12].first, strips[trial / 6 % 12].second, Pick(rng, 0, 3), 3, 2);
            break;
        case 3:  // full-height columns at both edges, runs from the first and to the last row, a bright last row
            Streaks(rng, c, w + 5, h + 5, 0, 5, 3);
            for (int32_t y = 0; y < h + 5; ++y)
                for (int32_t x : {0, w + 4, w + 3, y < (h + 5) / 2 ? (w + 5) / 2 : (w + 5) / 3})
                    c.plane.At(x, y) = bright + static_cast<uint32_t>(y);
            for (int32_t x = 0; x < w + 5; ++x)
                c.plane.At(x, h + 4) = bright + static_cast<uint32_t>(x);
            break;
        case 4:  // few values: ties in the windows, every value on both sides of the Intensity
            Streaks(rng, c, w, h, 0, 3, 3);
            for (uint32_t& v : c.plane.values)
                v = static_cast<uint32_t>(Pick(rng, 0, 5));
            c.intensity = static_cast<uint32_t>(Pick(rng, 1, 6));
            break;
        default: {  // values above 65535, negative ones (held as large unsigned values), the extremes
            Streaks(rng, c, w + 3, h + 3, 4, 3, 5);
            const int kind = trial / 6 % 5;
            for (uint32_t& v : c.plane.values) {
                if (kind == 0)
                    v = specials[Pick(rng, 0, 7)];
                else if (kind == 1)
                    v = v >= 990 ? v * 100 : v * 70;  // scaled data: the blooms above 65535
                else if (kind == 2 && Pick(rng, 0, 4) == 0)
                    v = static_cast<uint32_t>(-Pick(rng, 1, 40000));
                else if (kind == 3)
                    v = static_cast<uint32_t>(rng());
            }
            // The last: Intensities no signed value reaches.
            const uint32_t intensities[] = {specials[Pick(rng, 1, 4)], 99000u, 1000u,
                                            static_cast<uint32_t>(Pick(rng, 0, INT32_MAX)), 0x80000000u | bright};
            c.intensity = intensities[kind];
        }
        }
    });
}

TEST(BloomFilterDifferential, LargePlanesAndManyDistinctValues)
{
    // Over 2^18 cells the detection splits its rows over two threads; more
    // than 65536 distinct values leave the histogram to sorting.
    CheckCases(8, 2, [](std::mt19937& rng, int trial, SCase& c) {
        c.plane = MakeStreakPlane(rng, trial ? 640 : 400, trial ? 420 : 300, 30, 200);
        std::tie(c.length, c.width, c.state.m_bRegionSet) = std::tuple(4, trial ? 2 : 4, trial == 1);
        c.state.m_rcRegionImage = {2, 1, 640, 420};
        for (uint32_t& v : c.plane.values)
            v = trial ? v : v * 1000 + static_cast<uint32_t>(Pick(rng, 0, 999));
        c.intensity = trial ? 1000 : 990000;
    });
}

TEST(BloomFilterDifferential, WidthsAndLengthsOutsideTheDialogBounds)
{
    // Width 12 in a region, Length 10; Width 40 fits a few windows of a
    // 100 x 90 plane, 1000 none (the fill stays); Width 0 or below gives no
    // value; Length 0 or below keeps every run.
    const std::pair<int32_t, int32_t> widthAndLength[] = {{12, 10}, {40, 3}, {499, 3}, {1000, 3}, {0, 3}, {-2, 3}, {2, 0}, {2, -5}};
    CheckCases(61, 8, [&](std::mt19937& rng, int trial, SCase& c) {
        c.plane = MakeStreakPlane(rng, 100, 90, trial ? 3 : 9, trial ? 12 : 90);
        std::tie(c.width, c.length, c.state.m_bRegionSet) = std::tuple(widthAndLength[trial].first, widthAndLength[trial].second, trial == 0);
        c.state.m_rcRegionImage = {20, 15, 75, 87};
    });
}
