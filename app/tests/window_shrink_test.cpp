// The shrink and grow animation of the main window: which edge stays, how the steps grow, where
// the last frame ends, and windows too small to move.
#include <gtest/gtest.h>

#include "app/window_shrink.h"

namespace {

constexpr int Screen = 768;

TEST(WindowShrinkTest, TheLowerHalfKeepsTheBottomEdge) {
    struct Row {
        int top;
        bool keepsBottom;
    };
    for (const Row row : {Row{0, false}, Row{383, false}, Row{384, false}, Row{385, true}, Row{700, true}})
        EXPECT_EQ(KeepsBottomEdge(row.top, Screen), row.keepsBottom) << "top " << row.top;
}

TEST(WindowShrinkTest, FirstStepIsAFifthRoundedAndNeverZero) {
    struct Row {
        int height;
        int step;
    };
    for (const Row row : {Row{400, 80}, Row{402, 80}, Row{403, 81}, Row{12, 2}, Row{2, 1}, Row{0, 1}})
        EXPECT_EQ(FirstShrinkStep(row.height), row.step) << "height " << row.height;
}

TEST(WindowShrinkTest, AWindowInTheUpperHalfShrinksTowardsItsTop) {
    const TWindowBox window{100, 50, 300, 450};
    const std::vector<TWindowBox> frames = ShrinkFrames(window, 30, Screen);
    ASSERT_FALSE(frames.empty());
    // Steps of 80, 120, 180: the bottom edge moves up, the top stays.
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], (TWindowBox{100, 50, 300, 370}));
    EXPECT_EQ(frames[1], (TWindowBox{100, 50, 300, 250}));
    EXPECT_EQ(frames.back(), (TWindowBox{100, 50, 300, 80}));
    for (const TWindowBox& frame : frames) {
        EXPECT_EQ(frame.Top, 50);
        EXPECT_EQ(frame.Width(), 200);
    }
}

TEST(WindowShrinkTest, AWindowInTheLowerHalfKeepsItsBottomEdge) {
    const TWindowBox window{10, 400, 210, 700};
    const std::vector<TWindowBox> frames = ShrinkFrames(window, 26, Screen);
    ASSERT_FALSE(frames.empty());
    for (const TWindowBox& frame : frames) EXPECT_EQ(frame.Bottom, 700);
    EXPECT_EQ(frames.front().Top, 460);
    EXPECT_EQ(frames.back(), (TWindowBox{10, 674, 210, 700}));
    // Every frame is lower than the one before.
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_LT(frames[i].Height(), frames[i - 1].Height());
}

TEST(WindowShrinkTest, GrowingBackRestoresTheFullHeightFromTheKeptEdge) {
    // Upper half: the bottom edge moves down.
    std::vector<TWindowBox> frames = GrowFrames(TWindowBox{100, 50, 300, 80}, 400, Screen);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), (TWindowBox{100, 50, 300, 160}));
    EXPECT_EQ(frames.back(), (TWindowBox{100, 50, 300, 450}));
    // Lower half: the top edge moves up, the bottom stays.
    frames = GrowFrames(TWindowBox{10, 674, 210, 700}, 300, Screen);
    ASSERT_FALSE(frames.empty());
    for (const TWindowBox& frame : frames) EXPECT_EQ(frame.Bottom, 700);
    EXPECT_EQ(frames.back(), (TWindowBox{10, 400, 210, 700}));
}

TEST(WindowShrinkTest, ShrinkingAndGrowingAreInverseAtTheKeptEdge) {
    for (const TWindowBox window : {TWindowBox{0, 0, 200, 359}, TWindowBox{0, 500, 200, 760}, TWindowBox{5, 384, 9, 390}}) {
        const std::vector<TWindowBox> shrunk = ShrinkFrames(window, 3, Screen);
        ASSERT_FALSE(shrunk.empty());
        const std::vector<TWindowBox> grown = GrowFrames(shrunk.back(), window.Height(), Screen);
        ASSERT_FALSE(grown.empty());
        EXPECT_EQ(grown.back(), window);
    }
}

TEST(WindowShrinkTest, NothingMovesWhenTheHeightIsAlreadyThere) {
    EXPECT_TRUE(ShrinkFrames(TWindowBox{0, 0, 100, 30}, 30, Screen).empty());
    EXPECT_TRUE(ShrinkFrames(TWindowBox{0, 0, 100, 20}, 30, Screen).empty());
    EXPECT_TRUE(GrowFrames(TWindowBox{0, 0, 100, 300}, 300, Screen).empty());
    // A few pixels to go still end in one frame at the target.
    const std::vector<TWindowBox> frames = ShrinkFrames(TWindowBox{0, 0, 100, 31}, 30, Screen);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Height(), 30);
}

}  // namespace
