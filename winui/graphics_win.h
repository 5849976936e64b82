// Pictures: the abstract TGraphic, the bitmap (a DIB section with its own canvas), the icon,
// the metafile, TPicture that holds any graphic and loads files by extension, the registry of
// graphic classes by file extension behind the picture loader and the open-dialog filters, and
// the registry of graphic classes by name that picture records are read with. Image readers of
// further formats register their classes here.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/persistent.h"
#include "base/stream.h"
#include "winui/canvas_win.h"

// A picture that can draw itself on a canvas and be read from and written to streams.
// Reading raises EInvalidGraphic (base/exception.h) for data it does not understand.
class TGraphic : public TPersistent {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;
    ~TGraphic() override = default;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    // Draws the picture into Rect of Canvas, stretched to the rectangle's size.
    virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // Reads or writes a whole file through LoadFromStream/SaveToStream.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool transparent);
    // The palette that the picture brings along; null when none.
    virtual HPALETTE Palette() const { return nullptr; }
    virtual void SetPalette(HPALETTE) {}
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    std::function<void(TGraphic& sender)> OnChange;

protected:
    void Changed();

private:
    bool transparent_ = false;
    bool modified_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// A device-independent bitmap (DIB section) with a canvas over a memory device context.
// Reading accepts BMP files of 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, and 4- and
// 8-bit files run-length encoded (RLE4, RLE8), which are decoded into uncompressed bitmaps;
// indexed bitmaps bring a palette of their colour table. Saving writes the bitmap's own
// format, uncompressed. Transparent drawing leaves out TransparentColor (default: the colour of
// the bottom-left pixel).
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pf24bit);
    ~TBitmap() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // From another bitmap: a copy. From a graphic of another kind: the graphic drawn onto a
    // white 24-bit bitmap of its size.
    void Assign(TPersistent* source) override;
    bool Empty() const override { return handle_ == nullptr; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int width) override { SetSize(width, height_); }
    void SetHeight(int height) override { SetSize(width_, height); }
    // Keeps the picture's upper-left part; new parts are white.
    void SetSize(int width, int height);
    TPixelFormat PixelFormat() const { return format_; }
    void SetPixelFormat(TPixelFormat format);
    void Draw(TCanvas& canvas, const RECT& rect) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // Loads a bitmap resource (RT_BITMAP) by name or id from Module.
    void LoadFromResourceName(HMODULE module, const std::string& name);
    void LoadFromResourceID(HMODULE module, int id);
    HPALETTE Palette() const override { return palette_; }
    void SetPalette(HPALETTE palette) override;

    // The bitmap handle; the bitmap stays owned by this object.
    HBITMAP Handle();
    // Takes over Bitmap (any kind: device-dependent bitmaps are converted to a DIB section).
    void SetHandle(HBITMAP bitmap);
    // Gives the bitmap away: the caller owns the returned handle; the object becomes empty.
    HBITMAP ReleaseHandle();
    // The pixels of a DIB section, bottom-up rows of ScanLineSize bytes; null when empty.
    void* Bits() const { return bits_; }
    int ScanLineSize() const;
    uint8_t* ScanLine(int row);

    TCanvas& Canvas();
    TColor TransparentColor();
    void SetTransparentColor(TColor color) { transparentColor_ = color; }
    // A monochrome mask: 1 where the pixel has TransparentColor. The caller frees it.
    HBITMAP CreateMask(TColor transparentColor);

    // Screen colour depth as a format (for pfDevice bitmaps).
    static TPixelFormat ScreenFormat();

private:
    class TBitmapCanvas;
    void AssignGraphic(TGraphic& graphic);
    void FreeImage();
    void MakeDib(int width, int height, TPixelFormat format, const RGBQUAD* colors, int colorCount);

    HBITMAP handle_ = nullptr;
    HPALETTE palette_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    TColor transparentColor_ = clDefault;
    std::unique_ptr<TCanvas> canvas_;
};

// An icon (or cursor) read from an ICO/CUR file: the entry nearest the wanted size is made with
// CreateIconFromResourceEx; the file's bytes are kept for saving. Icons that were handed over
// as handles are written from their bitmaps.
class TIcon : public TGraphic {
public:
    TIcon() = default;
    ~TIcon() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // From another icon: a copy of its handle. From a bitmap: an icon of its pixels, the
    // transparent colour left out when the bitmap is transparent.
    void Assign(TPersistent* source) override;
    bool Empty() const override { return handle_ == nullptr; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Icons have the size of their image; setting it raises EInvalidGraphic.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    void Draw(TCanvas& canvas, const RECT& rect) override;
    void LoadFromStream(TStream& stream) override;
    // The file as it was read; an icon without one as a single-image file of its bitmaps.
    void SaveToStream(TStream& stream) override;
    // A single-image icon file (cursor file for cursors): the image that was made from the file
    // read, or the icon's bitmaps. Raises EInvalidGraphic for an empty icon.
    void SaveSingleImage(TStream& stream);
    bool Transparent() const override { return true; }
    // Loads an icon resource (RT_GROUP_ICON) by id from Module, at the size of its image.
    void LoadFromResourceID(HMODULE module, int id);

    HICON Handle() const { return handle_; }
    // Takes over Icon (the object frees it).
    void SetHandle(HICON icon);
    HICON ReleaseHandle();
    // The size LoadFromStream picks (default: SM_CXICON x SM_CYICON).
    void SetRequestedSize(int width, int height);
    bool IsCursor() const { return cursor_; }

protected:
    // Takes over Icon made from image Index of the icon or cursor file Data (kept for saving);
    // the size is the icon's own.
    void TakeIcon(HICON icon, bool cursor, std::vector<uint8_t> data, int index);

private:
    void AssignBitmap(TBitmap& bitmap);
    void FreeIcon();
    HICON handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int requestedWidth_ = 0;
    int requestedHeight_ = 0;
    bool cursor_ = false;
    std::vector<uint8_t> data_;
    int imageIndex_ = 0;  // the image of data_ that the handle was made from
};

// The real size of an icon or cursor handle: its colour bitmap's size, or, when it has none,
// its mask's width and half its height. (0, 0) for no handle.
SIZE IconHandleSize(HICON icon);
// A single-image icon (Cursor: cursor) file made from the bitmaps of Icon: a 32-bit image with
// its mask, or a two-colour image for icons without colour bitmap. Raises EInvalidGraphic
// (65347) when the icon's bitmaps cannot be read.
std::vector<uint8_t> IconFileFromHandle(HICON icon, bool cursor);

// A metafile, kept as an enhanced metafile: reads enhanced metafiles (EMF), placeable Windows
// metafiles (with the 22-byte header that gives their size) and plain Windows metafiles (WMF),
// and writes itself in the form it was read in (a Windows metafile with placeable header, or
// an enhanced one). Width and height are screen pixels; drawing plays it into the rectangle.
class TMetafile : public TGraphic {
public:
    TMetafile() = default;
    ~TMetafile() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    void Assign(TPersistent* source) override;
    bool Empty() const override { return handle_ == nullptr; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The size the metafile is shown at; it keeps its content.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    void Draw(TCanvas& canvas, const RECT& rect) override;
    // Raises EInvalidGraphic (65348 "Ungültige Metadatei") for data of no metafile kind.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    bool Transparent() const override { return true; }

    HENHMETAFILE Handle() const { return handle_; }
    // Takes over Metafile (the object frees it); the size comes from its frame.
    void SetHandle(HENHMETAFILE metafile);
    // True: written as an enhanced metafile; false: as a placeable Windows metafile.
    bool Enhanced() const { return enhanced_; }
    void SetEnhanced(bool enhanced) { enhanced_ = enhanced; }

private:
    void FreeMetafile();
    void LoadWindowsMetafile(const uint8_t* bits, size_t size, int width, int height, int unitsPerInch);
    HENHMETAFILE handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool enhanced_ = true;
};

// One registered picture format: the file extension (without dot, any case), its description
// for dialog filters, and the class that reads it.
struct TGraphicFormat {
    std::string Extension;
    std::string Description;
    const TClassInfo* Class = nullptr;
    std::function<std::unique_ptr<TGraphic>()> Create;
    // A string-table id whose text follows Description (0: none), loaded when a filter is
    // built so that it follows the active language.
    int DescriptionId = 0;
};

// Registers a format; a later registration of the same extension replaces the earlier one.
// TBitmap ("bmp"), TIcon ("ico") and TMetafile ("emf", "wmf") are registered from the start.
void RegisterGraphicFormat(const std::string& extension, const std::string& description,
                           const TClassInfo& cls, std::function<std::unique_ptr<TGraphic>()> create);
void RegisterGraphicFormat(const std::string& extension, int descriptionId, const TClassInfo& cls,
                           std::function<std::unique_ptr<TGraphic>()> create);
// Description followed by the text of DescriptionId ("RLE" + " Bild").
void RegisterGraphicFormat(const std::string& extension, const std::string& description, int descriptionId,
                           const TClassInfo& cls, std::function<std::unique_ptr<TGraphic>()> create);
// The description text of a format ("*.ext" when it has none).
std::string GraphicFormatDescription(const TGraphicFormat& format);
void UnregisterGraphicClass(const TClassInfo& cls);
const std::vector<TGraphicFormat>& GraphicFormats();
// The format of a file name's extension (case-insensitive); null when none is registered.
const TGraphicFormat* FindGraphicFormat(const std::string& fileName);
// An open-dialog filter of the registered formats whose class inherits from Base:
// "<all>|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|...". AllCaption names the first entry
// (empty: no all-formats entry).
std::string GraphicFilter(const TClassInfo& base, const std::string& allCaption);

// The graphic classes that streams name (the class names of picture records), registered by
// name. A class needs a factory to be registered; registering a name again replaces the class.
void RegisterGraphicClass(const TClassInfo& cls);
void UnregisterGraphicClassName(const TClassInfo& cls);
// The registered class of Name, case-insensitively; null when none.
const TClassInfo* FindRegisteredGraphicClass(const std::string& name);
// A new graphic of the registered class Name; null when none is registered.
std::unique_ptr<TGraphic> CreateGraphic(const std::string& name);

// A holder of any graphic: loads files by extension through the registry, and notifies when
// its graphic changes.
class TPicture : public TPersistent {
public:
    TPicture() = default;
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    void Assign(TPersistent* source) override;
    TGraphic* Graphic() const { return graphic_.get(); }
    // Takes a copy of Graphic (null: empty).
    void SetGraphic(TGraphic* graphic);
    // Takes over Graphic.
    void TakeGraphic(std::unique_ptr<TGraphic> graphic);
    // The graphic as a bitmap or icon; a picture of another kind is replaced by an empty one.
    TBitmap& Bitmap();
    TIcon& Icon();
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    // Raises EInvalidGraphic ("unknown picture extension") for an extension nobody registered.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    std::function<void(TPicture& sender)> OnChange;

private:
    void Changed();
    std::unique_ptr<TGraphic> graphic_;
};
