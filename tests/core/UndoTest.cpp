#include <gtest/gtest.h>

#include "CAllocationLimit.h"
#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

using Plane = std::vector<uint32_t>;

class UndoTest : public ::testing::Test {
protected:
    void Make(bool color)
    {
        image.m_width = 3;
        image.m_height = 2;
        image.m_isColor = color;
        image.m_maxValue = 65535;
        image.m_red = A;
        if (color) {
            image.m_green = Plus(A, 100);
            image.m_blue = Plus(A, 200);
        }
    }
    static Plane Plus(const Plane& p, uint32_t d)
    {
        Plane out = p;
        for (uint32_t& v : out)
            v += d;
        return out;
    }
    // What a filter run does to the planes.
    void Filter(uint32_t d)
    {
        image.SaveUndo();
        image.m_red = Plus(image.m_red, d);
        if (image.m_isColor) {
            image.m_green = Plus(image.m_green, d);
            image.m_blue = Plus(image.m_blue, d);
        }
    }

    const Plane A{1, 2, 3, 4, 5, 6};
    CSharedState shared;
    CCollectingMessageSink messages;
    CFitsImage image{shared, messages};
};

TEST_F(UndoTest, FollowsTheStateTable)
{
    Make(false);
    const Plane B = Plus(A, 10), C = Plus(A, 20);
    EXPECT_TRUE(image.m_undoRed.empty());
    EXPECT_TRUE(image.m_redoRed.empty());

    Filter(10);  // A -> B
    EXPECT_EQ(image.m_red, B);
    EXPECT_EQ(image.m_undoRed, A);
    EXPECT_TRUE(image.m_redoRed.empty());

    image.Undo();
    EXPECT_EQ(image.m_red, A);
    EXPECT_EQ(image.m_undoRed, A);
    EXPECT_EQ(image.m_redoRed, B);

    image.Redo();
    EXPECT_EQ(image.m_red, B);
    EXPECT_EQ(image.m_undoRed, A);
    EXPECT_EQ(image.m_redoRed, B);

    image.Undo();
    EXPECT_EQ(image.m_red, A);

    Filter(20);  // from A -> C; the redo planes go stale
    EXPECT_EQ(image.m_red, C);
    EXPECT_EQ(image.m_undoRed, A);
    EXPECT_EQ(image.m_redoRed, B);

    // A monochrome image never fills green or blue copies.
    EXPECT_TRUE(image.m_undoGreen.empty());
    EXPECT_TRUE(image.m_undoBlue.empty());
    EXPECT_TRUE(image.m_redoGreen.empty());
    EXPECT_TRUE(image.m_redoBlue.empty());
}

TEST_F(UndoTest, ColourPlanesTravelTogetherAndTheStretchStays)
{
    Make(true);
    image.m_stretchLow = 17;
    image.m_stretchHigh = 4000;
    Filter(10);
    image.Undo();
    EXPECT_EQ(image.m_red, A);
    EXPECT_EQ(image.m_green, Plus(A, 100));
    EXPECT_EQ(image.m_blue, Plus(A, 200));
    image.Redo();
    EXPECT_EQ(image.m_green, Plus(A, 110));
    EXPECT_EQ(image.m_blue, Plus(A, 210));
    EXPECT_EQ(image.m_stretchLow, 17);
    EXPECT_EQ(image.m_stretchHigh, 4000);
}

TEST_F(UndoTest, ASecondRunReplacesTheUndoState)
{
    Make(false);
    Filter(10);
    Filter(20);
    image.Undo();
    EXPECT_EQ(image.m_red, Plus(A, 10));
}

TEST_F(UndoTest, OutOfOrderCallsChangeNothing)
{
    Make(true);
    image.Undo();  // before any SaveUndo
    image.Redo();  // before any Undo
    EXPECT_EQ(image.m_red, A);
    EXPECT_TRUE(image.m_redoRed.empty());
    EXPECT_TRUE(image.m_undoRed.empty());

    Filter(10);
    image.Redo();  // nothing undone yet
    EXPECT_EQ(image.m_red, Plus(A, 10));
    image.Undo();
    image.Undo();  // a second Undo would otherwise lose the redo state
    EXPECT_EQ(image.m_red, A);
    EXPECT_EQ(image.m_redoRed, Plus(A, 10));
    image.Redo();
    image.Redo();
    EXPECT_EQ(image.m_red, Plus(A, 10));
    EXPECT_EQ(image.m_undoRed, A);
}

TEST_F(UndoTest, AnUndoWithoutMemoryLeavesTheImageAsItWas)
{
    // Big enough that the first Undo has to allocate its copy.
    image.m_width = 64;
    image.m_height = 64;
    image.m_maxValue = 65535;
    image.m_red.assign(64 * 64, 7);
    Filter(10);
    const Plane after = image.m_red;
    {
        CAllocationLimit limit(1024);
        EXPECT_THROW(image.Undo(), std::bad_alloc);
    }
    EXPECT_EQ(image.m_red, after);
    // Still undoable, and Redo then brings the result back.
    image.Undo();
    EXPECT_EQ(image.m_red, Plane(64 * 64, 7));
    image.Redo();
    EXPECT_EQ(image.m_red, after);
}

}  // namespace
