// The GIF reader: turns the first image of a GIF file (87a or 89a, interlaced or not, with a
// global or local colour table) into an 8-bit BMP file image. Extensions, transparency and
// animation are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/stream.h"

// Converts the GIF file in Data into a BMP file: 256 colour table entries from the image's
// colour table (zeros beyond it), one byte per pixel, rows bottom-up. Image data that ends early
// or turns into codes the string table does not hold gives the picture decoded so far, the rest
// in colour 0. Raises EInvalidImage with 65278 ("Ungültiges GIF-Bild-Format") when the
// signature is wrong or the file ends before its image data starts, and with 65248
// ("Ungültiges Bildformat") for a minimum code size outside 2..9, or a size of 0 or beyond
// MaxImageSide; the size is also refused when the image data could not fill it even at the
// best compression LZW allows (a header that claims a picture its file never held).
std::vector<uint8_t> GifToBmp(const uint8_t* data, size_t size);

// The same for the bytes from the stream's position to its end.
std::vector<uint8_t> GifToBmp(TStream& source);

// The GIF rows in the order the image data holds them: for an interlaced image every 8th row
// from row 0, every 8th from row 4, every 4th from row 2, every 2nd from row 1.
std::vector<int> GifRowOrder(int height, bool interlaced);
