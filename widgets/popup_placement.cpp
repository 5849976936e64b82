#include "widgets/popup_placement.h"

TPopupPlacement PlacePopup(const TPopupRect& control, int formWidth, int formHeight, int alignment,
                           int screenWidth, int screenHeight) {
    const int controlWidth = control.Right - control.Left;
    TPopupPlacement place{control.Left, control.Bottom, psBelow};
    if (alignment == 1) {
        place.X = control.Right - formWidth;
        place.Bits |= psAlignRight;
    } else if (alignment == 2) {
        place.X = control.Left + (controlWidth - formWidth) / 2;
        place.Bits |= psAlignCenter;
    } else {
        place.Bits |= psAlignLeft;
    }
    if (place.Y + formHeight > screenHeight) {
        place.Y = control.Top - formHeight;
        place.Bits = static_cast<uint16_t>((place.Bits & ~psBelow) | psAbove);
    }
    const bool centred = (place.Bits & psAlignMask) == psAlignCenter;
    // Moving by the width difference turns a left-aligned form into a right-aligned one and
    // back; a centred form stays marked centred.
    if (place.X + formWidth > screenWidth) {
        place.X -= formWidth - controlWidth;
        if (!centred) place.Bits = static_cast<uint16_t>((place.Bits & ~psAlignMask) | psAlignRight);
    }
    if (place.X < 0) {
        place.X += formWidth - controlWidth;
        if (!centred) place.Bits = static_cast<uint16_t>((place.Bits & ~psAlignMask) | psAlignLeft);
    }
    return place;
}
