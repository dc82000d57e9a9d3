#include "support/variant_bmp.h"

#include "support/bmp_builder.h"

namespace quorbel::test {
namespace {

std::string Colour(Rgb colour, bool withReserved) {
    std::string bytes{static_cast<char>(colour.blue), static_cast<char>(colour.green),
                      static_cast<char>(colour.red)};
    return withReserved ? bytes + '\0' : bytes;
}

std::string InfoHeader(const BmpVariant& v, int width, int height, std::size_t pixelBytes,
                       std::uint32_t colours) {
    if (v.infoSize == 12) {
        return Le32(12) + Le16(static_cast<std::uint16_t>(width)) +
               Le16(static_cast<std::uint16_t>(height)) + Le16(1) + Le16(v.bitsPerPixel);
    }
    const std::int64_t storedHeight = v.topDown ? -height : height;
    std::string header = Le32(v.infoSize) + Le32(static_cast<std::uint32_t>(width)) +
                         LittleEndianBytes(static_cast<std::uint64_t>(storedHeight), 4) + Le16(1) +
                         Le16(v.bitsPerPixel) + Le32(0) +
                         Le32(static_cast<std::uint32_t>(pixelBytes)) + Le32(2835) + Le32(2835) +
                         Le32(colours) + Le32(colours);
    if (v.infoSize >= 108) {
        header += std::string(16, '\0') + "BGRs";  // no masks; colour space sRGB
    }
    return header + std::string(v.infoSize - header.size(), '\0');
}

}  // namespace

std::string VariantBmp(const BmpVariant& v, int width, int height,
                       const std::function<bool(int x, int y)>& dark) {
    const std::uint32_t colours = v.bitsPerPixel <= 8 ? 1u << v.bitsPerPixel : 0;
    const unsigned darkIndex = v.darkFirst ? 0 : 1;
    std::string palette;
    for (std::uint32_t i = 0; i < colours; ++i) {
        const Rgb grey{128, 128, 128};  // entries no pixel uses
        const Rgb colour = i == darkIndex ? v.dark : i < 2 ? v.light : grey;
        palette += Colour(colour, v.infoSize != 12);
    }
    const std::size_t stride = (static_cast<std::size_t>(width) * v.bitsPerPixel + 31) / 32 * 4;
    std::string pixels;
    for (int r = 0; r < height; ++r) {
        const int y = v.topDown ? r : height - 1 - r;
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const bool isDark = dark(x, y);
            if (v.bitsPerPixel == 24) {
                row.replace(3 * static_cast<std::size_t>(x), 3,
                            Colour(isDark ? v.dark : v.light, false));
                continue;
            }
            const unsigned index = isDark ? darkIndex : 1 - darkIndex;
            const std::size_t bit = static_cast<std::size_t>(x) * v.bitsPerPixel;
            row[bit / 8] =
                static_cast<char>(row[bit / 8] | index << (8 - v.bitsPerPixel - bit % 8));
        }
        pixels += row;
    }
    const std::string info = InfoHeader(v, width, height, pixels.size(), colours);
    const auto offset = static_cast<std::uint32_t>(14 + info.size() + palette.size());
    return "BM" + Le32(static_cast<std::uint32_t>(offset + pixels.size())) + Le32(0) +
           Le32(offset) + info + palette + pixels;
}

}  // namespace quorbel::test
