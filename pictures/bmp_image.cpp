#include "pictures/bmp_image.h"

#include <algorithm>
#include <iterator>

#include "base/string_ids.h"
#include "pictures/bmp_rows.h"
#include "pictures/image_error.h"

namespace {

constexpr int64_t FileHeaderSize = 14;
constexpr int64_t InfoHeaderSize = 40;

void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}
uint32_t Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (Get16(p + 2) << 16); }

[[noreturn]] void InvalidBitmap() { throw EInvalidImage(sid::InvalidBitmap); }

}  // namespace

TBmpWriter::TBmpWriter(int width, int height, int bitCount, const std::vector<TBmpQuad>& palette)
    : width_(width), height_(height) {
    rowBytes_ = BmpRowBytes(bitCount, width);
    if (width < 1 || height < 1 || width > MaxImageSide || height > MaxImageSide || rowBytes_ == 0 ||
        rowBytes_ * height > MaxImageBytes || palette.size() > 256)
        throw EInvalidImage(sid::InvalidImageFormat);
    pixelOffset_ = FileHeaderSize + InfoHeaderSize + 4 * int64_t(palette.size());
    const int64_t imageSize = rowBytes_ * height;
    bytes_.assign(size_t(pixelOffset_ + imageSize), 0);
    uint8_t* p = bytes_.data();
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, uint32_t(pixelOffset_ + imageSize));
    Put32(p + 10, uint32_t(pixelOffset_));
    uint8_t* info = p + FileHeaderSize;
    Put32(info, uint32_t(InfoHeaderSize));
    Put32(info + 4, uint32_t(width));
    Put32(info + 8, uint32_t(height));
    Put16(info + 12, 1);
    Put16(info + 14, uint32_t(bitCount));
    Put32(info + 20, uint32_t(imageSize));
    // A full table is the default; a shorter one must be named.
    const bool full = bitCount <= 8 && palette.size() == (size_t(1) << bitCount);
    Put32(info + 32, full ? 0 : uint32_t(palette.size()));
    uint8_t* table = info + InfoHeaderSize;
    for (const TBmpQuad& q : palette) {
        for (int i = 0; i < 4; ++i) *table++ = q[i];
    }
}

uint8_t* TBmpWriter::Row(int y) {
    return bytes_.data() + pixelOffset_ + int64_t(height_ - 1 - y) * rowBytes_;
}

TBmpInfo CheckBmpFile(const std::vector<uint8_t>& bytes) {
    const int64_t size = int64_t(bytes.size());
    if (size < FileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M') InvalidBitmap();
    const uint8_t* p = bytes.data();
    TBmpInfo info;
    info.PixelOffset = Get32(p + 10);
    info.HeaderSize = Get32(p + 14);
    const uint8_t* h = p + FileHeaderSize;
    int64_t width, height;
    uint32_t planes;
    if (info.HeaderSize == 12) {  // the old core header: 16-bit sizes, 3-byte colour entries
        width = Get16(h + 4);
        height = int16_t(Get16(h + 6));
        planes = Get16(h + 8);
        info.BitCount = int(Get16(h + 10));
    } else {
        // The info header and its later, longer versions.
        const uint32_t sizes[] = {40, 52, 56, 64, 108, 124};
        if (std::find(std::begin(sizes), std::end(sizes), info.HeaderSize) == std::end(sizes) ||
            FileHeaderSize + info.HeaderSize > size)
            InvalidBitmap();
        width = int32_t(Get32(h + 4));
        height = int32_t(Get32(h + 8));
        planes = Get16(h + 12);
        info.BitCount = int(Get16(h + 14));
        info.Compression = Get32(h + 16);
        info.ColorCount = Get32(h + 32);
    }
    info.TopDown = height < 0;
    if (height < 0) height = -height;
    if (planes != 1 || width < 1 || height < 1 || width > MaxImageSide || height > MaxImageSide) InvalidBitmap();
    const int64_t rowBytes = BmpRowBytes(info.BitCount, width);
    if (rowBytes == 0 || rowBytes * height > MaxImageBytes) InvalidBitmap();
    if (info.BitCount <= 8) {
        if (info.ColorCount == 0) info.ColorCount = 1u << info.BitCount;
        if (info.ColorCount > (1u << info.BitCount)) InvalidBitmap();
    } else if (info.ColorCount > 256) {
        InvalidBitmap();
    }
    const int64_t masks = info.Compression == 3 && info.HeaderSize == InfoHeaderSize ? 12 : 0;
    const int64_t entry = info.HeaderSize == 12 ? 3 : 4;
    const int64_t tableEnd = FileHeaderSize + info.HeaderSize + masks + entry * info.ColorCount;
    if (tableEnd > size || info.PixelOffset < tableEnd - entry * info.ColorCount) InvalidBitmap();
    const bool rle = info.Compression == 1 || info.Compression == 2;
    if (rle) {
        if (info.BitCount != (info.Compression == 1 ? 8 : 4)) InvalidBitmap();
        if (info.TopDown || int64_t(info.PixelOffset) >= size) InvalidBitmap();
    } else {
        if (info.Compression > 3 || (info.Compression == 3 && info.BitCount != 16 && info.BitCount != 32))
            InvalidBitmap();
        if (int64_t(info.PixelOffset) + rowBytes * height > size) InvalidBitmap();
    }
    info.Width = int(width);
    info.Height = int(height);
    return info;
}

TRgbImage BmpToRgb(const std::vector<uint8_t>& bytes) {
    const TBmpInfo info = CheckBmpFile(bytes);
    if (info.Compression != 0 || info.HeaderSize == 12 || info.BitCount == 16) InvalidBitmap();
    const uint8_t* table = bytes.data() + FileHeaderSize + info.HeaderSize;
    const int64_t rowBytes = BmpRowBytes(info.BitCount, info.Width);
    TRgbImage image;
    image.Width = info.Width;
    image.Height = info.Height;
    image.Rgb.resize(size_t(info.Width) * size_t(info.Height) * 3);
    uint8_t* out = image.Rgb.data();
    for (int y = 0; y < info.Height; ++y) {
        const int stored = info.TopDown ? y : info.Height - 1 - y;
        const uint8_t* row = bytes.data() + info.PixelOffset + stored * rowBytes;
        for (int x = 0; x < info.Width; ++x) {
            const uint8_t* bgr;
            if (info.BitCount >= 24) {
                bgr = row + x * (info.BitCount / 8);
            } else {
                const int bits = info.BitCount;
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (x % perByte + 1);
                const uint32_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
                if (index >= info.ColorCount) InvalidBitmap();
                bgr = table + 4 * index;
            }
            *out++ = bgr[2];
            *out++ = bgr[1];
            *out++ = bgr[0];
        }
    }
    return image;
}
