// The picture list and its entries: where pictures go (CalcDrawRect), drawing checked by pixels
// (transparent, brush copy, selected, stretched, clipped, tiled, icons, palettes), failing
// pictures, the lookup and change notification, packing and copying, resources, the .PIL file
// and component streams, and a window drawing entries in their options.
#include <gtest/gtest.h>

#include <cstring>

#include "base/component_reader.h"
#include "base/component_writer.h"
#include "base/string_ids.h"
#include "tests/wine/pictures_testing_win.h"
#include "tests/wine/screenshot_win.h"
#include "tests/wine/winui_testing_win.h"
#include "winui/form_win.h"

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255);
constexpr COLORREF Orange = RGB(200, 100, 0);
constexpr COLORREF Green = RGB(0, 160, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

// 8 x 8: the left half in the transparent colour (its bottom-left pixel), the right half orange.
std::unique_ptr<TBitmap> HalfTransparent(int side = 8) {
    auto bitmap = Filled(side, side, TColor(Orange));
    bitmap->Canvas().Brush().SetColor(TColor(Magenta));
    bitmap->Canvas().FillRect(RECT{0, 0, side / 2, side});
    return bitmap;
}

// W x H, pixel (x, y) in its own colour.
std::unique_ptr<TBitmap> Pattern(int w, int h) {
    auto bitmap = Filled(w, h, clWhite);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bitmap->Canvas().SetPixel(x, y, TColor(RGB(x * 60, y * 80, 100)));
    return bitmap;
}

std::unique_ptr<TIcon> IconOf(TBitmap& bitmap) {
    auto icon = std::make_unique<TIcon>();
    icon->Assign(&bitmap);
    return icon;
}

std::unique_ptr<TPictureEntry> EntryWith(std::unique_ptr<TGraphic> graphic, TPictOption option = DefaultPictOption) {
    auto entry = std::make_unique<TPictureEntry>(nullptr, option, 0);
    entry->SetGraphic(std::move(graphic));
    return entry;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

TEST_F(PicturesTest, CalcDrawRectPlacesPicturesByTheirOptions) {
    const TPictOption centre{poLeft, poRight, poTop, poBottom};
    struct TCase {
        const char* Name;
        bool Icon;
        int Side;  // of the square picture
        RECT Rect;
        TPictOption Options;
        RECT Expected;
    };
    const TCase cases[] = {
        {"centred", false, 8, {10, 20, 30, 40}, centre, {16, 26, 24, 34}},
        {"left and top", false, 8, {10, 20, 30, 40}, {poLeft, poTop}, {10, 20, 18, 28}},
        {"right and bottom", false, 8, {10, 20, 30, 40}, {poRight, poBottom}, {22, 32, 30, 40}},
        {"no alignment: at the top-left corner", false, 8, {10, 20, 30, 40}, {}, {10, 20, 18, 28}},
        {"stretched without alignment: the whole rectangle", false, 8, {10, 20, 30, 40}, {poStretch}, {10, 20, 30, 40}},
        {"stretched and centred across only", false, 8, {10, 20, 30, 40}, {poLeft, poRight, poStretch}, {16, 20, 24, 40}},
        {"centred and larger: the rectangle", false, 16, {0, 0, 10, 10}, centre, {0, 0, 10, 10}},
        {"centred across only and larger", false, 16, {0, 0, 10, 30}, {poLeft, poRight}, {-3, 0, 13, 16}},
        {"tiled: the rectangle", false, 8, {1, 2, 50, 60}, {poTiled, poLeft}, {1, 2, 50, 60}},
        {"icon stretched into a smaller cell: halved", true, 32, {0, 0, 20, 20}, centre + poStretch, {2, 2, 18, 18}},
        {"icon halved three times", true, 32, {0, 0, 7, 7}, centre + poStretch, {1, 1, 5, 5}},
        {"icon never enlarged", true, 8, {0, 0, 40, 40}, centre + poStretch, {16, 16, 24, 24}},
        {"icon in an inverted rectangle: the rectangle", true, 32, {10, 10, 0, 0}, centre + poStretch, {10, 10, 0, 0}},
        {"icon in an inverted rectangle, left and top", true, 32, {10, 10, 0, 0}, {poLeft, poTop, poStretch}, {10, 10, 10, 10}},
        {"icon without stretch keeps its size", true, 32, {0, 0, 20, 20}, {poLeft, poTop}, {0, 0, 32, 32}},
    };
    for (const TCase& c : cases) {
        std::unique_ptr<TBitmap> bitmap = HalfTransparent(c.Side);
        std::unique_ptr<TPictureEntry> entry =
            c.Icon ? EntryWith(IconOf(*bitmap)) : EntryWith(std::unique_ptr<TGraphic>(bitmap.release()));
        RECT drawRect{};
        entry->CalcDrawRect(c.Rect, c.Options, drawRect);
        EXPECT_TRUE(SameRect(drawRect, c.Expected)) << c.Name << ": " << Text(drawRect);
    }
    TPictureEntry empty(nullptr, DefaultPictOption, 0);
    RECT drawRect{1, 2, 3, 4};
    empty.CalcDrawRect(RECT{0, 0, 10, 10}, DefaultPictOption, drawRect);
    EXPECT_TRUE(IsRectEmpty(&drawRect));
}

struct TPixel {
    int X, Y;
    COLORREF Color;
};

TEST_F(PicturesTest, BitmapsDrawTransparentWithBrushSelectedAndStretched) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const TPictOption topLeft{poLeft, poTop};
    struct TCase {
        const char* Name;
        TPictOption Options;
        RECT Expected;
        std::vector<TPixel> Pixels;  // on the green canvas, the picture's left half transparent
    };
    const TCase cases[] = {
        {"straight", topLeft, {4, 4, 12, 12}, {{4, 4, Magenta}, {11, 11, Orange}, {12, 4, Green}, {3, 3, Green}}},
        {"masked: the background shows", topLeft + poMasked, {4, 4, 12, 12}, {{4, 4, Green}, {7, 11, Green}, {8, 4, Orange}}},
        {"brush copy: the canvas brush", topLeft + poBrushCopy, {4, 4, 12, 12}, {{4, 4, Blue}, {8, 8, Orange}, {12, 4, Green}}},
        {"masked wins over brush copy", topLeft + poMasked + poBrushCopy, {4, 4, 12, 12}, {{5, 5, Green}}},
        {"selected: a checkerboard of the highlight colour", topLeft + poSelected, {4, 4, 12, 12},
         {{4, 4, Magenta}, {5, 4, highlight}, {4, 5, highlight}, {11, 11, Orange}, {10, 11, highlight}}},
        {"selected and masked: transparent stays transparent", topLeft + poSelected + poMasked, {4, 4, 12, 12},
         {{4, 4, Green}, {5, 4, Green}, {8, 4, Orange}, {9, 4, highlight}}},
        {"selected brush copy", topLeft + poSelected + poBrushCopy, {4, 4, 12, 12},
         {{5, 4, Blue}, {9, 4, highlight}, {8, 4, Orange}}},
        {"stretched to the rectangle", TPictOption{poStretch}, {4, 4, 20, 20},
         {{4, 4, Magenta}, {11, 19, Magenta}, {12, 4, Orange}, {19, 19, Orange}, {20, 20, Green}}},
        {"stretched and masked", TPictOption{poStretch, poMasked}, {4, 4, 20, 20}, {{11, 19, Green}, {12, 19, Orange}}},
        {"centred", TPictOption{poLeft, poRight, poTop, poBottom}, {8, 8, 16, 16}, {{7, 8, Green}, {8, 8, Magenta}, {15, 15, Orange}}},
    };
    for (const TCase& c : cases) {
        auto canvas = Filled(24, 24, TColor(Green));
        canvas->Canvas().Brush().SetColor(TColor(Blue));
        std::unique_ptr<TPictureEntry> entry = EntryWith(std::unique_ptr<TGraphic>(HalfTransparent().release()));
        RECT drawRect{};
        entry->Draw(canvas->Canvas(), RECT{4, 4, 20, 20}, drawRect, c.Options);
        EXPECT_TRUE(SameRect(drawRect, c.Expected)) << c.Name << ": " << Text(drawRect);
        for (const TPixel& p : c.Pixels)
            EXPECT_EQ(PixelAt(*canvas, p.X, p.Y), p.Color) << c.Name << " at (" << p.X << ", " << p.Y << ")";
    }
}

TEST_F(PicturesTest, ClippingKeepsDrawingInsideTheRectangle) {
    for (bool clipping : {false, true}) {
        auto canvas = Filled(24, 24, TColor(Green));
        std::unique_ptr<TPictureEntry> entry = EntryWith(std::unique_ptr<TGraphic>(HalfTransparent().release()));
        TPictOption options{poLeft, poRight, poTop, poBottom};
        if (clipping) options += poClipping;
        RECT drawRect{};
        // Larger than the rectangle and centred both ways: drawn at its own size from the corner.
        entry->Draw(canvas->Canvas(), RECT{4, 4, 8, 8}, drawRect, options);
        EXPECT_TRUE(SameRect(drawRect, RECT{4, 4, 8, 8}));
        EXPECT_EQ(PixelAt(*canvas, 5, 5), Magenta);
        EXPECT_EQ(PixelAt(*canvas, 10, 10), clipping ? Green : Orange) << clipping;
        // The canvas has no clip region afterwards.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetClipRgn(canvas->Canvas().Handle(), region), 0);
        DeleteObject(region);
    }
}

TEST_F(PicturesTest, SelectingThePaletteLeavesTheCanvasPaletteAsItWas) {
    TPicture picture;
    picture.LoadFromFile(DataPath("bmp8_37x23.bmp"));
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(picture.Graphic());
    ASSERT_NE(bitmap->Palette(), nullptr);
    std::unique_ptr<TPictureEntry> entry = EntryWith(std::move(bitmap));
    for (TPictOption options : {TPictOption{poLeft, poTop, poSelectPalette}, TPictOption{poTiled, poLeft, poTop, poSelectPalette}}) {
        auto canvas = Filled(37, 23, clWhite);
        HDC dc = canvas->Canvas().Handle();
        HGDIOBJ before = GetCurrentObject(dc, OBJ_PAL);
        RECT drawRect{};
        entry->Draw(canvas->Canvas(), RECT{0, 0, 37, 23}, drawRect, options);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), before);
        EXPECT_TRUE(SamePixels(RgbOf(*canvas), ReadPpm("bmp8_37x23.ppm")));
    }
}

TEST_F(PicturesTest, IconsDrawWithTheCanvasBrushBehindThemForBrushCopy) {
    std::unique_ptr<TBitmap> bitmap = HalfTransparent();
    bitmap->SetTransparent(true);
    for (bool brushCopy : {false, true}) {
        std::unique_ptr<TPictureEntry> entry = EntryWith(IconOf(*bitmap));
        auto canvas = Filled(24, 24, TColor(Green));
        canvas->Canvas().Brush().SetColor(TColor(Blue));
        TPictOption options{poLeft, poTop};
        if (brushCopy) options += poBrushCopy;
        RECT drawRect{};
        entry->Draw(canvas->Canvas(), RECT{2, 2, 22, 22}, drawRect, options);
        EXPECT_TRUE(SameRect(drawRect, RECT{2, 2, 10, 10}));
        EXPECT_EQ(PixelAt(*canvas, 3, 3), brushCopy ? Blue : Green);
        EXPECT_EQ(PixelAt(*canvas, 8, 8), Orange);
        EXPECT_EQ(PixelAt(*canvas, 11, 3), Green);
        // Stretched: the icon fills the computed rectangle.
        entry->Draw(canvas->Canvas(), RECT{0, 0, 24, 24}, drawRect, TPictOption{poStretch});
        EXPECT_EQ(PixelAt(*canvas, 23, 23), Orange);
    }
}

TEST_F(PicturesTest, TilingRepeatsThePictureFromItsAlignedFirstTile) {
    struct TCase {
        const char* Name;
        TPictOption Options;
        int X0, Y0;  // the first tile's corner
    };
    // The rectangle (2, 2, 12, 9) is 10 x 7; the tiles are 4 x 3.
    const TCase cases[] = {
        {"left and top", {poTiled, poLeft, poTop}, 2, 2},
        {"no alignment", {poTiled}, 2, 2},
        {"centred", {poTiled, poLeft, poRight, poTop, poBottom}, 1, 1},
        {"right and bottom", {poTiled, poRight, poBottom}, 0, 0},
        {"centred and clipped", {poTiled, poLeft, poRight, poTop, poBottom, poClipping}, 1, 1},
    };
    std::unique_ptr<TBitmap> pattern = Pattern(4, 3);
    for (const TCase& c : cases) {
        std::unique_ptr<TPictureEntry> entry = EntryWith(std::unique_ptr<TGraphic>(Pattern(4, 3).release()));
        auto canvas = Filled(16, 12, clWhite);
        RECT drawRect{};
        entry->Draw(canvas->Canvas(), RECT{2, 2, 12, 9}, drawRect, c.Options);
        EXPECT_TRUE(SameRect(drawRect, RECT{2, 2, 12, 9})) << c.Name;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                // Whole tiles are drawn from the first one on while they start inside the
                // rectangle; clipping cuts them at its edges.
                const bool inRect = x >= 2 && x < 12 && y >= 2 && y < 9;
                const int tileLeft = c.X0 + (x - c.X0) / 4 * 4, tileTop = c.Y0 + (y - c.Y0) / 3 * 3;
                const bool inTiles = x >= c.X0 && y >= c.Y0 && tileLeft < 12 && tileTop < 9;
                const bool drawn = c.Options.Has(poClipping) ? inRect : inTiles;
                const COLORREF expected = drawn ? PixelAt(*pattern, (x - c.X0) % 4, (y - c.Y0) % 3) : RGB(255, 255, 255);
                ASSERT_EQ(PixelAt(*canvas, x, y), expected) << c.Name << " at (" << x << ", " << y << ")";
            }
    }
}

TEST_F(PicturesTest, APictureWithoutSizeIsNotTiled) {
    // A metafile shown at no size: tiling it would never advance.
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    auto metafile = std::make_unique<TMetafile>();
    metafile->SetHandle(CloseEnhMetaFile(dc));
    metafile->SetWidth(0);
    std::unique_ptr<TPictureEntry> entry = EntryWith(std::move(metafile));
    ASSERT_FALSE(entry->IsEmpty());
    auto canvas = Filled(8, 8, clWhite);
    RECT drawRect{};
    entry->Draw(canvas->Canvas(), RECT{0, 0, 8, 8}, drawRect, TPictOption{poTiled, poLeft, poRight});
    EXPECT_TRUE(SameRect(drawRect, RECT{0, 0, 8, 8}));
    EXPECT_FALSE(entry->Option().Has(poInvalid));
}

TEST_F(PicturesTest, APictureThatFailsToDrawIsMarkedAndNotDrawnAgain) {
    TPictureList list;
    TPictureEntry* entry = list.AddPicture(3);
    // A packed picture whose record is damaged.
    entry->TPictureItem::Image = TImageRecord{"TBitmap", {'B', 'M', 1, 2, 3}};
    EXPECT_FALSE(entry->IsEmpty());
    auto canvas = Filled(8, 8, clWhite);
    RECT drawRect{};
    EXPECT_THROW(entry->DrawOwn(canvas->Canvas(), RECT{0, 0, 8, 8}, drawRect), EInvalidGraphic);
    EXPECT_TRUE(entry->Option().Has(poInvalid));
    EXPECT_TRUE(entry->Packed());  // the record is kept
    EXPECT_NO_THROW(entry->DrawOwn(canvas->Canvas(), RECT{0, 0, 8, 8}, drawRect));
    EXPECT_NO_THROW(entry->Draw(canvas->Canvas(), RECT{0, 0, 8, 8}, drawRect, TPictOption{poTiled}));
    // An entry asked for by an ID the list does not hold draws nothing and tells nobody.
    int notifications = 0;
    list.OnChanged = [&](TPictureEntry*) { ++notifications; };
    TPictureEntry* missing = list.GetPicture(99);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(missing->Owner(), &list);
    EXPECT_EQ(list.GetPicture(99), missing);
    EXPECT_TRUE(missing->IsEmpty());
    missing->DrawOwn(canvas->Canvas(), RECT{0, 0, 8, 8}, drawRect);
    EXPECT_EQ(PixelAt(*canvas, 4, 4), RGB(255, 255, 255));
    EXPECT_EQ(notifications, 0);
}

// A viewer that records what the list tells it.
class TViewer : public TComponent {
public:
    explicit TViewer(std::vector<std::string>& log, const char* name) : log_(log), name_(name) {}
    void ListChanged(TPictureEntry* sender) { log_.push_back(name_ + (sender ? " " + std::to_string(sender->ID()) : " all")); }
    void Other(TPictureEntry*) { log_.push_back(name_ + " other"); }
    TPictureChangeEvent Event() { return PictureChangeEvent<TViewer, &TViewer::ListChanged>(this); }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST_F(PicturesTest, ChangesReachOnChangedAndTheCallbacksInOrder) {
    std::vector<std::string> log;
    TPictureList list;
    list.OnChanged = [&](TPictureEntry* e) { log.push_back(e ? "list " + std::to_string(e->ID()) : "list all"); };
    auto* first = new TViewer(log, "first");
    TViewer second(log, "second");
    list.RegisterChanges(first->Event());
    list.RegisterChanges(first->Event());  // the same again: ignored
    list.RegisterChanges(second.Event());
    list.RegisterChanges(PictureChangeEvent<TViewer, &TViewer::Other>(&second));
    EXPECT_EQ(list.ChangeCallbackCount(), 3);

    TPictureEntry* entry = list.AddPicture(5);
    EXPECT_EQ(log, (std::vector<std::string>{"list all", "first all", "second all", "second other"}));
    log.clear();
    std::vector<TPictureEntry*> own;
    entry->OnChanged = [&](TPictureEntry* e) { own.push_back(e); };
    entry->SetOption(TPictOption{poMasked});
    EXPECT_EQ(log, (std::vector<std::string>{"list 5", "first 5", "second 5", "second other"}));
    EXPECT_EQ(own, (std::vector<TPictureEntry*>{entry}));
    EXPECT_TRUE(entry->Option().Has(poModified));
    EXPECT_TRUE(list.Modified());
    // Taking a picture tells nobody; a change of the picture tells everybody.
    log.clear();
    entry->SetGraphic(std::unique_ptr<TGraphic>(Pattern(2, 2).release()));
    EXPECT_TRUE(log.empty());
    static_cast<TBitmap*>(entry->Graphic())->SetSize(3, 3);
    EXPECT_EQ(log.front(), "list 5");
    // Inside an update only one notification at the end.
    log.clear();
    list.UnregisterChanges(PictureChangeEvent<TViewer, &TViewer::Other>(&second));
    list.BeginUpdate();
    list.AddPicture(6);
    entry->SetID(9);
    list.EndUpdate(true);
    EXPECT_EQ(log, (std::vector<std::string>{"list all", "first all", "second all"}));
    EXPECT_EQ(list.Items(1), entry);  // sorted at the update's end
    // A destroyed viewer is dropped.
    log.clear();
    first->Free();
    EXPECT_EQ(list.ChangeCallbackCount(), 1);
    list.Changed(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"list all", "second all"}));
    // A callback that unregisters another during a notification: the other is not called.
    log.clear();
    TViewer third(log, "third");
    list.RegisterChanges(third.Event());
    list.OnChanged = [&](TPictureEntry*) { list.UnregisterChanges(third.Event()); };
    list.Changed(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"second all"}));
    list.OnChanged = nullptr;
    list.UnregisterChanges(second.Event());
    EXPECT_EQ(list.ChangeCallbackCount(), 0);
}

// An entry class of its own, to see which class lists make their entries of.
class TTaggedEntry : public TPictureEntry {
public:
    using TPictureEntry::TPictureEntry;
    static std::unique_ptr<TPictureEntry> Make(TPictureList* owner, TPictOption option, int32_t id) {
        return std::make_unique<TTaggedEntry>(owner, option, id);
    }
};

TEST_F(PicturesTest, CopiedListsKeepBitmapsAndMetafilesPackedUntilUsed) {
    TPictureList source;
    source.SetEntryClass(&TTaggedEntry::Make);
    source.SetIDMinimum(1);
    source.SetIDMaximum(50);
    TPicture gif;
    gif.LoadFromFile(DataPath("gif89_c16.gif"));
    auto gifBitmap = std::make_unique<TGIFBitmap>();
    gifBitmap->Assign(gif.Graphic());
    source.AddPicture(7)->SetGraphic(std::move(gifBitmap));
    TPicture icon;
    icon.LoadFromFile(DataPath("icon16.ico"));
    auto stretchIcon = std::make_unique<TStretchIcon>();
    stretchIcon->Assign(icon.Graphic());
    source.AddPicture(3)->SetGraphic(std::move(stretchIcon));
    source.AddPicture(0)->SetSourceName("Datei \"x.gif\"");

    TPictureList copy;
    int notifications = 0;
    copy.OnChanged = [&](TPictureEntry* e) { notifications += e == nullptr; };
    copy.Assign(&source);
    EXPECT_EQ(notifications, 1);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.EntryClass(), &TTaggedEntry::Make);
    EXPECT_NE(dynamic_cast<TTaggedEntry*>(copy.Items(0)), nullptr);
    EXPECT_EQ(copy.IDMinimum(), 1);
    EXPECT_EQ(copy.IDMaximum(), 50);
    EXPECT_EQ(copy.Items(0)->ID(), 1);
    EXPECT_EQ(copy.Items(0)->SourceName(), "Datei \"x.gif\"");
    TPictureEntry* bitmapCopy = copy.GetPicture(7);
    TPictureEntry* iconCopy = copy.GetPicture(3);
    EXPECT_EQ(bitmapCopy->Owner(), &copy);
    EXPECT_TRUE(bitmapCopy->Packed());
    EXPECT_FALSE(iconCopy->Packed());  // icons are not packed
    EXPECT_FALSE(source.GetPicture(7)->Packed());
    // First use decodes the record; every bitmap kind becomes a plain bitmap.
    TGraphic* decoded = bitmapCopy->Graphic();
    ASSERT_NE(decoded, nullptr);
    EXPECT_FALSE(bitmapCopy->Packed());
    EXPECT_EQ(decoded->ClassName(), "TBitmap");
    EXPECT_TRUE(SamePixels(RgbOf(static_cast<TBitmap&>(*decoded)), ReadPpm("gif89_c16.ppm")));
    EXPECT_EQ(iconCopy->Graphic()->ClassName(), "TStretchIcon");
    EXPECT_EQ(iconCopy->Width(), 16);
    // An entry copies everything but its ID.
    TPictureEntry single(nullptr, TPictOption(), 77);
    single.Assign(source.GetPicture(7));
    EXPECT_EQ(single.ID(), 77);
    EXPECT_EQ(single.Option(), source.GetPicture(7)->Option() + poModified);
    EXPECT_TRUE(single.Packed());
    EXPECT_THROW(single.Assign(&gif), EConvertError);
    EXPECT_THROW(copy.Assign(&single), EConvertError);
}

TEST_F(PicturesTest, PicturesTurnIntoBitmapsIconsAndResources) {
    // An icon becomes a bitmap of its pixels, a bitmap an icon.
    std::unique_ptr<TBitmap> half = HalfTransparent();
    std::unique_ptr<TPictureEntry> entry = EntryWith(IconOf(*half));
    TBitmap& bitmap = entry->GetBitmap();
    EXPECT_EQ(entry->Graphic(), &bitmap);
    EXPECT_EQ(bitmap.Width(), 8);
    EXPECT_EQ(PixelAt(bitmap, 7, 7), Orange);
    TIcon& icon = entry->GetIcon();
    EXPECT_EQ(entry->Graphic(), &icon);
    EXPECT_EQ(IconHandleSize(icon.Handle()).cx, 8);
    // Resource IDs load the program's own bitmap or icon resource.
    entry->SetResourceID(4712);
    EXPECT_EQ(entry->GetSize().cx, 16);
    std::unique_ptr<TPictureEntry> fromBitmap = EntryWith(std::unique_ptr<TGraphic>(Pattern(2, 2).release()));
    fromBitmap->SetResourceID(4711);
    EXPECT_TRUE(SamePixels(RgbOf(fromBitmap->GetBitmap()), ReadPpm("bmp8_37x23.ppm")));
    EXPECT_THROW(fromBitmap->SetResourceID(4999), EInvalidGraphic);
    // Without picture the number is only kept; GetBitmap then loads it.
    TPictureEntry bare(nullptr, TPictOption(), 1);
    bare.SetResourceID(4711);
    EXPECT_EQ(bare.Graphic(), nullptr);
    EXPECT_EQ(bare.GetBitmap().Width(), 37);
}

// The list of the quick-text window: bounds 1 and 1000, the entries of every picture kind.
void FillList(TPictureList& list) {
    list.SetName("Symbole");
    list.SetIDMinimum(1);
    list.SetIDMaximum(1000);
    for (const char* file : {"gif89_c16.gif", "pcx8_rle.pcx", "bmp4_rle_37x23.rle", "icon16.ico", "cursor32.cur"}) {
        TPicture picture;
        picture.LoadFromFile(DataPath(file));
        const TClassInfo& cls = picture.Graphic()->ClassType();
        std::unique_ptr<TGraphic> graphic(static_cast<TGraphic*>(cls.Create()));
        graphic->Assign(picture.Graphic());
        list.AddPicture(0)->SetGraphic(std::move(graphic));
    }
    list.GetPicture(2)->SetOption(TPictOption{poMasked, poStretch});
    list.GetPicture(3)->SetResourceID(4711);
}

TEST_F(PicturesTest, PictureListFilesRoundTripThroughTheList) {
    TPictureList list;
    FillList(list);
    const std::string file = TempPath("varnolet_symbole.pil");
    list.SaveToFile(file);
    TFileStream written(file, fmOpenRead);
    uint8_t head[11] = {};
    written.ReadBuffer(head, sizeof head);
    EXPECT_EQ(head[0], 0xFF);
    EXPECT_EQ(head[1], 10);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head + 3), 8), std::string("SYMBOLE\0", 8));

    TPictureList loaded;
    loaded.SetIDMinimum(5);
    loaded.SetIDMaximum(50);
    loaded.SetTag(4);
    loaded.LoadFromFile(file);
    EXPECT_EQ(loaded.IDMinimum(), 5);
    EXPECT_EQ(loaded.IDMaximum(), 50);
    EXPECT_EQ(loaded.Tag(), 4);
    EXPECT_TRUE(loaded.DefaultOption().Has(poModified));
    ASSERT_EQ(loaded.Count(), 5);
    const char* classes[] = {"TBitmap", "TBitmap", "TBitmap", "TStretchIcon", "TCursorIcon"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        TPictureEntry* original = list.Items(i);
        TPictureEntry* back = loaded.Items(i);
        EXPECT_EQ(back->ID(), original->ID());
        EXPECT_EQ(back->Option() - poModified, original->Option() - poModified);
        EXPECT_EQ(back->ResourceID(), original->ResourceID());
        ASSERT_NE(back->Graphic(), nullptr);
        EXPECT_EQ(back->Graphic()->ClassName(), classes[i]);
        EXPECT_EQ(back->GetSize().cx, original->GetSize().cx);
        if (i < 3) {
            EXPECT_TRUE(SamePixels(RgbOf(static_cast<TBitmap&>(*back->Graphic())),
                                   RgbOfGraphic(*original->Graphic())));
        }
    }
    DeleteFileA(file.c_str());
}

TEST_F(PicturesTest, DamagedPictureListFilesLeaveTheListAsItWas) {
    TPictureList source;
    FillList(source);
    TMemoryStream good;
    source.SaveToStream(good);
    const std::vector<uint8_t> bytes = good.Bytes();
    // The "Entries" payload starts with its version byte 1 and the count width 4.
    const std::string marker = std::string("Entries") + char(10);
    const size_t entries = std::string(bytes.begin(), bytes.end()).find(marker) + marker.size() + 4;
    ASSERT_EQ(bytes[entries], 1);
    struct TCase {
        const char* Name;
        size_t At;
        uint8_t Value;
        int Id;
        bool Silent;
    };
    const TCase cases[] = {
        {"header byte", 0, 0xFE, sid::InvalidStreamFormat, false},
        {"resource type", 1, 11, sid::InvalidStreamFormat, false},
        {"signature", 3 + 8 + 6, 'X', sid::InvalidStreamFormat, false},
        {"entry list version 2", entries, 2, sid::InvalidStreamFormat2, true},
        {"count width 5", entries + 1, 5, sid::InvalidStreamFormat, false},
    };
    for (const TCase& c : cases) {
        std::vector<uint8_t> damaged = bytes;
        damaged[c.At] = c.Value;
        TMemoryStream in = StreamOf(damaged);
        TPictureList list;
        list.AddPicture(42);
        try {
            list.LoadFromStream(in);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const EAbort& e) {
            EXPECT_TRUE(c.Silent) << c.Name;
            EXPECT_EQ(e.Id(), c.Id) << c.Name;
        } catch (const Exception& e) {
            EXPECT_FALSE(c.Silent) << c.Name;
            EXPECT_EQ(e.Id(), c.Id) << c.Name;
        }
        ASSERT_EQ(list.Count(), 1) << c.Name;
        EXPECT_EQ(list.Items(0)->ID(), 42) << c.Name;
    }
    // A record of a known class whose picture data is damaged fails with the graphic's error.
    TPictureFile file = source.ToPictureFile();
    file.Entries[1].Image.Data.resize(30);
    TMemoryStream out;
    WritePictureFile(out, file);
    out.SetPosition(0);
    TPictureList list;
    list.AddPicture(42);
    EXPECT_THROW(list.LoadFromStream(out), EInvalidGraphic);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->ID(), 42);
}

TEST_F(PicturesTest, RecordsOfUnknownOrUnregisteredClassesAreDropped) {
    TPictureList source;
    FillList(source);
    TPictureFile file = source.ToPictureFile();
    file.Entries[0].Image.ClassName = "TJPEGImage";  // no graphic class
    TMemoryStream out;
    WritePictureFile(out, file);
    // The cursor class is not registered any more: its record is dropped too.
    UnregisterGraphicClassName(TCursorIcon::StaticClass());
    out.SetPosition(0);
    TPictureList loaded;
    loaded.LoadFromStream(out);
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded.Items(0)->ID(), 2);
    EXPECT_EQ(loaded.Items(2)->Graphic()->ClassName(), "TStretchIcon");
    // A packed picture whose class went away stays packed: not drawn, but written as it was.
    TPictureList copy;
    copy.Assign(&source);
    UnregisterGraphicClassName(TGIFBitmap::StaticClass());
    TPictureEntry* gif = copy.GetPicture(1);
    EXPECT_EQ(gif->Graphic(), nullptr);
    EXPECT_TRUE(gif->Packed());
    auto canvas = Filled(8, 8, clWhite);
    RECT drawRect{1, 1, 2, 2};
    EXPECT_NO_THROW(gif->DrawOwn(canvas->Canvas(), RECT{0, 0, 8, 8}, drawRect));
    EXPECT_TRUE(IsRectEmpty(&drawRect));
    EXPECT_EQ(gif->WriteImage().ClassName, "TGIFBitmap");
    EXPECT_EQ(gif->WriteImage(), source.GetPicture(1)->WriteImage());
}

// A component with a picture entry as a property, as the grid keeps its built-in pictures.
class TPictureHolder : public TComponent {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{
            "TPictureHolder",
            &TComponent::StaticClass(),
            {TypedProp<TPictureHolder, TPersistent*>("pictPlus", TPropKind::pkObject,
                                                     [](const TPictureHolder& h) { return static_cast<TPersistent*>(&h.Entry); })},
            [] { return new TPictureHolder(); }};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    mutable TPictureEntry Entry{nullptr, DefaultPictOption, 0};
};

TEST_F(PicturesTest, ListsAndEntriesTravelInComponentStreams) {
    // A list read from a stream has its entries and is unchanged.
    TPictureList list;
    FillList(list);
    list.SetDefaultOption(TPictOption{poLeft, poMasked});
    TMemoryStream stream;
    TComponentWriter(stream).WriteRootComponent(&list);
    const std::string text(stream.Bytes().begin(), stream.Bytes().end());
    EXPECT_EQ(text.find("\x03Tag"), std::string::npos);  // 0: not written
    EXPECT_NE(text.find("\x0D" "DefaultOption"), std::string::npos);
    stream.SetPosition(0);
    std::unique_ptr<TComponent> read(TComponentReader(stream).ReadComponent());
    auto* readList = dynamic_cast<TPictureList*>(read.get());
    ASSERT_NE(readList, nullptr);
    EXPECT_EQ(readList->Name(), "Symbole");
    EXPECT_EQ(readList->Count(), 5);
    EXPECT_EQ(readList->IDMaximum(), 1000);
    EXPECT_FALSE(readList->Modified());
    EXPECT_EQ(readList->DefaultOption(), (TPictOption{poLeft, poMasked}));
    EXPECT_FALSE(readList->Updating());
    for (int i = 0; i < readList->Count(); ++i) EXPECT_FALSE(readList->Items(i)->Option().Has(poModified)) << i;
    // An empty list writes no entries.
    TPictureList empty;
    TMemoryStream emptyStream;
    TComponentWriter(emptyStream).WriteRootComponent(&empty);
    const std::string emptyText(emptyStream.Bytes().begin(), emptyStream.Bytes().end());
    EXPECT_EQ(emptyText.find("\x07" "Entries"), std::string::npos);
    EXPECT_NE(emptyText.find("\x09IDMinimum"), std::string::npos);

    // An entry as a property: ID, options and the picture record.
    RegisterComponentClass(TPictureHolder::StaticClass());
    TPictureHolder holder;
    holder.Entry.SetID(-1);
    holder.Entry.SetOption(TPictOption{poLeft, poTop});
    holder.Entry.SetGraphic(std::unique_ptr<TGraphic>(Pattern(4, 3).release()));
    TMemoryStream holderStream;
    TComponentWriter(holderStream).WriteRootComponent(&holder);
    const std::string holderText(holderStream.Bytes().begin(), holderStream.Bytes().end());
    EXPECT_NE(holderText.find("\x0EpictPlus.Image"), std::string::npos);
    EXPECT_NE(holderText.find("\x0BpictPlus.ID"), std::string::npos);
    EXPECT_EQ(holderText.find("pictPlus.ResourceID"), std::string::npos);
    holderStream.SetPosition(0);
    std::unique_ptr<TComponent> holderRead(TComponentReader(holderStream).ReadComponent());
    auto& back = dynamic_cast<TPictureHolder&>(*holderRead).Entry;
    EXPECT_EQ(back.ID(), -1);
    EXPECT_EQ(back.Option() - poModified, (TPictOption{poLeft, poTop}));
    ASSERT_NE(back.Graphic(), nullptr);
    EXPECT_TRUE(SamePixels(RgbOf(static_cast<TBitmap&>(*back.Graphic())), RgbOf(*Pattern(4, 3))));
}

// A window that draws picture entries in cells, each with its own options.
class TPictureView : public TCustomControl {
public:
    explicit TPictureView(TComponent* owner) : TCustomControl(owner) {}
    struct TCell {
        TPictureEntry* Entry;
        TPictOption Options;
        RECT Rect;
    };
    std::vector<TCell> Cells;

protected:
    void Paint() override {
        Canvas().Brush().SetColor(TColor(RGB(0, 128, 128)));
        Canvas().FillRect(ClientRect());
        Canvas().Brush().SetColor(TColor(RGB(255, 255, 160)));
        for (const TCell& cell : Cells) {
            Canvas().FrameRect(RECT{cell.Rect.left - 1, cell.Rect.top - 1, cell.Rect.right + 1, cell.Rect.bottom + 1});
            RECT drawRect{};
            cell.Entry->Draw(Canvas(), cell.Rect, drawRect, cell.Options);
        }
    }
};

TEST_F(PicturesTest, AWindowDrawsEntriesInTheirOptions) {
    TPictureList list;
    FillList(list);
    TPictureEntry* masked = list.AddPicture(0);
    masked->SetGraphic(std::unique_ptr<TGraphic>(HalfTransparent(16).release()));
    auto* form = new TForm(Application);
    form->SetCaption("Bildliste");
    form->SetBounds(80, 80, 420, 220);
    auto* view = new TPictureView(form);
    view->SetAlign(alClient);
    view->SetParent(form);
    const TPictOption centre{poLeft, poRight, poTop, poBottom};
    TPictureEntry* gif = list.GetPicture(1);
    TPictureEntry* icon = list.GetPicture(4);
    view->Cells = {
        {gif, centre, {10, 10, 60, 50}},
        {gif, centre + poStretch + poSelected, {70, 10, 120, 50}},
        {gif, TPictOption{poTiled, poLeft, poTop, poClipping}, {130, 10, 250, 90}},
        {list.GetPicture(3), centre + poStretch, {260, 10, 330, 50}},
        {icon, centre, {340, 10, 390, 50}},
        {icon, centre + poStretch, {340, 60, 352, 72}},
        {masked, centre, {10, 100, 50, 140}},
        {masked, centre + poMasked, {60, 100, 100, 140}},
        {masked, centre + poBrushCopy, {110, 100, 150, 140}},
        {masked, centre + poMasked + poSelected, {160, 100, 200, 140}},
        {list.GetPicture(5), centre, {210, 100, 260, 150}},
        {list.GetPicture(2), centre + poMasked + poStretch, {270, 100, 390, 150}},
    };
    form->Show();
    WaitForInputHandled();
    // The masked entry shows the window's colour where its left half is transparent.
    HDC dc = GetDC(view->Handle());
    EXPECT_EQ(GetPixel(dc, 80 - 8 + 2, 120), RGB(0, 128, 128));
    EXPECT_EQ(GetPixel(dc, 80 + 4, 120), Orange);
    EXPECT_EQ(GetPixel(dc, 130 - 8 + 2, 120), RGB(255, 255, 160));
    ReleaseDC(view->Handle(), dc);
    std::string error;
    EXPECT_TRUE(TakeScreenshot(form->Handle(), "pictures_list", error)) << error;
    delete form;
}

}  // namespace
