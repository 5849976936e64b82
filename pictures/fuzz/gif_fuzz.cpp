// libFuzzer target: any bytes given to the GIF reader end in a BMP image whose pixels can be
// read back, or in an Exception; never in a crash, an out-of-bounds access or a leak.
#include <cstddef>
#include <cstdint>

#include "base/exception.h"
#include "pictures/bmp_image.h"
#include "pictures/gif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const std::vector<uint8_t> bmp = GifToBmp(data, size);
        BmpToRgb(bmp);
    } catch (const Exception&) {
    }
    return 0;
}
