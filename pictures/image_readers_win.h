// The image formats the picture lists and the picture list editor read beyond the framework's
// bitmap, icon and metafile: GIF and PCX files converted into bitmaps while loading, bitmaps
// under the extensions RLE and DIB, icons that draw at any size and cursors; and their
// registration with the picture loader (by extension) and the graphic classes (by name).
#pragma once

#include <windows.h>

#include <vector>

#include "base/stream.h"
#include "winui/graphics_win.h"

// The base of bitmap formats that are converted into a BMP file image while loading. Saving is
// the bitmap's own (a BMP file), and a BMP file image is read back as it is, so that such a
// bitmap reads what it writes.
class TOtherBitmap : public TBitmap {
public:
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    void LoadFromStream(TStream& stream) override;

protected:
    // Writes the BMP file image of the picture in Source (from its position) into Bitmap.
    // Raises EInvalidGraphic for a source of the wrong format.
    virtual void ConvertToBitmap(TStream& source, TMemoryStream& bitmap) = 0;
};

// A GIF file, its first image, as an 8-bit bitmap. Raises EInvalidGraphic with 65278
// ("Ungültiges GIF-Bild-Format") or 65248 ("Ungültiges Bildformat").
class TGIFBitmap : public TOtherBitmap {
public:
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

protected:
    void ConvertToBitmap(TStream& source, TMemoryStream& bitmap) override;
};

// A PCX (Paintbrush) file as a bitmap; files of version 3 take the screen's palette. Raises
// EInvalidGraphic with 65279 ("Ungültiges PCX-Bild-Format") or 65248.
class TPCXBitmap : public TOtherBitmap {
public:
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

protected:
    void ConvertToBitmap(TStream& source, TMemoryStream& bitmap) override;
};

// A BMP file under the extension RLE (usually run-length encoded); no behaviour of its own.
class TRLEBitmap : public TBitmap {
public:
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

// A BMP file under the extension DIB; no behaviour of its own.
class TDIBBitmap : public TBitmap {
public:
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

// An icon that has the size of its real icon bitmap (not the system icon size) and draws
// stretched to any rectangle. Of several images in a file it takes the one that suits the
// screen's colour depth best.
class TStretchIcon : public TIcon {
public:
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // Reads an icon file (type 1); raises EInvalidGraphic (65347 "Ungültiges Symbol") for
    // another type or damaged data.
    void LoadFromStream(TStream& stream) override;
    // Into the whole rectangle, normal mode, no background brush.
    void Draw(TCanvas& canvas, const RECT& rect) override;
};

// A cursor: one cursor handle, read from and written to cursor files (type 2). Its width and
// height are the system cursor size; setting them does nothing.
class TCursorIcon : public TGraphic {
public:
    TCursorIcon() = default;
    ~TCursorIcon() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // From another cursor: a copy of its handle; any other source is refused.
    void Assign(TPersistent* source) override;
    bool Empty() const override { return handle_ == nullptr; }
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    void Draw(TCanvas& canvas, const RECT& rect) override;
    // Raises EInvalidGraphic (65347 "Ungültiges Symbol") for a stream that is no cursor file.
    void LoadFromStream(TStream& stream) override;
    // A single-image cursor file: the image that was read, or the handle's bitmaps.
    void SaveToStream(TStream& stream) override;
    bool Transparent() const override { return true; }

    HCURSOR Handle() const { return handle_; }
    // Takes over Cursor (destroyed with the object or when replaced).
    void SetHandle(HCURSOR cursor);

private:
    void FreeCursor();
    HCURSOR handle_ = nullptr;
    std::vector<uint8_t> file_;  // the single-image file the handle was made from; empty when handed over
};

// The colour depth of the screen (planes times bits per pixel), by which icon images are chosen.
int ScreenColorDepth();

// Start-up: registers the nine graphic classes by name (TIcon, TMetafile, TCursorIcon,
// TStretchIcon, TBitmap, TGIFBitmap, TPCXBitmap, TRLEBitmap, TDIBBitmap), takes the icon class
// off the extension ICO and registers the formats CUR, ICO, RLE, DIB, GIF and PCX with the
// picture loader. Program end: removes the six formats and the nine classes again.
void RegisterImageReaders();
void UnregisterImageReaders();
