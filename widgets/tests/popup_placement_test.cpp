// Placing a popup form at a control on a 1024 x 768 screen.
#include <gtest/gtest.h>

#include "widgets/popup_placement.h"

namespace {

struct TPlacementRow {
    const char* name;
    TPopupRect control;
    int formWidth, formHeight, alignment;
    int x, y;
    uint16_t bits;
};

TEST(PopupPlacementTest, Rules) {
    const TPlacementRow rows[] = {
        {"left below", {100, 100, 200, 120}, 150, 80, 0, 100, 120, psBelow | psAlignLeft},
        {"right below", {100, 100, 200, 120}, 150, 80, 1, 50, 120, psBelow | psAlignRight},
        {"centred below", {100, 100, 200, 120}, 150, 80, 2, 75, 120, psBelow | psAlignCenter},
        {"unknown alignment is left", {100, 100, 200, 120}, 150, 80, 7, 100, 120, psBelow | psAlignLeft},
        {"touches the bottom", {100, 600, 200, 688}, 150, 80, 0, 100, 688, psBelow | psAlignLeft},
        {"no room below", {100, 700, 200, 720}, 150, 80, 0, 100, 620, psAbove | psAlignLeft},
        {"no room at the right", {900, 100, 1000, 120}, 150, 80, 0, 850, 120, psBelow | psAlignRight},
        {"no room at the left", {0, 100, 100, 120}, 150, 80, 1, 0, 120, psBelow | psAlignLeft},
        {"centred stays centred", {950, 100, 1024, 120}, 150, 80, 2, 836, 120, psBelow | psAlignCenter},
        {"corner", {950, 740, 1024, 768}, 150, 80, 0, 874, 660, psAbove | psAlignRight},
    };
    for (const auto& row : rows) {
        const TPopupPlacement place = PlacePopup(row.control, row.formWidth, row.formHeight, row.alignment, 1024, 768);
        EXPECT_EQ(place.X, row.x) << row.name;
        EXPECT_EQ(place.Y, row.y) << row.name;
        EXPECT_EQ(place.Bits, row.bits) << row.name;
    }
}

}  // namespace
