// Helpers of the pictures' Wine tests: the portable readers' test files and reference pictures,
// the pixels of bitmaps and graphics read back with GetDIBits, bitmaps of one colour, and a
// fixture that registers the image readers for a test and removes them afterwards.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "pictures/bmp_image.h"
#include "pictures/image_readers_win.h"
#include "pictures/picture_list_win.h"
#include "pictures/tests/picture_test_data.h"
#include "winui/graphics_win.h"

// The pixels of Bitmap (any kind of bitmap handle) as red, green and blue, top row first.
inline TRgbImage RgbOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const size_t rowBytes = (size_t(width) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> rows(rowBytes * size_t(height));
    HDC dc = GetDC(nullptr);
    const int got = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(got, height);
    TRgbImage image;
    image.Width = width;
    image.Height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* bgr = rows.data() + size_t(y) * rowBytes + size_t(x) * 3;
            image.Rgb.insert(image.Rgb.end(), {bgr[2], bgr[1], bgr[0]});
        }
    return image;
}

inline TRgbImage RgbOf(TBitmap& bitmap) { return RgbOf(bitmap.Handle(), bitmap.Width(), bitmap.Height()); }

// A 24-bit bitmap of one colour.
inline std::unique_ptr<TBitmap> Filled(int width, int height, TColor color) {
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    bitmap->Canvas().Brush().SetColor(color);
    bitmap->Canvas().FillRect(RECT{0, 0, width, height});
    return bitmap;
}

// Graphic drawn at its own size onto a bitmap of Background.
inline TRgbImage RgbOfGraphic(TGraphic& graphic, TColor background = clWhite) {
    auto canvas = Filled(graphic.Width(), graphic.Height(), background);
    canvas->Canvas().StretchDraw(RECT{0, 0, graphic.Width(), graphic.Height()}, graphic);
    return RgbOf(*canvas);
}

inline COLORREF PixelAt(TBitmap& bitmap, int x, int y) { return static_cast<COLORREF>(bitmap.Canvas().Pixel(x, y)) & 0xFFFFFF; }

inline TMemoryStream StreamOf(const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return stream;
}

// A file name in the temporary folder.
inline std::string TempPath(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

inline void WriteBytesToFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    TFileStream out(fileName, fmCreate);
    if (!bytes.empty()) out.WriteBuffer(bytes.data(), bytes.size());
}

// Registers the image readers and the picture list class for one test; afterwards the picture
// loader's formats are as they were, in their order, as the other tests expect them.
class PicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = GraphicFormats();
        RegisterPictureClasses();
    }
    void TearDown() override {
        UnregisterPictureClasses();
        while (!GraphicFormats().empty()) UnregisterGraphicClass(*GraphicFormats().front().Class);
        for (const TGraphicFormat& f : saved_)
            RegisterGraphicFormat(f.Extension, f.Description, f.DescriptionId, *f.Class, f.Create);
    }

private:
    std::vector<TGraphicFormat> saved_;
};
