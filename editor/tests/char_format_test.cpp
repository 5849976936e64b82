// The character format rules: automatic colours, effects written on mixed selections, when
// face and character set need a write, and the pitch bits.
#include <gtest/gtest.h>

#include "editor/char_format.h"

namespace {

TEST(CharFormatTest, AutomaticTextColourReadsAsWindowText) {
    TCharFormat f;
    f.Color = 0x0000FF;
    EXPECT_EQ(ReadTextColor(f), 0x0000FFu);
    f.Effects |= cfeAutoColor;
    EXPECT_EQ(ReadTextColor(f), WindowTextColor);
}

TEST(CharFormatTest, WritingWindowTextSwitchesTheAutomaticColourOn) {
    TCharFormat f;
    f.Effects = cfmBold;
    WriteTextColor(f, WindowTextColor, 0x000000);
    EXPECT_EQ(f.Mask, cfmColor);
    EXPECT_TRUE(f.Effects & cfeAutoColor);
    EXPECT_TRUE(f.Effects & cfmBold) << "other effects are left as they are";
    WriteTextColor(f, 0x00FF00, 0x00FF00);
    EXPECT_FALSE(f.Effects & cfeAutoColor);
    EXPECT_EQ(f.Color, 0x00FF00u);
    // A system colour other than the window text is written as its RGB value.
    WriteTextColor(f, 0x8000000F, 0xC0C0C0);
    EXPECT_FALSE(f.Effects & cfeAutoColor);
    EXPECT_EQ(f.Color, 0xC0C0C0u);
}

TEST(CharFormatTest, BackgroundOfTheControlColourIsTheAutomaticBackground) {
    const uint32_t control = 0x80000005;
    TCharFormat f;
    f.BackColor = 0x00FFFF;
    EXPECT_EQ(ReadBackColor(f, control), 0x00FFFFu);
    WriteBackColor(f, control, 0xFFFFFF, control);
    EXPECT_EQ(f.Mask, cfmBackColor);
    EXPECT_TRUE(f.Effects & cfeAutoBackColor);
    EXPECT_EQ(ReadBackColor(f, control), control);
    WriteBackColor(f, 0x0000FF, 0x0000FF, control);
    EXPECT_FALSE(f.Effects & cfeAutoBackColor);
    EXPECT_EQ(ReadBackColor(f, control), 0x0000FFu);
}

struct StyleCase {
    const char* name;
    uint32_t mask;     // effects uniform over the selection
    uint32_t effects;  // effect bits the control reports
    uint32_t newStyle;
    uint32_t expectedRead;
    uint32_t expectedChange;
};

TEST(CharFormatTest, StyleWriteChangesOnlyTheEffectsThatDiffer) {
    const StyleCase cases[] = {
        {"uniform plain, add bold", 0xF, 0x0, 0x1, 0x0, 0x1},
        {"uniform bold, same", 0xF, 0x1, 0x1, 0x1, 0x0},
        {"uniform bold italic, drop italic", 0xF, 0x3, 0x1, 0x3, 0x2},
        {"mixed italic, add bold", 0xD, 0x2, 0x1, 0x0, 0x1},
        {"mixed italic, set italic", 0xD, 0x2, 0x2, 0x0, 0x2},
        {"mixed bold reads unset, drop nothing", 0xE, 0x1, 0x0, 0x0, 0x0},
        {"all mixed, add underline and strike", 0x0, 0xF, 0xC, 0x0, 0xC},
        {"protected bit ignored", 0x1F, 0x10, 0x0, 0x0, 0x0},
    };
    for (const StyleCase& c : cases) {
        TCharFormat f;
        f.Mask = c.mask;
        f.Effects = c.effects;
        EXPECT_EQ(ReadStyle(f), c.expectedRead) << c.name;
        EXPECT_EQ(StyleChangeMask(f, c.newStyle), c.expectedChange) << c.name;
    }
}

TEST(CharFormatTest, FaceAndCharsetAreComparedOnlyWhenUniform) {
    TCharFormat f;
    f.FaceName = "Arial";
    f.CharSet = 0;
    f.Mask = cfmFace | cfmCharSet;
    EXPECT_FALSE(FaceWriteNeeded(f, "arial")) << "the face compares case-insensitively";
    EXPECT_TRUE(FaceWriteNeeded(f, "Courier New"));
    EXPECT_FALSE(CharSetWriteNeeded(f, 0));
    EXPECT_TRUE(CharSetWriteNeeded(f, 2));
    f.Mask = 0;  // the selection mixes faces and character sets
    EXPECT_TRUE(FaceWriteNeeded(f, "Arial"));
    EXPECT_TRUE(CharSetWriteNeeded(f, 0));
}

TEST(CharFormatTest, PitchLivesInTheLowBitsOfPitchAndFamily) {
    struct {
        uint8_t byte;
        TCharPitch pitch;
    } const reads[] = {{0x00, cpDefault}, {0x31, cpFixed}, {0x22, cpVariable}, {0x13, cpDefault}};
    for (const auto& r : reads) {
        TCharFormat f;
        f.PitchAndFamily = r.byte;
        EXPECT_EQ(ReadPitch(f), r.pitch) << int(r.byte);
    }
    EXPECT_EQ(PitchAndFamilyWith(0x22, cpFixed), 0x21);
    EXPECT_EQ(PitchAndFamilyWith(0x31, cpVariable), 0x32);
    EXPECT_EQ(PitchAndFamilyWith(0x32, cpDefault), 0x30);
}

}  // namespace
