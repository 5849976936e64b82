#include "pictures/pcx_reader.h"

#include <algorithm>
#include <cstring>

#include "pictures/image_error.h"

namespace {

constexpr size_t HeaderSize = 128;
constexpr size_t TrailingPaletteSize = 768;

[[noreturn]] void InvalidPcx() { throw EInvalidImage(sid::InvalidPcxFormat); }

uint32_t Word(const uint8_t* p) { return p[0] | (p[1] << 8); }

// How a scan line is laid out, and what BMP it becomes. A layout the reader does not know
// gives a blank picture of the file's size, as a Paintbrush file of another program would.
enum TPcxLayout { plPacked, plBitPlanes, plRgbPlanes, plUnknown };

// A BMP that is this many times larger than its file is a header claiming a picture the file
// never held; it is refused before anything is allocated. Run-length data expands at most 32
// times, so this leaves room for files cut off far before their end.
constexpr uint64_t MaxExpansion = 1024;

TPcxLayout LayoutOf(const TPcxHeader& h) {
    if (h.Planes == 1 && (h.BitsPerPixel == 1 || h.BitsPerPixel == 2 || h.BitsPerPixel == 4 || h.BitsPerPixel == 8))
        return plPacked;
    if (h.BitsPerPixel == 1 && h.Planes >= 2 && h.Planes <= 4) return plBitPlanes;
    if (h.BitsPerPixel == 8 && (h.Planes == 3 || h.Planes == 4)) return plRgbPlanes;  // a 4th plane is alpha
    return plUnknown;
}

int BmpBitsOf(const TPcxHeader& h, TPcxLayout layout) {
    switch (layout) {
        case plRgbPlanes: return 24;
        case plBitPlanes: return 4;
        case plPacked: return h.BitsPerPixel == 2 ? 4 : h.BitsPerPixel;
        case plUnknown: break;
    }
    return h.BitCount <= 1 ? 1 : h.BitCount <= 4 ? 4 : h.BitCount <= 8 ? 8 : 24;
}

// Run-length decoded (or plain) bytes from offset 128 into whole scan lines.
class TLineDecoder {
public:
    TLineDecoder(const uint8_t* data, size_t size, bool encoded)
        : data_(data), size_(size), pos_(HeaderSize), encoded_(encoded) {}

    // Fills Line; false when the data ends first. A run that goes past the end of the line
    // goes on in the next one.
    bool Next(std::vector<uint8_t>& line) {
        size_t filled = 0;
        while (filled < line.size()) {
            if (runLeft_ == 0) {
                if (pos_ >= size_) return false;
                uint8_t b = data_[pos_++];
                runLeft_ = 1;
                if (encoded_ && (b & 0xC0) == 0xC0) {
                    if (pos_ >= size_) return false;
                    runLeft_ = b & 0x3F;
                    b = data_[pos_++];
                }
                runValue_ = b;
                if (runLeft_ == 0) continue;
            }
            const size_t n = std::min(runLeft_, line.size() - filled);
            std::memset(line.data() + filled, runValue_, n);
            filled += n;
            runLeft_ -= n;
        }
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_;
    bool encoded_;
    size_t runLeft_ = 0;
    uint8_t runValue_ = 0;
};

void SetNibble(uint8_t* row, int x, uint32_t value) {
    row[x / 2] |= uint8_t(value << ((x & 1) ? 0 : 4));
}

// One decoded scan line into one BMP row.
void ConvertLine(const TPcxHeader& h, TPcxLayout layout, const std::vector<uint8_t>& line, uint8_t* row,
                 int64_t rowBytes) {
    const size_t bpl = size_t(h.BytesPerLine);
    if (layout == plRgbPlanes) {
        for (int x = 0; x < h.Width; ++x) {
            row[3 * x] = line[2 * bpl + size_t(x)];
            row[3 * x + 1] = line[bpl + size_t(x)];
            row[3 * x + 2] = line[size_t(x)];
        }
    } else if (layout == plBitPlanes) {
        for (int x = 0; x < h.Width; ++x) {
            uint32_t index = 0;
            for (int p = 0; p < h.Planes; ++p)
                index |= uint32_t((line[size_t(p) * bpl + size_t(x / 8)] >> (7 - x % 8)) & 1) << p;
            SetNibble(row, x, index);
        }
    } else if (h.BitsPerPixel == 2) {
        for (int x = 0; x < h.Width; ++x) SetNibble(row, x, (line[size_t(x / 4)] >> (6 - 2 * (x % 4))) & 3);
    } else {
        std::memcpy(row, line.data(), size_t(std::min<int64_t>(int64_t(bpl), rowBytes)));
    }
}

std::vector<TBmpQuad> FromTriples(const uint8_t* rgb, int count) {
    std::vector<TBmpQuad> palette;
    for (int i = 0; i < count; ++i) palette.push_back({rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0});
    return palette;
}

std::vector<TBmpQuad> ReadPalette(const TPcxHeader& h, const uint8_t* data, size_t size,
                                  const TSystemPalette& systemPalette) {
    if (h.ColorCount == 0) return {};
    if (h.Version == 3) return std::vector<TBmpQuad>(systemPalette.begin(), systemPalette.begin() + h.ColorCount);
    if (h.BitCount == 8) {
        // The table is the last 768 bytes; the marker byte in front of it is not checked. A file
        // cut off before it has room for one is shown in the screen's colours.
        if (size < HeaderSize + TrailingPaletteSize + 1)
            return std::vector<TBmpQuad>(systemPalette.begin(), systemPalette.end());
        return FromTriples(data + size - TrailingPaletteSize, 256);
    }
    return FromTriples(data + 16, std::min(h.ColorCount, 16));
}

}  // namespace

const TSystemPalette& DefaultSystemPalette() {
    static const TSystemPalette palette = [] {
        TSystemPalette p{};
        static const uint8_t ega[16][3] = {{0, 0, 0},       {0, 0, 170},     {0, 170, 0},     {0, 170, 170},
                                           {170, 0, 0},     {170, 0, 170},   {170, 85, 0},    {170, 170, 170},
                                           {85, 85, 85},    {85, 85, 255},   {85, 255, 85},   {85, 255, 255},
                                           {255, 85, 85},   {255, 85, 255},  {255, 255, 85},  {255, 255, 255}};
        for (int i = 0; i < 16; ++i) p[size_t(i)] = {ega[i][2], ega[i][1], ega[i][0], 0};
        for (int i = 0; i < 216; ++i) {
            const uint8_t r = uint8_t(i / 36 * 51), g = uint8_t(i / 6 % 6 * 51), b = uint8_t(i % 6 * 51);
            p[size_t(16 + i)] = {b, g, r, 0};
        }
        for (int i = 0; i < 24; ++i) {
            const uint8_t v = uint8_t(8 + i * 10);
            p[size_t(232 + i)] = {v, v, v, 0};
        }
        return p;
    }();
    return palette;
}

TPcxHeader ReadPcxHeader(const uint8_t* data, size_t size) {
    if (size < HeaderSize || data[0] != 0x0A) InvalidPcx();
    TPcxHeader h;
    h.Version = data[1];
    h.Encoded = data[2] == 1;
    h.BitsPerPixel = data[3];
    const int xmin = int(Word(data + 4)), ymin = int(Word(data + 6));
    const int xmax = int(Word(data + 8)), ymax = int(Word(data + 10));
    if (xmax < xmin || ymax < ymin) InvalidPcx();
    h.Width = xmax - xmin + 1;
    h.Height = ymax - ymin + 1;
    h.Planes = data[65];
    h.BytesPerLine = int(Word(data + 66));
    h.BitCount = h.BitsPerPixel * h.Planes;
    h.ColorCount = h.BitCount >= 9 ? 0 : (1 << h.BitCount) % 512;
    const TPcxLayout layout = LayoutOf(h);
    h.BmpBits = BmpBitsOf(h, layout);
    // Every plane of a line must hold the whole width.
    const int64_t planeBits = layout == plRgbPlanes ? 8 : h.BitsPerPixel;
    if (layout != plUnknown && int64_t(h.BytesPerLine) * 8 < int64_t(h.Width) * planeBits) InvalidPcx();
    return h;
}

std::vector<uint8_t> PcxToBmp(const uint8_t* data, size_t size, const TSystemPalette& systemPalette) {
    const TPcxHeader h = ReadPcxHeader(data, size);
    const TPcxLayout layout = LayoutOf(h);
    const std::vector<TBmpQuad> palette = ReadPalette(h, data, size, systemPalette);
    const uint64_t rowBytes = (uint64_t(h.Width) * uint64_t(h.BmpBits) + 31) / 32 * 4;
    if (rowBytes * uint64_t(h.Height) > MaxExpansion * uint64_t(size))
        throw EInvalidImage(sid::InvalidImageFormat);
    TBmpWriter bmp(h.Width, h.Height, h.BmpBits, palette);
    if (layout == plUnknown) return bmp.Release();
    // Pixel data that ends early leaves the rows not reached blank.
    std::vector<uint8_t> line(size_t(h.BytesPerLine) * size_t(h.Planes));
    TLineDecoder decoder(data, size, h.Encoded);
    for (int y = 0; y < h.Height && decoder.Next(line); ++y) ConvertLine(h, layout, line, bmp.Row(y), bmp.RowBytes());
    return bmp.Release();
}

std::vector<uint8_t> PcxToBmp(TStream& source, const TSystemPalette& systemPalette) {
    const int64_t size = source.Remaining();
    if (size > MaxImageBytes) throw EInvalidImage(sid::InvalidImageFormat);
    std::vector<uint8_t> bytes(size_t(std::max<int64_t>(size, 0)));
    if (!bytes.empty()) source.ReadBuffer(bytes.data(), bytes.size());
    return PcxToBmp(bytes.data(), bytes.size(), systemPalette);
}
