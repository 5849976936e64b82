// The image readers as framework graphics: real GIF, PCX, BMP, RLE, icon and cursor files
// loaded through the picture loader and compared pixel by pixel with the portable readers'
// output, run-length encoded bitmaps, metafiles, and the registration of the formats and classes.
#include <gtest/gtest.h>

#include <cstring>

#include "base/component_reader.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "pictures/gif_reader.h"
#include "pictures/icon_stream.h"
#include "pictures/pcx_reader.h"
#include "tests/wine/pictures_testing_win.h"

namespace {

// The graphic the picture loader makes of a test file.
std::unique_ptr<TPicture> Load(const std::string& name) {
    auto picture = std::make_unique<TPicture>();
    picture->LoadFromFile(DataPath(name));
    return picture;
}

TEST_F(PicturesTest, GifAndPcxFilesGiveThePortableReadersPixels) {
    struct TCase {
        const char* File;
        const char* Reference;  // ImageMagick's decoding; empty: none
        bool Gif;
    };
    const TCase cases[] = {
        {"gif89_c4.gif", "gif89_c4.ppm", true},
        {"gif89_c256.gif", "gif89_c256.ppm", true},
        {"gif87_c16.gif", "gif87_c16.ppm", true},
        {"gif89_c16_interlaced.gif", "gif89_c16.ppm", true},
        {"gif89_animated.gif", "gif89_animated_0.ppm", true},
        {"gif89_local_only.gif", "gif89_c16.ppm", true},
        {"gif_1x1.gif", "gif_1x1.ppm", true},
        {"pcx8_rle.pcx", "pcx8_rle.ppm", false},
        {"pcx8_c256_rle.pcx", "pcx8_c256_rle.ppm", false},
        {"pcx24_raw.pcx", "pcx24_raw.ppm", false},
        {"pcx4_planes.pcx", "pcx4_planes.ppm", false},
        {"pcx2_packed.pcx", "pcx2_packed.ppm", false},
        {"pcx1_netpbm.pcx", "pcx1_netpbm.ppm", false},
        {"pcx4_planes_v3.pcx", "", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        std::unique_ptr<TPicture> picture = Load(c.File);
        TGraphic* graphic = picture->Graphic();
        ASSERT_NE(graphic, nullptr);
        EXPECT_EQ(graphic->ClassName(), c.Gif ? "TGIFBitmap" : "TPCXBitmap");
        auto& bitmap = dynamic_cast<TBitmap&>(*graphic);
        const std::vector<uint8_t> bytes = ReadData(c.File);
        // The screen of the test has no palette, so version-3 files show the standard colours.
        const TRgbImage portable = BmpToRgb(c.Gif ? GifToBmp(bytes.data(), bytes.size()) : PcxToBmp(bytes.data(), bytes.size()));
        EXPECT_TRUE(SamePixels(RgbOf(bitmap), portable));
        if (*c.Reference) {
            EXPECT_TRUE(SamePixels(RgbOf(bitmap), ReadPpm(c.Reference)));
        }
    }
}

TEST_F(PicturesTest, ReaderErrorsAreInvalidGraphicsWithTheirMessages) {
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Bytes;
        std::unique_ptr<TGraphic> (*Make)();
        int Id;
    };
    // A 1 x 1 GIF with two colours whose LZW minimum code size is 1.
    const std::vector<uint8_t> badCodeSize = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255,
                                              255, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1, 2, 0x44, 0x01, 0, 0x3B};
    const TCase cases[] = {
        {"not a GIF", {'G', 'I', 'X', '8', '9', 'a', 0, 0, 0, 0}, [] { return std::unique_ptr<TGraphic>(new TGIFBitmap); },
         sid::InvalidGifFormat},
        {"GIF code size 1", badCodeSize, [] { return std::unique_ptr<TGraphic>(new TGIFBitmap); }, sid::InvalidImageFormat},
        {"not a PCX", std::vector<uint8_t>(200, 0x0B), [] { return std::unique_ptr<TGraphic>(new TPCXBitmap); },
         sid::InvalidPcxFormat},
        {"icon file as cursor", ReadData("icon16.ico"), [] { return std::unique_ptr<TGraphic>(new TCursorIcon); },
         sid::InvalidIcon},
        {"cursor file as icon", ReadData("cursor32.cur"), [] { return std::unique_ptr<TGraphic>(new TStretchIcon); },
         sid::InvalidIcon},
        {"no metafile", std::vector<uint8_t>(100, 7), [] { return std::unique_ptr<TGraphic>(new TMetafile); },
         sid::InvalidMetafile},
    };
    for (const TCase& c : cases) {
        std::unique_ptr<TGraphic> graphic = c.Make();
        TMemoryStream in = StreamOf(c.Bytes);
        try {
            graphic->LoadFromStream(in);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Id(), c.Id) << c.Name;
            EXPECT_EQ(e.Message(), LoadStr(c.Id)) << c.Name;
        }
        EXPECT_TRUE(graphic->Empty()) << c.Name;
    }
}

TEST_F(PicturesTest, RunLengthEncodedBitmapsGiveTheUncompressedPixels) {
    const struct {
        const char* Encoded;
        const char* Plain;
    } files[] = {{"bmp8_rle_37x23.rle", "bmp8_37x23.bmp"}, {"bmp4_rle_37x23.rle", "bmp4_37x23.bmp"},
                 {"bmp8_rle_5x3.rle", "bmp8_5x3.bmp"}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.Encoded);
        std::unique_ptr<TPicture> picture = Load(f.Encoded);
        ASSERT_EQ(picture->Graphic()->ClassName(), "TRLEBitmap");
        auto& bitmap = dynamic_cast<TBitmap&>(*picture->Graphic());
        EXPECT_TRUE(SamePixels(RgbOf(bitmap), BmpToRgb(ReadData(f.Plain))));
        EXPECT_NE(bitmap.Palette(), nullptr);  // indexed bitmaps bring their colours as a palette
        // Written back uncompressed.
        TMemoryStream out;
        bitmap.SaveToStream(out);
        EXPECT_TRUE(SamePixels(BmpToRgb(out.Bytes()), BmpToRgb(ReadData(f.Plain))));
    }
    // The same file under the extension DIB.
    const std::string dib = TempPath("varnolet_picture.dib");
    WriteBytesToFile(dib, ReadData("bmp8_37x23.bmp"));
    TPicture picture;
    picture.LoadFromFile(dib);
    EXPECT_EQ(picture.Graphic()->ClassName(), "TDIBBitmap");
    EXPECT_TRUE(SamePixels(RgbOf(picture.Bitmap()), ReadPpm("bmp8_37x23.ppm")));
    DeleteFileA(dib.c_str());
}

// A BMP file of Width x Height (negative: top-down) whose pixels are the run-length codes Codes;
// colour i of the table is (i, i, i).
std::vector<uint8_t> RleFile(int bits, int width, int height, const std::vector<uint8_t>& codes, DWORD compression) {
    const int colors = 1 << bits;
    std::vector<uint8_t> file(14 + 40 + 4 * colors);
    BITMAPINFOHEADER info{};
    info.biSize = 40;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bits);
    info.biCompression = compression;
    info.biSizeImage = static_cast<DWORD>(codes.size());
    std::memcpy(file.data() + 14, &info, sizeof(info));
    for (int i = 0; i < colors; ++i) std::memset(file.data() + 54 + 4 * i, i, 3);
    const uint32_t offset = static_cast<uint32_t>(file.size());
    file.insert(file.end(), codes.begin(), codes.end());
    const uint32_t size = static_cast<uint32_t>(file.size());
    file[0] = 'B';
    file[1] = 'M';
    std::memcpy(file.data() + 2, &size, 4);
    std::memcpy(file.data() + 10, &offset, 4);
    return file;
}

// The colour indexes of an indexed bitmap, top row first.
std::vector<std::vector<int>> Indexes(TBitmap& bitmap, int bits) {
    std::vector<std::vector<int>> rows;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* line = bitmap.ScanLine(y);
        std::vector<int> row;
        for (int x = 0; x < bitmap.Width(); ++x) row.push_back(bits == 8 ? line[x] : (x % 2 ? line[x / 2] & 15 : line[x / 2] >> 4));
        rows.push_back(row);
    }
    return rows;
}

TEST(RleBitmaps, CodesAreDecodedAndDamagedDataIsRefused) {
    using Rows = std::vector<std::vector<int>>;
    struct TCase {
        const char* Name;
        int Bits, Width, Height;
        std::vector<uint8_t> Codes;
        Rows Expected;  // top row first; empty: the file is refused
        DWORD Compression = 0;
    };
    const TCase cases[] = {
        {"runs and end of line", 8, 4, 2, {3, 5, 0, 0, 2, 7, 0, 1}, {{7, 7, 0, 0}, {5, 5, 5, 0}}},
        {"absolute run of odd length, padded", 8, 4, 1, {0, 3, 1, 2, 3, 0, 0, 1}, {{1, 2, 3, 0}}},
        {"delta skips pixels and rows", 8, 4, 2, {1, 9, 0, 2, 2, 1, 1, 8, 0, 1}, {{0, 0, 0, 8}, {9, 0, 0, 0}}},
        {"runs past the right edge are cut", 8, 4, 2, {6, 4, 0, 0, 1, 3, 0, 1}, {{3, 0, 0, 0}, {4, 4, 4, 4}}},
        {"no end of bitmap after the last row", 8, 4, 2, {4, 1, 0, 0, 4, 2}, {{2, 2, 2, 2}, {1, 1, 1, 1}}},
        {"RLE4 runs alternate two colours", 4, 7, 1, {4, 0x12, 0, 3, 0x34, 0x50, 0, 1}, {{1, 2, 1, 2, 3, 4, 5}}},
        {"RLE4 absolute run of 5, padded", 4, 6, 1, {0, 5, 0x12, 0x34, 0x50, 0, 1, 0xF0, 0, 1}, {{1, 2, 3, 4, 5, 15}}},
        {"absolute run cut short", 8, 4, 1, {0, 5, 1, 2}, {}},
        {"delta cut short", 8, 4, 2, {0, 2, 1}, {}},
        {"data ends below the last row", 8, 4, 3, {4, 1, 0, 0}, {}},
        {"top-down", 8, 4, -2, {4, 1, 0, 1}, {}},
        {"RLE8 code for 4 bits", 4, 4, 1, {4, 1, 0, 1}, {}, BI_RLE8},
    };
    for (const TCase& c : cases) {
        const DWORD compression = c.Compression ? c.Compression : (c.Bits == 8 ? BI_RLE8 : BI_RLE4);
        TMemoryStream in = StreamOf(RleFile(c.Bits, c.Width, c.Height, c.Codes, compression));
        TBitmap bitmap;
        if (c.Expected.empty()) {
            EXPECT_THROW(bitmap.LoadFromStream(in), EInvalidGraphic) << c.Name;
            EXPECT_TRUE(bitmap.Empty()) << c.Name;
            continue;
        }
        bitmap.LoadFromStream(in);
        EXPECT_EQ(Indexes(bitmap, c.Bits), c.Expected) << c.Name;
    }
}

// The pixels of an icon or cursor image as it shows on Background: colour bits where the AND
// mask is 0, the background where it is 1.
TRgbImage IconImageRgb(const TIconImage& image, COLORREF background) {
    BITMAPINFOHEADER info;
    std::memcpy(&info, image.Data.data(), sizeof(info));
    const int width = info.biWidth, height = info.biHeight / 2, bits = info.biBitCount;
    const uint32_t colors = bits <= 8 ? (info.biClrUsed ? info.biClrUsed : 1u << bits) : 0;
    const size_t colorRow = (size_t(width) * bits + 31) / 32 * 4, maskRow = (size_t(width) + 31) / 32 * 4;
    const size_t tableEnd = 40 + 4 * colors;
    // A BMP file of the colour part.
    std::vector<uint8_t> bmp(14 + 40);
    bmp[0] = 'B';
    bmp[1] = 'M';
    const uint32_t offset = static_cast<uint32_t>(14 + tableEnd);
    std::memcpy(bmp.data() + 10, &offset, 4);
    info.biHeight = height;
    info.biClrUsed = colors;
    std::memcpy(bmp.data() + 14, &info, 40);
    bmp.insert(bmp.end(), image.Data.begin() + 40, image.Data.begin() + std::ptrdiff_t(tableEnd + colorRow * height));
    TRgbImage rgb = BmpToRgb(bmp);
    const uint8_t* mask = image.Data.data() + tableEnd + colorRow * height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* row = mask + size_t(height - 1 - y) * maskRow;
            if (row[x / 8] & (0x80 >> (x % 8))) {
                uint8_t* p = rgb.Rgb.data() + (size_t(y) * width + x) * 3;
                p[0] = GetRValue(background);
                p[1] = GetGValue(background);
                p[2] = GetBValue(background);
            }
        }
    return rgb;
}

TIconImage PortableIconImage(const std::string& name, TIconType type) {
    TMemoryStream in = StreamOf(ReadData(name));
    return ReadIconStream(in, type, ScreenColorDepth());
}

TEST_F(PicturesTest, IconsHaveTheirRealSizeAndThePortableReadersPixels) {
    for (const char* name : {"icon16.ico", "icon_16_32.ico"}) {
        SCOPED_TRACE(name);
        std::unique_ptr<TPicture> picture = Load(name);
        auto* icon = dynamic_cast<TStretchIcon*>(picture->Graphic());
        ASSERT_NE(icon, nullptr);
        const TIconImage image = PortableIconImage(name, itIcon);
        const int side = image.Entry.Width;
        EXPECT_EQ(icon->Width(), side);
        EXPECT_EQ(icon->Height(), side);
        EXPECT_TRUE(SamePixels(RgbOfGraphic(*icon, clBlack), IconImageRgb(image, RGB(0, 0, 0))));
        // Stretched to any rectangle: the whole of it is covered.
        auto canvas = Filled(3 * side, 2 * side, clFuchsia);
        canvas->Canvas().StretchDraw(RECT{0, 0, 3 * side, 2 * side}, *icon);
        EXPECT_NE(PixelAt(*canvas, 3 * side - 1, 2 * side - 1), COLORREF(clFuchsia));
        // A picture record holds the single image that was used.
        TMemoryStream single;
        icon->SaveSingleImage(single);
        const std::vector<uint8_t>& bytes = single.Bytes();
        const TIconDirectory directory = ReadIconDirectory(bytes.data(), bytes.size(), itIcon);
        ASSERT_EQ(directory.Entries.size(), 1u);
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 22, bytes.end()), image.Data);
    }
}

TEST_F(PicturesTest, CursorsKeepTheirHotSpotThroughSavingAndThroughTheirHandle) {
    struct TCase {
        const char* File;
        DWORD HotX, HotY;
    };
    for (const TCase& c : {TCase{"cursor32.cur", 5, 7}, TCase{"cursor_mono.cur", 0, 0}}) {
        SCOPED_TRACE(c.File);
        std::unique_ptr<TPicture> picture = Load(c.File);
        auto* cursor = dynamic_cast<TCursorIcon*>(picture->Graphic());
        ASSERT_NE(cursor, nullptr);
        EXPECT_EQ(cursor->Width(), GetSystemMetrics(SM_CXCURSOR));
        EXPECT_EQ(cursor->Height(), GetSystemMetrics(SM_CYCURSOR));
        EXPECT_EQ(IconHandleSize(cursor->Handle()).cx, 32);
        const TRgbImage expected = IconImageRgb(PortableIconImage(c.File, itCursor), RGB(128, 128, 128));
        auto drawn = [](TCursorIcon& shown) {
            auto canvas = Filled(32, 32, clGray);
            shown.Draw(canvas->Canvas(), RECT{0, 0, 32, 32});
            return RgbOf(*canvas);
        };
        EXPECT_TRUE(SamePixels(drawn(*cursor), expected));
        // Written from the file read, and from the handle alone (a copy has no file).
        TCursorIcon fromHandle;
        fromHandle.SetHandle(CopyIcon(cursor->Handle()));
        for (TCursorIcon* source : {cursor, &fromHandle}) {
            TMemoryStream out;
            source->SaveToStream(out);
            out.SetPosition(0);
            TCursorIcon back;
            back.LoadFromStream(out);
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(back.Handle(), &info));
            EXPECT_FALSE(info.fIcon);
            EXPECT_EQ(info.xHotspot, c.HotX);
            EXPECT_EQ(info.yHotspot, c.HotY);
            if (info.hbmColor) DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            EXPECT_TRUE(SamePixels(drawn(back), expected));
        }
        // Copies come from cursors only.
        TCursorIcon copy;
        copy.Assign(cursor);
        EXPECT_FALSE(copy.Empty());
        TBitmap bitmap(4, 4);
        EXPECT_THROW(copy.Assign(&bitmap), EConvertError);
    }
}

// A metafile drawing of 40 x 30 units: red ground, a blue box from (10, 10) to (30, 20).
void DrawTestPicture(HDC dc) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT all{0, 0, 40, 30}, box{10, 10, 30, 20};
    FillRect(dc, &all, red);
    FillRect(dc, &box, blue);
    DeleteObject(red);
    DeleteObject(blue);
}

void ExpectTestPicture(TGraphic& metafile, const char* what) {
    auto canvas = Filled(80, 60, clWhite);
    canvas->Canvas().StretchDraw(RECT{0, 0, 80, 60}, metafile);
    EXPECT_EQ(PixelAt(*canvas, 6, 6), RGB(255, 0, 0)) << what;
    EXPECT_EQ(PixelAt(*canvas, 74, 54), RGB(255, 0, 0)) << what;
    EXPECT_EQ(PixelAt(*canvas, 40, 30), RGB(0, 0, 255)) << what;
    EXPECT_EQ(PixelAt(*canvas, 18, 30), RGB(255, 0, 0)) << what;
}

std::vector<uint8_t> WindowsMetafileBits() {
    HDC dc = CreateMetaFileW(nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 40, 30, nullptr);
    DrawTestPicture(dc);
    HMETAFILE metafile = CloseMetaFile(dc);
    std::vector<uint8_t> bits(GetMetaFileBitsEx(metafile, 0, nullptr));
    GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data());
    DeleteMetaFile(metafile);
    return bits;
}

TEST_F(PicturesTest, MetafilesOfEveryKindLoadDrawAndSaveThemselves) {
    HDC screen = GetDC(nullptr);
    const int mmWidth = GetDeviceCaps(screen, HORZSIZE), pixWidth = GetDeviceCaps(screen, HORZRES);
    const int mmHeight = GetDeviceCaps(screen, VERTSIZE), pixHeight = GetDeviceCaps(screen, VERTRES);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    // An enhanced metafile whose frame is 40 x 30 screen pixels.
    const std::string emf = TempPath("varnolet_picture.emf");
    RECT frame{0, 0, MulDiv(40, mmWidth * 100, pixWidth), MulDiv(30, mmHeight * 100, pixHeight)};
    HDC dc = CreateEnhMetaFileA(nullptr, emf.c_str(), &frame, nullptr);
    DrawTestPicture(dc);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    // A plain and a placeable Windows metafile (40 x 30 pixels as 600 x 450 twips).
    const std::vector<uint8_t> bits = WindowsMetafileBits();
    const std::string wmf = TempPath("varnolet_picture.wmf"), placeable = TempPath("varnolet_placeable.wmf");
    WriteBytesToFile(wmf, bits);
    std::vector<uint8_t> header(22, 0);
    const uint32_t key = 0x9AC6CDD7;
    std::memcpy(header.data(), &key, 4);
    const int16_t box[4] = {0, 0, 600, 450};
    std::memcpy(header.data() + 6, box, 8);
    const uint16_t twips = 1440;
    std::memcpy(header.data() + 14, &twips, 2);
    header.insert(header.end(), bits.begin(), bits.end());
    WriteBytesToFile(placeable, header);

    struct TCase {
        std::string File;
        bool Enhanced;
        int Width, Height;
    };
    for (const TCase& c : {TCase{emf, true, 40, 30}, TCase{placeable, false, MulDiv(600, dpi, 1440), MulDiv(450, dpi, 1440)},
                           TCase{wmf, false, 40 * dpi / 96, 30 * dpi / 96}}) {
        SCOPED_TRACE(c.File);
        TPicture picture;
        picture.LoadFromFile(c.File);
        auto* metafile = dynamic_cast<TMetafile*>(picture.Graphic());
        ASSERT_NE(metafile, nullptr);
        EXPECT_EQ(metafile->Enhanced(), c.Enhanced);
        EXPECT_NEAR(metafile->Width(), c.Width, 1);
        EXPECT_NEAR(metafile->Height(), c.Height, 1);
        ExpectTestPicture(*metafile, "loaded");
        // Written in the form it was read in, and read back.
        TMemoryStream out;
        metafile->SaveToStream(out);
        const std::vector<uint8_t>& saved = out.Bytes();
        ASSERT_GE(saved.size(), 44u);
        uint32_t first;
        std::memcpy(&first, saved.data(), 4);
        EXPECT_EQ(first, c.Enhanced ? uint32_t(EMR_HEADER) : key);
        out.SetPosition(0);
        TMetafile back;
        back.LoadFromStream(out);
        EXPECT_EQ(back.Enhanced(), c.Enhanced);
        EXPECT_NEAR(back.Width(), metafile->Width(), 1);
        ExpectTestPicture(back, "read back");
        TMetafile copy;
        copy.Assign(metafile);
        ExpectTestPicture(copy, "copy");
    }
    for (const std::string& f : {emf, wmf, placeable}) DeleteFileA(f.c_str());
}

TEST_F(PicturesTest, FormatsAndClassesAreRegisteredAndRemovedAgain) {
    const struct {
        const char* Extension;
        const TClassInfo* Class;
        std::string Description;
    } formats[] = {
        {"CUR", &TCursorIcon::StaticClass(), "Cursor"},
        {"ico", &TStretchIcon::StaticClass(), "Symbole"},
        {"rle", &TRLEBitmap::StaticClass(), "RLE" + LoadStr(sid::ImageSuffix)},
        {"dib", &TDIBBitmap::StaticClass(), "DIB" + LoadStr(sid::ImageSuffix)},
        {"gif", &TGIFBitmap::StaticClass(), "Graphics Interchange Format"},
        {"pcx", &TPCXBitmap::StaticClass(), "Paintbrush" + LoadStr(sid::ImageSuffix)},
        {"emf", &TMetafile::StaticClass(), "*.emf"},
        {"wmf", &TMetafile::StaticClass(), "*.wmf"},
    };
    EXPECT_EQ(LoadStr(sid::ImageSuffix), " Bild");
    for (const auto& f : formats) {
        const TGraphicFormat* format = FindGraphicFormat(std::string("x.") + f.Extension);
        ASSERT_NE(format, nullptr) << f.Extension;
        EXPECT_EQ(format->Class, f.Class) << f.Extension;
        EXPECT_EQ(GraphicFormatDescription(*format), f.Description) << f.Extension;
    }
    for (const char* name : {"TIcon", "TMetafile", "TCursorIcon", "TStretchIcon", "TBitmap", "TGIFBitmap", "TPCXBitmap",
                             "TRLEBitmap", "TDIBBitmap"}) {
        ASSERT_NE(FindRegisteredGraphicClass(name), nullptr) << name;
        std::unique_ptr<TGraphic> made = CreateGraphic(UpperCase(name));
        ASSERT_NE(made, nullptr) << name;
        EXPECT_EQ(made->ClassName(), name);
    }
    EXPECT_EQ(FindRegisteredGraphicClass("TOtherBitmap"), nullptr);
    EXPECT_EQ(FindComponentClass("TPictureList"), &TPictureList::StaticClass());
    const std::string filter = GraphicFilter(TBitmap::StaticClass(), "Alle");
    EXPECT_NE(filter.find("|Graphics Interchange Format (*.gif)|*.gif"), std::string::npos) << filter;

    UnregisterPictureClasses();
    for (const char* ext : {"cur", "ico", "rle", "dib", "gif", "pcx"})
        EXPECT_EQ(FindGraphicFormat(std::string("x.") + ext), nullptr) << ext;
    EXPECT_NE(FindGraphicFormat("x.bmp"), nullptr);
    EXPECT_NE(FindGraphicFormat("x.emf"), nullptr);
    EXPECT_EQ(FindRegisteredGraphicClass("TGIFBitmap"), nullptr);
    EXPECT_EQ(CreateGraphic("TBitmap"), nullptr);
    TPicture picture;
    EXPECT_THROW(picture.LoadFromFile(DataPath("gif_1x1.gif")), EInvalidGraphic);
}

}  // namespace
