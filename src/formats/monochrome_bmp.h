// The one layout of a map bitmap that the conversion takes: a 14-byte file header, a 40-byte info
// header, two palette entries (index 0 white, index 1 black) and the pixels at byte 62, one bit a
// pixel, rows stored bottom row first and padded to 4 bytes. prepare writes it from any picture;
// other commands write map bitmaps of their own with it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quorbel {

// Where a map bitmap's pixels start, and the largest side the conversion takes.
inline constexpr std::uint32_t kMapPixelOffset = 62;
inline constexpr std::int64_t kLargestMapSide = 1024;

// A colour's grey value, 0..255, weighted as Qt's qGray weighs red, green and blue, so that the
// core's words about a palette and prepare's choice of dark pixels agree.
constexpr int GreyValue(int red, int green, int blue) {
    return (red * 11 + green * 16 + blue * 5) / 32;
}
// Pixels whose grey value is below this are dark unless told otherwise.
inline constexpr int kDefaultDarkBelow = 128;

// The bytes of one stored row of a 1-bit picture width pixels wide: 4 x ceil(width / 32).
constexpr std::uint64_t MonochromeRowBytes(std::uint64_t width) {
    return (width + 31) / 32 * 4;
}

// The whole BMP of a width x height picture whose pixel (x, y), y counted from the top row, is
// dark (black, bit 1) when dark(x, y). Throws InvalidArgumentError for a negative side or a file
// that its 32-bit size field could not hold.
std::string MonochromeBmpBytes(int width, int height,
                               const std::function<bool(int x, int y)>& dark);

}  // namespace quorbel
