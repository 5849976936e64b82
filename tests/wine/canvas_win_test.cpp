// Drawing checked pixel by pixel on bitmaps, BMP files written and read back in every pixel
// format, broken picture data, icons, transparent drawing and the picture format registry.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/stream.h"
#include "winui/canvas_win.h"
#include "winui/graphics_win.h"

namespace {

COLORREF At(TBitmap& b, int x, int y) { return static_cast<COLORREF>(b.Canvas().Pixel(x, y)); }

std::unique_ptr<TBitmap> White(int w, int h, TPixelFormat format = pf24bit) {
    auto b = std::make_unique<TBitmap>(w, h, format);
    b->Canvas().Brush().SetColor(clWhite);
    b->Canvas().FillRect(RECT{0, 0, w, h});
    return b;
}

std::vector<uint8_t> Bytes(TMemoryStream& s) {
    std::vector<uint8_t> data(static_cast<size_t>(s.Size()));
    s.SetPosition(0);
    s.ReadBuffer(data.data(), data.size());
    return data;
}

TMemoryStream StreamOf(const std::vector<uint8_t>& data) {
    TMemoryStream s;
    if (!data.empty()) s.WriteBuffer(data.data(), data.size());
    s.SetPosition(0);
    return s;
}

// A 32-bit icon file of one Size x Size image of one colour.
std::vector<uint8_t> IconFile(int size, COLORREF color) {
    int maskRow = ((size + 31) / 32) * 4;
    uint32_t imageBytes = sizeof(BITMAPINFOHEADER) + size * size * 4 + maskRow * size;
    std::vector<uint8_t> f(6 + 16 + imageBytes);
    uint16_t head[3] = {0, 1, 1};
    std::memcpy(f.data(), head, 6);
    uint8_t* e = f.data() + 6;
    e[0] = static_cast<uint8_t>(size);
    e[1] = static_cast<uint8_t>(size);
    uint16_t planes = 1, bits = 32;
    std::memcpy(e + 4, &planes, 2);
    std::memcpy(e + 6, &bits, 2);
    uint32_t offset = 22;
    std::memcpy(e + 8, &imageBytes, 4);
    std::memcpy(e + 12, &offset, 4);
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof(bi);
    bi.biWidth = size;
    bi.biHeight = size * 2;
    bi.biPlanes = 1;
    bi.biBitCount = 32;
    std::memcpy(f.data() + 22, &bi, sizeof(bi));
    uint8_t* px = f.data() + 22 + sizeof(bi);
    for (int i = 0; i < size * size; ++i) {
        px[i * 4] = GetBValue(color);
        px[i * 4 + 1] = GetGValue(color);
        px[i * 4 + 2] = GetRValue(color);
        px[i * 4 + 3] = 255;
    }
    return f;  // the AND mask stays 0: every pixel opaque
}

}  // namespace

TEST(CanvasTest, ShapesHitTheExpectedPixels) {
    auto bOwner = White(20, 20);
    TBitmap& b = *bOwner;
    TCanvas& c = b.Canvas();
    c.Pen().SetColor(clRed);
    c.Brush().SetColor(clBlue);
    c.Rectangle(2, 2, 10, 10);
    c.Pen().SetColor(clLime);
    c.MoveTo(0, 15);
    c.LineTo(10, 15);
    c.Pen().SetStyle(psClear);
    c.Brush().SetColor(clYellow);
    c.Polygon({{12, 0}, {19, 0}, {19, 7}});
    c.SetPixel(0, 19, clFuchsia);
    struct Row {
        int x, y;
        COLORREF color;
        const char* what;
    } rows[] = {
        {2, 2, RGB(255, 0, 0), "outline corner"},  {9, 9, RGB(255, 0, 0), "outline, last pixel inside"},
        {5, 5, RGB(0, 0, 255), "fill"},            {10, 10, RGB(255, 255, 255), "right and bottom are exclusive"},
        {1, 1, RGB(255, 255, 255), "outside"},     {0, 15, RGB(0, 255, 0), "line start"},
        {9, 15, RGB(0, 255, 0), "line end - 1"},   {10, 15, RGB(255, 255, 255), "line end is exclusive"},
        {18, 1, RGB(255, 255, 0), "polygon"},      {13, 6, RGB(255, 255, 255), "beside the polygon"},
        {0, 19, RGB(255, 0, 255), "single pixel"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(At(b, r.x, r.y), r.color);
    }
    EXPECT_EQ(c.PenPos().x, 10);
}

TEST(CanvasTest, TextIsDrawnWithTheFontAndBrush) {
    auto bOwner = White(80, 30);
    TBitmap& b = *bOwner;
    TCanvas& c = b.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetSize(14);
    c.Font().SetColor(clBlack);
    c.Brush().SetColor(clAqua);
    SIZE wide = c.TextExtent("WWW");
    SIZE narrow = c.TextExtent("iii");
    EXPECT_GT(wide.cx, narrow.cx);
    EXPECT_GT(wide.cy, 10);
    c.TextOut(2, 2, "W\xC4");  // "WÄ"
    int black = 0, aqua = 0;
    for (int y = 2; y < 2 + wide.cy; ++y)
        for (int x = 2; x < 2 + c.TextWidth("W\xC4"); ++x) {
            COLORREF p = At(b, x, y);
            black += p == RGB(0, 0, 0);
            aqua += p == RGB(0, 255, 255);
        }
    EXPECT_GT(black, 10);
    EXPECT_GT(aqua, 10);  // the background of the text is the brush colour
    EXPECT_EQ(At(b, 70, 25), RGB(255, 255, 255));
    // A clear brush leaves the background alone.
    auto tOwner = White(80, 30);
    TBitmap& t = *tOwner;
    t.Canvas().Font().SetSize(14);
    t.Canvas().Brush().SetStyle(bsClear);
    t.Canvas().TextOut(2, 2, "W");
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            COLORREF p = At(t, x, y);
            ASSERT_TRUE(p != RGB(0, 255, 255)) << x << "," << y;
        }
    RECT r{0, 0, 80, 30};
    int height = t.Canvas().DrawText("eins\nzwei", r, DT_CALCRECT);
    EXPECT_GT(height, wide.cy);
}

TEST(CanvasTest, CopyRectAndStretchDrawCopyPixels) {
    auto sourceOwner = White(4, 4);
    TBitmap& source = *sourceOwner;
    source.Canvas().SetPixel(0, 0, clRed);
    source.Canvas().SetPixel(3, 3, clBlue);
    auto destOwner = White(8, 8);
    TBitmap& dest = *destOwner;
    dest.Canvas().CopyRect(RECT{0, 0, 4, 4}, source.Canvas(), RECT{0, 0, 4, 4});
    EXPECT_EQ(At(dest, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(At(dest, 3, 3), RGB(0, 0, 255));
    EXPECT_EQ(At(dest, 4, 4), RGB(255, 255, 255));
    dest.Canvas().StretchDraw(RECT{0, 0, 8, 8}, source);
    EXPECT_EQ(At(dest, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(At(dest, 7, 7), RGB(0, 0, 255));
    EXPECT_EQ(At(dest, 4, 1), RGB(255, 255, 255));
}

TEST(CanvasTest, BitmapsGoThroughBmpFilesInEveryFormat) {
    struct Row {
        TPixelFormat format;
        int bits;
    } rows[] = {{pf1bit, 1}, {pf4bit, 4}, {pf8bit, 8}, {pf15bit, 16}, {pf16bit, 16}, {pf24bit, 24}, {pf32bit, 32}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bits);
        auto bOwner = White(13, 5, row.format);
    TBitmap& b = *bOwner;
        COLORREF mark = row.format == pf1bit ? RGB(0, 0, 0) : RGB(255, 0, 0);
        b.Canvas().SetPixel(0, 0, static_cast<TColor>(mark));
        b.Canvas().SetPixel(12, 4, static_cast<TColor>(mark));
        TMemoryStream s;
        b.SaveToStream(s);
        std::vector<uint8_t> data = Bytes(s);
        ASSERT_GT(data.size(), 54u);
        EXPECT_EQ(data[0], 'B');
        EXPECT_EQ(data[28], row.bits);
        TBitmap read;
        s.SetPosition(0);
        read.LoadFromStream(s);
        EXPECT_EQ(read.Width(), 13);
        EXPECT_EQ(read.Height(), 5);
        EXPECT_EQ(read.PixelFormat(), row.format);
        EXPECT_EQ(At(read, 0, 0), mark);
        EXPECT_EQ(At(read, 12, 4), mark);
        EXPECT_EQ(At(read, 6, 2), RGB(255, 255, 255));
    }
}

TEST(CanvasTest, TopDownBitmapsAreReadUpright) {
    auto bOwner = White(3, 2);
    TBitmap& b = *bOwner;
    b.Canvas().SetPixel(0, 0, clRed);
    TMemoryStream s;
    b.SaveToStream(s);
    std::vector<uint8_t> data = Bytes(s);
    // Flip the file to top-down: negative height, rows in the other order.
    int32_t height = -2;
    std::memcpy(&data[22], &height, 4);
    size_t rowBytes = 12, pixels = 54;
    std::vector<uint8_t> row0(data.begin() + pixels, data.begin() + pixels + rowBytes);
    std::copy(data.begin() + pixels + rowBytes, data.begin() + pixels + 2 * rowBytes, data.begin() + pixels);
    std::copy(row0.begin(), row0.end(), data.begin() + pixels + rowBytes);
    TMemoryStream flipped = StreamOf(data);
    TBitmap read;
    read.LoadFromStream(flipped);
    EXPECT_EQ(At(read, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(At(read, 0, 1), RGB(255, 255, 255));
}

TEST(CanvasTest, BrokenBmpDataIsRefused) {
    auto bOwner = White(4, 4);
    TBitmap& b = *bOwner;
    TMemoryStream s;
    b.SaveToStream(s);
    const std::vector<uint8_t> good = Bytes(s);
    auto with = [&](size_t offset, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> d = good;
        std::copy(bytes.begin(), bytes.end(), d.begin() + offset);
        return d;
    };
    struct Row {
        const char* what;
        std::vector<uint8_t> data;
    } rows[] = {
        {"empty", {}},
        {"short header", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
        {"wrong magic", with(0, {'X', 'M'})},
        {"header size 7", with(14, {7, 0, 0, 0})},
        {"zero width", with(18, {0, 0, 0, 0})},
        {"huge width", with(18, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"huge area", with(18, {0, 0x80, 0, 0, 0, 0x80, 0, 0})},
        {"bit count 7", with(28, {7, 0})},
        {"compressed", with(30, {1, 0, 0, 0})},
        {"missing pixels", std::vector<uint8_t>(good.begin(), good.end() - 10)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TMemoryStream in = StreamOf(row.data);
        TBitmap read;
        EXPECT_THROW(read.LoadFromStream(in), EInvalidGraphic);
    }
}

TEST(CanvasTest, TransparentBitmapsLeaveOutTheirTransparentColour) {
    TBitmap glyph(6, 6);
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(RECT{0, 0, 6, 6});
    glyph.Canvas().Brush().SetColor(clBlue);
    glyph.Canvas().FillRect(RECT{2, 2, 4, 4});
    EXPECT_EQ(glyph.TransparentColor(), clRed);  // the bottom-left pixel
    glyph.SetTransparent(true);
    auto destOwner = White(10, 10);
    TBitmap& dest = *destOwner;
    dest.Canvas().Draw(1, 1, glyph);
    EXPECT_EQ(At(dest, 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(At(dest, 3, 3), RGB(0, 0, 255));
    EXPECT_EQ(At(dest, 6, 6), RGB(255, 255, 255));
    glyph.SetTransparent(false);
    dest.Canvas().Draw(1, 1, glyph);
    EXPECT_EQ(At(dest, 1, 1), RGB(255, 0, 0));
}

TEST(CanvasTest, IconsAreReadAndDrawn) {
    TMemoryStream s = StreamOf(IconFile(16, RGB(0, 128, 0)));
    TIcon icon;
    icon.SetRequestedSize(16, 16);
    icon.LoadFromStream(s);
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_FALSE(icon.IsCursor());
    auto destOwner = White(20, 20);
    TBitmap& dest = *destOwner;
    dest.Canvas().Draw(2, 2, icon);
    EXPECT_EQ(At(dest, 5, 5), RGB(0, 128, 0));
    EXPECT_EQ(At(dest, 19, 19), RGB(255, 255, 255));
    TMemoryStream saved;
    icon.SaveToStream(saved);
    EXPECT_EQ(Bytes(saved), IconFile(16, RGB(0, 128, 0)));

    std::vector<uint8_t> bad = IconFile(16, 0);
    uint32_t offset = 0x7FFFFFF0;
    std::memcpy(&bad[18], &offset, 4);
    for (const auto& data : {std::vector<uint8_t>{0, 0, 1, 0}, std::vector<uint8_t>{0, 0, 3, 0, 1, 0}, bad}) {
        TMemoryStream in = StreamOf(data);
        TIcon broken;
        EXPECT_THROW(broken.LoadFromStream(in), EInvalidGraphic);
    }
}

TEST(CanvasTest, FormatRegistryFindsClassesAndBuildsFilters) {
    ASSERT_NE(FindGraphicFormat("C:\\Bilder\\Foto.BMP"), nullptr);
    EXPECT_EQ(FindGraphicFormat("x.bmp")->Class, &TBitmap::StaticClass());
    EXPECT_EQ(FindGraphicFormat("x.ico")->Class, &TIcon::StaticClass());
    EXPECT_EQ(FindGraphicFormat("x.xyz"), nullptr);
    EXPECT_EQ(FindGraphicFormat("ordner.bmp\\datei"), nullptr);
    RegisterGraphicFormat("XYZ", "Testbild", TBitmap::StaticClass(), [] { return std::make_unique<TBitmap>(); });
    RegisterGraphicFormat("xyz", "Testbild 2", TBitmap::StaticClass(), [] { return std::make_unique<TBitmap>(); });
    ASSERT_NE(FindGraphicFormat("a.xyz"), nullptr);
    EXPECT_EQ(FindGraphicFormat("a.xyz")->Description, "Testbild 2");
    std::string filter = GraphicFilter(TGraphic::StaticClass(), "Alle");
    EXPECT_EQ(filter.find("Alle (*.bmp;*.ico;*.emf;*.wmf;*.xyz)|*.bmp;*.ico;*.emf;*.wmf;*.xyz|"), 0u) << filter;
    EXPECT_NE(filter.find("|Testbild 2 (*.xyz)|*.xyz"), std::string::npos) << filter;
    EXPECT_EQ(GraphicFilter(TIcon::StaticClass(), ""), "*.ico (*.ico)|*.ico");
    UnregisterGraphicClass(TBitmap::StaticClass());
    EXPECT_EQ(FindGraphicFormat("a.xyz"), nullptr);
    EXPECT_EQ(FindGraphicFormat("a.bmp"), nullptr);
    RegisterGraphicFormat("bmp", std::string(), TBitmap::StaticClass(), [] { return std::make_unique<TBitmap>(); });

    TPicture picture;
    EXPECT_THROW(picture.LoadFromFile("bild.xyz"), EInvalidGraphic);
    int changes = 0;
    picture.OnChange = [&](TPicture&) { ++changes; };
    picture.Bitmap().SetSize(3, 3);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_GE(changes, 2);
}

TEST(CanvasTest, ColoursAndFonts) {
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clNone), 0u);
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    TFont font;
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -MulDiv(10, TFont::PixelsPerInch(), 72));
    EXPECT_EQ(font.Size(), 10);
    ASSERT_NE(font.Handle(), nullptr);
    int changes = 0;
    font.OnChange = [&](TGraphicsObject&) { ++changes; };
    font.SetStyle({fsBold, fsItalic});
    LOGFONTW lf{};
    GetObjectW(font.Handle(), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    font.SetStyle({fsBold, fsItalic});
    EXPECT_EQ(changes, 1);
    TFont copy;
    copy.Assign(&font);
    EXPECT_EQ(copy.Style(), font.Style());
    EXPECT_EQ(copy.Height(), font.Height());
}
