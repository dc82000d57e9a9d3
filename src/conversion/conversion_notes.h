// The lines a command prints about a conversion after its last status line: why a bitmap was
// refused and what to do ("cause:", "hint:"), what looks wrong in a converted one ("warning:"),
// and what was written. Every command that converts (one bitmap, or one per layer) says them in
// the same words.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "conversion/bitmap_check.h"
#include "conversion/level_file.h"

namespace quorbel {

// "cause: FOUND; NEEDED", one line for each condition, in order.
std::vector<std::string> CauseLines(std::span<const UnmetCondition> unmet);

// The "hint: ..." line for the bitmap at bitmapPath that meets none of unmet: the prepare command
// line for it when prepare mends everything, else what to do. Nothing when unmet is empty.
std::optional<std::string> HintLine(std::span<const UnmetCondition> unmet,
                                    const std::string& bitmapPath);

// The name of the bitmap prepare makes of path, beside it: "maps/in.png" gives
// "maps/in-1bit.bmp".
std::string PreparedName(const std::string& path);

// The cause line for a tileset that is a map bitmap given with a bitmap that is not one.
std::string SwappedInputsCause(const std::string& tilesetPath, const std::string& bitmapPath);

// The warning for a tile number without a whole 16 x 16 cell in the tileset's picture (nothing
// when it has one); picture is what the tileset's BMP header says, nothing when it has none.
std::optional<std::string> TileCellWarning(int tile, const std::optional<PrefixPicture>& picture);

// The warning for a palette entry 0 that looks light (grey value 128 or more) but counts as dark
// because its blue is not 255, or looks dark but counts as light; nothing when it counts as it
// looks. records is the number of tile pixels converted, pixels the bitmap's width x height.
std::optional<std::string> PaletteWarning(PaletteEntry entry0, std::uint64_t records,
                                          std::uint64_t pixels);

// "wrote OUTPUT: N records of tile T".
std::string WroteLine(const std::string& output, std::uint64_t records, int tile);

}  // namespace quorbel
