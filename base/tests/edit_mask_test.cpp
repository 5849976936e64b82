// The edit mask: parsing the mask sections, formatting texts into it and reading them back with
// and without the literals, and tables of keys typed, deleted and pasted into masks with
// literals, with the text and caret each leaves.
#include "base/edit_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EditMask, SectionsAndPositions) {
    struct TCase {
        const char* Mask;
        const char* EmptyText;
        bool SaveLiterals;
        char Blank;
    };
    const TCase cases[] = {
        {"00.00-00.00", "__.__-__.__", true, '_'},
        {"0000-0000", "____-____", true, '_'},
        {"0000-0000;0;*", "****-****", false, '*'},
        {"(999) 000;1; ", "(   )    ", true, ' '},
        {"\\0\\L00", "0L__", true, '_'},
        {">LL<ll<>cc", "______", true, '_'},
        {"a\\;b;0", "_;b", false, '_'},
        {"#9", "__", true, '_'},
    };
    for (const TCase& c : cases) {
        const TEditMask mask(c.Mask);
        EXPECT_EQ(mask.EmptyText(), c.EmptyText) << c.Mask;
        EXPECT_EQ(mask.SaveLiterals(), c.SaveLiterals) << c.Mask;
        EXPECT_EQ(mask.Blank(), c.Blank) << c.Mask;
        EXPECT_FALSE(mask.Empty()) << c.Mask;
    }
    EXPECT_TRUE(TEditMask().Empty());
    EXPECT_TRUE(TEditMask("<>").Empty()) << "directives alone make no positions";
    const TEditMask mask(">L<l0");
    EXPECT_EQ(mask.Position(0).Case, mcUpper);
    EXPECT_EQ(mask.Position(1).Case, mcLower);
    EXPECT_TRUE(mask.Position(0).Required());
    EXPECT_FALSE(mask.Position(1).Required());
}

TEST(EditMask, WhichCharactersAPositionTakes) {
    struct TCase {
        const char* Mask;
        const char* Accepted;
        const char* Refused;
    };
    const TCase cases[] = {
        {"0", "0123456789", "a+- ."},
        {"9", "09", "x-"},
        {"#", "07+-", "a."},
        {"L", "aZ\xE4\xDF\xC4", "1_ !"},
        {"l", "b\xFC", "9"},
        {"A", "a1\xF6", "-!"},
        {"a", "Z0", "."},
        {"C", "a1 .-\xE9", "\t"},
        {"c", "!~", "\n"},
    };
    for (const TCase& c : cases) {
        const TEditMask mask(c.Mask);
        for (const char* p = c.Accepted; *p; ++p) EXPECT_TRUE(mask.Accepts(0, *p)) << c.Mask << " '" << *p << "'";
        for (const char* p = c.Refused; *p; ++p) EXPECT_FALSE(mask.Accepts(0, *p)) << c.Mask << " '" << *p << "'";
    }
    EXPECT_FALSE(TEditMask("-0").Accepts(0, '-')) << "a literal is no input position";
    EXPECT_EQ(TEditMask(">L").Convert(0, '\xE4'), '\xC4');
    EXPECT_EQ(TEditMask("<L").Convert(0, 'Q'), 'q');
}

TEST(EditMask, FormatFillsTheInputPositions) {
    struct TCase {
        const char* Mask;
        const char* Value;
        const char* EditText;
    };
    const TCase cases[] = {
        {"00.00-00.00", "24122612", "24.12-26.12"},
        {"00.00-00.00", "24.12-26.12", "24.12-26.12"},
        {"00.00-00.00", "2412", "24.12-__.__"},
        {"00.00-00.00", "24.12.-26.12.", "24.12-26.12"},
        {"00.00-00.00", "", "__.__-__.__"},
        {"0000-0000", "19982000", "1998-2000"},
        {"0000-0000", "1998", "1998-____"},
        {"0000-0000", "1998-2000", "1998-2000"},
        {"0000-0000", "19982000777", "1998-2000"},
        {">LL", "ab", "AB"},
        {"LL", "a1b", "ab"},
        {"00", "1 2", "1_"},
        {"(000)", "(12)", "(12_)"},
        {"0000-0000;0;*", "19982000", "1998-2000"},
        {"00-00;1;*", "1*-3", "1*-3*"},
    };
    for (const TCase& c : cases) EXPECT_EQ(TEditMask(c.Mask).Format(c.Value), c.EditText) << c.Mask << " <- " << c.Value;
}

TEST(EditMask, TextIsReadBackWithOrWithoutLiterals) {
    struct TCase {
        const char* Mask;
        const char* EditText;
        const char* WithLiterals;
        const char* WithoutLiterals;
        const char* Text;
    };
    const TCase cases[] = {
        {"00.00-00.00", "24.12-26.12", "24.12-26.12", "24122612", "24.12-26.12"},
        {"00.00-00.00", "24.12-__.__", "24.12", "2412", "24.12"},
        {"00.00-00.00", "2_.12-__.__", "2 .12", "2 12", "2 .12"},
        {"00.00-00.00", "__.__-__.__", "", "", ""},
        {"0000-0000", "1998-____", "1998", "1998", "1998"},
        {"0000-0000;0", "1998-2000", "1998-2000", "19982000", "19982000"},
        {"(000) 000;1; ", "(12 ) 3  ", "(12 ) 3", "12 3", "(12 ) 3"},
    };
    for (const TCase& c : cases) {
        const TEditMask mask(c.Mask);
        EXPECT_EQ(mask.TextWithLiterals(c.EditText), c.WithLiterals) << c.Mask << " " << c.EditText;
        EXPECT_EQ(mask.TextWithoutLiterals(c.EditText), c.WithoutLiterals) << c.Mask << " " << c.EditText;
        EXPECT_EQ(mask.Text(c.EditText), c.Text) << c.Mask << " " << c.EditText;
        // What is read back goes in again unchanged.
        EXPECT_EQ(mask.Format(mask.Text(c.EditText)), mask.Format(c.EditText)) << c.Mask << " " << c.EditText;
    }
    const TEditMask mask("00.00-99.99");
    EXPECT_TRUE(mask.Complete("24.12-__.__")) << "optional positions may stay empty";
    EXPECT_FALSE(mask.Complete("24._2-__.__"));
}

enum TKeyOp { kType, kBackspace, kDelete, kPaste, kLeft, kRight, kHome, kEnd, kSnap };

struct TKeyCase {
    const char* Name;
    const char* Mask;
    const char* Text;
    int SelStart;
    int SelEnd;
    TKeyOp Op;
    const char* Input;  // the character typed or the text pasted
    bool Accepted;
    const char* NewText;
    int Caret;
};

bool Apply(const TEditMask& mask, TMaskEditState& state, const TKeyCase& c) {
    switch (c.Op) {
    case kType: return MaskTypeChar(mask, state, c.Input[0]);
    case kBackspace: return MaskBackspace(mask, state);
    case kDelete: return MaskDelete(mask, state);
    case kPaste: return MaskPaste(mask, state, c.Input);
    case kLeft: MaskCaretLeft(mask, state); return true;
    case kRight: MaskCaretRight(mask, state); return true;
    case kHome: MaskCaretHome(mask, state); return true;
    case kEnd: MaskCaretEnd(mask, state); return true;
    case kSnap: MaskSnapCaret(mask, state); return true;
    }
    return false;
}

TEST(EditMask, KeysTable) {
    const char* date = "00.00-00.00";
    const TKeyCase cases[] = {
        {"first digit", date, "__.__-__.__", 0, 0, kType, "2", true, "2_.__-__.__", 1},
        {"second digit skips the dot", date, "2_.__-__.__", 1, 1, kType, "4", true, "24.__-__.__", 3},
        {"the skipped dot typed", date, "24.__-__.__", 3, 3, kType, ".", true, "24.__-__.__", 3},
        {"the dot at the caret typed", date, "24.__-__.__", 2, 2, kType, ".", true, "24.__-__.__", 3},
        {"a digit at a literal goes after it", date, "__.__-__.__", 2, 2, kType, "5", true, "__.5_-__.__", 4},
        {"a letter is refused", date, "__.__-__.__", 0, 0, kType, "x", false, "__.__-__.__", 0},
        {"a wrong literal is refused", date, "24.__-__.__", 3, 3, kType, "-", false, "24.__-__.__", 3},
        {"nothing after the end", date, "24.12-26.12", 11, 11, kType, "1", false, "24.12-26.12", 11},
        {"overtyping", date, "24.12-26.12", 0, 0, kType, "3", true, "34.12-26.12", 1},
        {"the last digit", date, "24.12-26.1_", 10, 10, kType, "2", true, "24.12-26.12", 11},
        {"typing over a selection", date, "24.12-26.12", 0, 5, kType, "9", true, "9_.__-26.12", 1},
        {"a refused key keeps the selection", date, "24.12-26.12", 0, 5, kType, "q", false, "24.12-26.12", 5},
        {"upper case", ">LL", "__", 0, 0, kType, "a", true, "A_", 1},
        {"umlaut in upper case", ">LL", "A_", 1, 1, kType, "\xE4", true, "A\xC4", 2},
        {"digit for a letter", "LL", "__", 0, 0, kType, "1", false, "__", 0},
        {"sign", "#0", "__", 0, 0, kType, "-", true, "-_", 1},
        {"backspace over the dot", date, "24.12-__.__", 3, 3, kBackspace, "", true, "2_.12-__.__", 1},
        {"backspace at the start", date, "24.12-__.__", 0, 0, kBackspace, "", false, "24.12-__.__", 0},
        {"backspace on a selection", date, "24.12-__.__", 1, 4, kBackspace, "", true, "2_._2-__.__", 1},
        {"delete at a literal", date, "24.12-__.__", 2, 2, kDelete, "", true, "24._2-__.__", 2},
        {"delete at the end", date, "24.12-26.12", 11, 11, kDelete, "", false, "24.12-26.12", 11},
        {"delete a selection", date, "24.12-26.12", 6, 11, kDelete, "", true, "24.12-__.__", 6},
        {"paste digits", date, "__.__-__.__", 0, 0, kPaste, "1234", true, "12.34-__.__", 6},
        {"paste with literals", date, "__.__-__.__", 0, 0, kPaste, "12.34-56.78", true, "12.34-56.78", 11},
        {"paste at the second date", date, "24.12-__.__", 6, 6, kPaste, "3112", true, "24.12-31.12", 11},
        {"paste over everything", date, "24.12-26.12", 0, 11, kPaste, "0101", true, "01.01-__.__", 6},
        {"paste what does not fit", date, "24.12-__.__", 0, 0, kPaste, "ab", false, "24.12-__.__", 0},
        {"paste skips what does not fit", date, "__.__-__.__", 0, 0, kPaste, "1a2", true, "12.__-__.__", 3},
        {"paste into years", "0000-0000", "____-____", 0, 0, kPaste, "1998-2000", true, "1998-2000", 9},
        {"right skips the dot", date, "__.__-__.__", 1, 1, kRight, "", true, "__.__-__.__", 3},
        {"left skips the dot", date, "__.__-__.__", 3, 3, kLeft, "", true, "__.__-__.__", 1},
        {"right at the end stays", date, "__.__-__.__", 11, 11, kRight, "", true, "__.__-__.__", 11},
        {"right to the end", date, "__.__-__.__", 10, 10, kRight, "", true, "__.__-__.__", 11},
        {"left at the start stays", date, "__.__-__.__", 0, 0, kLeft, "", true, "__.__-__.__", 0},
        {"right ends a selection", date, "__.__-__.__", 0, 2, kRight, "", true, "__.__-__.__", 3},
        {"home after a literal", "(000)", "(___)", 3, 3, kHome, "", true, "(___)", 1},
        {"end before a literal", "(000)", "(___)", 1, 1, kEnd, "", true, "(___)", 4},
        {"left from the leading literal", "(000)", "(___)", 1, 1, kLeft, "", true, "(___)", 1},
        {"a click on a literal", "(000)", "(___)", 0, 0, kSnap, "", true, "(___)", 1},
        {"a click after the end", "(000)", "(___)", 5, 5, kSnap, "", true, "(___)", 4},
    };
    for (const TKeyCase& c : cases) {
        const TEditMask mask(c.Mask);
        TMaskEditState state{c.Text, c.SelStart, c.SelEnd};
        EXPECT_EQ(Apply(mask, state, c), c.Accepted) << c.Name;
        EXPECT_EQ(state.Text, c.NewText) << c.Name;
        EXPECT_EQ(state.SelEnd, c.Caret) << c.Name;
        if (c.Accepted && c.Op != kType) {
            EXPECT_EQ(state.SelStart, state.SelEnd) << c.Name << ": a key leaves no selection";
        }
    }
}

}  // namespace
