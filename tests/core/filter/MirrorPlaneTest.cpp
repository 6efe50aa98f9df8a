#include <gtest/gtest.h>

#include "filter/MirrorPlane.h"

TEST(MirrorPlane, ReversesEveryRowAndTwiceRestores)
{
    std::vector<uint32_t> plane = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::vector<uint32_t> original = plane;
    MirrorPlane(plane, 4, 3);
    EXPECT_EQ(plane, (std::vector<uint32_t>{4, 3, 2, 1, 8, 7, 6, 5, 12, 11, 10, 9}));
    MirrorPlane(plane, 4, 3);
    EXPECT_EQ(plane, original);
    MirrorPlane(plane, 3, 4);
    EXPECT_EQ(plane, (std::vector<uint32_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
}

TEST(MirrorPlane, DegenerateShapesAndMismatchedSizes)
{
    std::vector<uint32_t> column = {1, 2, 3};
    MirrorPlane(column, 1, 3);
    EXPECT_EQ(column, (std::vector<uint32_t>{1, 2, 3}));
    // The vector does not hold width*height values: nothing is touched.
    std::vector<uint32_t> shortPlane = {1, 2, 3, 4, 5};
    MirrorPlane(shortPlane, 3, 2);
    EXPECT_EQ(shortPlane, (std::vector<uint32_t>{1, 2, 3, 4, 5}));
    std::vector<uint32_t> empty;
    MirrorPlane(empty, 0, 0);
    MirrorPlane(empty, 5, 0);
    EXPECT_TRUE(empty.empty());
}
