#include "render/preview_scale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <optional>
#include <string_view>

#include "command/command_line.h"
#include "formats/tile_grid.h"

namespace quorbel::render {
namespace {

using command::UsageError;

// A whole number or a decimal fraction, read the same in every locale.
std::optional<double> NumberFrom(std::string_view text) {
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

int TileSideForScale(const std::string& text) {
    std::optional<double> scale;
    if (const auto slash = text.find('/'); slash != std::string::npos) {
        const auto numerator = NumberFrom(std::string_view(text).substr(0, slash));
        const auto denominator = NumberFrom(std::string_view(text).substr(slash + 1));
        if (numerator && denominator && *denominator > 0) {
            scale = *numerator / *denominator;
        }
    } else {
        scale = NumberFrom(text);
    }
    const std::string allowed =
        "16 x S must be a whole number of pixels from 1 to 256: 1/16, 1/8, 3/16, 1/4, ... 1, "
        "17/16, ... 2, ... 16";
    if (!scale) {
        throw UsageError("--scale '" + text + "' is no number (write 2, 0.5 or 1/4); " + allowed);
    }
    const double side = *scale * kCellSide;
    const double whole = std::round(side);
    if (std::abs(side - whole) > 1e-9 || whole < 1 || whole > kLargestTileSide) {
        throw UsageError("--scale '" + text + "': " + allowed);
    }
    return static_cast<int>(whole);
}

std::string ScaleText(int tileSide) {
    const int divisor = std::gcd(tileSide, kCellSide);
    const int numerator = tileSide / divisor;
    const int denominator = kCellSide / divisor;
    return denominator == 1 ? std::to_string(numerator)
                            : std::to_string(numerator) + "/" + std::to_string(denominator);
}

int DefaultTileSide(const LevelBounds& bounds) {
    const int tiles = std::max(bounds.maxX, bounds.maxY) + 1;
    int side = kCellSide;
    while (side > 1 && side * tiles > kLargestPreviewSide) {
        side /= 2;
    }
    return side;
}

int LargestTileSide(const LevelBounds& bounds) {
    const int tiles = std::max(bounds.maxX, bounds.maxY) + 1;
    return std::min(kLargestTileSide, kLargestPreviewSide / tiles);
}

}  // namespace quorbel::render
