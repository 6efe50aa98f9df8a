// What a run tells its status display, and when.
#include <gtest/gtest.h>

#include <new>
#include <random>

#include "BloomFilterTestSupport.h"
#include "filter/CBloomFilter.h"
#include "filter/FilterStatusTexts.h"
#include "reference/CLiteralBloomFilter.h"
#include "support/CSharedState.h"

namespace {

using Calls = std::vector<std::string>;

Calls RunEngine(SPlane& plane, const CSharedState& state, uint32_t intensity, int32_t length, int32_t width,
                const std::string& suffix = "")
{
    CRecordingStatus status;
    CBloomFilter engine(plane.values.data(), plane.width, plane.height, intensity, length, width);
    engine.Run(suffix, state, &status);
    return status.m_calls;
}

int Value(const std::string& call)
{
    return std::stoi(call.substr(call.find(':') + 1));
}

bool StartsWith(const std::string& call, const char* prefix)
{
    return call.rfind(prefix, 0) == 0;
}

// The literal engine's calls (one per column or row) reduced to what the
// engine reports: a position only when it changes, a count only with its
// column's position, and at the end of each counting stage the count it ends
// on when that was not yet sent.
Calls Reduce(const Calls& literal)
{
    Calls out;
    int lastPosition = -1;
    std::string lastDetected, lastLength, seenDetected, seenLength;
    bool lengthStage = false;
    for (std::size_t i = 0; i < literal.size(); ++i) {
        const std::string& call = literal[i];
        if (lengthStage && !StartsWith(call, "length:") && !(StartsWith(call, "pos:") && Value(call) < 28)) {
            if (seenLength != lastLength)
                out.push_back(seenLength);
            lengthStage = false;
        }
        if (StartsWith(call, "pos:")) {
            if (Value(call) != lastPosition) {
                out.push_back(call);
                lastPosition = Value(call);
                if (i + 1 < literal.size() && StartsWith(literal[i + 1], "detected:")) {
                    out.push_back(literal[i + 1]);
                    lastDetected = literal[i + 1];
                }
            }
            if (i + 1 < literal.size() && StartsWith(literal[i + 1], "detected:")) {
                seenDetected = literal[i + 1];
                ++i;
            }
        } else if (StartsWith(call, "length:")) {
            lengthStage = true;
            seenLength = call;
            const std::string& position = literal[i + 1];
            if (Value(position) != lastPosition) {
                out.push_back(call);
                out.push_back(position);
                lastLength = call;
                lastPosition = Value(position);
            }
            ++i;
        } else {
            if (call == "line:0" && seenDetected != lastDetected)
                out.push_back(seenDetected);
            out.push_back(call);
        }
    }
    return out;
}

}  // namespace

TEST(BloomFilterStatus, SmallPlaneWithNothingBrightShowsEveryStep)
{
    SPlane plane{3, 4, std::vector<uint32_t>(12, 5)};
    const Calls calls = RunEngine(plane, CSharedState{}, 1000, 2, 1, " in Green plane");
    const Calls expected = {"open: in Green plane",
                            "pos:0", "detected:0", "pos:4", "detected:0", "pos:9", "detected:0",
                            "line:0",
                            "length:0", "pos:14", "length:0", "pos:18", "length:0", "pos:23",
                            "pos:28", "pos:31", "pos:35", "pos:38",
                            "pos:46", "pos:60",
                            "line:1",
                            "pos:70", "pos:74", "pos:78", "pos:82",
                            "line:2",
                            "pos:86", "pos:89", "pos:93", "pos:96",
                            "pos:100", "line:3", "close"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(plane.values, std::vector<uint32_t>(12, 5));
}

TEST(BloomFilterStatus, CountsAreThoseBeforeTheLastColumn)
{
    // Column 1: a run of 3, removed by Length 5; column 2: a run of 8.
    SPlane plane{3, 8, std::vector<uint32_t>(24, 10)};
    for (int32_t y = 0; y < 8; ++y)
        plane.At(2, y) = 2000;
    for (int32_t y = 0; y < 3; ++y)
        plane.At(1, y) = 2000;
    CRecordingStatus status;
    CBloomFilter engine(plane.values.data(), 3, 8, 1000, 5, 1);
    engine.Run("", CSharedState{}, &status);
    const Calls& calls = status.m_calls;
    const Calls head(calls.begin(), calls.begin() + 15);
    const Calls expected = {"open:",     "pos:0",     "detected:0", "pos:4",     "detected:0",
                            "pos:9",     "detected:3", "line:0",    "length:11", "pos:14",
                            "length:11", "pos:18",    "length:8",   "pos:23",    "pos:28"};
    EXPECT_EQ(head, expected);
    EXPECT_EQ(engine.DetectedCount(), 11);
    EXPECT_EQ(engine.LengthCheckedCount(), 8);
}

TEST(BloomFilterStatus, FinalCountIsSentWhenTheLastColumnsShareAPosition)
{
    // 30 columns: columns 28 and 29 both sit at position 13, so the count
    // before column 29 (which includes column 28's blooms) is sent at the
    // end of the stage.
    SPlane plane{30, 10, std::vector<uint32_t>(300, 10)};
    for (int32_t y = 0; y < 10; ++y)
        plane.At(28, y) = 2000;
    const Calls calls = RunEngine(plane, CSharedState{}, 1000, 3, 1);
    const auto line = std::find(calls.begin(), calls.end(), "line:0");
    ASSERT_NE(line, calls.end());
    EXPECT_EQ(*(line - 1), "detected:10");
    EXPECT_EQ(*(line - 2), "detected:0");
    EXPECT_EQ(*(line - 3), "pos:13");
    // The length check keeps the run: the count stays 10 and is not repeated.
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "length:10"), 14);
}

TEST(BloomFilterStatus, MatchesTheLiteralCallsLeavingOutRepeatedPositions)
{
    std::mt19937 rng(17);
    for (int trial = 0; trial < 60; ++trial) {
        const int32_t w = std::uniform_int_distribution<int32_t>(1, 90)(rng);
        const int32_t h = std::uniform_int_distribution<int32_t>(1, 90)(rng);
        SPlane plane = MakeStreakPlane(rng, w, h, 6, h);
        CSharedState state;
        if (trial % 2 == 1) {
            state.m_bRegionSet = true;
            state.m_rcRegionImage = {w / 4, h / 5, w - w / 3, h};
        }
        SPlane literalPlane = plane;
        CRecordingStatus literalStatus;
        CLiteralBloomFilter literal(literalPlane.values.data(), w, h, 1000, 3, 2);
        literal.Run(" in Red plane", state, &literalStatus);
        const Calls calls = RunEngine(plane, state, 1000, 3, 2, " in Red plane");
        EXPECT_EQ(calls, Reduce(literalStatus.m_calls)) << w << "x" << h << " trial " << trial;
    }
}

TEST(BloomFilterStatus, RectangleWithoutColumnsSendsNoCountsAndEndsAt100)
{
    SPlane plane{10, 10, std::vector<uint32_t>(100, 5000)};
    CSharedState state;
    state.m_bRegionSet = true;
    state.m_rcRegionImage = {5, 2, 5, 6};
    const Calls calls = RunEngine(plane, state, 1000, 2, 1);
    const Calls expected = {"open:",  "line:0", "pos:28", "pos:31", "pos:35", "pos:38", "line:1",
                            "pos:73", "pos:74", "pos:76", "pos:78", "line:2", "pos:88", "pos:90",
                            "pos:91", "pos:93", "pos:100", "line:3", "close"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(plane.values, std::vector<uint32_t>(100, 5000));

    // Wholly outside the image: nothing but the lines and the end.
    state.m_rcRegionImage = {20, 20, 30, 30};
    EXPECT_EQ(RunEngine(plane, state, 1000, 2, 1),
              (Calls{"open:", "line:0", "line:1", "line:2", "pos:100", "line:3", "close"}));
    EXPECT_EQ(plane.values, std::vector<uint32_t>(100, 5000));
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(BloomFilterStatus, FailedAllocationClosesTheDisplayAndPropagates)
{
    // The masks for a plane this size cannot be allocated; the plane itself
    // is never read.
    uint32_t plane[1] = {7};
    CRecordingStatus status;
    CBloomFilter engine(plane, 1 << 30, 1 << 30, 1000, 2, 2);
    EXPECT_THROW(engine.Run("", CSharedState{}, &status), std::bad_alloc);
    EXPECT_EQ(status.m_calls, (Calls{"open:", "close"}));
    EXPECT_EQ(plane[0], 7u);
}
#endif

TEST(FilterStatusTexts, LinesOfTheStatusDisplay)
{
    EXPECT_EQ(FilterStatusTexts::SearchLine(""), "Searching for bloom pixels.");
    EXPECT_EQ(FilterStatusTexts::SearchLine(" in Blue plane"), "Searching for bloom pixels in Blue plane.");
    EXPECT_EQ(FilterStatusTexts::DetectedLine(-3), "-3 bloom pixels detected.");
    EXPECT_EQ(FilterStatusTexts::LengthCheckLine(70123), "70123 bloom pixels after length check.");
    EXPECT_STREQ(FilterStatusTexts::RevealedLine(IFilterStatus::ELine::LengthCheck), "Checking length of bloom pixels.");
    EXPECT_STREQ(FilterStatusTexts::RevealedLine(IFilterStatus::ELine::Removing), "Removing bloom pixels.");
    EXPECT_STREQ(FilterStatusTexts::RevealedLine(IFilterStatus::ELine::Blending), "Blending bloom pixels.");
    EXPECT_STREQ(FilterStatusTexts::RevealedLine(IFilterStatus::ELine::Complete), "Processing Complete!");
}
