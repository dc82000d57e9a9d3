// A small PNG writer over zlib, for the samples and the benchmarks' pictures: 8-bit RGBA,
// unfiltered rows, so that no toolkit is needed at build time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quorbel::samples {

// The PNG file of a width x height picture whose pixel (x, y), y from the top row, is the colour
// argb(x, y) as 0xAARRGGBB. Throws std::runtime_error when zlib fails.
std::string RgbaPng(int width, int height, const std::function<std::uint32_t(int x, int y)>& argb);

}  // namespace quorbel::samples
