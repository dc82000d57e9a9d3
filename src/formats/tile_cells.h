// Which tiles a tileset picture has cells for, in the words of a warning: a tile number that the
// picture has no whole 16 x 16 cell for draws nothing in the game.
#pragma once

#include <optional>
#include <string>

#include "formats/bmp_header.h"

namespace quorbel {

// The warning for a tile number without a whole 16 x 16 cell in the tileset's picture (nothing
// when it has one); picture is what the tileset's BMP header says, nothing when it has none.
std::optional<std::string> TileCellWarning(int tile, const std::optional<BmpPicture>& picture);

}  // namespace quorbel
