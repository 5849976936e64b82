#include "widgets/gradient.h"

#include <cmath>

#include "base/exception.h"
#include "base/string_ids.h"

int GradientExponent(int deviceColors) {
    if (deviceColors >= 1 && deviceColors <= 16) return 4;
    if (deviceColors >= 17 && deviceColors <= 256) return 5;
    return 7;
}

namespace {

// Each of the three colour bytes times Index, shifted right by Exponent.
uint32_t ScaledColor(uint32_t color, int index, int exponent) {
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t byte = (color >> shift) & 0xFF;
        result |= (((byte * static_cast<uint32_t>(index)) >> exponent) & 0xFF) << shift;
    }
    return result;
}

}  // namespace

std::vector<TGradientBand> GradientBands(int left, int width, uint32_t color, int exponent) {
    if (exponent < 1 || exponent > 8) throw Exception(sid::InvalidArgument);
    std::vector<TGradientBand> bands;
    if (width < 0) return bands;
    const int count = 1 << exponent;
    const double step = static_cast<double>(width) / count - 0.5;
    const int bandWidth = static_cast<int>(std::lrint(static_cast<double>(width) / count));
    bands.reserve(count);
    for (int i = 0; i < count; ++i)
        bands.push_back({left + static_cast<int>(std::lrint(i * step)), bandWidth, ScaledColor(color, i, exponent)});
    return bands;
}
