// The pictures built into the main window: the 16 x 16 glyphs of its toolbar buttons and the
// symbols of the tree (group, text item, top node), drawn pixel by pixel from small character
// maps so that they stay sharp at their size.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "winui/graphics_win.h"

class TPictureList;

enum TButtonGlyph {
    bgNewText, bgNewGroup, bgDelete, bgCopy, bgSearch, bgOptions, bgQuit, bgHighlight, bgSymbols,
    bgCalendar, bgLoad, bgHelp
};

// The colour a glyph's background has: the speed buttons take the bottom-left pixel as their
// mask colour, which is always this one.
constexpr TColor GlyphMaskColor = clFuchsia;

// A 16 x 16 picture from character maps, each 16 lines of 16 characters, drawn one over the
// other ("." leaves the pixel as it is). Raises Exception (InvalidArgument) for a map of another
// size or a character without a colour.
std::unique_ptr<TBitmap> PaintPixelMaps(const std::vector<const char* const*>& maps);

std::unique_ptr<TBitmap> MakeButtonGlyph(TButtonGlyph glyph);

// The symbols of the tree: 1 group, 3 text item, 5 top node.
std::unique_ptr<TBitmap> MakeSymbolPicture(int id);
// Puts the built-in symbols into List, drawn with their mask colour transparent.
void AddBuiltInSymbols(TPictureList& list);
