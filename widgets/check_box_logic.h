// The window-free rules of the check box button: its option bits, the state a click leads to,
// the group rule of buttons that share a group index, and which cell of the 3 x 3 glyph grid
// shows a state. States are the ordinals of TCheckBoxState: 0 unchecked, 1 checked, 2 grayed.
#pragma once

#include <cstdint>

enum TCheckBoxOption : unsigned {
    coEnabled = 0,
    coRadioButton = 1,
    coPressed = 2,       // mouse or Space held on the button
    coCtl3D = 3,
    coAllowGrayed = 4,
    coTransparent = 5,
    coParentCtl3D = 6,
    coWordBreak = 7,
    coAllowUp = 8,
    coFocused = 9,
};

constexpr int csUncheckedState = 0;
constexpr int csCheckedState = 1;
constexpr int csGrayedState = 2;

// The state after a click: with AllowGrayed (and enabled) unchecked -> grayed -> checked ->
// unchecked; otherwise checked and unchecked swap (a grayed box becomes checked).
int ClickedCheckState(int state, bool allowGrayed, bool enabled);

// The outcome of the group rule for a button of a group that wants a new state.
struct TGroupDecision {
    int State = csUncheckedState;
    bool UncheckOthers = false;  // every other checked member is unchecked
    bool operator==(const TGroupDecision&) const = default;
};

// Wanted checked: the button is checked and the others go. Wanted unchecked: allowed when
// another member is checked, when there are no members, or with AllowUp; otherwise the button
// stays checked (a group keeps one checked button). Grayed is outside the rule and kept.
TGroupDecision GroupDecision(int wanted, bool hasMembers, bool otherChecked, bool allowUp);

// The cell of the glyph grid: the column is the state, the row 0 normal, 1 pressed,
// 2 disabled. Out-of-range states count as unchecked.
struct TGlyphCell {
    int Column = 0;
    int Row = 0;
    bool operator==(const TGlyphCell&) const = default;
};
TGlyphCell CheckGlyphCell(int state, bool enabled, bool pressed);

// The key colours of the 3-D glyphs and their replacements: grey 0x808080 -> button shadow,
// silver 0xC0C0C0 -> button highlight, green 0x00FF00 -> button face, magenta 0xFF00FF ->
// window colour. Colours are 0x00BBGGRR; others stay as they are.
struct TGlyphSystemColors {
    uint32_t BtnShadow = 0;
    uint32_t BtnHighlight = 0;
    uint32_t BtnFace = 0;
    uint32_t Window = 0;
};
uint32_t ReplaceGlyphKeyColor(uint32_t color, const TGlyphSystemColors& colors);
