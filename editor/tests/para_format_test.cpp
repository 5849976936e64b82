// Which mask bits a paragraph change sends, and the tab stops with their count.
#include <gtest/gtest.h>

#include <functional>

#include "base/exception.h"
#include "editor/para_format.h"

namespace {

TParaFormat Sample() {
    TParaFormat f;
    f.Numbering = 0;
    f.StartIndent = 200;
    f.RightIndent = 100;
    f.Offset = 0;
    f.Alignment = 1;
    SetTabStop(f, 0, 720);
    f.SpaceBefore = 40;
    f.SpaceAfter = 60;
    f.LineSpacing = 240;
    f.LineSpacingRule = 0;
    return f;
}

struct MaskCase {
    const char* name;
    std::function<void(TParaFormat&)> change;
    uint32_t version2Mask;
    uint32_t version1Mask;
};

TEST(ParaFormatTest, ChangeMaskHoldsExactlyTheChangedFields) {
    const MaskCase cases[] = {
        {"nothing", [](TParaFormat&) {}, 0, 0},
        {"numbering", [](TParaFormat& f) { f.Numbering = 1; }, pfmNumbering, pfmNumbering},
        {"start indent", [](TParaFormat& f) { f.StartIndent = 400; }, pfmStartIndent, pfmStartIndent},
        {"right indent", [](TParaFormat& f) { f.RightIndent = 0; }, pfmRightIndent, pfmRightIndent},
        {"offset", [](TParaFormat& f) { f.Offset = 200; }, pfmOffset, pfmOffset},
        {"alignment", [](TParaFormat& f) { f.Alignment = 3; }, pfmAlignment, pfmAlignment},
        {"tab value", [](TParaFormat& f) { f.Tabs[0] = 1440; }, pfmTabStops, pfmTabStops},
        {"tab count", [](TParaFormat& f) { f.TabCount = 2; }, pfmTabStops, pfmTabStops},
        {"space before", [](TParaFormat& f) { f.SpaceBefore = 0; }, pfmSpaceBefore, 0},
        {"space after", [](TParaFormat& f) { f.SpaceAfter = 0; }, pfmSpaceAfter, 0},
        {"line spacing", [](TParaFormat& f) { f.LineSpacing = 360; }, pfmLineSpacing, 0},
        {"line spacing rule", [](TParaFormat& f) { f.LineSpacingRule = 4; }, pfmAllSpacing, 0},
        {"rule and before", [](TParaFormat& f) { f.LineSpacingRule = 1; f.SpaceBefore = 0; }, pfmAllSpacing, 0},
        {"two fields", [](TParaFormat& f) { f.Alignment = 2; f.Numbering = 1; }, pfmAlignment | pfmNumbering,
         pfmAlignment | pfmNumbering},
        {"only the read mask", [](TParaFormat& f) { f.Mask = 0x1FF; }, 0, 0},
    };
    for (const MaskCase& c : cases) {
        const TParaFormat old = Sample();
        TParaFormat changed = old;
        c.change(changed);
        EXPECT_EQ(ParaChangeMask(old, changed, true), c.version2Mask) << c.name;
        EXPECT_EQ(ParaChangeMask(old, changed, false), c.version1Mask) << c.name;
    }
}

TEST(ParaFormatTest, TabCountCoversTheStopWritten) {
    TParaFormat f;
    SetTabStop(f, 0, 100);
    EXPECT_EQ(f.TabCount, 1) << "stop 0 needs a count of 1";
    SetTabStop(f, 4, 500);
    EXPECT_EQ(f.TabCount, 5);
    SetTabStop(f, 2, 300);
    EXPECT_EQ(f.TabCount, 5) << "an inner stop keeps the count";
    EXPECT_EQ(TabStop(f, 2), 300);
    EXPECT_EQ(TabStop(f, 4), 500);
    SetTabStop(f, 31, 9000);
    EXPECT_EQ(f.TabCount, 32);
    EXPECT_EQ(TabStop(f, 31), 9000);
}

TEST(ParaFormatTest, StopsBeyondTheCountReadAsZero) {
    TParaFormat f;
    f.Tabs[3] = 777;  // left over behind the count
    f.TabCount = 2;
    EXPECT_EQ(TabStop(f, 3), 0);
}

TEST(ParaFormatTest, TabIndexOutsideTheRangeRaises) {
    TParaFormat f;
    for (int index : {-1, 32, 100}) {
        try {
            SetTabStop(f, index, 1);
            ADD_FAILURE() << "index " << index;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Id(), 65422) << "index " << index;
        }
        EXPECT_THROW(TabStop(f, index), Exception);
    }
    EXPECT_EQ(f.TabCount, 0);
}

}  // namespace
