// Helpers of the picture tests: the files in tests/data, reference pictures in PPM form, and
// the checks that a converter's BMP shows the reference's pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/tests/failure_id.h"
#include "pictures/bmp_image.h"

inline std::string DataPath(const std::string& name) { return std::string(PICTURES_TEST_DATA) + "/" + name; }

inline std::vector<uint8_t> ReadData(const std::string& name) {
    std::ifstream in(DataPath(name), std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A binary PPM (P6, 8 bits per channel) as made by the image tool.
inline TRgbImage ReadPpm(const std::string& name) {
    const std::vector<uint8_t> bytes = ReadData(name);
    std::string text(bytes.begin(), bytes.end());
    std::istringstream in(text);
    std::string magic;
    int maxValue = 0;
    TRgbImage image;
    in >> magic >> image.Width >> image.Height >> maxValue;
    EXPECT_EQ(magic, "P6") << name;
    EXPECT_EQ(maxValue, 255) << name;
    const size_t start = size_t(in.tellg()) + 1;
    image.Rgb.assign(bytes.begin() + std::ptrdiff_t(start), bytes.end());
    EXPECT_EQ(image.Rgb.size(), size_t(image.Width) * size_t(image.Height) * 3) << name;
    return image;
}

// Compares pixel by pixel and names the first pixel that differs.
inline ::testing::AssertionResult SamePixels(const TRgbImage& actual, const TRgbImage& expected) {
    if (actual.Width != expected.Width || actual.Height != expected.Height)
        return ::testing::AssertionFailure() << "size " << actual.Width << "x" << actual.Height << ", expected "
                                             << expected.Width << "x" << expected.Height;
    for (size_t i = 0; i < actual.Rgb.size(); i += 3) {
        if (actual.Rgb[i] != expected.Rgb[i] || actual.Rgb[i + 1] != expected.Rgb[i + 1] ||
            actual.Rgb[i + 2] != expected.Rgb[i + 2]) {
            const size_t pixel = i / 3;
            return ::testing::AssertionFailure() << "pixel (" << pixel % size_t(actual.Width) << ", "
                                                 << pixel / size_t(actual.Width) << ") differs";
        }
    }
    return ::testing::AssertionSuccess();
}

inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}
inline uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }

