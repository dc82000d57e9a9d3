// BMP files as the tools people draw with write them, for the variants a map bitmap arrives in:
// any info header (12-byte OS/2, 40, 108-byte V4, 124-byte V5), 1, 4, 8 or 24 bits per pixel,
// rows stored bottom row first or top row first, any two colours in either palette order. Unlike
// BmpBuilder's, these files are whole pictures that every BMP reader reads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quorbel::test {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct BmpVariant {
    std::uint32_t infoSize = 40;
    std::uint16_t bitsPerPixel = 1;
    bool topDown = false;
    Rgb light{255, 255, 255};
    Rgb dark{0, 0, 0};
    bool darkFirst = false;  // the dark colour is palette entry 0, as ImageMagick writes it
};

// The BMP of a width x height picture whose pixel (x, y), y from the top, has the dark colour
// when dark(x, y) and the light one otherwise.
std::string VariantBmp(const BmpVariant& variant, int width, int height,
                       const std::function<bool(int x, int y)>& dark);

}  // namespace quorbel::test
