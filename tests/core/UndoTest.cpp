// One level of undo and redo, all planes together, and the picture of the
// image before the last filter run (the undo planes mapped as the image is).
#include "CoreTestSupport.h"
#include "image/CFitsImage.h"

namespace {

using Plane = std::vector<uint32_t>;

class UndoTest : public ::testing::Test {
protected:
    // The planes of the first picture plus d: red 1..6, green 101..106, blue
    // 201..206; d < 0: none.
    static std::vector<Plane> Planes(int d)
    {
        std::vector<Plane> planes(3);
        for (uint32_t i = 0; d >= 0 && i < 18; ++i)
            planes[i / 6].push_back(i / 6 * 100 + i % 6 + 1 + static_cast<uint32_t>(d));
        return planes;
    }
    // What a filter run does to the planes.
    void Filter(uint32_t d)
    {
        image.SaveUndo();
        for (Plane* p : {&image.m_red, &image.m_green, &image.m_blue})
            for (uint32_t& v : *p)
                v += d;
    }

    CSharedState shared;
    CCollectingMessageSink messages;
    CFitsImage image{shared, messages};
};

}  // namespace

TEST_F(UndoTest, FollowsTheStateTableAndOutOfOrderCallsChangeNothing)
{
    shared.m_nDisplayBpp = 24;
    std::tie(image.m_width, image.m_height, image.m_isColor, image.m_maxValue, image.m_stretchLow, image.m_stretchHigh) =
        std::tuple(3, 2, true, 65535u, 0, 300);
    const std::vector<Plane> start = Planes(0);
    std::tie(image.m_red, image.m_green, image.m_blue) = std::tie(start[0], start[1], start[2]);
    image.UpdateDisplay();
    CFitsImage before(shared, messages);  // the undo planes shown as an image
    std::tie(before.m_width, before.m_height, before.m_isColor, before.m_maxValue, before.m_stretchLow, before.m_stretchHigh) =
        std::tuple(3, 2, true, 65535u, 0, 300);
    const struct {
        char action;              // U undo, R redo, or a filter run adding the digit times 10
        int current, undo, redo;  // the planes' offsets, -1 for none
    } steps[] = {
        {'U', 0, -1, -1}, {'R', 0, -1, -1}, {'1', 10, 0, -1}, {'R', 10, 0, -1}, {'U', 0, 0, 10}, {'U', 0, 0, 10},
        {'R', 10, 0, 10}, {'R', 10, 0, 10}, {'U', 0, 0, 10}, {'2', 20, 0, 10}, {'3', 50, 20, 10}, {'U', 20, 20, 50},
    };
    for (const auto& s : steps) {
        s.action == 'U' ? image.Undo() : s.action == 'R' ? image.Redo() : Filter(10u * static_cast<uint32_t>(s.action - '0'));
        SCOPED_TRACE(testing::Message() << "after " << s.action << " to " << s.current);
        EXPECT_EQ((std::vector{image.m_red, image.m_green, image.m_blue}), Planes(s.current));
        EXPECT_EQ((std::vector{image.m_undoRed, image.m_undoGreen, image.m_undoBlue}), Planes(s.undo));
        EXPECT_EQ((std::vector{image.m_redoRed, image.m_redoGreen, image.m_redoBlue}), Planes(s.redo));
        EXPECT_EQ(image.CanUndo(), s.action != 'U' && s.undo >= 0);
        std::vector<uint8_t> picture;
        ASSERT_EQ(image.MapUndoPlanes(picture), image.CanUndo());
        if (image.CanUndo()) {
            std::tie(before.m_red, before.m_green, before.m_blue) = std::tie(image.m_undoRed, image.m_undoGreen, image.m_undoBlue);
            before.UpdateDisplay();
            EXPECT_EQ(picture, before.m_displayPixels);
        }
    }
    EXPECT_EQ(std::pair(image.m_stretchLow, image.m_stretchHigh), std::pair(0, 300));
}

TEST_F(UndoTest, AnUndoWithoutMemoryLeavesTheImageAsItWas)
{
    // Big enough that the first Undo has to allocate its copy.
    image.m_width = image.m_height = 64;
    image.m_red.assign(64 * 64, 7);
    Filter(10);
    {
        CAllocationLimit limit(1024);
        EXPECT_THROW(image.Undo(), std::bad_alloc);
    }
    EXPECT_EQ(image.m_red, Plane(64 * 64, 17));
    // Still undoable, and Redo then brings the result back.
    image.Undo();
    EXPECT_EQ(image.m_red, Plane(64 * 64, 7));
    image.Redo();
    EXPECT_EQ(image.m_red, Plane(64 * 64, 17));
}
