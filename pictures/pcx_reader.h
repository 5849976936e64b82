// The PCX reader: turns a Paintbrush file into a BMP file image. Packed pixels of 1, 2, 4 and
// 8 bits, 1-bit planes (2 to 4 of them, combined into colour indexes) and 8-bit red, green and
// blue planes, run-length encoded or not; colours from the header, from the 768-byte table at
// the end of 256-colour files, or, for files of version 3, from the screen's palette.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/stream.h"
#include "pictures/bmp_image.h"

// The colours a version-3 file (which brings none) is shown with: the screen's current palette.
// The Windows build fills it from the system palette; elsewhere DefaultSystemPalette is used.
using TSystemPalette = std::array<TBmpQuad, 256>;
// The standard VGA palette: the 16 colours in their EGA order, a 6 x 6 x 6 colour cube from
// index 16, and a grey ramp from index 232.
const TSystemPalette& DefaultSystemPalette();

// What the 128-byte header says, as the reader understands it.
struct TPcxHeader {
    int Version = 0;
    bool Encoded = false;
    int BitsPerPixel = 0;
    int Planes = 0;
    int Width = 0;
    int Height = 0;
    int BytesPerLine = 0;
    int BitCount = 0;    // bits per pixel times planes
    int ColorCount = 0;  // 2^BitCount taken modulo 512
    int BmpBits = 0;     // of the BMP written: 1, 4, 8 or 24
};

// Reads and checks the header. Raises EInvalidImage (65279 "Ungültiges PCX-Bild-Format") for a
// wrong first byte, or a size or line length that does not fit. A layout the reader does not
// know gets the BMP depth its bit count calls for (1, 4, 8 or 24 bits).
TPcxHeader ReadPcxHeader(const uint8_t* data, size_t size);

// Converts the PCX file in Data into a BMP file, top row of the picture last. Pixel data that
// ends before the last row leaves the rows not reached blank; a layout the reader does not know
// gives a blank picture; a 256-colour file too short for its colour table takes the screen's.
// Raises EInvalidImage with 65279 as ReadPcxHeader, and with 65248 ("Ungültiges Bildformat")
// for a size beyond MaxImageSide or MaxImageBytes, or a picture more than 1024 times the size
// of its file.
std::vector<uint8_t> PcxToBmp(const uint8_t* data, size_t size,
                              const TSystemPalette& systemPalette = DefaultSystemPalette());

// The same for the bytes from the stream's position to its end.
std::vector<uint8_t> PcxToBmp(TStream& source, const TSystemPalette& systemPalette = DefaultSystemPalette());
