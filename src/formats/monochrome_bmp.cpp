#include "formats/monochrome_bmp.h"

#include <limits>

#include "base/errors.h"

namespace quorbel {
namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
// 2835 pixels a metre: 72 dots an inch, what paint programs assume without other word.
constexpr std::uint32_t kPixelsPerMetre = 2835;

void PutLe(std::string& out, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace

std::string MonochromeBmpBytes(int width, int height,
                               const std::function<bool(int x, int y)>& dark) {
    if (width < 0 || height < 0) {
        throw InvalidArgumentError("invalid argument: a bitmap of " + std::to_string(width) +
                                   " x " + std::to_string(height) + " pixels");
    }
    const std::uint64_t rowBytes = MonochromeRowBytes(static_cast<std::uint64_t>(width));
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(height);
    const std::uint64_t fileSize = kMapPixelOffset + pixelBytes;
    if (fileSize > std::numeric_limits<std::int32_t>::max()) {
        throw InvalidArgumentError("invalid argument: a 1-bit bitmap of " + std::to_string(width) +
                                   " x " + std::to_string(height) + " pixels would have " +
                                   std::to_string(fileSize) +
                                   " bytes, more than its size field holds");
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(fileSize));
    out += "BM";
    PutLe(out, fileSize, 4);
    PutLe(out, 0, 4);  // reserved
    PutLe(out, kMapPixelOffset, 4);
    PutLe(out, kInfoHeaderSize, 4);
    PutLe(out, static_cast<std::uint64_t>(width), 4);
    PutLe(out, static_cast<std::uint64_t>(height), 4);  // positive: bottom row first
    PutLe(out, 1, 2);                                   // planes
    PutLe(out, 1, 2);                                   // bits per pixel
    PutLe(out, 0, 4);                                   // no compression
    PutLe(out, pixelBytes, 4);
    PutLe(out, kPixelsPerMetre, 4);
    PutLe(out, kPixelsPerMetre, 4);
    PutLe(out, 2, 4);  // colours in the palette
    PutLe(out, 2, 4);  // colours that matter
    // Index 0 white, index 1 black (blue, green, red, reserved): the conversion reads a blue 255
    // in entry 0 as "the 1-bits are the tiles".
    out += std::string("\xFF\xFF\xFF\x00\x00\x00\x00\x00", 8);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        out.append(static_cast<std::size_t>(rowBytes), '\0');
        for (int x = 0; x < width; ++x) {
            if (dark(x, y)) {
                out[rowStart + static_cast<std::size_t>(x / 8)] |=
                    static_cast<char>(0x80 >> (x % 8));
            }
        }
    }
    return out;
}

}  // namespace quorbel
