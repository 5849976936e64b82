// BMP row sizes against the padding of BMP files made by an image tool, the BMP writer, the
// check of BMP headers, and the reading of pixels.
#include "pictures/bmp_image.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/string_ids.h"
#include "picture_test_data.h"
#include "pictures/bmp_rows.h"
#include "pictures/image_error.h"

namespace {

TEST(BmpRows, RowSizesPadToFourBytes) {
    struct TCase {
        int Bits;
        int Width;
        int64_t Bytes;
    };
    const TCase cases[] = {
        {1, 1, 4},   {1, 32, 4},   {1, 33, 8},  {4, 1, 4},   {4, 8, 4},   {4, 9, 8},    {8, 1, 4},
        {8, 4, 4},   {8, 5, 8},    {16, 2, 4},  {16, 3, 8},  {24, 1, 4},  {24, 4, 12},  {24, 5, 16},
        {32, 3, 12}, {2, 10, 0},   {15, 10, 0}, {7, 10, 0},  {8, 0, 0},   {24, 16384, 49152},
    };
    for (const TCase& c : cases) EXPECT_EQ(BmpRowBytes(c.Bits, c.Width), c.Bytes) << c.Bits << " bits, " << c.Width;
}

TEST(BmpRows, ConvertersWidenTwoBitsAndWriteFifteenAndSixteenAsTriples) {
    EXPECT_EQ(StoredBitCount(2), 4);
    EXPECT_EQ(StoredBitCount(15), 24);
    EXPECT_EQ(StoredBitCount(16), 24);
    EXPECT_EQ(StoredBitCount(32), 0);
    EXPECT_EQ(ConverterRowBytes(2, 9), 8);    // 9 nibbles
    EXPECT_EQ(ConverterRowBytes(16, 5), 16);  // 5 triples
    EXPECT_EQ(ConverterRowBytes(8, 5), 8);
}

// The tool's BMP files: file size = pixel offset + row size x height, and their pixels.
TEST(BmpRows, MatchTheRowsOfToolMadeFiles) {
    struct TCase {
        const char* File;
        int Bits;
    };
    for (const TCase& c : {TCase{"bmp1_13x3", 1}, TCase{"bmp4_7x3", 4}, TCase{"bmp8_5x3", 8}, TCase{"bmp24_5x3", 24}}) {
        const std::vector<uint8_t> bmp = ReadData(std::string(c.File) + ".bmp");
        const TBmpInfo info = CheckBmpFile(bmp);
        EXPECT_EQ(info.BitCount, c.Bits) << c.File;
        EXPECT_EQ(int64_t(bmp.size()), info.PixelOffset + BmpRowBytes(c.Bits, info.Width) * info.Height) << c.File;
        EXPECT_TRUE(SamePixels(BmpToRgb(bmp), ReadPpm(std::string(c.File) + ".ppm"))) << c.File;
    }
}

TEST(BmpImage, RleFilesPassTheCheckButAreNotReadAsPixels) {
    const std::vector<uint8_t> rle = ReadData("bmp8_rle_5x3.rle");
    EXPECT_EQ(CheckBmpFile(rle).Compression, 1u);
    EXPECT_EQ(FailureId([&] { BmpToRgb(rle); }), sid::InvalidBitmap);
}

TEST(BmpImage, WriterLaysOutHeadersPaletteAndBottomUpRows) {
    TBmpWriter w(3, 2, 4, {{1, 2, 3, 0}, {4, 5, 6, 0}});
    w.Row(0)[0] = 0x10;  // top row, first pixel index 1
    const std::vector<uint8_t> b = w.Release();
    EXPECT_EQ(b.size(), 14u + 40 + 8 + 2 * 4);
    EXPECT_EQ(Le32(b, 10), 62u);
    EXPECT_EQ(Le32(b, 46), 2u);  // a short colour table is named
    EXPECT_EQ(b[62 + 4], 0x10);  // the top row is stored last
    const TRgbImage rgb = BmpToRgb(b);
    EXPECT_EQ(rgb.Rgb[0], 6);  // red of entry 1
    EXPECT_EQ(rgb.Rgb[3], 3);  // red of entry 0
}

TEST(BmpImage, WriterRefusesSizesBeyondTheCaps) {
    EXPECT_EQ(FailureId([] { TBmpWriter(16385, 1, 8, {}); }), sid::InvalidImageFormat);
    EXPECT_EQ(FailureId([] { TBmpWriter(16384, 16384, 24, {}); }), sid::InvalidImageFormat);
    EXPECT_EQ(FailureId([] { TBmpWriter(0, 1, 8, {}); }), sid::InvalidImageFormat);
}

TEST(BmpImage, CheckRefusesHeadersThatDoNotFitTheBytes) {
    const std::vector<uint8_t> good = ReadData("bmp8_5x3.bmp");
    auto with = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        std::vector<uint8_t> d = good;
        for (uint8_t b : bytes) d[at++] = b;
        return d;
    };
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"signature", with(0, {'B', 'N'})},
        {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"header size", with(14, {41, 0, 0, 0})},
        {"width", with(18, {0, 0, 0, 0})},
        {"too wide", with(18, {0x01, 0x40, 0, 0})},
        {"planes", with(26, {2, 0})},
        {"bit count", with(28, {7, 0})},
        {"colours", with(46, {1, 1, 0, 0})},
        {"pixel offset", with(10, {0xF0, 0xFF, 0, 0})},
        {"compression", with(30, {9, 0, 0, 0})},
    };
    // Lambdas take the case by name: clang before version 16 does not let them capture structured bindings.
    for (const auto& c : cases) EXPECT_EQ(FailureId([&] { CheckBmpFile(c.second); }), sid::InvalidBitmap) << c.first;
}

}  // namespace
