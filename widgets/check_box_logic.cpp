#include "widgets/check_box_logic.h"

int ClickedCheckState(int state, bool allowGrayed, bool enabled) {
    if (allowGrayed && enabled) {
        switch (state) {
        case csUncheckedState: return csGrayedState;
        case csGrayedState: return csCheckedState;
        default: return csUncheckedState;
        }
    }
    return state == csCheckedState ? csUncheckedState : csCheckedState;
}

TGroupDecision GroupDecision(int wanted, bool hasMembers, bool otherChecked, bool allowUp) {
    if (wanted == csGrayedState) return {csGrayedState, false};
    if (wanted == csCheckedState) return {csCheckedState, true};
    if (otherChecked || !hasMembers || allowUp) return {csUncheckedState, false};
    return {csCheckedState, false};
}

TGlyphCell CheckGlyphCell(int state, bool enabled, bool pressed) {
    const int column = state == csCheckedState || state == csGrayedState ? state : csUncheckedState;
    const int row = !enabled ? 2 : pressed ? 1 : 0;
    return {column, row};
}

uint32_t ReplaceGlyphKeyColor(uint32_t color, const TGlyphSystemColors& colors) {
    switch (color & 0xFFFFFF) {
    case 0x808080: return colors.BtnShadow;
    case 0xC0C0C0: return colors.BtnHighlight;
    case 0x00FF00: return colors.BtnFace;
    case 0xFF00FF: return colors.Window;
    default: return color;
    }
}
