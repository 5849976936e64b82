// BMP row sizes against the padding of BMP files made by an image tool, the BMP writer, the
// check of BMP headers, and the reading of pixels: the tool's files, uncompressed and
// run-length encoded, and damaged copies of them.
#include "pictures/bmp_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

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

TEST(BmpImage, RleFilesPassTheCheckAndAreReadAsPixels) {
    const std::vector<uint8_t> rle = ReadData("bmp8_rle_5x3.rle");
    EXPECT_EQ(CheckBmpFile(rle).Compression, 1u);
    EXPECT_TRUE(SamePixels(BmpToRgb(rle), ReadPpm("bmp8_5x3.ppm")));
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

// What a damaged copy of a tool-made file gives.
enum TOutcome {
    ocReference,   // the reference pixels
    ocFlipped,     // the reference pixels upside down
    ocBottomLeft,  // a larger picture whose bottom-left corner shows the reference
    ocRefused,     // EInvalidImage 65346, from the check and from the reader alike
};

// The reference's pixels as the part of Image they show in.
::testing::AssertionResult Shows(const TRgbImage& image, const TRgbImage& reference, TOutcome outcome) {
    if (outcome == ocReference) return SamePixels(image, reference);
    if (outcome == ocFlipped) {
        TRgbImage flipped = reference;
        const size_t row = size_t(reference.Width) * 3;
        for (int y = 0; y < reference.Height; ++y)
            std::copy_n(reference.Rgb.begin() + std::ptrdiff_t((reference.Height - 1 - y) * row), row,
                        flipped.Rgb.begin() + std::ptrdiff_t(y * row));
        return SamePixels(image, flipped);
    }
    if (image.Width < reference.Width || image.Height < reference.Height || image.Rgb.size() == reference.Rgb.size())
        return ::testing::AssertionFailure() << "size " << image.Width << "x" << image.Height;
    TRgbImage corner = reference;
    const int top = image.Height - reference.Height;
    for (int y = 0; y < reference.Height; ++y)
        std::copy_n(image.Rgb.begin() + std::ptrdiff_t((size_t(top + y) * image.Width) * 3), reference.Width * 3,
                    corner.Rgb.begin() + std::ptrdiff_t(size_t(y) * reference.Width * 3));
    return SamePixels(corner, reference);
}

void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// Every BMP and RLE file of the test data with every damage below: what the check and the
// reader make of it. The encoded files end each row with an end-of-line code, so a wider or
// taller picture claimed by their headers is still complete.
TEST(BmpImage, ToolMadeFilesAndTheirDamagedCopies) {
    struct TFile {
        const char* Name;
        const char* Reference;
    };
    const TFile files[] = {
        {"bmp1_13x3.bmp", "bmp1_13x3.ppm"},       {"bmp4_7x3.bmp", "bmp4_7x3.ppm"},
        {"bmp8_5x3.bmp", "bmp8_5x3.ppm"},         {"bmp24_5x3.bmp", "bmp24_5x3.ppm"},
        {"bmp4_37x23.bmp", "bmp4_37x23.ppm"},     {"bmp8_37x23.bmp", "bmp8_37x23.ppm"},
        {"bmp8_rle_5x3.rle", "bmp8_5x3.ppm"},     {"bmp8_rle_37x23.rle", "bmp8_37x23.ppm"},
        {"bmp4_rle_37x23.rle", "bmp4_37x23.ppm"},
    };
    using TDamage = void (*)(std::vector<uint8_t>&);
    struct TCase {
        const char* Name;
        TDamage Damage;
        TOutcome Plain, Encoded;
    };
    const TCase cases[] = {
        {"as made", [](std::vector<uint8_t>&) {}, ocReference, ocReference},
        {"cut to the file header", [](std::vector<uint8_t>& b) { b.resize(14); }, ocRefused, ocRefused},
        {"cut in the info header", [](std::vector<uint8_t>& b) { b.resize(40); }, ocRefused, ocRefused},
        {"cut after the info header", [](std::vector<uint8_t>& b) { b.resize(58); }, ocRefused, ocRefused},
        {"last byte cut", [](std::vector<uint8_t>& b) { b.pop_back(); }, ocRefused, ocReference},
        {"cut in the middle of the pixels",
         [](std::vector<uint8_t>& b) { b.resize(Le32(b, 10) + (b.size() - Le32(b, 10)) / 2); }, ocRefused, ocRefused},
        {"60 bytes claiming 16384 x 4096",
         [](std::vector<uint8_t>& b) {
             b.resize(60);
             Set32(b, 18, 16384);
             Set32(b, 22, 4096);
         },
         ocRefused, ocRefused},
        {"claims 16384 rows", [](std::vector<uint8_t>& b) { Set32(b, 22, 16384); }, ocRefused, ocBottomLeft},
        {"claims 16384 columns", [](std::vector<uint8_t>& b) { Set32(b, 18, 16384); }, ocRefused, ocBottomLeft},
        {"claims 16385 columns", [](std::vector<uint8_t>& b) { Set32(b, 18, 16385); }, ocRefused, ocRefused},
        {"top-down", [](std::vector<uint8_t>& b) { Set32(b, 22, uint32_t(-int32_t(Le32(b, 22)))); }, ocFlipped, ocRefused},
        {"pixel offset past the end", [](std::vector<uint8_t>& b) { Set32(b, 10, uint32_t(b.size())); }, ocRefused, ocRefused},
        {"pixel offset in the headers", [](std::vector<uint8_t>& b) { Set32(b, 10, 20); }, ocRefused, ocRefused},
        {"header size 41", [](std::vector<uint8_t>& b) { Set32(b, 14, 41); }, ocRefused, ocRefused},
        {"planes 0", [](std::vector<uint8_t>& b) { b[26] = 0; }, ocRefused, ocRefused},
        {"bit count 2", [](std::vector<uint8_t>& b) { b[28] = 2; }, ocRefused, ocRefused},
        {"compression 5", [](std::vector<uint8_t>& b) { b[30] = 5; }, ocRefused, ocRefused},
        {"257 colours", [](std::vector<uint8_t>& b) { Set32(b, 46, 257); }, ocRefused, ocRefused},
    };
    for (const TFile& f : files) {
        const std::vector<uint8_t> made = ReadData(f.Name);
        const TRgbImage reference = ReadPpm(f.Reference);
        const bool encoded = CheckBmpFile(made).Compression != 0;
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(f.Name) + ", " + c.Name);
            std::vector<uint8_t> bytes = made;
            c.Damage(bytes);
            const TOutcome outcome = encoded ? c.Encoded : c.Plain;
            if (outcome == ocRefused) {
                EXPECT_EQ(FailureId([&] { CheckBmpFile(bytes); }), sid::InvalidBitmap);
                EXPECT_EQ(FailureId([&] { BmpToRgb(bytes); }), sid::InvalidBitmap);
                continue;
            }
            TRgbImage image;
            ASSERT_EQ(FailureId([&] { image = BmpToRgb(bytes); }), 0);
            EXPECT_TRUE(Shows(image, reference, outcome));
        }
    }
}

// The fuzz target's corpus: the seeds and every input that once crashed it. Each is read the
// two ways the program reads BMP files, which must agree; what the check accepts decodes to
// pixels of its size or is refused with the bitmap error.
TEST(BmpImage, FuzzCorpusFilesAreReadOrRefusedAlikeBothWays) {
    const std::filesystem::path folder = std::filesystem::path(PICTURES_FUZZ_CORPUS) / "bmp";
    int files = 0, accepted = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ++files;
        const int whole = FailureId([&] { CheckBmpFile(bytes); });
        const size_t head = std::min(bytes.size(), size_t(MaxBmpHeadBytes));
        const int headers = FailureId([&] {
            const TBmpInfo info = ReadBmpHeaders(bytes.data(), head, int64_t(bytes.size()));
            if (info.Rle()) CheckBmpRle(info, bytes.data() + info.PixelOffset, size_t(info.PixelBytes));
        });
        EXPECT_EQ(whole, headers);
        if (whole != 0) {
            EXPECT_EQ(whole, sid::InvalidBitmap);
            continue;
        }
        ++accepted;
        const TBmpInfo info = CheckBmpFile(bytes);
        TRgbImage image;
        const int read = FailureId([&] { image = BmpToRgb(bytes); });
        if (read == 0) {
            EXPECT_EQ(image.Rgb.size(), size_t(info.Width) * size_t(info.Height) * 3);
        } else {
            EXPECT_EQ(read, sid::InvalidBitmap);
        }
    }
    EXPECT_GE(files, 13);
    EXPECT_GE(accepted, 13);
}

}  // namespace
