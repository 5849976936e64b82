// libFuzzer target: any bytes given to the BMP parser, both as the portable readers take a whole
// file and as the bitmap loader takes a stream (the first MaxBmpHeadBytes, then the pixel data),
// end in pixels or an Exception; never in a crash, an out-of-bounds access or a leak. Both ways
// must accept and refuse the same files.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/bmp_format.h"
#include "base/exception.h"
#include "pictures/bmp_image.h"

namespace {

// Pictures are decoded up to this many bytes of rows; larger ones are only checked, which keeps
// every run short. The checks run whatever the size.
constexpr int64_t MaxDecodedBytes = int64_t(4) << 20;

// The bitmap loader's way: headers from the first bytes, colour table, then for RLE the check
// of the codes before the rows are allocated and decoded.
bool LoaderAccepts(const uint8_t* data, size_t size) {
    try {
        const size_t head = std::min(size, size_t(MaxBmpHeadBytes));
        const TBmpInfo info = ReadBmpHeaders(data, head, int64_t(size));
        BmpColorTable(info, data, head);
        if (info.PixelOffset + info.PixelBytes > int64_t(size)) std::abort();
        if (info.Rle()) {
            const uint8_t* codes = data + info.PixelOffset;
            CheckBmpRle(info, codes, size_t(info.PixelBytes));
            const int64_t rowBytes = info.RowBytes() * info.Height;
            if (rowBytes <= MaxDecodedBytes) {
                std::vector<uint8_t> rows(size_t(rowBytes), 0);
                // The check passed, so decoding must not fail.
                try {
                    DecodeBmpRle(info, codes, size_t(info.PixelBytes), rows.data());
                } catch (const Exception&) {
                    std::abort();
                }
            }
        }
        return true;
    } catch (const Exception&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    bool accepted = false;
    try {
        const TBmpInfo info = CheckBmpFile(bytes);
        accepted = true;
        if (info.RowBytes() * info.Height <= MaxDecodedBytes) {
            const TRgbImage image = BmpToRgb(bytes);
            if (image.Rgb.size() != size_t(info.Width) * size_t(info.Height) * 3) std::abort();
        }
    } catch (const Exception&) {
    }
    if (LoaderAccepts(data, size) != accepted) std::abort();
    return 0;
}
