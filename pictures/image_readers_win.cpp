#include "pictures/image_readers_win.h"

#include <cstring>

#include "base/string_ids.h"
#include "pictures/gif_reader.h"
#include "pictures/icon_stream.h"
#include "pictures/image_error.h"
#include "pictures/pcx_reader.h"
#include "winui/gdi_scope_win.h"

namespace {

void WriteBytes(TMemoryStream& out, const std::vector<uint8_t>& bytes) {
    if (!bytes.empty()) out.WriteBuffer(bytes.data(), bytes.size());
}

// The screen's palette for PCX files of version 3. Screens without a palette (more than 256
// colours) have no system palette to ask; the standard VGA colours stand in for it.
TSystemPalette ScreenPalette() {
    TSystemPalette palette = DefaultSystemPalette();
    TWindowDC screen;
    if (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) {
        PALETTEENTRY entries[256] = {};
        const UINT count = GetSystemPaletteEntries(screen, 0, 256, entries);
        for (UINT i = 0; i < count && i < 256; ++i)
            palette[i] = TBmpQuad{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 1};
    }
    return palette;
}

// The resource form of an icon or cursor image as CreateIconFromResourceEx takes it: cursors
// start with their hot spot, which a cursor file keeps in the directory entry.
std::vector<uint8_t> ResourceBytes(const TIconImage& image, TIconType type) {
    std::vector<uint8_t> bytes;
    if (type == itCursor) {
        const uint16_t hotSpot[2] = {image.Entry.Planes, image.Entry.BitCount};
        bytes.resize(sizeof(hotSpot));
        std::memcpy(bytes.data(), hotSpot, sizeof(hotSpot));
    }
    bytes.insert(bytes.end(), image.Data.begin(), image.Data.end());
    return bytes;
}

// Reads the best image of an icon or cursor file and makes its handle at the image's own size;
// File receives the image as a single-image file.
HICON ReadIconHandle(TStream& stream, TIconType type, std::vector<uint8_t>& file) {
    const TIconImage image = ReadIconStream(stream, type, ScreenColorDepth());
    std::vector<uint8_t> bytes = ResourceBytes(image, type);
    HICON icon = CreateIconFromResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), type == itIcon, 0x00030000,
                                          0, 0, LR_DEFAULTCOLOR);
    if (!icon) throw EInvalidGraphic(sid::InvalidIcon);
    TMemoryStream single;
    WriteIconStream(single, type, image);
    file = single.Bytes();
    return icon;
}

const std::vector<const TClassInfo*>& ReaderClasses() {
    static const std::vector<const TClassInfo*> classes = {
        &TIcon::StaticClass(),      &TMetafile::StaticClass(),  &TCursorIcon::StaticClass(),
        &TStretchIcon::StaticClass(), &TBitmap::StaticClass(),  &TGIFBitmap::StaticClass(),
        &TPCXBitmap::StaticClass(), &TRLEBitmap::StaticClass(), &TDIBBitmap::StaticClass()};
    return classes;
}

// The classes whose file formats this unit registers.
const std::vector<const TClassInfo*>& FormatClasses() {
    static const std::vector<const TClassInfo*> classes = {
        &TCursorIcon::StaticClass(), &TStretchIcon::StaticClass(), &TRLEBitmap::StaticClass(),
        &TDIBBitmap::StaticClass(),  &TGIFBitmap::StaticClass(),   &TPCXBitmap::StaticClass()};
    return classes;
}

template <class T>
std::function<std::unique_ptr<TGraphic>()> Maker() {
    return [] { return std::make_unique<T>(); };
}

}  // namespace

int ScreenColorDepth() {
    TWindowDC screen;
    return GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
}

// --- TOtherBitmap and its formats ---

const TClassInfo& TOtherBitmap::StaticClass() {
    static const TClassInfo info{"TOtherBitmap", &TBitmap::StaticClass(), {}, {}};
    return info;
}

void TOtherBitmap::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    char signature[2] = {};
    const bool bmp = stream.Read(signature, 2) == 2 && signature[0] == 'B' && signature[1] == 'M';
    stream.SetPosition(start);
    if (bmp) {
        TBitmap::LoadFromStream(stream);
        return;
    }
    TMemoryStream converted;
    ConvertToBitmap(stream, converted);
    converted.SetPosition(0);
    TBitmap::LoadFromStream(converted);
}

const TClassInfo& TGIFBitmap::StaticClass() {
    static const TClassInfo info{"TGIFBitmap", &TOtherBitmap::StaticClass(), {}, [] { return new TGIFBitmap(); }};
    return info;
}

void TGIFBitmap::ConvertToBitmap(TStream& source, TMemoryStream& bitmap) { WriteBytes(bitmap, GifToBmp(source)); }

const TClassInfo& TPCXBitmap::StaticClass() {
    static const TClassInfo info{"TPCXBitmap", &TOtherBitmap::StaticClass(), {}, [] { return new TPCXBitmap(); }};
    return info;
}

void TPCXBitmap::ConvertToBitmap(TStream& source, TMemoryStream& bitmap) {
    WriteBytes(bitmap, PcxToBmp(source, ScreenPalette()));
}

const TClassInfo& TRLEBitmap::StaticClass() {
    static const TClassInfo info{"TRLEBitmap", &TBitmap::StaticClass(), {}, [] { return new TRLEBitmap(); }};
    return info;
}

const TClassInfo& TDIBBitmap::StaticClass() {
    static const TClassInfo info{"TDIBBitmap", &TBitmap::StaticClass(), {}, [] { return new TDIBBitmap(); }};
    return info;
}

// --- TStretchIcon ---

const TClassInfo& TStretchIcon::StaticClass() {
    static const TClassInfo info{"TStretchIcon", &TIcon::StaticClass(), {}, [] { return new TStretchIcon(); }};
    return info;
}

void TStretchIcon::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> file;
    HICON icon = ReadIconHandle(stream, itIcon, file);
    TakeIcon(icon, false, std::move(file), 0);
}

void TStretchIcon::Draw(TCanvas& canvas, const RECT& rect) {
    if (!Handle()) return;
    DrawIconEx(canvas.Handle(), rect.left, rect.top, Handle(), rect.right - rect.left, rect.bottom - rect.top, 0,
               nullptr, DI_NORMAL);
}

// --- TCursorIcon ---

TCursorIcon::~TCursorIcon() { FreeCursor(); }

const TClassInfo& TCursorIcon::StaticClass() {
    static const TClassInfo info{"TCursorIcon", &TGraphic::StaticClass(), {}, [] { return new TCursorIcon(); }};
    return info;
}

void TCursorIcon::FreeCursor() {
    if (handle_) DestroyCursor(handle_);
    handle_ = nullptr;
    file_.clear();
}

void TCursorIcon::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TCursorIcon*>(source);
    if (!other) {
        TGraphic::Assign(source);
        return;
    }
    if (other == this) return;
    FreeCursor();
    if (other->handle_) handle_ = CopyIcon(other->handle_);
    file_ = other->file_;
    Changed();
}

// The system cursor size, asked once.
static SIZE SystemCursorSize() {
    static const SIZE size{GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
    return size;
}

int TCursorIcon::Width() const { return SystemCursorSize().cx; }
int TCursorIcon::Height() const { return SystemCursorSize().cy; }

void TCursorIcon::Draw(TCanvas& canvas, const RECT& rect) {
    if (!handle_) return;
    DrawIconEx(canvas.Handle(), rect.left, rect.top, handle_, rect.right - rect.left, rect.bottom - rect.top, 0,
               nullptr, DI_NORMAL);
}

void TCursorIcon::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> file;
    HCURSOR cursor = ReadIconHandle(stream, itCursor, file);
    FreeCursor();
    handle_ = cursor;
    file_ = std::move(file);
    Changed();
}

void TCursorIcon::SaveToStream(TStream& stream) {
    if (!handle_) throw EInvalidGraphic(sid::InvalidIcon);
    const std::vector<uint8_t> file = file_.empty() ? IconFileFromHandle(handle_, true) : file_;
    stream.WriteBuffer(file.data(), file.size());
}

void TCursorIcon::SetHandle(HCURSOR cursor) {
    if (cursor == handle_) return;
    FreeCursor();
    handle_ = cursor;
    Changed();
}

// --- registration ---

void RegisterImageReaders() {
    for (const TClassInfo* cls : ReaderClasses()) RegisterGraphicClass(*cls);
    UnregisterGraphicClass(TIcon::StaticClass());
    RegisterGraphicFormat("CUR", "Cursor", TCursorIcon::StaticClass(), Maker<TCursorIcon>());
    RegisterGraphicFormat("ICO", "Symbole", TStretchIcon::StaticClass(), Maker<TStretchIcon>());
    RegisterGraphicFormat("RLE", "RLE", sid::ImageSuffix, TRLEBitmap::StaticClass(), Maker<TRLEBitmap>());
    RegisterGraphicFormat("DIB", "DIB", sid::ImageSuffix, TDIBBitmap::StaticClass(), Maker<TDIBBitmap>());
    RegisterGraphicFormat("GIF", "Graphics Interchange Format", TGIFBitmap::StaticClass(), Maker<TGIFBitmap>());
    RegisterGraphicFormat("PCX", "Paintbrush", sid::ImageSuffix, TPCXBitmap::StaticClass(), Maker<TPCXBitmap>());
}

void UnregisterImageReaders() {
    for (const TClassInfo* cls : FormatClasses()) UnregisterGraphicClass(*cls);
    for (const TClassInfo* cls : ReaderClasses()) UnregisterGraphicClassName(*cls);
}
