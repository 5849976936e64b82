// Icon and cursor directories: checks, the choice of image, and the single-image form.
#include "pictures/icon_stream.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/string_ids.h"
#include "picture_test_data.h"
#include "pictures/image_error.h"

namespace {

struct TImageSpec {
    int Size;
    int Planes;
    int Bits;
    int HeaderBits;  // the bit count in the image's own bitmap header
};

// An icon file whose images are bitmap info headers (size 40, planes 1, HeaderBits) plus Tag.
std::vector<uint8_t> MakeIconFile(uint16_t type, const std::vector<TImageSpec>& images) {
    std::vector<uint8_t> f = {0, 0, uint8_t(type), 0, uint8_t(images.size()), 0};
    const size_t imageSize = 41;
    size_t offset = 6 + 16 * images.size();
    for (const TImageSpec& s : images) {
        const uint8_t e[16] = {uint8_t(s.Size), uint8_t(s.Size), 0, 0, uint8_t(s.Planes), 0, uint8_t(s.Bits), 0,
                               uint8_t(imageSize), 0, 0, 0, uint8_t(offset), uint8_t(offset >> 8), 0, 0};
        f.insert(f.end(), e, e + 16);
        offset += imageSize;
    }
    for (size_t i = 0; i < images.size(); ++i) {
        std::vector<uint8_t> image(imageSize, 0);
        image[0] = 40;
        image[12] = 1;
        image[14] = uint8_t(images[i].HeaderBits);
        image[40] = uint8_t(i);  // which image this is
        f.insert(f.end(), image.begin(), image.end());
    }
    return f;
}

TEST(IconStream, BestImageForTheScreenDepth) {
    struct TCase {
        const char* Name;
        std::vector<TImageSpec> Images;
        int Screen;
        size_t Expected;
    };
    const std::vector<TCase> cases = {
        {"deepest that fits", {{32, 1, 4, 4}, {32, 1, 8, 8}, {32, 1, 32, 32}}, 8, 1},
        {"exact", {{32, 1, 4, 4}, {32, 1, 8, 8}, {32, 1, 32, 32}}, 32, 2},
        {"none fits: the shallowest", {{32, 1, 24, 24}, {32, 1, 8, 8}, {32, 1, 32, 32}}, 4, 1},
        {"planes times bits", {{32, 4, 1, 1}, {32, 1, 8, 8}}, 4, 0},
        {"equal depths: the first", {{16, 1, 8, 8}, {32, 1, 8, 8}}, 32, 0},
        {"depth from the image header", {{32, 0, 0, 4}, {32, 0, 0, 8}}, 24, 1},
    };
    for (const TCase& c : cases) {
        const std::vector<uint8_t> f = MakeIconFile(itIcon, c.Images);
        const TIconDirectory dir = ReadIconDirectory(f.data(), f.size(), itIcon);
        EXPECT_EQ(BestIconImage(dir, f.data(), f.size(), c.Screen), c.Expected) << c.Name;
        TMemoryStream stream;
        stream.WriteBuffer(f.data(), f.size());
        stream.SetPosition(0);
        EXPECT_EQ(ReadIconStream(stream, itIcon, c.Screen).Data[40], c.Expected) << c.Name;
    }
}

// Found by fuzzing: planes and bit count of 65535 each overflowed the depth.
TEST(IconStream, HugePlanesAndBitCountsAreTheDeepest) {
    std::vector<uint8_t> f = MakeIconFile(itIcon, {{32, 1, 8, 8}, {32, 1, 4, 4}});
    for (size_t at : {6 + 4, 6 + 5, 6 + 6, 6 + 7}) f[at] = 0xFF;
    const TIconDirectory dir = ReadIconDirectory(f.data(), f.size(), itIcon);
    EXPECT_EQ(IconEntryDepth(dir.Entries[0], f.data(), f.size(), itIcon), 255);
    EXPECT_EQ(BestIconImage(dir, f.data(), f.size(), 8), 1u);
    EXPECT_EQ(BestIconImage(dir, f.data(), f.size(), 1), 1u);  // nothing fits: the shallowest
}

TEST(IconStream, WrongTypesAndDamagedDirectoriesFail) {
    const std::vector<uint8_t> icon = MakeIconFile(itIcon, {{16, 1, 4, 4}, {32, 1, 8, 8}});
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> d = icon;
        d[at] = value;
        return d;
    };
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"empty", {}},
        {"reserved", with(0, 1)},
        {"count 0", with(4, 0)},
        {"more entries than bytes", with(4, 200)},
        {"image past the end", with(6 + 16 + 8, 200)},
        {"offset past the end", with(6 + 16 + 13, 0x10)},
        {"size 0", with(6 + 8, 0)},
        {"cut directory", std::vector<uint8_t>(icon.begin(), icon.begin() + 20)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FailureId([&] { ReadIconDirectory(c.second.data(), c.second.size(), itIcon); }), sid::InvalidIcon)
            << c.first;
    // An icon is no cursor, and the other way round.
    EXPECT_EQ(FailureId([&] { ReadIconDirectory(icon.data(), icon.size(), itCursor); }), sid::InvalidIcon);
    const std::vector<uint8_t> cursor = MakeIconFile(itCursor, {{32, 3, 5, 1}});
    EXPECT_EQ(FailureId([&] { ReadIconDirectory(cursor.data(), cursor.size(), itIcon); }), sid::InvalidIcon);
    EXPECT_EQ(ReadIconDirectory(cursor.data(), cursor.size(), itCursor).Entries[0].Planes, 3);  // hot spot x
}

TEST(IconStream, SingleImageFormRoundTrips) {
    const std::vector<uint8_t> icon = MakeIconFile(itIcon, {{16, 1, 4, 4}, {32, 1, 8, 8}});
    TMemoryStream in;
    in.WriteBuffer(icon.data(), icon.size());
    in.SetPosition(0);
    const TIconImage image = ReadIconStream(in, itIcon, 8);
    TMemoryStream out;
    WriteIconStream(out, itIcon, image);
    const std::vector<uint8_t>& b = out.Bytes();
    EXPECT_EQ(b.size(), 22 + image.Data.size());
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 6), (std::vector<uint8_t>{0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(Le32(b, 6 + 8), image.Data.size());
    EXPECT_EQ(Le32(b, 6 + 12), 22u);
    out.SetPosition(0);
    const TIconImage again = ReadIconStream(out, itIcon, 8);
    EXPECT_EQ(again.Data, image.Data);
    EXPECT_EQ(again.Entry.Width, 32);
}

}  // namespace
