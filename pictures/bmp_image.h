// BMP file images in memory: the writer the GIF and PCX converters fill row by row, the check
// that a BMP file's headers fit its bytes, and a reader that turns an uncompressed BMP file into
// red-green-blue pixels for comparisons and previews.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// One colour table entry as a BMP file holds it: blue, green, red, reserved.
using TBmpQuad = std::array<uint8_t, 4>;

// A complete BMP file (14-byte file header, 40-byte info header, colour table, pixel rows) of
// Width x Height pixels at BitCount bits (1, 4, 8 or 24), all pixels 0 until rows are filled.
// The colour table may hold fewer entries than the bit count allows; the info header then
// names the count.
class TBmpWriter {
public:
    // Raises EInvalidImage (65248) for sizes beyond MaxImageSide or MaxImageBytes.
    TBmpWriter(int width, int height, int bitCount, const std::vector<TBmpQuad>& palette);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int64_t RowBytes() const { return rowBytes_; }
    // The bytes of image row Y counted from the top; BMP rows are stored bottom-up.
    uint8_t* Row(int y);
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> Release() { return std::move(bytes_); }

private:
    int width_;
    int height_;
    int64_t rowBytes_;
    int64_t pixelOffset_;
    std::vector<uint8_t> bytes_;
};

// What CheckBmpFile found in a BMP file.
struct TBmpInfo {
    int Width = 0;
    int Height = 0;        // positive; TopDown tells the row order
    bool TopDown = false;
    int BitCount = 0;
    uint32_t Compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    uint32_t PixelOffset = 0;
    uint32_t ColorCount = 0;   // entries of the colour table
    uint32_t HeaderSize = 0;   // of the info header
};

// Checks that Bytes hold a BMP file whose headers, colour table and pixel rows lie within the
// bytes (RLE-compressed pixel data only needs to start within them). Raises EInvalidImage
// (65346 "Ungültiges Bitmap") otherwise.
TBmpInfo CheckBmpFile(const std::vector<uint8_t>& bytes);

// An uncompressed 1, 4, 8, 24 or 32-bit BMP file as Width x Height pixels, top row first, each
// as red, green, blue. Raises EInvalidImage (65346) for anything else.
struct TRgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgb;  // 3 bytes per pixel
};
TRgbImage BmpToRgb(const std::vector<uint8_t>& bytes);
