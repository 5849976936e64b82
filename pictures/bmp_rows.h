// Row sizes of BMP images, which pad every pixel row to a multiple of 4 bytes (BmpRowBytes,
// base/bmp_format.h), and the bit counts under which the GIF and PCX converters store their
// pictures.
#pragma once

#include <cstdint>

#include "base/bmp_format.h"

// The bit count of the BMP image a converter writes for a source of SourceBits bits per pixel:
// 2-bit pixels are widened to 4 bits (a BMP has no 2-bit rows), 15- and 16-bit sources are
// written as 24-bit blue-green-red triples; 1, 4, 8 and 24 bits stay; 0 for anything else.
constexpr int StoredBitCount(int sourceBits) {
    switch (sourceBits) {
    case 1:
    case 4:
    case 8:
    case 24:
        return sourceBits;
    case 2:
        return 4;
    case 15:
    case 16:
        return 24;
    default:
        return 0;
    }
}

// The row size the converters use for a source of SourceBits bits per pixel.
constexpr int64_t ConverterRowBytes(int sourceBits, int64_t width) {
    return BmpRowBytes(StoredBitCount(sourceBits), width);
}
