// The BMP file format as every picture loader of the program reads it: the checks of a file's
// headers against its size, the size limits of pictures, its colour table, and the decoder of
// run-length encoded (RLE8, RLE4) pixels. It works on bytes only, so that the window framework's
// bitmap loader and the portable image readers accept and refuse the same files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Pictures beyond these limits are refused before anything is allocated for them. The program
// is a 32-bit process: while it loads a picture it may hold it up to three times (the file's
// bytes, the BMP image a GIF or PCX file is converted into, the bitmap itself), each as one
// block in an address space of 2 GB that the loaded libraries have cut into pieces. 64 MB of
// pixels (4096 x 4096 at 32 bits, 8192 x 8192 at 8 bits) keeps such blocks findable and the
// whole well below a gigabyte; 16384 pixels a side is as far as any screen or printer goes.
constexpr int MaxBmpSide = 16384;
constexpr int64_t MaxBmpPixelBytes = int64_t(64) << 20;

// The file header ("BM", file size, two reserved words, pixel offset) that opens a BMP file.
constexpr int64_t BmpFileHeaderSize = 14;
// The most a BMP file's headers, channel masks and colour table can take before the pixels:
// the file header, the longest info header (124 bytes), three masks and 256 colours.
constexpr int64_t MaxBmpHeadBytes = BmpFileHeaderSize + 124 + 12 + 256 * 4;

// The compression field of the info header.
constexpr uint32_t BmpUncompressed = 0;
constexpr uint32_t BmpRle8 = 1;
constexpr uint32_t BmpRle4 = 2;
constexpr uint32_t BmpBitFields = 3;

// One colour table entry as a BMP file holds it: blue, green, red, reserved.
using TBmpQuad = std::array<uint8_t, 4>;

// The padded size of one row of Width pixels at BitCount bits per pixel (1, 4, 8, 16, 24 or
// 32; these are the layouts a BMP file can hold); 0 for any other bit count or a width below 1.
constexpr int64_t BmpRowBytes(int bitCount, int64_t width) {
    if (width < 1) return 0;
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return (width * bitCount + 31) / 32 * 4;
    default:
        return 0;
    }
}

// What the headers of a BMP file say, after every check that the headers and the file size allow.
struct TBmpInfo {
    int Width = 0;
    int Height = 0;  // positive; TopDown tells the row order
    bool TopDown = false;
    int BitCount = 0;
    uint32_t Compression = BmpUncompressed;
    uint32_t HeaderSize = 0;   // of the info header; 12 for the old core header
    uint32_t ColorCount = 0;   // entries of the colour table
    uint32_t ColorOffset = 0;  // where the colour table starts in the file
    // The red, green and blue bits of 16- and 32-bit pixels (5-5-5, 5-6-5 or 8-8-8).
    std::array<uint32_t, 3> Masks = {0, 0, 0};
    uint32_t PixelOffset = 0;  // where the pixel data starts in the file
    // The bytes of pixel data from PixelOffset: the rows, or for RLE the encoded data there is
    // (as far as the image size of the header says, at most MaxBmpPixelBytes).
    int64_t PixelBytes = 0;

    bool Rle() const { return Compression == BmpRle8 || Compression == BmpRle4; }
    // 3 for the core header's blue-green-red triples, else 4.
    int ColorEntrySize() const { return HeaderSize == 12 ? 3 : 4; }
    // The row size of the uncompressed picture (rows are padded to 4 bytes).
    int64_t RowBytes() const { return BmpRowBytes(BitCount, Width); }
};

// Checks the headers of a BMP file of FileSize bytes. Head holds the file's first bytes: at
// least min(FileSize, MaxBmpHeadBytes) of them. Refused are: another signature; an unknown
// header size; a width or height below 1 or beyond MaxBmpSide; more than MaxBmpPixelBytes of
// uncompressed rows; a bit count other than 1, 4, 8, 16, 24 and 32; planes other than 1; an
// unknown compression, or one that does not fit the bit count (RLE8: 8 bits, RLE4: 4 bits,
// both bottom-up only; bit fields: 16 bits as 5-5-5 or 5-6-5, 32 bits as 8-8-8); a colour table
// longer than the bit count allows (or than 256 entries) or beyond the file; pixel data that
// starts inside the headers; uncompressed rows that the file does not hold in full; encoded
// data that starts at or past the file's end. A pixel offset of 0 means the pixels follow the
// colour table. Raises EInvalidGraphic (65346 "Ungültiges Bitmap").
TBmpInfo ReadBmpHeaders(const uint8_t* head, size_t headSize, int64_t fileSize);

// The colour table of a 1-, 4- or 8-bit file whose headers ReadBmpHeaders checked, from the
// same Head; the core header's triples are widened to quads. Empty for more bits per pixel,
// whose pixels use no table.
std::vector<TBmpQuad> BmpColorTable(const TBmpInfo& info, const uint8_t* head, size_t headSize);

// Checks run-length encoded pixel data (PixelBytes bytes from PixelOffset): that every code
// finds the bytes it needs and that the codes reach the last row or end the bitmap, without
// allocating anything. Raises EInvalidGraphic (65346) otherwise.
void CheckBmpRle(const TBmpInfo& info, const uint8_t* data, size_t size);

// Decodes run-length encoded pixel data into the bottom-up rows Rows of an uncompressed picture
// of the same size and bit count (RowBytes() apart, all 0 before). Pixels the codes skip (delta
// codes, rows ended early, the bitmap ended early) keep colour index 0; runs past the right edge
// are cut there; decoding stops at the end of the bitmap code or above the top row. Raises what
// CheckBmpRle raises, for the same data.
void DecodeBmpRle(const TBmpInfo& info, const uint8_t* data, size_t size, uint8_t* rows);

// Checks a whole BMP file in memory: its headers, and for RLE its codes. Raises EInvalidGraphic
// (65346) for a file the bitmap loader would refuse.
TBmpInfo CheckBmpFile(const std::vector<uint8_t>& bytes);
