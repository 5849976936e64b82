// The GIF reader against files made by an image tool, and against damaged and hand-coded files.
#include "pictures/gif_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/exception.h"
#include "picture_test_data.h"
#include "pictures/image_error.h"

namespace {

// Codes written least significant bit first into data sub-blocks of up to 255 bytes.
class TCodeWriter {
public:
    void Put(uint32_t code, int width) {
        bits_ |= uint64_t(code) << count_;
        count_ += width;
        while (count_ >= 8) Flush8();
    }
    std::vector<uint8_t> Blocks(bool terminator = true) {
        if (count_ > 0) Flush8();
        std::vector<uint8_t> out;
        for (size_t i = 0; i < bytes_.size(); i += 255) {
            const size_t n = std::min<size_t>(255, bytes_.size() - i);
            out.push_back(uint8_t(n));
            out.insert(out.end(), bytes_.begin() + std::ptrdiff_t(i), bytes_.begin() + std::ptrdiff_t(i + n));
        }
        if (terminator) out.push_back(0);
        return out;
    }

private:
    void Flush8() {
        bytes_.push_back(uint8_t(bits_));
        bits_ >>= 8;
        count_ = count_ >= 8 ? count_ - 8 : 0;
    }
    uint64_t bits_ = 0;
    int count_ = 0;
    std::vector<uint8_t> bytes_;
};

// A GIF89a with a 4-colour global table (black, red, green, blue) and one image of W x H.
std::vector<uint8_t> MakeGif(int w, int h, int minCodeSize, const std::vector<uint8_t>& blocks,
                             uint8_t imageFlags = 0) {
    std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8),
                              0x81, 0, 0};
    const uint8_t colors[12] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    g.insert(g.end(), colors, colors + 12);
    const uint8_t gce[8] = {0x21, 0xF9, 4, 1, 0, 0, 3, 0};  // a graphic control extension with transparency
    g.insert(g.end(), gce, gce + 8);
    const uint8_t desc[10] = {0x2C, 0, 0, 0, 0, uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), imageFlags};
    g.insert(g.end(), desc, desc + 10);
    g.push_back(uint8_t(minCodeSize));
    g.insert(g.end(), blocks.begin(), blocks.end());
    g.push_back(0x3B);
    return g;
}

// Index of the pixel at (X, Y) of an 8-bit BMP made by the reader.
int PixelIndex(const std::vector<uint8_t>& bmp, int x, int y) {
    const int w = int(Le32(bmp, 18)), h = int(Le32(bmp, 22));
    const int row = (w + 3) / 4 * 4;
    return bmp[Le32(bmp, 10) + size_t(h - 1 - y) * size_t(row) + size_t(x)];
}

struct TGifCase {
    const char* File;
    const char* Reference;
};

class GifFiles : public testing::TestWithParam<TGifCase> {};

TEST_P(GifFiles, DecodePixelExactAsTheToolDecodesThem) {
    const std::vector<uint8_t> gif = ReadData(GetParam().File);
    const std::vector<uint8_t> bmp = GifToBmp(gif.data(), gif.size());
    const TRgbImage expected = ReadPpm(GetParam().Reference);
    EXPECT_TRUE(SamePixels(BmpToRgb(bmp), expected));
    // An 8-bit BMP: 1078 bytes of headers and 256 colours, rows padded to 4 bytes.
    EXPECT_EQ(Le16(bmp, 28), 8u);
    EXPECT_EQ(Le32(bmp, 10), 1078u);
    EXPECT_EQ(Le32(bmp, 2), bmp.size());
    EXPECT_EQ(Le32(bmp, 34), uint32_t((expected.Width + 3) / 4 * 4 * expected.Height));
}

INSTANTIATE_TEST_SUITE_P(
    ToolMade, GifFiles,
    testing::Values(TGifCase{"gif89_c4.gif", "gif89_c4.ppm"}, TGifCase{"gif89_c8.gif", "gif89_c8.ppm"},
                    TGifCase{"gif89_c16.gif", "gif89_c16.ppm"}, TGifCase{"gif89_c32.gif", "gif89_c32.ppm"},
                    TGifCase{"gif89_c64.gif", "gif89_c64.ppm"}, TGifCase{"gif89_c128.gif", "gif89_c128.ppm"},
                    TGifCase{"gif89_c256.gif", "gif89_c256.ppm"}, TGifCase{"gif87_c16.gif", "gif87_c16.ppm"},
                    TGifCase{"gif89_c16_interlaced.gif", "gif89_c16_interlaced.ppm"},
                    TGifCase{"gif89_c256_interlaced.gif", "gif89_c256_interlaced.ppm"},
                    TGifCase{"gif_1x1.gif", "gif_1x1.ppm"}, TGifCase{"gif_5x3.gif", "gif_5x3.ppm"},
                    TGifCase{"gif89_animated.gif", "gif89_animated_0.ppm"},
                    TGifCase{"gif89_local_only.gif", "gif89_c16.ppm"},
                    TGifCase{"gif89_local_and_global.gif", "gif89_c16.ppm"}),
    [](const testing::TestParamInfo<TGifCase>& info) {
        std::string name = info.param.File;
        for (char& c : name) {
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return name;
    });

TEST(GifReader, InterlacedGivesTheSameBitmapAsNotInterlaced) {
    for (const char* colors : {"c16", "c256"}) {
        const std::vector<uint8_t> plain = ReadData(std::string("gif89_") + colors + ".gif");
        const std::vector<uint8_t> interlaced = ReadData(std::string("gif89_") + colors + "_interlaced.gif");
        EXPECT_EQ(GifToBmp(plain.data(), plain.size()), GifToBmp(interlaced.data(), interlaced.size())) << colors;
    }
}

TEST(GifReader, RowOrderOfTheFourInterlacePasses) {
    EXPECT_EQ(GifRowOrder(10, true), (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
    EXPECT_EQ(GifRowOrder(3, true), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(GifRowOrder(1, true), (std::vector<int>{0}));
    EXPECT_EQ(GifRowOrder(3, false), (std::vector<int>{0, 1, 2}));
}

TEST(GifReader, StreamOverloadReadsFromThePositionToTheEnd) {
    const std::vector<uint8_t> gif = ReadData("gif_5x3.gif");
    TMemoryStream stream;
    stream.WriteBuffer("xyz", 3);
    stream.WriteBuffer(gif.data(), gif.size());
    stream.SetPosition(3);
    EXPECT_EQ(GifToBmp(stream), GifToBmp(gif.data(), gif.size()));
}

// Only literal codes, never a clear: the table fills up after 4093 entries and the codes stay
// 12 bits wide, the way encoders with a deferred clear write them.
TEST(GifReader, FullTableKeepsTwelveBitCodesWithoutClear) {
    const int w = 100, h = 50;
    TCodeWriter codes;
    codes.Put(4, 3);
    int next = 6, width = 3;
    for (int i = 0; i < w * h; ++i) {
        codes.Put(uint32_t(i % 4), width);
        if (i > 0 && next < 4096) {
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
    }
    codes.Put(5, width);
    const std::vector<uint8_t> gif = MakeGif(w, h, 2, codes.Blocks());
    const std::vector<uint8_t> bmp = GifToBmp(gif.data(), gif.size());
    for (int i : {0, 1, 4095, 4096, 4097, w * h - 1}) EXPECT_EQ(PixelIndex(bmp, i % w, i / w), i % 4) << i;
    // The colour table comes from the file; entries beyond it are black.
    EXPECT_EQ(Le32(bmp, 54 + 4), 0x00FF0000u);
    EXPECT_EQ(Le32(bmp, 54 + 4 * 4), 0u);
}

TEST(GifReader, StringCodesAndTheCodeNotYetInTheTable) {
    // 4 x 1 pixels 1 1 1 1: literal 1, then code 6 (= "1 1", defined by this very code), then 1.
    TCodeWriter codes;
    for (uint32_t c : {4u, 1u, 6u, 1u, 5u}) codes.Put(c, 3);
    const std::vector<uint8_t> gif = MakeGif(4, 1, 2, codes.Blocks());
    const std::vector<uint8_t> bmp = GifToBmp(gif.data(), gif.size());
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelIndex(bmp, x, 0), 1);
}

TEST(GifReader, ImageCompleteWithoutEndCodeOrTerminatorIsAccepted) {
    TCodeWriter codes;
    for (uint32_t c : {4u, 2u, 3u}) codes.Put(c, 3);
    std::vector<uint8_t> gif = MakeGif(2, 1, 2, codes.Blocks(false));
    gif.pop_back();  // no trailer either
    const std::vector<uint8_t> bmp = GifToBmp(gif.data(), gif.size());
    EXPECT_EQ(PixelIndex(bmp, 0, 0), 2);
    EXPECT_EQ(PixelIndex(bmp, 1, 0), 3);
}

TEST(GifReader, DamagedFilesFailWithTheirMessage) {
    const std::vector<uint8_t> good = ReadData("gif89_c16.gif");
    auto codesOf = [](std::initializer_list<uint32_t> list, int width) {
        TCodeWriter w;
        for (uint32_t c : list) w.Put(c, width);
        return w.Blocks();
    };
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Data;
        int Id;
    };
    std::vector<uint8_t> notGif = good;
    notGif[0] = 'J';
    std::vector<uint8_t> trailerOnly(good.begin(), good.begin() + 13 + 48);
    trailerOnly.push_back(0x3B);
    std::vector<uint8_t> badSubBlock = MakeGif(2, 1, 2, {});
    badSubBlock.insert(badSubBlock.end() - 1, {0x21, 0xFE, 200, 'x'});  // a comment longer than the file
    const std::vector<TCase> cases = {
        {"empty", {}, sid::InvalidGifFormat},
        {"not GIF", notGif, sid::InvalidGifFormat},
        {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 6), sid::InvalidGifFormat},
        {"cut in the colour table", std::vector<uint8_t>(good.begin(), good.begin() + 30), sid::InvalidGifFormat},
        {"no image", trailerOnly, sid::InvalidGifFormat},
        // Nothing after the first image is read.
        {"extension past the end", std::vector<uint8_t>(badSubBlock.begin() + 0, badSubBlock.end() - 0), 0},
        {"code size 1", MakeGif(2, 1, 1, codesOf({2, 0, 1, 3}, 2)), sid::InvalidImageFormat},
        {"code size 12", MakeGif(2, 1, 12, codesOf({0, 1}, 12)), sid::InvalidImageFormat},
        {"width 0", MakeGif(0, 1, 2, codesOf({4, 1, 5}, 3)), sid::InvalidImageFormat},
        {"height 0", MakeGif(1, 0, 2, codesOf({4, 1, 5}, 3)), sid::InvalidImageFormat},
        {"huge with little data", MakeGif(16000, 16000, 2, codesOf({4, 1, 5}, 3)), sid::InvalidImageFormat},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(FailureId([&] { GifToBmp(c.Data.data(), c.Data.size()); }), c.Id) << c.Name;
    }
}

TEST(GifReader, DataThatEndsOrBreaksOffKeepsThePixelsDecodedSoFar) {
    auto codesOf = [](std::initializer_list<uint32_t> list, int width) {
        TCodeWriter w;
        for (uint32_t c : list) w.Put(c, width);
        return w.Blocks();
    };
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Data;
        std::vector<int> Pixels;  // of the 4 x 1 picture
    };
    std::vector<uint8_t> noData = MakeGif(4, 1, 2, {});
    const std::vector<TCase> cases = {
        {"end code before the image is full", MakeGif(4, 1, 2, codesOf({4, 1, 5}, 3)), {1, 0, 0, 0}},
        {"code beyond the table", MakeGif(4, 1, 2, codesOf({4, 1, 7, 5}, 3)), {1, 0, 0, 0}},
        {"string code right after a clear", MakeGif(4, 1, 2, codesOf({4, 6, 5}, 3)), {0, 0, 0, 0}},
        {"no image data at all", noData, {0, 0, 0, 0}},
        {"code size 9", MakeGif(4, 1, 9, codesOf({512, 3, 1, 258, 513}, 10)), {3, 1, 2, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<uint8_t> bmp;
        ASSERT_NO_THROW(bmp = GifToBmp(c.Data.data(), c.Data.size()));
        ASSERT_EQ(Le32(bmp, 18), 4u);
        for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelIndex(bmp, x, 0), c.Pixels[size_t(x)]) << x;
    }
}

TEST(GifReader, AFileCutOffKeepsTheRowsItStillHolds) {
    for (const char* name : {"gif89_c16.gif", "gif89_c256_interlaced.gif"}) {
        const std::vector<uint8_t> whole = ReadData(name);
        const std::vector<uint8_t> full = GifToBmp(whole.data(), whole.size());
        const int width = int(Le32(full, 18)), height = int(Le32(full, 22));
        const std::vector<int> order = GifRowOrder(height, std::string(name).find("interlaced") != std::string::npos);
        size_t lastPrefix = 0;
        for (int percent : {60, 80, 95}) {
            SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(percent) + "%");
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() * size_t(percent) / 100));
            std::vector<uint8_t> bmp;
            ASSERT_NO_THROW(bmp = GifToBmp(cut.data(), cut.size()));
            ASSERT_EQ(bmp.size(), full.size());
            EXPECT_TRUE(std::equal(bmp.begin(), bmp.begin() + 1078, full.begin()));  // headers and colours
            // In the order the data holds the pixels: the same as the whole file's up to some
            // point, colour 0 after it.
            size_t prefix = 0;
            bool same = true;
            for (int row : order) {
                for (int x = 0; x < width; ++x) {
                    const int got = PixelIndex(bmp, x, row), want = PixelIndex(full, x, row);
                    if (same && got == want) {
                        ++prefix;
                        continue;
                    }
                    same = false;
                    EXPECT_EQ(got, 0) << "row " << row << ", column " << x;
                }
            }
            EXPECT_GT(prefix, size_t(width));
            EXPECT_LT(prefix, size_t(width) * size_t(height));
            EXPECT_GE(prefix, lastPrefix);
            lastPrefix = prefix;
        }
    }
}

TEST(GifReader, SizesBeyondTheCapAreRefused) {
    // 16385 pixels per row is over the cap however much data follows.
    TCodeWriter codes;
    codes.Put(4, 3);
    for (int i = 0; i < 20000; ++i) codes.Put(0, 12);
    const std::vector<uint8_t> gif = MakeGif(16385, 1, 2, codes.Blocks());
    EXPECT_EQ(FailureId([&] { GifToBmp(gif.data(), gif.size()); }), sid::InvalidImageFormat);
}

}  // namespace
