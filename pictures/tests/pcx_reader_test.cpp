// The PCX reader against files made by image tools, and against damaged and hand-made files.
#include "pictures/pcx_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/exception.h"
#include "picture_test_data.h"
#include "pictures/image_error.h"

namespace {

struct TPcxCase {
    const char* File;
    int BmpBits;
};

class PcxFiles : public testing::TestWithParam<TPcxCase> {};

TEST_P(PcxFiles, DecodePixelExactAsTheToolDecodesThem) {
    const std::string file = GetParam().File;
    const std::vector<uint8_t> pcx = ReadData(file + ".pcx");
    const std::vector<uint8_t> bmp = PcxToBmp(pcx.data(), pcx.size());
    EXPECT_TRUE(SamePixels(BmpToRgb(bmp), ReadPpm(file + ".ppm")));
    EXPECT_EQ(int(Le16(bmp, 28)), GetParam().BmpBits);
    EXPECT_EQ(Le32(bmp, 2), bmp.size());
}

INSTANTIATE_TEST_SUITE_P(ToolMade, PcxFiles,
                         testing::Values(TPcxCase{"pcx1_rle", 1}, TPcxCase{"pcx1_netpbm", 1},
                                         TPcxCase{"pcx2_packed", 4}, TPcxCase{"pcx2_planes", 4},
                                         TPcxCase{"pcx4_packed", 4}, TPcxCase{"pcx4_planes", 4},
                                         TPcxCase{"pcx8_rle", 8}, TPcxCase{"pcx8_raw", 8},
                                         TPcxCase{"pcx8_c256_rle", 8}, TPcxCase{"pcx24_rle", 24},
                                         TPcxCase{"pcx24_raw", 24}),
                         [](const testing::TestParamInfo<TPcxCase>& info) { return std::string(info.param.File); });

TEST(PcxReader, PlainAndEncodedFilesGiveTheSameBitmap) {
    for (const char* pair : {"pcx1", "pcx8", "pcx24"}) {
        const std::vector<uint8_t> raw = ReadData(std::string(pair) + "_raw.pcx");
        const std::vector<uint8_t> rle = ReadData(std::string(pair) + "_rle.pcx");
        EXPECT_EQ(PcxToBmp(raw.data(), raw.size()), PcxToBmp(rle.data(), rle.size())) << pair;
    }
    const std::vector<uint8_t> raw = ReadData("pcx4_planes_raw.pcx");
    const std::vector<uint8_t> rle = ReadData("pcx4_planes.pcx");
    EXPECT_EQ(PcxToBmp(raw.data(), raw.size()), PcxToBmp(rle.data(), rle.size()));
}

TEST(PcxReader, PlanesAndPackedPixelsOfTheSamePictureAgree) {
    for (const char* bits : {"pcx2", "pcx4"}) {
        const std::vector<uint8_t> planes = ReadData(std::string(bits) + "_planes.pcx");
        const std::vector<uint8_t> packed = ReadData(std::string(bits) + "_packed.pcx");
        EXPECT_TRUE(SamePixels(BmpToRgb(PcxToBmp(planes.data(), planes.size())),
                               BmpToRgb(PcxToBmp(packed.data(), packed.size()))))
            << bits;
    }
}

// A version-3 file takes the screen's palette: the same indexes as the version-5 file, other colours.
TEST(PcxReader, VersionThreeUsesTheScreenPalette) {
    const std::vector<uint8_t> v5 = ReadData("pcx4_planes.pcx");
    const std::vector<uint8_t> v3 = ReadData("pcx4_planes_v3.pcx");
    TSystemPalette screen{};
    for (size_t i = 0; i < screen.size(); ++i) screen[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
    for (const TSystemPalette* palette : std::vector<const TSystemPalette*>{&screen, &DefaultSystemPalette()}) {
        const std::vector<uint8_t> bmp5 = PcxToBmp(v5.data(), v5.size());
        const std::vector<uint8_t> bmp3 = PcxToBmp(v3.data(), v3.size(), *palette);
        ASSERT_EQ(bmp3.size(), bmp5.size());
        const size_t pixels = Le32(bmp5, 10);
        EXPECT_TRUE(std::equal(bmp3.begin() + std::ptrdiff_t(pixels), bmp3.end(), bmp5.begin() + std::ptrdiff_t(pixels)));
        for (size_t i = 0; i < 16; ++i) {
            for (size_t k = 0; k < 4; ++k) EXPECT_EQ(bmp3[54 + 4 * i + k], (*palette)[i][k]) << i;
        }
    }
    // The default is the VGA palette: index 1 is blue, 14 yellow.
    EXPECT_EQ(DefaultSystemPalette()[1], (TBmpQuad{170, 0, 0, 0}));
    EXPECT_EQ(DefaultSystemPalette()[14], (TBmpQuad{85, 255, 255, 0}));
}

// A 4 x 2 8-bit file with a 256-colour table at the end; Body is the pixel data.
std::vector<uint8_t> MakePcx8(int w, int h, int bytesPerLine, bool encoded, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> p;
    p.reserve(128 + body.size() + 769);
    p.resize(128, 0);
    p[0] = 0x0A;
    p[1] = 5;
    p[2] = encoded ? 1 : 0;
    p[3] = 8;
    p[8] = uint8_t(w - 1);
    p[9] = uint8_t((w - 1) >> 8);
    p[10] = uint8_t(h - 1);
    p[11] = uint8_t((h - 1) >> 8);
    p[65] = 1;
    p[66] = uint8_t(bytesPerLine);
    p[67] = uint8_t(bytesPerLine >> 8);
    p.insert(p.end(), body.begin(), body.end());
    p.push_back(0x0C);
    for (int i = 0; i < 256; ++i) p.insert(p.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
    return p;
}

TEST(PcxReader, RunsGoOnIntoTheNextLine) {
    // One run of 7 bytes of index 9 and one literal 3 fill both lines of 4 bytes.
    const std::vector<uint8_t> pcx = MakePcx8(4, 2, 4, true, {0xC7, 9, 3});
    const std::vector<uint8_t> bmp = PcxToBmp(pcx.data(), pcx.size());
    const size_t pixels = Le32(bmp, 10);
    // Rows bottom-up: the second line first.
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + std::ptrdiff_t(pixels), bmp.end()),
              (std::vector<uint8_t>{9, 9, 9, 3, 9, 9, 9, 9}));
}

TEST(PcxReader, DamagedFilesFailWithTheirMessage) {
    const std::vector<uint8_t> good = ReadData("pcx8_rle.pcx");
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> d = good;
        d[at] = value;
        return d;
    };
    // 16385 x 1 pixels of 261 runs: enough data, but wider than the cap.
    std::vector<uint8_t> runs;
    for (int i = 0; i < 261; ++i) runs.insert(runs.end(), {0xFF, 0});
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Data;
        int Id;
    };
    const std::vector<TCase> cases = {
        {"empty", {}, sid::InvalidPcxFormat},
        {"short header", std::vector<uint8_t>(good.begin(), good.begin() + 100), sid::InvalidPcxFormat},
        {"first byte", with(0, 0x0B), sid::InvalidPcxFormat},
        {"xmax below xmin", with(4, 200), sid::InvalidPcxFormat},
        {"line too short", with(66, 20), sid::InvalidPcxFormat},
        {"run at the very end", MakePcx8(4, 1, 4, true, {3, 3, 3, 0xC1}), 0},
        {"huge with little data", MakePcx8(16000, 16000, 16000, true, {0xFF, 1}), sid::InvalidImageFormat},
        {"wider than the cap", MakePcx8(16385, 1, 16385, true, runs), sid::InvalidImageFormat},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(FailureId([&] { PcxToBmp(c.Data.data(), c.Data.size()); }), c.Id) << c.Name;
    }
}

TEST(PcxReader, UnknownLayoutsGiveABlankPictureOfTheirSize) {
    const std::vector<uint8_t> good = ReadData("pcx8_rle.pcx");
    struct TCase {
        const char* Name;
        int Offset;
        uint8_t Value;
        int BmpBits;
    };
    // Bits per pixel at offset 3, planes at 65.
    for (const TCase& c : {TCase{"2 planes of 8 bits", 65, 2, 24}, TCase{"16 bits per pixel", 3, 16, 24},
                           TCase{"no planes", 65, 0, 1}, TCase{"3 bits per pixel", 3, 3, 4}}) {
        SCOPED_TRACE(c.Name);
        std::vector<uint8_t> pcx = good;
        pcx[size_t(c.Offset)] = c.Value;
        std::vector<uint8_t> bmp;
        ASSERT_NO_THROW(bmp = PcxToBmp(pcx.data(), pcx.size()));
        EXPECT_EQ(Le32(bmp, 18), 37u);
        EXPECT_EQ(Le32(bmp, 22), 23u);
        EXPECT_EQ(bmp[28], c.BmpBits);
        const size_t pixels = Le32(bmp, 10);
        EXPECT_TRUE(std::all_of(bmp.begin() + std::ptrdiff_t(pixels), bmp.end(), [](uint8_t b) { return b == 0; }));
    }
}

TEST(PcxReader, PixelDataThatEndsEarlyLeavesTheLastRowsBlank) {
    // 4 x 3 pixels of 8 bits, plain: the data holds the first line and half of the second.
    const std::vector<uint8_t> pcx = MakePcx8(4, 3, 4, false, {1, 2, 3, 4, 5, 6});
    // The colour table at the end is taken for pixel data no more: cut the file before it.
    const std::vector<uint8_t> cut(pcx.begin(), pcx.begin() + 128 + 6);
    std::vector<uint8_t> bmp;
    ASSERT_NO_THROW(bmp = PcxToBmp(cut.data(), cut.size()));
    const size_t pixels = Le32(bmp, 10);
    // Rows bottom-up: the third line, the second, the first.
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + std::ptrdiff_t(pixels), bmp.end()),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4}));
    // Without room for its colour table the file is shown in the screen's colours.
    EXPECT_EQ(bmp[54 + 4 * 9 + 0], DefaultSystemPalette()[9][0]);
    EXPECT_EQ(bmp[54 + 4 * 9 + 2], DefaultSystemPalette()[9][2]);

    // A real file cut off after 400 bytes keeps the rows it still holds.
    const std::vector<uint8_t> whole = ReadData("pcx24_rle.pcx");
    const std::vector<uint8_t> full = PcxToBmp(whole.data(), whole.size());
    const std::vector<uint8_t> part(whole.begin(), whole.begin() + 400);
    const std::vector<uint8_t> partial = PcxToBmp(part.data(), part.size());
    ASSERT_EQ(partial.size(), full.size());
    const size_t rowBytes = (37 * 3 + 3) / 4 * 4;
    const size_t lastRow = partial.size() - rowBytes;  // the picture's top row
    EXPECT_TRUE(std::equal(partial.begin() + std::ptrdiff_t(lastRow), partial.end(), full.begin() + std::ptrdiff_t(lastRow)));
    const size_t start = Le32(partial, 10);
    EXPECT_TRUE(std::all_of(partial.begin() + std::ptrdiff_t(start), partial.begin() + std::ptrdiff_t(start + rowBytes),
                            [](uint8_t b) { return b == 0; }));
}

TEST(PcxReader, HeaderFieldsAsRead) {
    const std::vector<uint8_t> pcx = ReadData("pcx4_planes.pcx");
    const TPcxHeader h = ReadPcxHeader(pcx.data(), pcx.size());
    EXPECT_EQ(h.Width, 37);
    EXPECT_EQ(h.Height, 23);
    EXPECT_EQ(h.BitCount, 4);
    EXPECT_EQ(h.ColorCount, 16);
    EXPECT_EQ(h.BmpBits, 4);
    EXPECT_TRUE(h.Encoded);
    const std::vector<uint8_t> rgb = ReadData("pcx24_rle.pcx");
    EXPECT_EQ(ReadPcxHeader(rgb.data(), rgb.size()).ColorCount, 0);
}

}  // namespace
