// What a run tells its status display, as a worked example (the differential
// test compares every run with the literal engine's calls).
#include <gtest/gtest.h>

#include <new>

#include "BloomFilterTestSupport.h"
#include "filter/CBloomFilter.h"
#include "support/CSharedState.h"

using Calls = std::vector<std::string>;

TEST(BloomFilterStatus, EveryStepWithTheCountsBeforeTheLastColumn)
{
    // Column 1: a run of 3, removed by Length 5; column 2: a run of 8.
    SPlane plane{3, 8, std::vector<uint32_t>(24, 10)};
    for (int32_t y = 0; y < 8; ++y)
        plane.At(2, y) = 2000;
    for (int32_t y = 0; y < 3; ++y)
        plane.At(1, y) = 2000;
    CRecordingStatus status;
    CBloomFilter engine(plane.values.data(), 3, 8, 1000, 5, 1);
    engine.Run(" in Green plane", CSharedState{}, &status);
    const Calls expected = {"open: in Green plane", "pos:0", "detected:0", "pos:4", "detected:0", "pos:9",
                            "detected:3", "line:0", "length:11", "pos:14", "length:11", "pos:18", "length:8",
                            "pos:23", "pos:28", "pos:29", "pos:31", "pos:33", "pos:35", "pos:36", "pos:38",
                            "pos:40", "pos:46", "pos:60", "line:1", "pos:70", "pos:72", "pos:74", "pos:76",
                            "pos:78", "pos:80", "pos:82", "pos:84", "line:2", "pos:86", "pos:87", "pos:89",
                            "pos:91", "pos:93", "pos:94", "pos:96", "pos:98", "pos:100", "line:3", "close"};
    EXPECT_EQ(status.m_calls, expected);
    EXPECT_EQ(engine.DetectedCount(), 11);
    EXPECT_EQ(engine.LengthCheckedCount(), 8);
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
