#include "pictures/bmp_image.h"

#include "base/string_ids.h"
#include "pictures/bmp_rows.h"
#include "pictures/image_error.h"

namespace {

constexpr int64_t InfoHeaderSize = 40;

void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

[[noreturn]] void InvalidBitmap() { throw EInvalidImage(sid::InvalidBitmap); }

}  // namespace

TBmpWriter::TBmpWriter(int width, int height, int bitCount, const std::vector<TBmpQuad>& palette)
    : width_(width), height_(height) {
    rowBytes_ = BmpRowBytes(bitCount, width);
    if (width < 1 || height < 1 || width > MaxImageSide || height > MaxImageSide || rowBytes_ == 0 ||
        rowBytes_ * height > MaxImageBytes || palette.size() > 256)
        throw EInvalidImage(sid::InvalidImageFormat);
    pixelOffset_ = BmpFileHeaderSize + InfoHeaderSize + 4 * int64_t(palette.size());
    const int64_t imageSize = rowBytes_ * height;
    bytes_.assign(size_t(pixelOffset_ + imageSize), 0);
    uint8_t* p = bytes_.data();
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, uint32_t(pixelOffset_ + imageSize));
    Put32(p + 10, uint32_t(pixelOffset_));
    uint8_t* info = p + BmpFileHeaderSize;
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

TRgbImage BmpToRgb(const std::vector<uint8_t>& bytes) {
    const TBmpInfo info = CheckBmpFile(bytes);
    if (info.BitCount == 16) InvalidBitmap();
    const std::vector<TBmpQuad> table = BmpColorTable(info, bytes.data(), bytes.size());
    // The uncompressed rows: the file's own, or its codes decoded.
    const uint8_t* rows = bytes.data() + info.PixelOffset;
    std::vector<uint8_t> decoded;
    if (info.Rle()) {
        decoded.assign(size_t(info.RowBytes() * info.Height), 0);
        DecodeBmpRle(info, rows, size_t(info.PixelBytes), decoded.data());
        rows = decoded.data();
    }
    const int64_t rowBytes = info.RowBytes();
    TRgbImage image;
    image.Width = info.Width;
    image.Height = info.Height;
    image.Rgb.resize(size_t(info.Width) * size_t(info.Height) * 3);
    uint8_t* out = image.Rgb.data();
    for (int y = 0; y < info.Height; ++y) {
        const int stored = info.TopDown ? y : info.Height - 1 - y;
        const uint8_t* row = rows + stored * rowBytes;
        for (int x = 0; x < info.Width; ++x) {
            const uint8_t* bgr;
            if (info.BitCount >= 24) {
                bgr = row + x * (info.BitCount / 8);
            } else {
                const int bits = info.BitCount;
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (x % perByte + 1);
                const uint32_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
                if (index >= table.size()) InvalidBitmap();
                bgr = table[index].data();
            }
            *out++ = bgr[2];
            *out++ = bgr[1];
            *out++ = bgr[0];
        }
    }
    return image;
}
