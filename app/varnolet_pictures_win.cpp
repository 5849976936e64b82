#include "app/varnolet_pictures_win.h"

#include <cstring>

#include "base/exception.h"
#include "base/string_ids.h"
#include "pictures/picture_list_win.h"

namespace {

using TPixelMap = const char* const[16];

// The colours of the map characters; "." is left out (transparent).
TColor MapColor(char c) {
    switch (c) {
    case '-': return GlyphMaskColor;
    case 'k': return 0x000000;  // black
    case 'w': return 0xFFFFFF;  // white
    case 's': return 0xC0C0C0;  // silver
    case 'g': return 0x808080;  // grey
    case 'y': return 0x40D0F8;  // folder yellow
    case 'o': return 0x0090C8;  // folder shade
    case 'b': return 0xC05010;  // text blue
    case 'n': return 0x902000;  // dark blue
    case 'r': return 0x1020E0;  // red
    case 'm': return 0x000080;  // dark red, the colour of highlighted entries
    case 'G': return 0x00B000;  // green
    case 'd': return 0x006000;  // dark green
    case 'B': return 0x104080;  // brown
    case 'c': return 0xFFF0C8;  // light cyan
    default: throw Exception(sid::InvalidArgument);
    }
}

TPixelMap Blank = {
    "----------------", "----------------", "----------------", "----------------",
    "----------------", "----------------", "----------------", "----------------",
    "----------------", "----------------", "----------------", "----------------",
    "----------------", "----------------", "----------------", "----------------",
};

TPixelMap Folder = {
    "................",
    "................",
    ".kkkk...........",
    "kyyyyk..........",
    "kyyyyykkkkkkkk..",
    "kwwwwwwwwwwwwyk.",
    "kwyyyyyyyyyyyok.",
    "kwyyyyyyyyyyyok.",
    "kwyyyyyyyyyyyok.",
    "kwyyyyyyyyyyyok.",
    "kwyyyyyyyyyyyok.",
    "kwyyyyyyyyyyyok.",
    "kyoooooooooooook",
    ".kkkkkkkkkkkkkkk",
    "................",
    "................",
};

TPixelMap Page = {
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwbbbbwkkkk...",
    "..kwwwwwwwwwk...",
    "..kwbbbbbbbwk...",
    "..kwwwwwwwwwk...",
    "..kwbbbbbbbwk...",
    "..kwwwwwwwwwk...",
    "..kwbbbbbbwwk...",
    "..kwwwwwwwwwk...",
    "..kwbbbbbbbwk...",
    "..kwwwwwwwwwk...",
    "..kkkkkkkkkkk...",
    "................",
    "................",
};

TPixelMap Book = {
    "................",
    "..kkkkkkkkkkk...",
    ".knnnnnnnnnnnk..",
    ".knbbbbbbbbbnk..",
    ".knbwwwwwwwbnk..",
    ".knbwkkkkkwbnk..",
    ".knbwwwwwwwbnk..",
    ".knbbbbbbbbbnk..",
    ".knbbbbbbbbbnk..",
    ".knbbbbyybbbnk..",
    ".knbbbbyybbbnk..",
    ".knnnnnnnnnnnk..",
    ".kwwwwwwwwwwwk..",
    ".kswswswswswsk..",
    "..kkkkkkkkkkk...",
    "................",
};

TPixelMap Plus = {
    "................", "................", "................", "................",
    "................", "................", "................", "................",
    "...........kkk..",
    "...........kGk..",
    ".........kkkGkkk",
    ".........kGGGGGk",
    ".........kkkGkkk",
    "...........kGk..",
    "...........kkk..",
    "................",
};

TPixelMap Cross = {
    "................",
    "................",
    "...kk......kk...",
    "..krrk....krrk..",
    "..krrrk..krrrk..",
    "...krrrkkrrrk...",
    "....krrrrrrk....",
    ".....krrrrk.....",
    ".....krrrrk.....",
    "....krrrrrrk....",
    "...krrrkkrrrk...",
    "..krrrk..krrrk..",
    "..krrk....krrk..",
    "...kk......kk...",
    "................",
    "................",
};

TPixelMap TwoPages = {
    "kkkkkkk.........",
    "kwwwwwkk........",
    "kwbbbwkwk.......",
    "kwwwwwkkkk......",
    "kwbbbbbbwk......",
    "kwwwwwkkkkkkk...",
    "kwbbbbkwwwwwkk..",
    "kwwwwwkwbbbwkwk.",
    "kwbbbbkwwwwwkkkk",
    "kwwwwwkwbbbbbbwk",
    "kkkkkkkwwwwwwwwk",
    "......kwbbbbbbwk",
    "......kwwwwwwwwk",
    "......kwbbbbbbwk",
    "......kkkkkkkkkk",
    "................",
};

TPixelMap Magnifier = {
    "................",
    "....kkkkk.......",
    "...kwwccck......",
    "..kwwccccck.....",
    "..kwcccccck.....",
    "..kccccccck.....",
    "..kccccccck.....",
    "..kccccccck.....",
    "...kccccckk.....",
    "....kkkkkggk....",
    "..........kggk..",
    "...........kggk.",
    "............kggk",
    ".............kkk",
    "................",
    "................",
};

TPixelMap Checklist = {
    "................",
    ".kkkkk..........",
    ".kwwGk..........",
    ".kGwGk.ggggggggg",
    ".kwGwk..........",
    ".kkkkk..........",
    "................",
    ".kkkkk..........",
    ".kwwGk..........",
    ".kGwGk.ggggggggg",
    ".kwGwk..........",
    ".kkkkk..........",
    "................",
    "......kkkkkkk...",
    ".......kkkkk....",
    "........kkk.....",
};

TPixelMap Door = {
    "................",
    ".kkkkkkkk.......",
    ".kBBBBBBk.......",
    ".kBkkkkBk.......",
    ".kBkBBkBk.......",
    ".kBkBBkBk.......",
    ".kBkkkkBk.......",
    ".kBBBBByk.......",
    ".kBBBBBBk.......",
    ".kBkkkkBk.......",
    ".kBkBBkBk.......",
    ".kBkBBkBk.......",
    ".kBkkkkBk.......",
    ".kBBBBBBk.......",
    ".kkkkkkkk.......",
    "................",
};

TPixelMap ArrowOut = {
    "................", "................", "................", "................",
    "...........k....",
    "...........kk...",
    "........kkkkrk..",
    "........krrrrrk.",
    "........kkkkrk..",
    "...........kk...",
    "...........k....",
    "................", "................", "................", "................", "................",
};

TPixelMap Marked = {
    "..kkkkkkkkkkk...",
    "..kwwwwwwwwwk...",
    "..kwbbbbbbbwk...",
    "..kwwwwwwwwwk...",
    "..kwmmmmmmmwk...",
    "..kwwwwwwwwwk...",
    "..kwbbbbbbwwk...",
    "..kwwwwwwwwwk...",
    "..kwmmmmmmmwk...",
    "..kwwwwwwwwwk...",
    "..kwmmmmmwwwk...",
    "..kwwwwwwwwwk...",
    "..kkkkkkkkkkk...",
    "................",
    "................",
    "................",
};

TPixelMap Swatches = {
    "................",
    ".kkkkkk.kkkkkk..",
    ".krrrrk.kbbbbk..",
    ".krrrrk.kbbbbk..",
    ".krrrrk.kbbbbk..",
    ".krrrrk.kbbbbk..",
    ".kkkkkk.kkkkkk..",
    "................",
    ".kkkkkk.kkkkkk..",
    ".kyyyyk.kGGGGk..",
    ".kyyyyk.kGGGGk..",
    ".kyyyyk.kGGGGk..",
    ".kyyyyk.kGGGGk..",
    ".kkkkkk.kkkkkk..",
    "................",
    "................",
};

TPixelMap CalendarPage = {
    "................",
    ".kkkkkkkkkkkkkk.",
    ".krrrrrrrrrrrrk.",
    ".krrwrrrrrrwrrk.",
    ".kkkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwk.",
    ".kwgwgwgwgwgwwk.",
    ".kwwwwwwwwwwwwk.",
    ".kwgwgwgwgwmwwk.",
    ".kwwwwwwwwwwwwk.",
    ".kwgwgwgwgwgwwk.",
    ".kwwwwwwwwwwwwk.",
    ".kwgwgwgwwwwwwk.",
    ".kwwwwwwwwwwwwk.",
    ".kkkkkkkkkkkkkk.",
    "................",
};

TPixelMap OpenFolder = {
    "................",
    "................",
    ".kkkk...........",
    "kooook..........",
    "koooookkkkkkk...",
    "kooooooooooook..",
    "kooookkkkkkkkkkk",
    "koookyyyyyyyyyyk",
    "kookyyyyyyyyyyk.",
    "kokyyyyyyyyyyk..",
    "kkyyyyyyyyyyk...",
    "kkkkkkkkkkkk....",
    "................",
    "................",
    "................",
    "................",
};

TPixelMap HelpCircle = {
    "................",
    ".....kkkkk......",
    "...kknnnnnkk....",
    "..knnnwwwwnnk...",
    "..knnwwnnwwnk...",
    ".knnnnnnnwwnnk..",
    ".knnnnnnwwnnnk..",
    ".knnnnnwwnnnnk..",
    ".knnnnnwwnnnnk..",
    ".knnnnnnnnnnnk..",
    "..knnnnwwnnnk...",
    "..knnnnwwnnnk...",
    "...kknnnnnkk....",
    ".....kkkkk......",
    "................",
    "................",
};

std::vector<const char* const*> GlyphMaps(TButtonGlyph glyph) {
    switch (glyph) {
    case bgNewText: return {Blank, Page, Plus};
    case bgNewGroup: return {Blank, Folder, Plus};
    case bgDelete: return {Blank, Cross};
    case bgCopy: return {Blank, TwoPages};
    case bgSearch: return {Blank, Magnifier};
    case bgOptions: return {Blank, Checklist};
    case bgQuit: return {Blank, Door, ArrowOut};
    case bgHighlight: return {Blank, Marked};
    case bgSymbols: return {Blank, Swatches};
    case bgCalendar: return {Blank, CalendarPage};
    case bgLoad: return {Blank, OpenFolder};
    case bgHelp: return {Blank, HelpCircle};
    }
    throw Exception(sid::InvalidArgument);
}

}  // namespace

std::unique_ptr<TBitmap> PaintPixelMaps(const std::vector<const char* const*>& maps) {
    auto bitmap = std::make_unique<TBitmap>(16, 16);
    TCanvas& canvas = bitmap->Canvas();
    for (const char* const* map : maps) {
        if (std::strlen(map[0]) != 16) throw Exception(sid::InvalidArgument);
        PaintPixelRows(canvas, map, 16, MapColor);
    }
    canvas.DeselectObjects();
    return bitmap;
}

std::unique_ptr<TBitmap> MakeButtonGlyph(TButtonGlyph glyph) { return PaintPixelMaps(GlyphMaps(glyph)); }

std::unique_ptr<TBitmap> MakeSymbolPicture(int id) {
    switch (id) {
    case 1: return PaintPixelMaps({Blank, Folder});
    case 3: return PaintPixelMaps({Blank, Page});
    case 5: return PaintPixelMaps({Blank, Book});
    default: throw Exception(sid::InvalidArgument);
    }
}

void AddBuiltInSymbols(TPictureList& list) {
    list.BeginUpdate();
    for (int id : {1, 3, 5}) {
        TPictureEntry* entry = list.GetPicture(id);
        std::unique_ptr<TBitmap> picture = MakeSymbolPicture(id);
        picture->SetTransparentColor(GlyphMaskColor);
        entry->SetGraphic(std::move(picture));
        entry->SetOption(entry->Option() + poMasked);
    }
    list.EndUpdate(true);
}
