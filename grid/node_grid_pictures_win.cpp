#include "grid/node_grid_pictures_win.h"

#include <cstring>
#include <memory>
#include <vector>

#include "grid/node_grid_win.h"
#include "pictures/picture_list_win.h"
#include "winui/graphics_win.h"

namespace {

// The colour of each character of the pixel rows; '.' is the transparent background.
constexpr TColor Transparent = clFuchsia;

TColor PixelColor(char key) {
    switch (key) {
    case 'k': return clBlack;
    case 'g': return 0x808080;   // box and page frame
    case 'w': return clWhite;
    case 'y': return 0x0068D8FF; // folder
    case 'l': return 0x00B0F0FF; // folder, lit
    case 'o': return 0x002080B0; // folder edge
    case 'b': return 0x00B48C78; // lines of text on the page
    default: return Transparent;
    }
}

const std::vector<const char*> PlusRows{
    "...........", ".ggggggggg.", ".gwwwwwwwg.", ".gwwwkwwwg.", ".gwwwkwwwg.", ".gwkkkkkwg.",
    ".gwwwkwwwg.", ".gwwwkwwwg.", ".gwwwwwwwg.", ".ggggggggg.", "..........."};
const std::vector<const char*> MinusRows{
    "...........", ".ggggggggg.", ".gwwwwwwwg.", ".gwwwwwwwg.", ".gwwwwwwwg.", ".gwkkkkkwg.",
    ".gwwwwwwwg.", ".gwwwwwwwg.", ".gwwwwwwwg.", ".ggggggggg.", "..........."};
const std::vector<const char*> ClosedRows{
    "................", "................", ".ooooo..........", "oyyyyyo.........",
    "oyyyyyyoooooooo.", "ollllllllllllllo", "oyyyyyyyyyyyyyyo", "oyyyyyyyyyyyyyyo",
    "oyyyyyyyyyyyyyyo", "oyyyyyyyyyyyyyyo", "oyyyyyyyyyyyyyyo", "oyyyyyyyyyyyyyyo",
    "oyyyyyyyyyyyyyyo", "oooooooooooooooo", "................", "................"};
const std::vector<const char*> OpenRows{
    "................", "................", ".ooooo..........", "oyyyyyo.........",
    "oyyyyyyoooooooo.", "oyyyyyyyyyyyyyo.", "oyyyoooooooooooo", "oyyollllllllllo.",
    "oyollllllllllo..", "oyollllllllllo..", "oollllllllllo...", "oollllllllllo...",
    "ollllllllllo....", "oooooooooooo....", "................", "................"};
const std::vector<const char*> LeafRows{
    "................", "..ggggggggg.....", "..gwwwwwwwgg....", "..gwwwwwwwgwg...",
    "..gwwwwwwwgggg..", "..gwbbbbbbwwwg..", "..gwwwwwwwwwwg..", "..gwbbbbbbbbwg..",
    "..gwwwwwwwwwwg..", "..gwbbbbbbbbwg..", "..gwwwwwwwwwwg..", "..gwbbbbbwwwwg..",
    "..gwwwwwwwwwwg..", "..gwwwwwwwwwwg..", "..gggggggggggg..", "................"};

std::unique_ptr<TBitmap> PixelPicture(const std::vector<const char*>& rows) {
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(std::strlen(rows.front()));
    auto bitmap = std::make_unique<TBitmap>(width, height);
    TCanvas& canvas = bitmap->Canvas();
    canvas.Brush().SetColor(Transparent);
    canvas.FillRect(RECT{0, 0, width, height});
    PaintPixelRows(canvas, rows.data(), height, PixelColor);
    canvas.DeselectObjects();
    bitmap->SetTransparentColor(Transparent);
    return bitmap;
}

}  // namespace

void MakeNodeGridPictures(TPictureList& list) {
    const struct {
        int32_t id;
        const std::vector<const char*>& rows;
    } pictures[] = {{PictPlusId, PlusRows},   {PictMinusId, MinusRows}, {PictCloseId, ClosedRows},
                    {PictOpenId, OpenRows},   {PictLeafId, LeafRows}};
    list.BeginUpdate();
    for (const auto& picture : pictures) {
        TPictureEntry* entry = list.GetPicture(picture.id);
        entry->SetGraphic(PixelPicture(picture.rows));
        // Centred in the room they are drawn into, the background left out.
        entry->SetOption(TPictOption{poLeft, poRight, poTop, poBottom, poMasked});
    }
    list.EndUpdate(false);
}
