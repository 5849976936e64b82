#include "winui/graphics_win.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <optional>

#include "base/bmp_format.h"
#include "base/safe_file.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "winui/gdi_scope_win.h"

namespace {

// Metafiles beyond this size are refused rather than read.
constexpr int64_t MaxMetafileBytes = int64_t(64) << 20;

std::string LowerExtension(const std::string& fileNameOrExtension) {
    size_t dot = fileNameOrExtension.find_last_of('.');
    size_t slash = fileNameOrExtension.find_last_of("\\/");
    std::string ext = (dot == std::string::npos || (slash != std::string::npos && dot < slash))
                          ? fileNameOrExtension
                          : fileNameOrExtension.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

int BitsOf(TPixelFormat format) {
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
    }
}

TPixelFormat FormatOfBits(int bits) {
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
    }
}

// The default colour table of new indexed bitmaps: black and white, the 16 standard colours,
// or those followed by a grey ramp.
std::vector<RGBQUAD> DefaultColors(int bits) {
    static const COLORREF vga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                     0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                     0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    std::vector<RGBQUAD> colors;
    auto add = [&](COLORREF c) {
        colors.push_back(RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0});
    };
    if (bits == 1) {
        add(0x000000);
        add(0xFFFFFF);
    } else if (bits == 4 || bits == 8) {
        for (COLORREF c : vga) add(c);
        if (bits == 8)
            for (int i = 16; i < 256; ++i) {
                BYTE g = static_cast<BYTE>((i - 16) * 255 / 239);
                add(RGB(g, g, g));
            }
    }
    return colors;
}

int RowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

void ReadExact(TStream& stream, void* buffer, size_t count, int errorId) {
    if (stream.Read(buffer, count) != count) throw EInvalidGraphic(errorId);
}

std::vector<TGraphicFormat>& Formats() {
    static std::vector<TGraphicFormat> formats;
    return formats;
}

void RegisterBuiltinFormats() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterGraphicFormat("bmp", sid::DibDescription, TBitmap::StaticClass(),
                          [] { return std::make_unique<TBitmap>(); });
    RegisterGraphicFormat("ico", std::string(), TIcon::StaticClass(), [] { return std::make_unique<TIcon>(); });
    RegisterGraphicFormat("emf", std::string(), TMetafile::StaticClass(), [] { return std::make_unique<TMetafile>(); });
    RegisterGraphicFormat("wmf", std::string(), TMetafile::StaticClass(), [] { return std::make_unique<TMetafile>(); });
}

// Copies the top-left Width x Height pixels of Bitmap (selected into no DC) onto Dest.
void CopyBitmap(HDC dest, HBITMAP bitmap, int width, int height) {
    TMemoryDC source;
    TSelectObject selected(source, bitmap);
    BitBlt(dest, 0, 0, width, height, source, 0, 0, SRCCOPY);
}

// A logical palette of a colour table.
HPALETTE PaletteOf(const std::vector<RGBQUAD>& colors) {
    if (colors.empty()) return nullptr;
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colors.size());
    for (size_t i = 0; i < colors.size(); ++i)
        palette->palPalEntry[i] = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
    return CreatePalette(palette);
}

}  // namespace

// --- TGraphic ---

const TClassInfo& TGraphic::StaticClass() {
    static const TClassInfo info{"TGraphic", &TPersistent::StaticClass(), {}, {}};
    return info;
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    SaveFileSafely(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

void TGraphic::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Changed();
}

void TGraphic::Changed() {
    modified_ = true;
    if (OnChange) OnChange(*this);
}

// --- TBitmap ---

// The bitmap's memory device context, with the bitmap selected while the canvas lives.
class TBitmap::TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& owner) : owner_(owner) {}
    ~TBitmapCanvas() override { Free(); }
    void Free() {
        if (!memDc_) return;
        SetHandle(nullptr);
        // The selections go before the DC.
        palette_.reset();
        bitmap_.reset();
        memDc_.reset();
    }

protected:
    void CreateHandle() override {
        if (!owner_.handle_) owner_.MakeDib(std::max(owner_.width_, 1), std::max(owner_.height_, 1), owner_.format_, nullptr, 0);
        HDC dc = memDc_.emplace();
        if (!dc) {
            memDc_.reset();
            throw Exception(sid::OutOfResources);
        }
        bitmap_.emplace(dc, owner_.handle_);
        palette_.emplace(dc, owner_.palette_);
        SetHandle(dc);
    }

private:
    TBitmap& owner_;
    std::optional<TMemoryDC> memDc_;
    std::optional<TSelectObject> bitmap_;
    std::optional<TSelectPalette> palette_;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format) { SetSize(width, height); }

TBitmap::~TBitmap() { FreeImage(); }

const TClassInfo& TBitmap::StaticClass() {
    static const TClassInfo info{"TBitmap", &TGraphic::StaticClass(), {}, [] { return new TBitmap(); }};
    return info;
}

void TBitmap::FreeImage() {
    canvas_.reset();
    if (handle_) DeleteObject(handle_);
    if (palette_) DeleteObject(palette_);
    handle_ = nullptr;
    palette_ = nullptr;
    bits_ = nullptr;
}

void TBitmap::MakeDib(int width, int height, TPixelFormat format, const RGBQUAD* colors, int colorCount) {
    if (width <= 0 || height <= 0 || width > MaxBmpSide || height > MaxBmpSide)
        throw EInvalidGraphic(sid::InvalidBitmap);
    int bits = BitsOf(format);
    if (int64_t(RowBytes(width, bits)) * height > MaxBmpPixelBytes) throw EInvalidGraphic(sid::InvalidBitmap);
    std::vector<RGBQUAD> table;
    if (bits <= 8) {
        table = colors ? std::vector<RGBQUAD>(colors, colors + colorCount) : DefaultColors(bits);
        table.resize(size_t(1) << bits);
    }
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + std::max<size_t>(table.size(), 3) * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    header->biClrUsed = static_cast<DWORD>(table.size());
    if (!table.empty()) std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), table.data(), table.size() * sizeof(RGBQUAD));
    if (format == pf16bit || format == pf15bit) {
        // 16-bit sections carry their channel masks: 5-6-5, or 5-5-5 for 15-bit pictures.
        header->biCompression = BI_BITFIELDS;
        const DWORD masks565[3] = {0xF800, 0x07E0, 0x001F};
        const DWORD masks555[3] = {0x7C00, 0x03E0, 0x001F};
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), format == pf15bit ? masks555 : masks565, sizeof(masks565));
    }
    void* pixels = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!dib) throw EInvalidGraphic(sid::OutOfResources);
    FreeImage();
    handle_ = dib;
    bits_ = pixels;
    width_ = width;
    height_ = height;
    format_ = format;
}

void TBitmap::Assign(TPersistent* source) {
    if (!source) {
        FreeImage();
        width_ = height_ = 0;
        Changed();
        return;
    }
    auto* other = dynamic_cast<TBitmap*>(source);
    if (!other) {
        if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
            AssignGraphic(*graphic);
            return;
        }
        TGraphic::Assign(source);
        return;
    }
    if (other == this) return;
    if (other->Empty()) {
        FreeImage();
        width_ = other->width_;
        height_ = other->height_;
        format_ = other->format_;
    } else {
        SetHandle(static_cast<HBITMAP>(CopyImage(other->handle_, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (other->palette_) {
            WORD count = 0;
            GetObjectW(other->palette_, sizeof(count), &count);
            std::vector<uint8_t> buf(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
            auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
            lp->palVersion = 0x300;
            lp->palNumEntries = count;
            GetPaletteEntries(other->palette_, 0, count, lp->palPalEntry);
            palette_ = CreatePalette(lp);
        }
    }
    transparentColor_ = other->transparentColor_;
    SetTransparent(other->Transparent());
    Changed();
}

void TBitmap::AssignGraphic(TGraphic& graphic) {
    const int w = graphic.Width(), h = graphic.Height();
    FreeImage();
    width_ = height_ = 0;
    if (!graphic.Empty() && w > 0 && h > 0) {
        format_ = pf24bit;
        MakeDib(w, h, pf24bit, nullptr, 0);
        TCanvas& canvas = Canvas();
        RECT all{0, 0, w, h};
        ::FillRect(canvas.Handle(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        canvas.StretchDraw(all, graphic);
    }
    Changed();
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && handle_) return;
    if (width <= 0 || height <= 0) {
        FreeImage();
        width_ = std::max(width, 0);
        height_ = std::max(height, 0);
        Changed();
        return;
    }
    TGdiObject<HBITMAP> oldImage;
    int oldWidth = width_, oldHeight = height_;
    if (handle_) {
        oldImage.Reset(handle_);
        canvas_.reset();
        handle_ = nullptr;  // kept for copying below
        if (palette_) DeleteObject(palette_);
        palette_ = nullptr;
        bits_ = nullptr;
    }
    MakeDib(width, height, format_, nullptr, 0);
    HDC dc = Canvas().Handle();
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (oldImage) CopyBitmap(dc, oldImage, std::min(width, oldWidth), std::min(height, oldHeight));
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pfDevice) format = ScreenFormat();
    if (format == format_) return;
    if (!handle_) {
        format_ = format;
        return;
    }
    TGdiObject<HBITMAP> oldImage(ReleaseHandle());
    int w = width_, h = height_;
    format_ = format;
    MakeDib(w, h, format, nullptr, 0);
    CopyBitmap(Canvas().Handle(), oldImage, w, h);
    Changed();
}

TPixelFormat TBitmap::ScreenFormat() {
    TWindowDC screen;
    return FormatOfBits(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES));
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
    if (Empty()) return;
    HDC dest = canvas.Handle();
    TSelectPalette palette(dest, palette_);
    if (Transparent()) {
        canvas.BrushCopy(rect, *this, RECT{0, 0, width_, height_}, TransparentColor());
    } else {
        HDC src = Canvas().Handle();
        SetStretchBltMode(dest, COLORONCOLOR);
        StretchBlt(dest, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, src, 0, 0,
                   width_, height_, canvas.CopyMode());
    }
}

void TBitmap::LoadFromStream(TStream& stream) {
    // The headers and colour table, then the check that the stream holds the pixel rows (or, for
    // run-length encoded files, complete codes): a small file claiming a huge picture is refused
    // before the bitmap is allocated.
    const int64_t start = stream.Position();
    const int64_t fileSize = stream.Remaining();
    std::vector<uint8_t> head(static_cast<size_t>(std::clamp<int64_t>(fileSize, 0, MaxBmpHeadBytes)));
    ReadExact(stream, head.data(), head.size(), sid::InvalidBitmap);
    const TBmpInfo info = ReadBmpHeaders(head.data(), head.size(), fileSize);
    std::vector<RGBQUAD> colors;
    for (const TBmpQuad& q : BmpColorTable(info, head.data(), head.size()))
        colors.push_back(RGBQUAD{q[0], q[1], q[2], q[3]});
    stream.SetPosition(start + info.PixelOffset);
    std::vector<uint8_t> encoded;
    if (info.Rle()) {
        encoded.resize(static_cast<size_t>(info.PixelBytes));
        ReadExact(stream, encoded.data(), encoded.size(), sid::InvalidBitmap);
        CheckBmpRle(info, encoded.data(), encoded.size());
    }

    // 5-5-5 pictures become 16-bit DIB sections with the masks of the file.
    TPixelFormat format = FormatOfBits(info.BitCount);
    if (info.BitCount == 16 && info.Masks[1] == 0x03E0) format = pf15bit;
    MakeDib(info.Width, info.Height, format, colors.empty() ? nullptr : colors.data(), static_cast<int>(colors.size()));
    if (!colors.empty()) palette_ = PaletteOf(colors);
    auto* pixels = static_cast<uint8_t*>(bits_);
    const size_t rowBytes = static_cast<size_t>(info.RowBytes());
    if (info.Rle()) {
        DecodeBmpRle(info, encoded.data(), encoded.size(), pixels);
        Changed();
        return;
    }
    for (int row = 0; row < info.Height; ++row) {
        const int target = info.TopDown ? info.Height - 1 - row : row;
        if (stream.Read(pixels + size_t(target) * rowBytes, rowBytes) != rowBytes) {
            // The stream was shorter than it said.
            FreeImage();
            width_ = height_ = 0;
            throw EInvalidGraphic(sid::InvalidBitmap);
        }
    }
    Changed();
}

void TBitmap::SaveToStream(TStream& stream) {
    if (Empty()) throw EInvalidGraphic(sid::InvalidBitmap);
    GdiFlush();
    DIBSECTION ds{};
    GetObjectW(handle_, sizeof(ds), &ds);
    int bits = ds.dsBmih.biBitCount;
    std::vector<RGBQUAD> colors;
    if (bits <= 8) {
        colors.resize(size_t(1) << bits);
        HDC dc = Canvas().Handle();
        GetDIBColorTable(dc, 0, static_cast<UINT>(colors.size()), colors.data());
    }
    bool fields = bits == 16;
    DWORD masks[3] = {ds.dsBitfields[0], ds.dsBitfields[1], ds.dsBitfields[2]};
    int rowBytes = RowBytes(width_, bits);
    DWORD headerBytes = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + (fields ? 12 : 0) +
                        static_cast<DWORD>(colors.size() * sizeof(RGBQUAD));
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = headerBytes;
    file.bfSize = headerBytes + static_cast<DWORD>(rowBytes) * height_;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width_;
    info.biHeight = height_;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bits);
    info.biCompression = fields ? BI_BITFIELDS : BI_RGB;
    info.biSizeImage = static_cast<DWORD>(rowBytes) * height_;
    info.biClrUsed = static_cast<DWORD>(colors.size());
    stream.WriteBuffer(&file, sizeof(file));
    stream.WriteBuffer(&info, sizeof(info));
    if (fields) stream.WriteBuffer(masks, sizeof(masks));
    if (!colors.empty()) stream.WriteBuffer(colors.data(), colors.size() * sizeof(RGBQUAD));
    stream.WriteBuffer(bits_, static_cast<size_t>(rowBytes) * height_);
}

void TBitmap::LoadFromResourceName(HMODULE module, const std::string& name) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) throw EInvalidGraphic(sid::InvalidBitmap);
    SetHandle(bitmap);
}

void TBitmap::LoadFromResourceID(HMODULE module, int id) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) throw EInvalidGraphic(sid::InvalidBitmap);
    SetHandle(bitmap);
}

void TBitmap::SetPalette(HPALETTE palette) {
    if (palette_ == palette) return;
    canvas_.reset();
    if (palette_) DeleteObject(palette_);
    palette_ = palette;
    Changed();
}

HBITMAP TBitmap::Handle() {
    if (!handle_ && width_ > 0 && height_ > 0) MakeDib(width_, height_, format_, nullptr, 0);
    return handle_;
}

void TBitmap::SetHandle(HBITMAP bitmap) {
    if (bitmap == handle_) return;
    if (!bitmap) {
        FreeImage();
        width_ = height_ = 0;
        Changed();
        return;
    }
    DIBSECTION ds{};
    int got = GetObjectW(bitmap, sizeof(ds), &ds);
    if (got == sizeof(DIBSECTION) && ds.dsBm.bmBits) {
        FreeImage();
        handle_ = bitmap;
        bits_ = ds.dsBm.bmBits;
        width_ = ds.dsBm.bmWidth;
        height_ = std::abs(ds.dsBm.bmHeight);
        format_ = FormatOfBits(ds.dsBmih.biBitCount);
        if (format_ == pf16bit && ds.dsBitfields[0] == 0x7C00) format_ = pf15bit;
    } else {
        BITMAP bm{};
        if (!GetObjectW(bitmap, sizeof(bm), &bm)) throw EInvalidGraphic(sid::InvalidBitmap);
        // A device-dependent bitmap becomes a DIB of its own; the one handed over goes.
        TGdiObject<HBITMAP> taken(bitmap);
        MakeDib(bm.bmWidth, bm.bmHeight, bm.bmBitsPixel == 1 ? pf1bit : pf24bit, nullptr, 0);
        CopyBitmap(Canvas().Handle(), taken, bm.bmWidth, bm.bmHeight);
    }
    Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
    canvas_.reset();
    HBITMAP result = handle_;
    handle_ = nullptr;
    bits_ = nullptr;
    return result;
}

int TBitmap::ScanLineSize() const { return RowBytes(width_, BitsOf(format_)); }

uint8_t* TBitmap::ScanLine(int row) {
    if (!Handle() || row < 0 || row >= height_) throw EInvalidGraphic(sid::ListIndexError, {row});
    GdiFlush();
    return static_cast<uint8_t*>(bits_) + size_t(height_ - 1 - row) * ScanLineSize();
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
    return *canvas_;
}

TColor TBitmap::TransparentColor() {
    if (transparentColor_ != clDefault) return transparentColor_;
    if (Empty()) return clDefault;
    return Canvas().Pixel(0, height_ - 1) & 0xFFFFFF;
}

HBITMAP TBitmap::CreateMask(TColor transparentColor) {
    HDC src = Canvas().Handle();
    HBITMAP mask = CreateBitmap(width_, height_, 1, 1, nullptr);
    TMemoryDC maskDc;
    TSelectObject selected(maskDc, mask);
    // Blitting colour onto monochrome maps the background colour to white, all else to black.
    COLORREF oldBk = SetBkColor(src, ColorToRGB(transparentColor));
    BitBlt(maskDc, 0, 0, width_, height_, src, 0, 0, SRCCOPY);
    SetBkColor(src, oldBk);
    return mask;
}

// --- TIcon ---

namespace {

#pragma pack(push, 1)
struct IconDirEntry {
    BYTE Width;
    BYTE Height;
    BYTE ColorCount;
    BYTE Reserved;
    WORD PlanesOrHotX;
    WORD BitCountOrHotY;
    DWORD BytesInRes;
    DWORD ImageOffset;
};
#pragma pack(pop)

constexpr size_t MaxIconFileSize = size_t(16) << 20;

// The bitmaps GetIconInfo hands out, freed with the object.
struct TIconBitmaps {
    ICONINFO Info{};
    bool Valid = false;
    TGdiObject<HBITMAP> Color;
    TGdiObject<HBITMAP> Mask;
    explicit TIconBitmaps(HICON icon) : Valid(icon && GetIconInfo(icon, &Info)) {
        if (!Valid) return;
        Color.Reset(Info.hbmColor);
        Mask.Reset(Info.hbmMask);
    }
};

// The rows of Bitmap as an uncompressed DIB of Bits bits per pixel, bottom-up, with its info
// header (and, for 1 bit, two colour table entries) in Info.
std::vector<uint8_t> DibRows(HBITMAP bitmap, int width, int height, int bits, std::vector<uint8_t>& info) {
    info.assign(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD), 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    std::vector<uint8_t> rows(size_t(RowBytes(width, bits)) * size_t(height));
    TWindowDC screen;
    int got = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), rows.data(),
                        reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    if (got != height) throw EInvalidGraphic(sid::InvalidIcon);
    return rows;
}

void Append(std::vector<uint8_t>& out, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

// A single-image icon or cursor file around Image, with the directory entry Entry.
std::vector<uint8_t> SingleImageFile(bool cursor, IconDirEntry entry, const uint8_t* image, size_t size) {
    std::vector<uint8_t> file;
    const WORD head[3] = {0, static_cast<WORD>(cursor ? 2 : 1), 1};
    Append(file, head, sizeof(head));
    entry.BytesInRes = static_cast<DWORD>(size);
    entry.ImageOffset = sizeof(head) + sizeof(IconDirEntry);
    Append(file, &entry, sizeof(entry));
    Append(file, image, size);
    return file;
}

}  // namespace

SIZE IconHandleSize(HICON icon) {
    TIconBitmaps bitmaps(icon);
    if (!bitmaps.Valid) return SIZE{0, 0};
    BITMAP bm{};
    if (bitmaps.Info.hbmColor) {
        GetObjectW(bitmaps.Info.hbmColor, sizeof(bm), &bm);
        return SIZE{bm.bmWidth, bm.bmHeight};
    }
    GetObjectW(bitmaps.Info.hbmMask, sizeof(bm), &bm);
    return SIZE{bm.bmWidth, bm.bmHeight / 2};
}

std::vector<uint8_t> IconFileFromHandle(HICON icon, bool cursor) {
    TIconBitmaps bitmaps(icon);
    if (!bitmaps.Valid || !bitmaps.Info.hbmMask) throw EInvalidGraphic(sid::InvalidIcon);
    BITMAP mask{};
    GetObjectW(bitmaps.Info.hbmMask, sizeof(mask), &mask);
    const int width = mask.bmWidth;
    const bool colored = bitmaps.Info.hbmColor != nullptr;
    const int height = colored ? mask.bmHeight : mask.bmHeight / 2;
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024) throw EInvalidGraphic(sid::InvalidIcon);
    std::vector<uint8_t> image, info;
    if (colored) {
        // 32-bit colour rows, then the mask rows; the header names the doubled height.
        std::vector<uint8_t> colorRows = DibRows(bitmaps.Info.hbmColor, width, height, 32, info);
        std::vector<uint8_t> maskInfo;
        std::vector<uint8_t> maskRows = DibRows(bitmaps.Info.hbmMask, width, height, 1, maskInfo);
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
        header->biHeight = height * 2;
        header->biSizeImage = static_cast<DWORD>(colorRows.size() + maskRows.size());
        header->biClrUsed = 0;
        Append(image, header, sizeof(BITMAPINFOHEADER));
        Append(image, colorRows.data(), colorRows.size());
        Append(image, maskRows.data(), maskRows.size());
    } else {
        // A two-colour icon: its mask bitmap holds the AND rows over the XOR rows, which
        // bottom-up is the image's order (XOR rows first, then AND rows).
        std::vector<uint8_t> rows = DibRows(bitmaps.Info.hbmMask, width, height * 2, 1, info);
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
        header->biSizeImage = static_cast<DWORD>(rows.size());
        header->biClrUsed = 2;
        Append(image, info.data(), info.size());
        Append(image, rows.data(), rows.size());
    }
    IconDirEntry entry{};
    entry.Width = static_cast<BYTE>(width >= 256 ? 0 : width);
    entry.Height = static_cast<BYTE>(height >= 256 ? 0 : height);
    entry.ColorCount = colored ? 0 : 2;
    entry.PlanesOrHotX = static_cast<WORD>(cursor ? bitmaps.Info.xHotspot : 1);
    entry.BitCountOrHotY = static_cast<WORD>(cursor ? bitmaps.Info.yHotspot : (colored ? 32 : 1));
    return SingleImageFile(cursor, entry, image.data(), image.size());
}

TIcon::~TIcon() { FreeIcon(); }

const TClassInfo& TIcon::StaticClass() {
    static const TClassInfo info{"TIcon", &TGraphic::StaticClass(), {}, [] { return new TIcon(); }};
    return info;
}

void TIcon::FreeIcon() {
    if (handle_) {
        if (cursor_)
            DestroyCursor(handle_);
        else
            DestroyIcon(handle_);
    }
    handle_ = nullptr;
    width_ = height_ = 0;
}

void TIcon::Assign(TPersistent* source) {
    if (!source) {
        FreeIcon();
        data_.clear();
        Changed();
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        AssignBitmap(*bitmap);
        return;
    }
    auto* other = dynamic_cast<TIcon*>(source);
    if (!other) {
        TGraphic::Assign(source);
        return;
    }
    if (other == this) return;
    FreeIcon();
    data_ = other->data_;
    imageIndex_ = other->imageIndex_;
    cursor_ = other->cursor_;
    if (other->handle_) {
        handle_ = CopyIcon(other->handle_);
        width_ = other->width_;
        height_ = other->height_;
    }
    Changed();
}

void TIcon::AssignBitmap(TBitmap& bitmap) {
    if (bitmap.Empty()) {
        FreeIcon();
        data_.clear();
        Changed();
        return;
    }
    const int w = bitmap.Width(), h = bitmap.Height();
    // The colour part: a copy of the bitmap whose transparent pixels are black, so that the
    // mask's screen XOR leaves the background there.
    TBitmap color(w, h, pf24bit);
    BitBlt(color.Canvas().Handle(), 0, 0, w, h, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
    TGdiObject<HBITMAP> mask(bitmap.Transparent() ? bitmap.CreateMask(bitmap.TransparentColor())
                                                  : CreateBitmap(w, h, 1, 1, nullptr));
    {
        TMemoryDC maskDc;
        TSelectObject selected(maskDc, mask);
        if (bitmap.Transparent()) {
            HDC dc = color.Canvas().Handle();
            COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
            COLORREF oldBk = SetBkColor(dc, RGB(0, 0, 0));
            BitBlt(dc, 0, 0, w, h, maskDc, 0, 0, SRCAND);
            SetTextColor(dc, oldText);
            SetBkColor(dc, oldBk);
        } else {
            PatBlt(maskDc, 0, 0, w, h, BLACKNESS);
        }
    }
    // The icon is made of bitmaps that no device context holds; it copies them.
    TGdiObject<HBITMAP> colorBitmap(color.ReleaseHandle());
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colorBitmap;
    HICON icon = CreateIconIndirect(&info);
    if (!icon) throw EInvalidGraphic(sid::InvalidIcon);
    SetHandle(icon);
}

void TIcon::SetWidth(int) { throw EInvalidGraphic(sid::InvalidIconSize); }
void TIcon::SetHeight(int) { throw EInvalidGraphic(sid::InvalidIconSize); }

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
    if (!handle_) return;
    DrawIconEx(canvas.Handle(), rect.left, rect.top, handle_, rect.right - rect.left, rect.bottom - rect.top, 0,
               nullptr, DI_NORMAL);
}

void TIcon::SetRequestedSize(int width, int height) {
    requestedWidth_ = width;
    requestedHeight_ = height;
}

void TIcon::LoadFromStream(TStream& stream) {
    int64_t remaining = stream.Size() - stream.Position();
    if (remaining < 6 || remaining > static_cast<int64_t>(MaxIconFileSize)) throw EInvalidGraphic(sid::InvalidIcon);
    std::vector<uint8_t> data(static_cast<size_t>(remaining));
    ReadExact(stream, data.data(), data.size(), sid::InvalidIcon);
    WORD reserved, type, count;
    std::memcpy(&reserved, &data[0], 2);
    std::memcpy(&type, &data[2], 2);
    std::memcpy(&count, &data[4], 2);
    if (reserved != 0 || (type != 1 && type != 2) || count == 0 || data.size() < 6 + size_t(count) * sizeof(IconDirEntry))
        throw EInvalidGraphic(sid::InvalidIcon);
    int wantW = requestedWidth_ ? requestedWidth_ : GetSystemMetrics(SM_CXICON);
    int wantH = requestedHeight_ ? requestedHeight_ : GetSystemMetrics(SM_CYICON);
    int best = -1;
    long bestScore = 0;
    for (int i = 0; i < count; ++i) {
        IconDirEntry e;
        std::memcpy(&e, &data[6 + size_t(i) * sizeof(e)], sizeof(e));
        if (e.ImageOffset >= data.size() || e.BytesInRes == 0 || e.BytesInRes > data.size() - e.ImageOffset)
            continue;
        int w = e.Width ? e.Width : 256, h = e.Height ? e.Height : 256;
        int depth = type == 1 ? e.BitCountOrHotY : 0;
        // Nearest size first, then the most colours.
        long score = (std::abs(w - wantW) + std::abs(h - wantH)) * 1000L - depth;
        if (best < 0 || score < bestScore) {
            best = i;
            bestScore = score;
        }
    }
    if (best < 0) throw EInvalidGraphic(sid::InvalidIcon);
    IconDirEntry e;
    std::memcpy(&e, &data[6 + size_t(best) * sizeof(e)], sizeof(e));
    int w = e.Width ? e.Width : 256, h = e.Height ? e.Height : 256;
    std::vector<uint8_t> image;
    if (type == 2) {
        // Cursor resources start with the hot spot.
        WORD hot[2] = {e.PlanesOrHotX, e.BitCountOrHotY};
        image.resize(4);
        std::memcpy(image.data(), hot, 4);
    }
    image.insert(image.end(), data.begin() + e.ImageOffset, data.begin() + e.ImageOffset + e.BytesInRes);
    HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), type == 1, 0x00030000, w, h, 0);
    if (!icon) throw EInvalidGraphic(sid::InvalidIcon);
    TakeIcon(icon, type == 2, std::move(data), best);
    width_ = w;
    height_ = h;
}

void TIcon::TakeIcon(HICON icon, bool cursor, std::vector<uint8_t> data, int index) {
    FreeIcon();
    handle_ = icon;
    cursor_ = cursor;
    const SIZE size = IconHandleSize(icon);
    width_ = size.cx;
    height_ = size.cy;
    data_ = std::move(data);
    imageIndex_ = index;
    Changed();
}

void TIcon::SaveToStream(TStream& stream) {
    if (!data_.empty()) {
        stream.WriteBuffer(data_.data(), data_.size());
        return;
    }
    if (!handle_) throw EInvalidGraphic(sid::InvalidIcon);
    const std::vector<uint8_t> file = IconFileFromHandle(handle_, cursor_);
    stream.WriteBuffer(file.data(), file.size());
}

void TIcon::SaveSingleImage(TStream& stream) {
    std::vector<uint8_t> file;
    if (!data_.empty()) {
        // The image the handle was made from, with its own directory entry. LoadFromStream and
        // TakeIcon's callers checked that it lies within the data.
        IconDirEntry entry;
        std::memcpy(&entry, &data_[6 + size_t(imageIndex_) * sizeof(entry)], sizeof(entry));
        file = SingleImageFile(cursor_, entry, data_.data() + entry.ImageOffset, entry.BytesInRes);
    } else {
        if (!handle_) throw EInvalidGraphic(sid::InvalidIcon);
        file = IconFileFromHandle(handle_, cursor_);
    }
    stream.WriteBuffer(file.data(), file.size());
}

void TIcon::LoadFromResourceID(HMODULE module, int id) {
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    if (!icon) throw EInvalidGraphic(sid::InvalidIcon);
    SetHandle(icon);
}

void TIcon::SetHandle(HICON icon) {
    FreeIcon();
    data_.clear();
    imageIndex_ = 0;
    cursor_ = false;
    handle_ = icon;
    if (icon) {
        const SIZE size = IconHandleSize(icon);
        width_ = size.cx;
        height_ = size.cy;
        TIconBitmaps bitmaps(icon);
        cursor_ = bitmaps.Valid && !bitmaps.Info.fIcon;
    }
    Changed();
}

HICON TIcon::ReleaseHandle() {
    HICON result = handle_;
    handle_ = nullptr;
    width_ = height_ = 0;
    data_.clear();
    return result;
}

// --- TMetafile ---

namespace {

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;

#pragma pack(push, 1)
// The header in front of a placeable Windows metafile: its bounding box in units of Inch per inch.
struct PlaceableHeader {
    DWORD Key;
    WORD Handle;
    SHORT Left;
    SHORT Top;
    SHORT Right;
    SHORT Bottom;
    WORD Inch;
    DWORD Reserved;
    WORD Checksum;
};
#pragma pack(pop)

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
int Le16(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

// The window extent a Windows metafile sets (its first META_SETWINDOWEXT record), which is
// the size of its drawing in logical units; false when it sets none.
bool WindowExtent(const uint8_t* data, size_t size, int& width, int& height) {
    constexpr int SetWindowExtFunction = 0x020C;
    size_t pos = 18;  // after the header of 9 words
    while (pos + 6 <= size) {
        const uint64_t recordSize = uint64_t(Le32(data + pos)) * 2;
        if (recordSize < 6 || recordSize > size - pos) return false;
        const int function = Le16(data + pos + 4);
        if (function == 0) return false;  // the end record
        if (function == SetWindowExtFunction && recordSize >= 10) {
            // The parameters are stored in reverse order: y, then x.
            height = Le16(data + pos + 6);
            width = Le16(data + pos + 8);
            return width > 0 && height > 0;
        }
        pos += static_cast<size_t>(recordSize);
    }
    return false;
}

// Screen pixels of a length in 0.01 mm, horizontally or vertically.
int HundredthsMmToPixels(int length, bool horizontal) {
    TWindowDC screen;
    int pixels = GetDeviceCaps(screen, horizontal ? HORZRES : VERTRES);
    int mm = GetDeviceCaps(screen, horizontal ? HORZSIZE : VERTSIZE);
    return mm > 0 ? MulDiv(length, pixels, mm * 100) : 0;
}

}  // namespace

TMetafile::~TMetafile() { FreeMetafile(); }

const TClassInfo& TMetafile::StaticClass() {
    static const TClassInfo info{"TMetafile", &TGraphic::StaticClass(), {}, [] { return new TMetafile(); }};
    return info;
}

void TMetafile::FreeMetafile() {
    if (handle_) DeleteEnhMetaFile(handle_);
    handle_ = nullptr;
}

void TMetafile::Assign(TPersistent* source) {
    if (!source) {
        FreeMetafile();
        width_ = height_ = 0;
        Changed();
        return;
    }
    auto* other = dynamic_cast<TMetafile*>(source);
    if (!other) {
        TGraphic::Assign(source);
        return;
    }
    if (other == this) return;
    FreeMetafile();
    if (other->handle_) handle_ = CopyEnhMetaFileW(other->handle_, nullptr);
    width_ = other->width_;
    height_ = other->height_;
    enhanced_ = other->enhanced_;
    Changed();
}

void TMetafile::SetWidth(int width) {
    if (width == width_) return;
    width_ = std::max(width, 0);
    Changed();
}

void TMetafile::SetHeight(int height) {
    if (height == height_) return;
    height_ = std::max(height, 0);
    Changed();
}

void TMetafile::Draw(TCanvas& canvas, const RECT& rect) {
    if (!handle_) return;
    PlayEnhMetaFile(canvas.Handle(), handle_, &rect);
}

void TMetafile::SetHandle(HENHMETAFILE metafile) {
    if (metafile == handle_) return;
    FreeMetafile();
    handle_ = metafile;
    width_ = height_ = 0;
    ENHMETAHEADER header{};
    if (metafile && GetEnhMetaFileHeader(metafile, sizeof(header), &header)) {
        width_ = HundredthsMmToPixels(header.rclFrame.right - header.rclFrame.left, true);
        height_ = HundredthsMmToPixels(header.rclFrame.bottom - header.rclFrame.top, false);
    }
    Changed();
}

void TMetafile::LoadWindowsMetafile(const uint8_t* bits, size_t size, int width, int height, int unitsPerInch) {
    // The Windows metafile is played anisotropically into its box, whose extent in 0.01 mm is
    // what the placeable header gives; without one, the platform takes the metafile's own size.
    METAFILEPICT picture{};
    picture.mm = MM_ANISOTROPIC;
    const METAFILEPICT* pictureOrNull = nullptr;
    if (unitsPerInch > 0) {
        picture.xExt = MulDiv(width, 2540, unitsPerInch);
        picture.yExt = MulDiv(height, 2540, unitsPerInch);
        pictureOrNull = &picture;
    }
    TWindowDC screen;
    HENHMETAFILE metafile = SetWinMetaFileBits(static_cast<UINT>(size), bits, screen, pictureOrNull);
    if (!metafile) throw EInvalidGraphic(sid::InvalidMetafile);
    SetHandle(metafile);
    if (unitsPerInch > 0) {
        width_ = MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), unitsPerInch);
        height_ = MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), unitsPerInch);
    }
    enhanced_ = false;
}

void TMetafile::LoadFromStream(TStream& stream) {
    const int64_t remaining = stream.Size() - stream.Position();
    if (remaining < 18 || remaining > MaxMetafileBytes) throw EInvalidGraphic(sid::InvalidMetafile);
    std::vector<uint8_t> data(static_cast<size_t>(remaining));
    ReadExact(stream, data.data(), data.size(), sid::InvalidMetafile);
    // An enhanced metafile opens with its header record (type 1) carrying " EMF" at offset 40.
    if (data.size() >= sizeof(ENHMETAHEADER) && Le32(data.data()) == EMR_HEADER && Le32(data.data() + 40) == ENHMETA_SIGNATURE) {
        HENHMETAFILE metafile = SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data());
        if (!metafile) throw EInvalidGraphic(sid::InvalidMetafile);
        SetHandle(metafile);
        enhanced_ = true;
        return;
    }
    if (Le32(data.data()) == PlaceableKey) {
        PlaceableHeader header;
        if (data.size() < sizeof(header) + 18) throw EInvalidGraphic(sid::InvalidMetafile);
        std::memcpy(&header, data.data(), sizeof(header));
        const int width = header.Right - header.Left, height = header.Bottom - header.Top;
        if (header.Inch == 0 || width <= 0 || height <= 0) throw EInvalidGraphic(sid::InvalidMetafile);
        LoadWindowsMetafile(data.data() + sizeof(header), data.size() - sizeof(header), width, height, header.Inch);
        return;
    }
    // A plain Windows metafile: type 1 (memory) or 2 (disk), header of 9 words, version 0x300 or 0x100.
    WORD type, headerWords, version;
    std::memcpy(&type, data.data(), 2);
    std::memcpy(&headerWords, data.data() + 2, 2);
    std::memcpy(&version, data.data() + 4, 2);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x300 && version != 0x100))
        throw EInvalidGraphic(sid::InvalidMetafile);
    // Without a placeable header the drawing's window extent gives the size, taken as screen
    // pixels; a metafile that sets none is sized by the platform.
    int width = 0, height = 0;
    if (WindowExtent(data.data(), data.size(), width, height)) {
        const int dpi = GetDeviceCaps(TWindowDC(), LOGPIXELSX);
        LoadWindowsMetafile(data.data(), data.size(), width, height, dpi);
    } else {
        LoadWindowsMetafile(data.data(), data.size(), 0, 0, 0);
    }
}

void TMetafile::SaveToStream(TStream& stream) {
    if (!handle_) throw EInvalidGraphic(sid::InvalidMetafile);
    if (enhanced_) {
        UINT size = GetEnhMetaFileBits(handle_, 0, nullptr);
        if (size == 0) throw EInvalidGraphic(sid::InvalidMetafile);
        std::vector<uint8_t> data(size);
        GetEnhMetaFileBits(handle_, size, data.data());
        stream.WriteBuffer(data.data(), data.size());
        return;
    }
    // A placeable Windows metafile in units of the screen's pixels per inch.
    TWindowDC screen;
    const int inch = GetDeviceCaps(screen, LOGPIXELSX);
    UINT size = GetWinMetaFileBits(handle_, 0, nullptr, MM_ANISOTROPIC, screen);
    std::vector<uint8_t> data(size);
    if (size) GetWinMetaFileBits(handle_, size, data.data(), MM_ANISOTROPIC, screen);
    if (size == 0) throw EInvalidGraphic(sid::InvalidMetafile);
    PlaceableHeader header{};
    header.Key = PlaceableKey;
    header.Right = static_cast<SHORT>(std::min(width_, 32767));
    header.Bottom = static_cast<SHORT>(std::min(height_, 32767));
    header.Inch = static_cast<WORD>(inch);
    const WORD* words = reinterpret_cast<const WORD*>(&header);
    for (size_t i = 0; i < offsetof(PlaceableHeader, Checksum) / 2; ++i) header.Checksum ^= words[i];
    stream.WriteBuffer(&header, sizeof(header));
    stream.WriteBuffer(data.data(), data.size());
}

// --- format registry ---

void RegisterGraphicFormat(const std::string& extension, const std::string& description, const TClassInfo& cls,
                           std::function<std::unique_ptr<TGraphic>()> create) {
    RegisterBuiltinFormats();
    std::string ext = LowerExtension(extension);
    auto& formats = Formats();
    TGraphicFormat format{ext, description, &cls, std::move(create), 0};
    for (auto& f : formats)
        if (f.Extension == ext) {
            f = std::move(format);
            return;
        }
    formats.push_back(std::move(format));
}

void RegisterGraphicFormat(const std::string& extension, int descriptionId, const TClassInfo& cls,
                           std::function<std::unique_ptr<TGraphic>()> create) {
    RegisterGraphicFormat(extension, std::string(), descriptionId, cls, std::move(create));
}

void RegisterGraphicFormat(const std::string& extension, const std::string& description, int descriptionId,
                           const TClassInfo& cls, std::function<std::unique_ptr<TGraphic>()> create) {
    RegisterGraphicFormat(extension, description, cls, std::move(create));
    for (auto& f : Formats())
        if (f.Extension == LowerExtension(extension)) f.DescriptionId = descriptionId;
}

void UnregisterGraphicClass(const TClassInfo& cls) {
    RegisterBuiltinFormats();
    auto& formats = Formats();
    formats.erase(std::remove_if(formats.begin(), formats.end(), [&](const TGraphicFormat& f) { return f.Class == &cls; }),
                  formats.end());
}

const std::vector<TGraphicFormat>& GraphicFormats() {
    RegisterBuiltinFormats();
    return Formats();
}

const TGraphicFormat* FindGraphicFormat(const std::string& fileName) {
    std::string ext = LowerExtension(fileName);
    for (const auto& f : GraphicFormats())
        if (f.Extension == ext) return &f;
    return nullptr;
}

std::string GraphicFormatDescription(const TGraphicFormat& format) {
    std::string text = format.Description;
    if (format.DescriptionId) text += LoadStr(format.DescriptionId);
    return text.empty() ? "*." + format.Extension : text;
}

std::string GraphicFilter(const TClassInfo& base, const std::string& allCaption) {
    std::string all, entries;
    for (const auto& f : GraphicFormats()) {
        if (!f.Class || !f.Class->InheritsFrom(base)) continue;
        std::string mask = "*." + f.Extension;
        if (!all.empty()) all += ';';
        all += mask;
        entries += "|" + GraphicFormatDescription(f) + " (" + mask + ")|" + mask;
    }
    if (allCaption.empty()) return entries.empty() ? std::string() : entries.substr(1);
    return allCaption + " (" + all + ")|" + all + entries;
}

// --- graphic classes by name ---

namespace {

std::vector<const TClassInfo*>& GraphicClasses() {
    static std::vector<const TClassInfo*> classes;
    return classes;
}

}  // namespace

void RegisterGraphicClass(const TClassInfo& cls) {
    if (!cls.Create) throw EInvalidGraphic(sid::InvalidImageFormat);
    auto& classes = GraphicClasses();
    for (auto& c : classes)
        if (SameText(c->Name, cls.Name)) {
            c = &cls;
            return;
        }
    classes.push_back(&cls);
}

void UnregisterGraphicClassName(const TClassInfo& cls) {
    auto& classes = GraphicClasses();
    classes.erase(std::remove(classes.begin(), classes.end(), &cls), classes.end());
}

const TClassInfo* FindRegisteredGraphicClass(const std::string& name) {
    for (const TClassInfo* c : GraphicClasses())
        if (SameText(c->Name, name)) return c;
    return nullptr;
}

std::unique_ptr<TGraphic> CreateGraphic(const std::string& name) {
    const TClassInfo* cls = FindRegisteredGraphicClass(name);
    if (!cls) return nullptr;
    std::unique_ptr<TPersistent> object(cls->Create());
    auto* graphic = dynamic_cast<TGraphic*>(object.get());
    if (!graphic) return nullptr;
    object.release();
    return std::unique_ptr<TGraphic>(graphic);
}

// --- TPicture ---

TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (OnChange) OnChange(*this);
}

void TPicture::Assign(TPersistent* source) {
    if (!source) {
        graphic_.reset();
        Changed();
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(source)) {
        SetGraphic(picture->Graphic());
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(source);
}

void TPicture::SetGraphic(TGraphic* graphic) {
    if (!graphic) {
        graphic_.reset();
        Changed();
        return;
    }
    if (graphic == graphic_.get()) return;
    const TClassInfo& cls = graphic->ClassType();
    if (!cls.Create) throw EInvalidGraphic(sid::InvalidImageFormat);
    std::unique_ptr<TGraphic> copy(static_cast<TGraphic*>(cls.Create()));
    copy->Assign(graphic);
    TakeGraphic(std::move(copy));
}

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (graphic_) graphic_->OnChange = [this](TGraphic&) { Changed(); };
    Changed();
}

TBitmap& TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(graphic_.get())) TakeGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap&>(*graphic_);
}

TIcon& TPicture::Icon() {
    if (!dynamic_cast<TIcon*>(graphic_.get())) TakeGraphic(std::make_unique<TIcon>());
    return static_cast<TIcon&>(*graphic_);
}

void TPicture::LoadFromFile(const std::string& fileName) {
    const TGraphicFormat* format = FindGraphicFormat(fileName);
    if (!format || !format->Create) throw EInvalidGraphic(sid::UnknownPictureExtension, {LowerExtension(fileName)});
    std::unique_ptr<TGraphic> graphic = format->Create();
    graphic->LoadFromFile(fileName);
    TakeGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}
