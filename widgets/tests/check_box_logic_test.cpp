// The check box button's click cycle, group rule, glyph cells and 3-D key colours; and the
// split control's limits.
#include <gtest/gtest.h>

#include "widgets/check_box_logic.h"
#include "widgets/split_logic.h"

namespace {

TEST(CheckBoxLogicTest, ThreeClicksWithAllowGrayedComeBack) {
    int state = csUncheckedState;
    state = ClickedCheckState(state, true, true);
    EXPECT_EQ(state, csGrayedState);
    state = ClickedCheckState(state, true, true);
    EXPECT_EQ(state, csCheckedState);
    state = ClickedCheckState(state, true, true);
    EXPECT_EQ(state, csUncheckedState);
    // Without AllowGrayed, or disabled, a click only inverts Checked.
    EXPECT_EQ(ClickedCheckState(csUncheckedState, false, true), csCheckedState);
    EXPECT_EQ(ClickedCheckState(csCheckedState, true, false), csUncheckedState);
    EXPECT_EQ(ClickedCheckState(csGrayedState, false, true), csCheckedState);
}

TEST(CheckBoxLogicTest, GroupRuleTable) {
    struct Case {
        int wanted;
        bool hasMembers, otherChecked, allowUp;
        TGroupDecision result;
    } cases[] = {
        {csCheckedState, true, true, false, {csCheckedState, true}},
        {csCheckedState, false, false, false, {csCheckedState, true}},
        {csUncheckedState, true, true, false, {csUncheckedState, false}},
        {csUncheckedState, true, false, false, {csCheckedState, false}},  // the last one stays
        {csUncheckedState, true, false, true, {csUncheckedState, false}},
        {csUncheckedState, false, false, false, {csUncheckedState, false}},
        {csGrayedState, true, false, false, {csGrayedState, false}},
    };
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(GroupDecision(c.wanted, c.hasMembers, c.otherChecked, c.allowUp), c.result) << "row " << row;
        ++row;
    }
}

TEST(CheckBoxLogicTest, GlyphCells) {
    EXPECT_EQ(CheckGlyphCell(csUncheckedState, true, false), (TGlyphCell{0, 0}));
    EXPECT_EQ(CheckGlyphCell(csCheckedState, true, true), (TGlyphCell{1, 1}));
    EXPECT_EQ(CheckGlyphCell(csGrayedState, false, true), (TGlyphCell{2, 2}));
    EXPECT_EQ(CheckGlyphCell(7, true, false), (TGlyphCell{0, 0}));
    EXPECT_EQ(CheckGlyphCell(-1, false, false), (TGlyphCell{0, 2}));
}

TEST(CheckBoxLogicTest, KeyColoursBecomeSystemColours) {
    const TGlyphSystemColors colors{0x111111, 0x222222, 0x333333, 0x444444};
    EXPECT_EQ(ReplaceGlyphKeyColor(0x808080, colors), 0x111111u);
    EXPECT_EQ(ReplaceGlyphKeyColor(0xC0C0C0, colors), 0x222222u);
    EXPECT_EQ(ReplaceGlyphKeyColor(0x00FF00, colors), 0x333333u);
    EXPECT_EQ(ReplaceGlyphKeyColor(0xFF00FF, colors), 0x444444u);
    EXPECT_EQ(ReplaceGlyphKeyColor(0x000000, colors), 0x000000u);
    EXPECT_EQ(ReplaceGlyphKeyColor(0xFFFFFF, colors), 0xFFFFFFu);
}

TEST(SplitLogicTest, OffsetStopsAtTheLimits) {
    struct Case {
        int size, offset, sign, min, max, result;
    } cases[] = {
        {200, 30, 1, 100, 300, 30},
        {200, 150, 1, 100, 300, 100},    // the size stops at the maximum
        {200, -150, 1, 100, 300, -100},  // and at the minimum
        {200, 150, -1, 100, 300, 100},   // right of the bar: moving right shrinks it
        {200, -150, -1, 100, 300, -100},
        {200, 10, 0, 100, 300, 10},      // a sign of 0 counts as +1
        {200, 50, 1, 250, 100, 50},      // maximum below minimum: the minimum rules
        {200, 0, 1, 100, 150, -50},      // already too large: back to the limit
    };
    int row = 0;
    for (const Case& c : cases) {
        const int offset = LimitSplitOffset(c.size, c.offset, c.sign, c.min, c.max);
        EXPECT_EQ(offset, c.result) << "row " << row;
        const int size = SplitResult(c.size, offset, c.sign);
        EXPECT_GE(size, c.min) << "row " << row;
        EXPECT_LE(size, std::max(c.max, c.min)) << "row " << row;
        ++row;
    }
    EXPECT_EQ(SplitLineWidth(3), 3);
    EXPECT_EQ(SplitLineWidth(4), 4);
    EXPECT_EQ(SplitLineWidth(5), 3);
}

}  // namespace
