// Icon and cursor streams: the file format of .ICO and .CUR files (a 6-byte header, one 16-byte
// directory entry per image, the images), the choice of the image that suits the screen best,
// and the single-image form that picture records and cursor files are written in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/stream.h"

enum TIconType : uint16_t { itIcon = 1, itCursor = 2 };

// One directory entry. For cursors Planes and BitCount hold the hot spot's x and y.
struct TIconDirEntry {
    uint8_t Width = 0;   // 0 means 256
    uint8_t Height = 0;  // 0 means 256
    uint8_t ColorCount = 0;
    uint8_t Reserved = 0;
    uint16_t Planes = 0;
    uint16_t BitCount = 0;
    uint32_t BytesInRes = 0;
    uint32_t ImageOffset = 0;
};

// The directory of an icon or cursor file, every entry checked to lie within the file.
struct TIconDirectory {
    TIconType Type = itIcon;
    std::vector<TIconDirEntry> Entries;
};

// One image taken from a file: its directory entry and its bytes (a bitmap info header with
// doubled height, colour table, colour bits and mask bits, or a compressed image).
struct TIconImage {
    TIconDirEntry Entry;
    std::vector<uint8_t> Data;
};

// Images larger than this are refused.
constexpr uint32_t MaxIconImageBytes = 16u << 20;

// Reads the directory of the file in Data. Raises EInvalidImage (65347 "Ungültiges Symbol")
// when the reserved word is not 0, the type is not Expected, the count is 0, or an entry's
// image does not lie within the data or is larger than MaxIconImageBytes.
TIconDirectory ReadIconDirectory(const uint8_t* data, size_t size, TIconType expected);

// The colour depth of an entry: planes times bits per pixel from the directory, or, when the
// directory leaves them 0 (many files do), from the image's own bitmap header or the colour count.
int IconEntryDepth(const TIconDirEntry& entry, const uint8_t* data, size_t size, TIconType type);

// The index of the image that best suits a screen of ScreenDepth bits per pixel: the deepest
// image not deeper than the screen, else the shallowest one; of equal depths, the first.
size_t BestIconImage(const TIconDirectory& directory, const uint8_t* data, size_t size, int screenDepth);

// Reads an icon or cursor file from the stream's position to its end and returns its best image
// for ScreenDepth. The stream is left at its end. Raises as ReadIconDirectory.
TIconImage ReadIconStream(TStream& stream, TIconType expected, int screenDepth);

// Writes Image as a single-image file of Type: header (0, type, 1), its directory entry with
// the image size and offset 22, then the image.
void WriteIconStream(TStream& stream, TIconType type, const TIconImage& image);
