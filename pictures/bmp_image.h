// BMP file images in memory: the writer the GIF and PCX converters fill row by row, and a reader
// that turns a BMP file into red-green-blue pixels for comparisons and previews. The checks of
// BMP files (CheckBmpFile) are the bitmap loader's own (base/bmp_format.h).
#pragma once

#include <cstdint>
#include <vector>

#include "base/bmp_format.h"

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

// A BMP file of 1, 4, 8, 24 or 32 bits per pixel, uncompressed or run-length encoded, as
// Width x Height pixels, top row first, each as red, green, blue. Raises EInvalidImage (65346)
// for a file CheckBmpFile refuses, for 16-bit files, and for colour indexes beyond the table.
struct TRgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgb;  // 3 bytes per pixel
};
TRgbImage BmpToRgb(const std::vector<uint8_t>& bytes);
