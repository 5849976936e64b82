// libFuzzer target: icon and cursor directories, the choice of image and the single-image form
// written and read again; also the BMP header check, which picture records go through.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/exception.h"
#include "pictures/bmp_image.h"
#include "pictures/icon_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (TIconType type : {itIcon, itCursor}) {
        try {
            TMemoryStream in;
            if (size) in.WriteBuffer(data, size);
            in.SetPosition(0);
            const TIconImage image = ReadIconStream(in, type, size ? data[0] % 33 : 8);
            TMemoryStream out;
            WriteIconStream(out, type, image);
            out.SetPosition(0);
            if (ReadIconStream(out, type, 32).Data != image.Data) std::abort();
        } catch (const Exception&) {
        }
    }
    try {
        BmpToRgb(std::vector<uint8_t>(data, data + size));
    } catch (const Exception&) {
    }
    return 0;
}
