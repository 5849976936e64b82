#include "base/bmp_format.h"

#include <algorithm>
#include <iterator>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

constexpr uint32_t CoreHeaderSize = 12;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t MaskBytes = 12;

uint32_t Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (Get16(p + 2) << 16); }

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(sid::InvalidBitmap); }

// The masks a file's pixels are read with: those of the header for bit fields, otherwise 5-5-5
// for 16 bits and 8-8-8 for 32 bits. Bit fields must be one of the layouts a bitmap holds.
std::array<uint32_t, 3> PixelMasks(const TBmpInfo& info, const uint8_t* masks) {
    const std::array<uint32_t, 3> rgb555 = {0x7C00, 0x03E0, 0x001F};
    const std::array<uint32_t, 3> rgb565 = {0xF800, 0x07E0, 0x001F};
    const std::array<uint32_t, 3> rgb888 = {0xFF0000, 0x00FF00, 0x0000FF};
    const std::array<uint32_t, 3> standard = info.BitCount == 16 ? rgb555 : rgb888;
    if (info.Compression != BmpBitFields) return info.BitCount == 16 || info.BitCount == 32 ? standard : std::array<uint32_t, 3>{};
    const std::array<uint32_t, 3> given = {Get32(masks), Get32(masks + 4), Get32(masks + 8)};
    if (given != standard && !(info.BitCount == 16 && given == rgb565)) InvalidBitmap();
    return given;
}

// The size, bit count, compression and colour count fields of the core header or of the info
// header and its longer versions. Returns where the channel masks are (null: none needed).
const uint8_t* ReadInfoHeader(TBmpInfo& info, const uint8_t* head, int64_t headSize, int64_t& width, int64_t& height) {
    const uint8_t* h = head + BmpFileHeaderSize;
    uint32_t planes;
    if (info.HeaderSize == CoreHeaderSize) {
        if (headSize < BmpFileHeaderSize + CoreHeaderSize) InvalidBitmap();
        // 16-bit sizes without sign: core bitmaps are stored bottom-up only.
        width = Get16(h + 4);
        height = Get16(h + 6);
        planes = Get16(h + 8);
        info.BitCount = int(Get16(h + 10));
        return nullptr;
    }
    const uint32_t sizes[] = {40, 52, 56, 64, 108, 124};
    if (std::find(std::begin(sizes), std::end(sizes), info.HeaderSize) == std::end(sizes) ||
        headSize < BmpFileHeaderSize + info.HeaderSize)
        InvalidBitmap();
    width = int32_t(Get32(h + 4));
    height = int32_t(Get32(h + 8));
    planes = Get16(h + 12);
    info.BitCount = int(Get16(h + 14));
    info.Compression = Get32(h + 16);
    info.ColorCount = Get32(h + 32);
    if (planes != 1) InvalidBitmap();
    if (info.Compression != BmpBitFields) return nullptr;
    // The masks follow a 40-byte header; the longer headers hold them.
    if (info.HeaderSize == InfoHeaderSize && headSize < BmpFileHeaderSize + InfoHeaderSize + MaskBytes) InvalidBitmap();
    return h + InfoHeaderSize;
}

// Checks the compression against the bit count and row order.
void CheckCompression(const TBmpInfo& info) {
    switch (info.Compression) {
    case BmpUncompressed:
        return;
    case BmpRle8:
    case BmpRle4:
        if (info.BitCount != (info.Compression == BmpRle8 ? 8 : 4) || info.TopDown) InvalidBitmap();
        return;
    case BmpBitFields:
        if (info.BitCount != 16 && info.BitCount != 32) InvalidBitmap();
        return;
    default:
        InvalidBitmap();
    }
}

// Where the decoder stands and writes: the current pixel, and the rows (null when only checking).
class TRleDecoder {
public:
    TRleDecoder(const TBmpInfo& info, const uint8_t* data, size_t size, uint8_t* rows)
        : width_(info.Width), height_(info.Height), eight_(info.BitCount == 8), rowBytes_(info.RowBytes()),
          data_(data), size_(size), rows_(rows) {}

    void Run() {
        while (y_ < height_) {
            if (pos_ + 2 > size_) {
                // Data that ends on the last row without an end-of-bitmap code is complete.
                if (y_ < height_ - 1) InvalidBitmap();
                return;
            }
            const unsigned count = data_[pos_], value = data_[pos_ + 1];
            pos_ += 2;
            if (count > 0) {
                EncodedRun(count, value);
            } else if (value == 0) {
                x_ = 0;
                ++y_;
            } else if (value == 1) {
                return;
            } else if (value == 2) {
                if (pos_ + 2 > size_) InvalidBitmap();
                x_ += data_[pos_];
                y_ += data_[pos_ + 1];
                pos_ += 2;
            } else {
                AbsoluteRun(value);
            }
        }
    }

private:
    // Count pixels of one index (RLE8) or of two alternating ones (RLE4).
    void EncodedRun(unsigned count, unsigned value) {
        if (rows_) {
            for (unsigned i = 0; i < count && x_ + i < width_; ++i) Put(x_ + i, eight_ ? value : Nibble(uint8_t(value), i));
        }
        x_ += count;
    }

    // Count indexes as they stand in the data, padded to a 16-bit boundary.
    void AbsoluteRun(unsigned count) {
        const size_t bytes = eight_ ? count : (count + 1) / 2;
        if (pos_ + bytes > size_) InvalidBitmap();
        if (rows_) {
            for (unsigned i = 0; i < count && x_ + i < width_; ++i)
                Put(x_ + i, eight_ ? data_[pos_ + i] : Nibble(data_[pos_ + i / 2], i));
        }
        x_ += count;
        pos_ += std::min(bytes + (bytes & 1), size_ - pos_);
    }

    static unsigned Nibble(uint8_t byte, int64_t i) { return i % 2 == 0 ? unsigned(byte >> 4) : unsigned(byte & 0x0F); }

    void Put(int64_t x, unsigned index) {
        uint8_t* row = rows_ + y_ * rowBytes_;
        if (eight_) {
            row[x] = uint8_t(index);
        } else {
            uint8_t& b = row[x / 2];
            b = x % 2 == 0 ? uint8_t((b & 0x0F) | (index << 4)) : uint8_t((b & 0xF0) | (index & 0x0F));
        }
    }

    const int64_t width_;
    const int64_t height_;
    const bool eight_;
    const int64_t rowBytes_;
    const uint8_t* data_;
    const size_t size_;
    uint8_t* rows_;
    size_t pos_ = 0;
    int64_t x_ = 0;
    int64_t y_ = 0;
};

}  // namespace

TBmpInfo ReadBmpHeaders(const uint8_t* head, size_t headBytes, int64_t fileSize) {
    const int64_t headSize = int64_t(headBytes);
    if (headSize > fileSize || headSize < BmpFileHeaderSize + 4 || head[0] != 'B' || head[1] != 'M')
        InvalidBitmap();
    TBmpInfo info;
    info.PixelOffset = Get32(head + 10);
    info.HeaderSize = Get32(head + BmpFileHeaderSize);
    int64_t width = 0, height = 0;
    const uint8_t* masks = ReadInfoHeader(info, head, headSize, width, height);
    info.TopDown = height < 0;
    if (height < 0) height = -height;
    if (width < 1 || height < 1 || width > MaxBmpSide || height > MaxBmpSide) InvalidBitmap();
    info.Width = int(width);
    info.Height = int(height);
    const int64_t rowBytes = info.RowBytes();
    if (rowBytes == 0 || rowBytes * height > MaxBmpPixelBytes) InvalidBitmap();
    CheckCompression(info);
    info.Masks = PixelMasks(info, masks);

    if (info.BitCount <= 8) {
        if (info.ColorCount == 0) info.ColorCount = 1u << info.BitCount;
        if (info.ColorCount > (1u << info.BitCount)) InvalidBitmap();
    } else if (info.ColorCount > 256) {
        InvalidBitmap();
    }
    const int64_t headerEnd = BmpFileHeaderSize + info.HeaderSize +
                              (info.Compression == BmpBitFields && info.HeaderSize == InfoHeaderSize ? MaskBytes : 0);
    const int64_t tableEnd = headerEnd + int64_t(info.ColorEntrySize()) * info.ColorCount;
    if (tableEnd > headSize) InvalidBitmap();
    info.ColorOffset = uint32_t(headerEnd);
    if (info.PixelOffset == 0) info.PixelOffset = uint32_t(tableEnd);
    if (info.PixelOffset < headerEnd) InvalidBitmap();

    const int64_t rest = fileSize - info.PixelOffset;
    if (info.Rle()) {
        if (rest <= 0) InvalidBitmap();
        const uint32_t imageSize = Get32(head + BmpFileHeaderSize + 20);
        info.PixelBytes = std::min(rest, MaxBmpPixelBytes);
        if (imageSize > 0) info.PixelBytes = std::min<int64_t>(info.PixelBytes, imageSize);
    } else {
        info.PixelBytes = rowBytes * height;
        if (info.PixelBytes > rest) InvalidBitmap();
    }
    return info;
}

std::vector<TBmpQuad> BmpColorTable(const TBmpInfo& info, const uint8_t* head, size_t headSize) {
    const size_t entry = size_t(info.ColorEntrySize());
    if (info.ColorOffset + entry * info.ColorCount > headSize) InvalidBitmap();  // a shorter Head than was checked
    std::vector<TBmpQuad> table(info.BitCount <= 8 ? info.ColorCount : 0);
    const uint8_t* p = head + info.ColorOffset;
    for (TBmpQuad& q : table) {
        q = TBmpQuad{p[0], p[1], p[2], 0};
        if (entry == 4) q[3] = p[3];
        p += entry;
    }
    return table;
}

void CheckBmpRle(const TBmpInfo& info, const uint8_t* data, size_t size) { TRleDecoder(info, data, size, nullptr).Run(); }

void DecodeBmpRle(const TBmpInfo& info, const uint8_t* data, size_t size, uint8_t* rows) {
    TRleDecoder(info, data, size, rows).Run();
}

TBmpInfo CheckBmpFile(const std::vector<uint8_t>& bytes) {
    const TBmpInfo info = ReadBmpHeaders(bytes.data(), bytes.size(), int64_t(bytes.size()));
    if (info.Rle()) CheckBmpRle(info, bytes.data() + info.PixelOffset, size_t(info.PixelBytes));
    return info;
}
