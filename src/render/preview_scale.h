// The scale of a preview: how many pixels a tile's side takes, read from the --scale text and
// chosen so that the picture stays within 4096 pixels a side.
#pragma once

#include <string>

#include "formats/level_stats.h"

namespace quorbel::render {

inline constexpr int kLargestPreviewSide = 4096;
inline constexpr int kLargestTileSide = 256;

// The pixels of a tile side at the scale text ("2", "1", "0.5", "1/4"): 16 x scale, which must be
// a whole number from 1 to 256. Throws UsageError naming text otherwise.
int TileSideForScale(const std::string& text);

// The scale that makes tiles tileSide pixels wide, as text: "2", "1", "1/4", "3/16".
std::string ScaleText(int tileSide);

// The largest tile side of 16, 8, 4, 2 and 1 pixels that keeps a preview of bounds within 4096
// pixels a side.
int DefaultTileSide(const LevelBounds& bounds);

// The largest tile side, at most 256 pixels, that keeps a preview of bounds within 4096 pixels a
// side.
int LargestTileSide(const LevelBounds& bounds);

}  // namespace quorbel::render
