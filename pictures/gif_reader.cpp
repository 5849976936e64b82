#include "pictures/gif_reader.h"

#include <algorithm>

#include "pictures/bmp_image.h"
#include "pictures/image_error.h"

namespace {

constexpr int MaxCodeBits = 12;
constexpr int TableSize = 1 << MaxCodeBits;
constexpr uint8_t ExtensionIntroducer = 0x21;
constexpr uint8_t ImageSeparator = 0x2C;

[[noreturn]] void InvalidGif() { throw EInvalidImage(sid::InvalidGifFormat); }
[[noreturn]] void InvalidImage() { throw EInvalidImage(sid::InvalidImageFormat); }

// The file's bytes with a read position; running past the end is a damaged file.
class TGifBytes {
public:
    TGifBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() {
        if (pos_ >= size_) InvalidGif();
        return data_[pos_++];
    }
    const uint8_t* Take(size_t count) {
        if (count > size_ - pos_) InvalidGif();
        const uint8_t* p = data_ + pos_;
        pos_ += count;
        return p;
    }
    uint32_t Word() {
        const uint8_t* p = Take(2);
        return p[0] | (p[1] << 8);
    }
    // An extension's data sub-blocks up to and including the empty one.
    void SkipSubBlocks() {
        for (uint8_t n = Byte(); n != 0; n = Byte()) Take(n);
    }
    size_t Remaining() const { return size_ - pos_; }
    const uint8_t* Here() const { return data_ + pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Codes, least significant bit first, from the data sub-blocks that follow the code size
// byte. A missing terminator ends the data; of a sub-block cut off by the end of the file the
// bytes that are there are read.
class TCodeReader {
public:
    TCodeReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // The next code of Width bits; -1 when the data has ended.
    int Read(int width) {
        while (bitCount_ < width) {
            if (blockLeft_ == 0) {
                if (ended_ || pos_ >= size_) return End();
                const size_t length = data_[pos_++];
                blockLeft_ = std::min(length, size_ - pos_);
                if (blockLeft_ == 0) return End();
            }
            bits_ |= uint32_t(data_[pos_++]) << bitCount_;
            bitCount_ += 8;
            --blockLeft_;
        }
        const int code = int(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        bitCount_ -= width;
        return code;
    }

private:
    int End() {
        ended_ = true;
        return -1;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    size_t blockLeft_ = 0;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
    bool ended_ = false;
};

// Receives the decoded pixel indexes and places them row by row into the BMP.
class TPixelSink {
public:
    TPixelSink(TBmpWriter& bmp, bool interlaced)
        : bmp_(bmp), order_(GifRowOrder(bmp.Height(), interlaced)), row_(bmp.Row(order_[0])) {}

    bool Full() const { return rowIndex_ >= order_.size(); }
    void Put(const uint8_t* pixels, size_t count) {
        while (count > 0 && !Full()) {
            const size_t n = std::min(count, size_t(bmp_.Width() - x_));
            std::copy(pixels, pixels + n, row_ + x_);
            pixels += n;
            count -= n;
            x_ += int(n);
            if (x_ == bmp_.Width()) {
                x_ = 0;
                if (++rowIndex_ < order_.size()) row_ = bmp_.Row(order_[rowIndex_]);
            }
        }
    }

private:
    TBmpWriter& bmp_;
    std::vector<int> order_;
    uint8_t* row_;
    size_t rowIndex_ = 0;
    int x_ = 0;
};

// The variable-length LZW decoder with its 4096-entry string table. Every code is checked
// against the entries the table holds.
class TLzwDecoder {
public:
    explicit TLzwDecoder(int minCodeSize) : clear_(1 << minCodeSize), minCodeSize_(minCodeSize) {
        // With code size 9 the literals go up to 511; the 8-bit bitmap takes their low byte.
        for (int i = 0; i < clear_; ++i) {
            prefix_[i] = -1;
            suffix_[i] = uint8_t(i);
            first_[i] = uint8_t(i);
            length_[i] = 1;
        }
        Reset();
    }

    // Decodes until the picture is full, the end code comes, the data ends or a code turns up
    // that the table does not hold; what was decoded until then is kept.
    void Decode(TCodeReader& codes, TPixelSink& sink) {
        const int end = clear_ + 1;
        while (!sink.Full()) {
            const int code = codes.Read(width_);
            if (code < 0 || code == end) return;
            if (code == clear_) {
                Reset();
                continue;
            }
            if (prev_ < 0) {
                if (code >= clear_) return;  // nothing but a literal may follow a clear
            } else if (code < next_) {
                Add(first_[code]);
            } else if (code == next_ && next_ < TableSize) {
                Add(first_[prev_]);  // the string of the previous code plus its own first pixel
            } else {
                return;
            }
            Emit(code, sink);
            prev_ = code;
        }
    }

private:
    void Reset() {
        next_ = clear_ + 2;
        width_ = minCodeSize_ + 1;
        prev_ = -1;
    }
    // A new entry: the previous code's string followed by Pixel. A full table takes no more.
    void Add(uint8_t pixel) {
        if (next_ >= TableSize) return;
        prefix_[next_] = int16_t(prev_);
        suffix_[next_] = pixel;
        first_[next_] = first_[prev_];
        length_[next_] = uint16_t(length_[prev_] + 1);
        ++next_;
        if (next_ == (1 << width_) && width_ < MaxCodeBits) ++width_;
    }
    void Emit(int code, TPixelSink& sink) {
        const int n = length_[code];
        for (int i = n - 1, c = code; i >= 0; --i, c = prefix_[c]) stack_[i] = suffix_[c];
        sink.Put(stack_, size_t(n));
    }

    const int clear_;
    const int minCodeSize_;
    int next_ = 0;
    int width_ = 0;
    int prev_ = -1;
    int16_t prefix_[TableSize];
    uint8_t suffix_[TableSize];
    uint8_t first_[TableSize];
    uint16_t length_[TableSize];
    uint8_t stack_[TableSize];
};

// A colour table of 2^((Flags and 7) + 1) triples, reordered into BMP entries.
void ReadColorTable(TGifBytes& in, uint8_t flags, std::vector<TBmpQuad>& palette) {
    const size_t count = size_t(2) << (flags & 7);
    const uint8_t* rgb = in.Take(3 * count);
    palette.assign(256, TBmpQuad{0, 0, 0, 0});
    for (size_t i = 0; i < count; ++i) palette[i] = {rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0};
}

// Reads bytes, skipping every extension, until one that does not introduce an extension.
uint8_t SkipExtensions(TGifBytes& in) {
    uint8_t b = in.Byte();
    while (b == ExtensionIntroducer) {
        in.Byte();  // the label
        in.SkipSubBlocks();
        b = in.Byte();
    }
    return b;
}

// The most pixels that the codes in Size bytes could yield: every code adds at most one pixel
// to the longest string so far, and no string is longer than the table.
uint64_t MaxPixels(size_t size, int minCodeSize) {
    const uint64_t codes = uint64_t(size) * 8 / uint64_t(minCodeSize + 1) + 1;
    return std::min(codes * (codes + 1) / 2, codes * TableSize);
}

}  // namespace

std::vector<int> GifRowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(size_t(std::max(height, 0)));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    static const int start[4] = {0, 4, 2, 1};
    static const int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = start[pass]; y < height; y += step[pass]) order.push_back(y);
    }
    return order;
}

std::vector<uint8_t> GifToBmp(const uint8_t* data, size_t size) {
    TGifBytes in(data, size);
    const uint8_t* signature = in.Take(6);
    if (signature[0] != 'G' || signature[1] != 'I' || signature[2] != 'F') InvalidGif();
    const uint8_t* screen = in.Take(7);
    std::vector<TBmpQuad> palette(256, TBmpQuad{0, 0, 0, 0});
    if (screen[4] & 0x80) ReadColorTable(in, screen[4], palette);
    if (SkipExtensions(in) != ImageSeparator) InvalidGif();
    in.Take(4);  // left and top
    const int width = int(in.Word());
    const int height = int(in.Word());
    const uint8_t flags = in.Byte();
    if (flags & 0x80) ReadColorTable(in, flags, palette);
    const bool interlaced = (flags & 0x40) != 0;
    const int minCodeSize = SkipExtensions(in);
    if (minCodeSize < 2 || minCodeSize > 9) InvalidImage();
    if (width < 1 || height < 1 || width > MaxImageSide || height > MaxImageSide ||
        MaxPixels(in.Remaining(), minCodeSize) < uint64_t(width) * uint64_t(height))
        InvalidImage();
    TBmpWriter bmp(width, height, 8, palette);
    TPixelSink sink(bmp, interlaced);
    TCodeReader codes(in.Here(), in.Remaining());
    TLzwDecoder decoder(minCodeSize);
    // Image data that ends early leaves the rows not reached in colour 0: slightly cut off
    // files are common, and most of the picture is there.
    decoder.Decode(codes, sink);
    return bmp.Release();
}

std::vector<uint8_t> GifToBmp(TStream& source) {
    const int64_t size = source.Remaining();
    if (size > MaxImageBytes) throw EInvalidImage(sid::InvalidImageFormat);
    std::vector<uint8_t> bytes(size_t(std::max<int64_t>(size, 0)));
    if (!bytes.empty()) source.ReadBuffer(bytes.data(), bytes.size());
    return GifToBmp(bytes.data(), bytes.size());
}
