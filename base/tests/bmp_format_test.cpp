// The BMP parser on files laid out here byte by byte: the header kinds it accepts and what it
// reads of them, the damaged headers it refuses, the size limits, the rule that the pixel data
// must be in the file before anything is allocated, and the run-length decoder.
#include "base/bmp_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/exception.h"
#include "base/string_ids.h"
#include "base/tests/failure_id.h"

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

// The fields of a BMP file to lay out. Unset sizes follow from the others: a full colour table
// for up to 8 bits, the pixels right after the table, all rows present (or the codes given).
struct TLayout {
    uint32_t HeaderSize = 40;
    int32_t Width = 4;
    int32_t Height = 2;
    uint32_t Planes = 1;
    uint32_t Bits = 8;
    uint32_t Compression = BmpUncompressed;
    uint32_t ImageSize = 0;
    uint32_t ColorsUsed = 0;
    std::vector<uint32_t> Masks = {};                 // after a 40-byte header, or in a longer one
    std::optional<uint32_t> TableEntries = {};        // default: ColorsUsed, else 2^Bits up to 8 bits
    std::optional<uint32_t> PixelOffset = {};         // default: right after the table
    std::optional<std::vector<uint8_t>> Pixels = {};  // default: all rows, colour index i % 7
};

std::vector<uint8_t> MakeBmp(const TLayout& l) {
    const bool core = l.HeaderSize == 12;
    const uint32_t entries = l.TableEntries ? *l.TableEntries : (l.ColorsUsed ? l.ColorsUsed : (l.Bits <= 8 ? 1u << l.Bits : 0));
    const size_t masksAfter = l.HeaderSize == 40 ? 4 * l.Masks.size() : 0;
    const size_t tableAt = 14 + l.HeaderSize + masksAfter;
    const size_t tableEnd = tableAt + (core ? 3 : 4) * entries;
    std::vector<uint8_t> b(tableEnd, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, l.PixelOffset ? *l.PixelOffset : uint32_t(tableEnd));
    Put32(b, 14, l.HeaderSize);
    if (core) {
        Put16(b, 18, uint32_t(l.Width));
        Put16(b, 20, uint32_t(l.Height));
        Put16(b, 22, l.Planes);
        Put16(b, 24, l.Bits);
    } else {
        Put32(b, 18, uint32_t(l.Width));
        Put32(b, 22, uint32_t(l.Height));
        Put16(b, 26, l.Planes);
        Put16(b, 28, l.Bits);
        Put32(b, 30, l.Compression);
        Put32(b, 34, l.ImageSize);
        Put32(b, 46, l.ColorsUsed);
        for (size_t i = 0; i < l.Masks.size(); ++i) Put32(b, 54 + 4 * i, l.Masks[i]);
    }
    // Colour i is (blue i, green 2i, red 3i), reserved 9.
    for (uint32_t i = 0; i < entries; ++i) {
        uint8_t* e = b.data() + tableAt + (core ? 3 : 4) * i;
        e[0] = uint8_t(i);
        e[1] = uint8_t(2 * i);
        e[2] = uint8_t(3 * i);
        if (!core) e[3] = 9;
    }
    if (l.Pixels) {
        b.insert(b.end(), l.Pixels->begin(), l.Pixels->end());
    } else {
        const int64_t rows = BmpRowBytes(int(l.Bits), l.Width) * (l.Height < 0 ? -l.Height : l.Height);
        for (int64_t i = 0; i < rows; ++i) b.push_back(uint8_t(i % 7));
    }
    return b;
}


TEST(BmpHeaders, EveryHeaderKindIsReadWithItsTableMasksAndPixelPlace) {
    struct TCase {
        const char* Name;
        TLayout Layout;
        int Width, Height;
        bool TopDown;
        uint32_t Colors, ColorOffset, PixelOffset;
        std::array<uint32_t, 3> Masks;
    };
    const std::array<uint32_t, 3> none = {0, 0, 0}, m555 = {0x7C00, 0x3E0, 0x1F}, m565 = {0xF800, 0x7E0, 0x1F},
                                  m888 = {0xFF0000, 0xFF00, 0xFF};
    const TCase cases[] = {
        {"8 bits, full table", {}, 4, 2, false, 256, 54, 54 + 1024, none},
        {"short table named", {.ColorsUsed = 3}, 4, 2, false, 3, 54, 54 + 12, none},
        {"1 bit", {.Width = 33, .Height = 1, .Bits = 1}, 33, 1, false, 2, 54, 62, none},
        {"core header, 4 bits, triples", {.HeaderSize = 12, .Width = 5, .Height = 3, .Bits = 4}, 5, 3, false, 16, 26, 26 + 48, none},
        {"core header, 24 bits", {.HeaderSize = 12, .Bits = 24}, 4, 2, false, 0, 26, 26, none},
        {"top-down", {.Height = -2, .Bits = 24}, 4, 2, true, 0, 54, 54, none},
        {"24 bits with a table", {.Bits = 24, .ColorsUsed = 2}, 4, 2, false, 2, 54, 62, none},
        {"16 bits, plain: 5-5-5", {.Bits = 16}, 4, 2, false, 0, 54, 54, m555},
        {"16 bits, fields 5-6-5 after the header", {.Bits = 16, .Compression = BmpBitFields, .Masks = {0xF800, 0x7E0, 0x1F}}, 4, 2, false, 0, 66, 66, m565},
        {"32 bits, plain: 8-8-8", {.Bits = 32}, 4, 2, false, 0, 54, 54, m888},
        {"32 bits, fields in a version 5 header", {.HeaderSize = 124, .Bits = 32, .Compression = BmpBitFields, .Masks = {0xFF0000, 0xFF00, 0xFF}}, 4, 2, false, 0, 138, 138, m888},
        {"version 4 header, 8 bits", {.HeaderSize = 108}, 4, 2, false, 256, 122, 122 + 1024, none},
        {"pixel offset 0: after the table", {.ColorsUsed = 2, .PixelOffset = 0}, 4, 2, false, 2, 54, 62, none},
        {"pixel offset past the table", {.ColorsUsed = 2, .PixelOffset = 70, .Pixels = std::vector<uint8_t>(8 + 8, 1)}, 4, 2, false, 2, 54, 70, none},
        {"widest", {.Width = MaxBmpSide, .Height = 1}, MaxBmpSide, 1, false, 256, 54, 54 + 1024, none},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<uint8_t> file = MakeBmp(c.Layout);
        const TBmpInfo info = CheckBmpFile(file);
        EXPECT_EQ(info.Width, c.Width);
        EXPECT_EQ(info.Height, c.Height);
        EXPECT_EQ(info.TopDown, c.TopDown);
        EXPECT_EQ(info.BitCount, int(c.Layout.Bits));
        EXPECT_EQ(info.ColorCount, c.Colors);
        EXPECT_EQ(info.ColorOffset, c.ColorOffset);
        EXPECT_EQ(info.PixelOffset, c.PixelOffset);
        EXPECT_EQ(info.Masks, c.Masks);
        EXPECT_EQ(info.PixelBytes, info.RowBytes() * info.Height);
    }
}

TEST(BmpHeaders, DamagedHeadersAreRefused) {
    const std::vector<uint8_t> good = MakeBmp({});
    auto with = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        std::vector<uint8_t> d = good;
        for (uint8_t b : bytes) d[at++] = b;
        return d;
    };
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"empty", {}},
        {"file header only", std::vector<uint8_t>(good.begin(), good.begin() + 14)},
        {"cut in the info header", std::vector<uint8_t>(good.begin(), good.begin() + 40)},
        {"cut in the colour table", std::vector<uint8_t>(good.begin(), good.begin() + 300)},
        {"signature", with(0, {'B', 'A'})},
        {"header size 0", with(14, {0, 0, 0, 0})},
        {"header size 41", with(14, {41, 0, 0, 0})},
        {"header size beyond the file", [] {
             std::vector<uint8_t> d = MakeBmp({.Bits = 24});
             Put32(d, 14, 124);
             return d;
         }()},
        {"width 0", with(18, {0, 0, 0, 0})},
        {"negative width", with(18, {0xFC, 0xFF, 0xFF, 0xFF})},
        {"height 0", with(22, {0, 0, 0, 0})},
        {"height beyond the side limit", MakeBmp({.Width = 1, .Height = MaxBmpSide + 1, .Bits = 1})},
        {"width beyond the side limit", MakeBmp({.Width = MaxBmpSide + 1, .Height = 1, .Bits = 1})},
        {"most negative height", with(22, {0, 0, 0, 0x80})},
        {"planes 0", with(26, {0, 0})},
        {"planes 2", with(26, {2, 0})},
        {"bit count 2", with(28, {2, 0})},
        {"bit count 0", with(28, {0, 0})},
        {"compression 4", with(30, {4, 0, 0, 0})},
        {"RLE4 on 8 bits", with(30, {2, 0, 0, 0})},
        {"bit fields on 8 bits", with(30, {3, 0, 0, 0})},
        {"more colours than 8 bits allow", with(46, {1, 1, 0, 0})},
        {"colour count beyond 2^32 / 4", with(46, {0, 0, 0, 0x40})},
        {"more colours than 4 bits allow", MakeBmp({.Bits = 4, .ColorsUsed = 17})},
        {"over 256 colours on 24 bits", MakeBmp({.Bits = 24, .ColorsUsed = 257})},
        {"pixels inside the info header", with(10, {40, 0, 0, 0})},
        {"pixels past the file", with(10, {0xF0, 0xFF, 0, 0})},
        {"a row missing", std::vector<uint8_t>(good.begin(), good.end() - 4)},
        {"a byte missing", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"16-bit fields of another layout", MakeBmp({.Bits = 16, .Compression = BmpBitFields, .Masks = {0xF00, 0xF0, 0xF}})},
        {"32-bit fields in another order", MakeBmp({.Bits = 32, .Compression = BmpBitFields, .Masks = {0xFF, 0xFF00, 0xFF0000}})},
        {"top-down RLE8", MakeBmp({.Height = -2, .Compression = BmpRle8, .Pixels = std::vector<uint8_t>{0, 1}})},
        {"RLE without data", MakeBmp({.Compression = BmpRle8, .Pixels = std::vector<uint8_t>()})},
    };
    for (const auto& damaged : cases)
        EXPECT_EQ(FailureId([&] { CheckBmpFile(damaged.second); }), sid::InvalidBitmap) << damaged.first;
    // Bit fields whose masks are cut off after the header.
    std::vector<uint8_t> fields = MakeBmp({.Bits = 16, .Compression = BmpBitFields, .Masks = {0xF800, 0x7E0, 0x1F}});
    fields.resize(60);
    EXPECT_EQ(FailureId([&] { ReadBmpHeaders(fields.data(), fields.size(), 1000); }), sid::InvalidBitmap);
}

// The size limits hold whatever the file size: a header is checked with the size of the file
// it claims to start, so no huge file is needed.
TEST(BmpHeaders, SizeLimitsHoldBeforeAnythingIsRead) {
    struct TCase {
        int32_t Width, Height;
        uint32_t Bits;
        bool Accepted;
    };
    const TCase cases[] = {
        {8192, 8192, 8, true},                     // exactly MaxBmpPixelBytes
        {8192, 8193, 8, false},                    // one row more
        {4096, 4096, 32, true},                    // exactly MaxBmpPixelBytes
        {4097, 4096, 32, false},
        {MaxBmpSide, 4096, 8, true},               // 64 MB
        {MaxBmpSide, MaxBmpSide, 1, true},         // 32 MB
        {MaxBmpSide, MaxBmpSide, 4, false},        // 128 MB
        {MaxBmpSide + 1, 1, 1, false},
    };
    for (const TCase& c : cases) {
        const std::vector<uint8_t> head = MakeBmp({.Width = c.Width, .Height = c.Height, .Bits = c.Bits, .Pixels = std::vector<uint8_t>()});
        const int64_t fileSize = int64_t(head.size()) + BmpRowBytes(int(c.Bits), c.Width) * c.Height;
        const int id = FailureId([&] { ReadBmpHeaders(head.data(), head.size(), fileSize); });
        EXPECT_EQ(id, c.Accepted ? 0 : sid::InvalidBitmap) << c.Width << " x " << c.Height << " x " << c.Bits;
    }
    static_assert(MaxBmpPixelBytes == int64_t(8192) * 8192, "the limit the rows above are laid out for");
}

// The rule that keeps a small file from allocating a huge bitmap: the rows must all be there.
TEST(BmpHeaders, PixelRowsMustBeInTheFile) {
    struct TCase {
        const char* Name;
        TLayout Layout;
    };
    const TCase cases[] = {
        {"8 bits", {.Width = 5, .Height = 3}},
        {"1 bit", {.Width = 13, .Height = 3, .Bits = 1}},
        {"24 bits, top-down", {.Width = 5, .Height = -3, .Bits = 24}},
        {"core header", {.HeaderSize = 12, .Width = 7, .Height = 2, .Bits = 4}},
        {"pixels after a gap", {.ColorsUsed = 2, .PixelOffset = 100, .Pixels = std::vector<uint8_t>(38 + 8, 0)}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<uint8_t> file = MakeBmp(c.Layout);
        const TBmpInfo info = CheckBmpFile(file);
        EXPECT_EQ(info.PixelOffset + info.PixelBytes, int64_t(file.size()));
        EXPECT_EQ(FailureId([&] { ReadBmpHeaders(file.data(), file.size() - 1, int64_t(file.size()) - 1); }), sid::InvalidBitmap);
    }
    // A 60-byte file that claims 16384 x 4096 pixels of 8 bits: one colour and two bytes of rows.
    std::vector<uint8_t> tiny = MakeBmp({.Width = MaxBmpSide, .Height = 4096, .ColorsUsed = 1, .Pixels = std::vector<uint8_t>(2, 0)});
    ASSERT_EQ(tiny.size(), 60u);
    EXPECT_EQ(FailureId([&] { CheckBmpFile(tiny); }), sid::InvalidBitmap);
    // The same at 24 bits, which need no table.
    tiny = MakeBmp({.Width = MaxBmpSide, .Height = 1024, .Bits = 24, .Pixels = std::vector<uint8_t>(6, 0)});
    ASSERT_EQ(tiny.size(), 60u);
    EXPECT_EQ(FailureId([&] { CheckBmpFile(tiny); }), sid::InvalidBitmap);
}

// The bitmap loader reads no more than MaxBmpHeadBytes before it knows where the pixels are.
TEST(BmpHeaders, TheFirstBytesOfALongFileAreEnough) {
    for (const TLayout& l : {TLayout{.HeaderSize = 124, .Width = 300, .Height = 20, .Bits = 8},
                             TLayout{.HeaderSize = 40, .Width = 100, .Height = 10, .Bits = 16, .Compression = BmpBitFields, .ColorsUsed = 256, .Masks = {0xF800, 0x7E0, 0x1F}},
                             TLayout{.HeaderSize = 12, .Width = 400, .Height = 3, .Bits = 8}}) {
        const std::vector<uint8_t> file = MakeBmp(l);
        ASSERT_GT(file.size(), size_t(MaxBmpHeadBytes));
        const TBmpInfo whole = CheckBmpFile(file);
        const TBmpInfo head = ReadBmpHeaders(file.data(), size_t(MaxBmpHeadBytes), int64_t(file.size()));
        EXPECT_EQ(head.PixelOffset, whole.PixelOffset);
        EXPECT_EQ(head.PixelBytes, whole.PixelBytes);
        EXPECT_EQ(BmpColorTable(head, file.data(), size_t(MaxBmpHeadBytes)), BmpColorTable(whole, file.data(), file.size()));
    }
}

TEST(BmpHeaders, ColourTablesAreQuadsWhateverTheHeader) {
    const std::vector<uint8_t> info = MakeBmp({.Bits = 4, .ColorsUsed = 3});
    const std::vector<TBmpQuad> quads = BmpColorTable(CheckBmpFile(info), info.data(), info.size());
    EXPECT_EQ(quads, (std::vector<TBmpQuad>{{0, 0, 0, 9}, {1, 2, 3, 9}, {2, 4, 6, 9}}));
    const std::vector<uint8_t> core = MakeBmp({.HeaderSize = 12, .Bits = 1});
    const std::vector<TBmpQuad> triples = BmpColorTable(CheckBmpFile(core), core.data(), core.size());
    EXPECT_EQ(triples, (std::vector<TBmpQuad>{{0, 0, 0, 0}, {1, 2, 3, 0}}));
    const std::vector<uint8_t> rgb = MakeBmp({.Bits = 24, .ColorsUsed = 2});
    EXPECT_TRUE(BmpColorTable(CheckBmpFile(rgb), rgb.data(), rgb.size()).empty());
}

// An RLE file of Width x Height whose pixel data are Codes; the header names their size.
std::vector<uint8_t> RleFile(int bits, int width, int height, const std::vector<uint8_t>& codes) {
    return MakeBmp({.Width = width, .Height = height, .Bits = uint32_t(bits),
                    .Compression = bits == 8 ? BmpRle8 : BmpRle4, .ImageSize = uint32_t(codes.size()), .Pixels = codes});
}

// The colour indexes of decoded bottom-up rows, top row first.
std::vector<std::vector<int>> Indexes(const TBmpInfo& info, const std::vector<uint8_t>& rows) {
    std::vector<std::vector<int>> out;
    for (int y = info.Height - 1; y >= 0; --y) {
        const uint8_t* line = rows.data() + y * info.RowBytes();
        std::vector<int> row;
        for (int x = 0; x < info.Width; ++x)
            row.push_back(info.BitCount == 8 ? line[x] : (x % 2 ? line[x / 2] & 15 : line[x / 2] >> 4));
        out.push_back(row);
    }
    return out;
}

TEST(BmpRle, CodesAreDecodedAndDamagedCodesAreRefusedByTheCheckAlike) {
    using Rows = std::vector<std::vector<int>>;
    struct TCase {
        const char* Name;
        int Bits, Width, Height;
        std::vector<uint8_t> Codes;
        Rows Expected;  // top row first; empty: refused
    };
    const TCase cases[] = {
        {"runs and end of line", 8, 4, 2, {3, 5, 0, 0, 2, 7, 0, 1}, {{7, 7, 0, 0}, {5, 5, 5, 0}}},
        {"absolute run of odd length, padded", 8, 4, 1, {0, 3, 1, 2, 3, 0, 0, 1}, {{1, 2, 3, 0}}},
        {"delta skips pixels and rows", 8, 4, 2, {1, 9, 0, 2, 2, 1, 1, 8, 0, 1}, {{0, 0, 0, 8}, {9, 0, 0, 0}}},
        {"runs past the right edge are cut", 8, 4, 2, {6, 4, 0, 0, 1, 3, 0, 1}, {{3, 0, 0, 0}, {4, 4, 4, 4}}},
        {"absolute run past the right edge is cut", 8, 2, 1, {0, 3, 1, 2, 3, 0, 0, 1}, {{1, 2}}},
        {"no end of bitmap after the last row", 8, 4, 2, {4, 1, 0, 0, 4, 2}, {{2, 2, 2, 2}, {1, 1, 1, 1}}},
        {"end of bitmap early: the rest stays 0", 8, 2, 3, {2, 6, 0, 1}, {{0, 0}, {0, 0}, {6, 6}}},
        {"delta above the top row ends decoding", 8, 2, 2, {2, 3, 0, 2, 0, 9, 2, 4}, {{0, 0}, {3, 3}}},
        {"last absolute run without its pad byte", 8, 3, 1, {0, 3, 1, 2, 3}, {{1, 2, 3}}},
        {"RLE4 runs alternate two colours", 4, 7, 1, {4, 0x12, 0, 3, 0x34, 0x50, 0, 1}, {{1, 2, 1, 2, 3, 4, 5}}},
        {"RLE4 absolute run of 5, padded", 4, 6, 1, {0, 5, 0x12, 0x34, 0x50, 0, 1, 0xF0, 0, 1}, {{1, 2, 3, 4, 5, 15}}},
        {"RLE4 odd run ends on a high nibble", 4, 3, 1, {3, 0xAB, 0, 1}, {{10, 11, 10}}},
        {"absolute run cut short", 8, 4, 1, {0, 5, 1, 2}, {}},
        {"RLE4 absolute run cut short", 4, 8, 1, {0, 7, 0x12, 0x34}, {}},
        {"delta cut short", 8, 4, 2, {0, 2, 1}, {}},
        {"data ends below the last row", 8, 4, 3, {4, 1, 0, 0}, {}},
        {"nothing but end of line", 8, 4, 3, {0, 0}, {}},
        {"a single byte", 8, 4, 2, {4}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<uint8_t> file = RleFile(c.Bits, c.Width, c.Height, c.Codes);
        const int checked = FailureId([&] { CheckBmpFile(file); });
        const TBmpInfo info = ReadBmpHeaders(file.data(), file.size(), int64_t(file.size()));
        std::vector<uint8_t> rows(size_t(info.RowBytes() * info.Height), 0);
        const int decoded = FailureId([&] { DecodeBmpRle(info, file.data() + info.PixelOffset, size_t(info.PixelBytes), rows.data()); });
        EXPECT_EQ(checked, decoded);
        if (c.Expected.empty()) {
            EXPECT_EQ(checked, sid::InvalidBitmap);
            continue;
        }
        EXPECT_EQ(checked, 0);
        EXPECT_EQ(Indexes(info, rows), c.Expected);
    }
}

TEST(BmpRle, TheEncodedDataEndsWhereTheHeaderSaysOrAtTheFileEnd) {
    // Codes for three rows, but the header's image size takes in the first row only.
    const std::vector<uint8_t> codes = {4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 1};
    std::vector<uint8_t> file = RleFile(8, 4, 3, codes);
    EXPECT_EQ(CheckBmpFile(file).PixelBytes, 12);
    Put32(file, 34, 4);
    EXPECT_EQ(ReadBmpHeaders(file.data(), file.size(), int64_t(file.size())).PixelBytes, 4);
    EXPECT_EQ(FailureId([&] { CheckBmpFile(file); }), sid::InvalidBitmap);
    // Without an image size: up to the end of the file; a size beyond the file changes nothing.
    Put32(file, 34, 0);
    file.push_back(77);
    EXPECT_EQ(CheckBmpFile(file).PixelBytes, 13);
    Put32(file, 34, 5000);
    EXPECT_EQ(CheckBmpFile(file).PixelBytes, 13);
}

// A small RLE file may stand for a large picture only with complete codes; a damaged one is
// refused by the check that runs before the bitmap is allocated.
TEST(BmpRle, TinyFilesClaimingHugePicturesNeedCompleteCodes) {
    const std::vector<uint8_t> cut = RleFile(8, 8192, 8192, {255, 1, 255, 1, 0, 0});
    EXPECT_EQ(FailureId([&] { CheckBmpFile(cut); }), sid::InvalidBitmap);
    const std::vector<uint8_t> ended = RleFile(8, 8192, 8192, {255, 1, 0, 1});
    EXPECT_EQ(CheckBmpFile(ended).Height, 8192);
    const std::vector<uint8_t> beyond = RleFile(8, 8192, 8193, {0, 1});
    EXPECT_EQ(FailureId([&] { CheckBmpFile(beyond); }), sid::InvalidBitmap);
}

}  // namespace
