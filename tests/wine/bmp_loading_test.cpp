// The bitmap loader against the portable BMP parser: the tool-made BMP and RLE files and damaged
// copies of them are accepted and refused alike and give the same pixels, and a small file that
// claims a huge picture is refused before any bitmap is allocated, keeping the picture it had.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "base/bmp_format.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "tests/wine/pictures_testing_win.h"

namespace {

// The private memory the process has committed: a DIB section's pixels are among it.
int64_t CommittedPrivateBytes() {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    int64_t total = 0;
    auto* at = static_cast<const uint8_t*>(system.lpMinimumApplicationAddress);
    MEMORY_BASIC_INFORMATION region{};
    while (at < system.lpMaximumApplicationAddress && VirtualQuery(at, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += int64_t(region.RegionSize);
        at = static_cast<const uint8_t*>(region.BaseAddress) + region.RegionSize;
    }
    return total;
}

// A memory stream that notes, whenever it is read, how much more memory the process has
// committed than at its first read: what the loader had allocated by each of its reads.
class TProbingStream : public TMemoryStream {
public:
    explicit TProbingStream(const std::vector<uint8_t>& bytes) {
        if (!bytes.empty()) WriteBuffer(bytes.data(), bytes.size());
        SetPosition(0);
    }
    size_t Read(void* buffer, size_t count) override {
        const int64_t committed = CommittedPrivateBytes();
        if (!reads_++) baseline_ = committed;
        largestGrowth_ = std::max(largestGrowth_, committed - baseline_);
        return TMemoryStream::Read(buffer, count);
    }
    int64_t LargestGrowth() const { return largestGrowth_; }

private:
    int reads_ = 0;
    int64_t baseline_ = 0;
    int64_t largestGrowth_ = 0;
};

void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A BMP file of Width x Height at Bits bits (8 or 24; 8 with a one-colour table) whose pixel data
// are Pixels; Compression 1 makes them run-length codes.
std::vector<uint8_t> BmpFile(int width, int height, int bits, std::vector<uint8_t> pixels, uint32_t compression = 0) {
    const uint32_t table = bits == 8 ? 4 : 0;
    std::vector<uint8_t> b(54 + table, 0);
    b[0] = 'B';
    b[1] = 'M';
    Set32(b, 2, uint32_t(b.size() + pixels.size()));
    Set32(b, 10, uint32_t(b.size()));
    Set32(b, 14, 40);
    Set32(b, 18, uint32_t(width));
    Set32(b, 22, uint32_t(height));
    b[26] = 1;
    b[28] = uint8_t(bits);
    Set32(b, 30, compression);
    Set32(b, 46, bits == 8 ? 1 : 0);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

TEST(BmpLoadingTest, SmallFilesClaimingHugePicturesAreRefusedBeforeAnythingIsAllocated) {
    struct TCase {
        const char* Name;
        std::vector<uint8_t> File;
    };
    const TCase cases[] = {
        // 60 bytes for 16384 x 4096 pixels of 8 bits: 64 MB of rows claimed, 2 bytes there.
        {"8 bits, rows missing", BmpFile(MaxBmpSide, 4096, 8, {0, 0})},
        {"24 bits, rows missing", BmpFile(MaxBmpSide, 1024, 24, {0, 0, 0, 0, 0, 0})},
        {"one byte of the last row missing", [] {
             std::vector<uint8_t> b = BmpFile(2048, 2048, 24, std::vector<uint8_t>(2048 * 3 * 2048, 0x55));
             b.pop_back();
             return b;
         }()},
        // Codes for 8192 x 8192 pixels that end after two rows without an end-of-bitmap code.
        {"RLE codes cut", BmpFile(8192, 8192, 8, {255, 0, 0, 0, 255, 0, 0, 0}, 1)},
    };
    ASSERT_EQ(cases[0].File.size(), 60u);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        // The bitmap holds a picture already; a refused file leaves it as it was.
        TBitmap bitmap;
        TMemoryStream picture = StreamOf(ReadData("bmp8_5x3.bmp"));
        bitmap.LoadFromStream(picture);
        const TRgbImage before = RgbOf(bitmap);

        TProbingStream in(c.File);
        const auto start = std::chrono::steady_clock::now();
        try {
            bitmap.LoadFromStream(in);
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Id(), sid::InvalidBitmap);
            EXPECT_EQ(e.Message(), LoadStr(sid::InvalidBitmap));
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_LT(in.LargestGrowth(), int64_t(1) << 20);
        EXPECT_FALSE(bitmap.Empty());
        EXPECT_TRUE(SamePixels(RgbOf(bitmap), before));
    }
}

// The probe above sees a bitmap when one is there: the rows of a good file are read into it.
TEST(BmpLoadingTest, TheProbeSeesTheBitmapThatAGoodFileIsReadInto) {
    const int side = 1024;
    std::vector<uint8_t> rows(size_t(side) * side * 3);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = uint8_t(i * 7);
    TProbingStream in(BmpFile(side, side, 24, rows));
    TBitmap bitmap;
    bitmap.LoadFromStream(in);
    EXPECT_EQ(bitmap.Width(), side);
    EXPECT_GE(in.LargestGrowth(), int64_t(rows.size()));
    EXPECT_EQ(PixelAt(bitmap, 0, side - 1), RGB(rows[2], rows[1], rows[0]));
}

// Every BMP and RLE file of the test data, as made and damaged: the bitmap loader accepts what
// the portable check accepts, with the portable reader's pixels, and refuses the rest.
TEST(BmpLoadingTest, LoaderAndPortableParserAgreeOnToolMadeAndDamagedFiles) {
    const char* files[] = {"bmp1_13x3.bmp",  "bmp4_7x3.bmp",   "bmp8_5x3.bmp",       "bmp24_5x3.bmp",     "bmp4_37x23.bmp",
                           "bmp8_37x23.bmp", "bmp8_rle_5x3.rle", "bmp8_rle_37x23.rle", "bmp4_rle_37x23.rle"};
    struct TDamage {
        const char* Name;
        std::function<void(std::vector<uint8_t>&)> Apply;
    };
    const TDamage damages[] = {
        {"as made", [](std::vector<uint8_t>&) {}},
        {"last byte cut", [](std::vector<uint8_t>& b) { b.pop_back(); }},
        {"last 4 bytes cut", [](std::vector<uint8_t>& b) { b.resize(b.size() - 4); }},
        {"cut in the middle", [](std::vector<uint8_t>& b) { b.resize(b.size() / 2 + 30); }},
        {"cut after the headers", [](std::vector<uint8_t>& b) { b.resize(58); }},
        {"top-down", [](std::vector<uint8_t>& b) { Set32(b, 22, uint32_t(-int32_t(Le32(b, 22)))); }},
        {"twice as wide", [](std::vector<uint8_t>& b) { Set32(b, 18, 2 * Le32(b, 18)); }},
        {"many more rows", [](std::vector<uint8_t>& b) { Set32(b, 22, 4000); }},
        {"header size 41", [](std::vector<uint8_t>& b) { Set32(b, 14, 41); }},
        {"version 4 header size", [](std::vector<uint8_t>& b) { Set32(b, 14, 108); }},
        {"planes 2", [](std::vector<uint8_t>& b) { b[26] = 2; }},
        {"two colours named", [](std::vector<uint8_t>& b) { Set32(b, 46, 2); }},
        {"pixel offset 0", [](std::vector<uint8_t>& b) { Set32(b, 10, 0); }},
        {"pixel offset past the end", [](std::vector<uint8_t>& b) { Set32(b, 10, uint32_t(b.size())); }},
        {"RLE4 marked RLE8", [](std::vector<uint8_t>& b) { b[30] = b[30] == 2 ? 1 : b[30]; }},
        {"image size 10", [](std::vector<uint8_t>& b) { Set32(b, 34, 10); }},
    };
    int accepted = 0, refused = 0;
    for (const char* name : files) {
        const std::vector<uint8_t> made = ReadData(name);
        for (const TDamage& d : damages) {
            SCOPED_TRACE(std::string(name) + ", " + d.Name);
            std::vector<uint8_t> bytes = made;
            d.Apply(bytes);
            bool portable = true;
            try {
                CheckBmpFile(bytes);
            } catch (const EInvalidGraphic&) {
                portable = false;
            }
            TMemoryStream in = StreamOf(bytes);
            TBitmap bitmap;
            bool loaded = true;
            try {
                bitmap.LoadFromStream(in);
            } catch (const EInvalidGraphic& e) {
                EXPECT_EQ(e.Id(), sid::InvalidBitmap);
                loaded = false;
            }
            EXPECT_EQ(loaded, portable);
            EXPECT_EQ(bitmap.Empty(), !loaded);
            if (!loaded || !portable) {
                ++refused;
                continue;
            }
            ++accepted;
            // Colour indexes beyond a shortened table have no colour the reader could name.
            TRgbImage expected;
            try {
                expected = BmpToRgb(bytes);
            } catch (const EInvalidGraphic&) {
                continue;
            }
            EXPECT_TRUE(SamePixels(RgbOf(bitmap), expected));
        }
    }
    // Both kinds of outcome are exercised by the table.
    EXPECT_GT(accepted, 20);
    EXPECT_GT(refused, 50);
}

}  // namespace
