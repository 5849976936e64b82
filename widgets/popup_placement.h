// Where a popup form goes when it is shown at a control: below it (above when there is no
// room), left-aligned, right-aligned or centred, and moved back onto the screen sideways.
#pragma once

#include <cstdint>

// The popup state bits of a form.
enum : uint16_t {
    psActive = 0x0001,       // popup mode running
    psCloseRequest = 0x0002, // close requested
    psAbove = 0x0010,        // shown above the control
    psBelow = 0x0020,        // shown below the control
    psAlignRight = 0x0100,   // form's right edge on the control's right edge
    psAlignLeft = 0x0200,    // form's left edge on the control's left edge
    psAlignCenter = 0x0300,  // centred under the control
    psAlignMask = 0x0300,
};

struct TPopupRect {
    int Left, Top, Right, Bottom;
};

struct TPopupPlacement {
    int X, Y;
    uint16_t Bits;  // psAbove/psBelow and the alignment bits
};

// The place of a form of FormWidth x FormHeight at Control (screen coordinates) on a screen of
// ScreenWidth x ScreenHeight. Alignment: 0 left, 1 right, 2 centred (the values of the menus'
// TPopupAlignment); anything else counts as left.
TPopupPlacement PlacePopup(const TPopupRect& control, int formWidth, int formHeight, int alignment,
                           int screenWidth, int screenHeight);
