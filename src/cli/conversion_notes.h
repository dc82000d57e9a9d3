// The lines a command prints about a conversion after its last status line: why a bitmap was
// refused and what to do ("cause:", "hint:"), what looks wrong in a converted one ("warning:"),
// and what was written. Every command that converts (one bitmap, or one per layer) says them in
// the same words.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/bitmap_check.h"
#include "formats/level_file.h"
#include "formats/tile_cells.h"

namespace quorbel {

// "cause: FOUND; NEEDED", one line for each condition, in order.
std::vector<std::string> CauseLines(std::span<const UnmetCondition> unmet);

// The "hint: ..." line for the bitmap at bitmapPath that meets none of unmet: the prepare command
// line for it when prepare mends everything (program is how it begins: "quorbel-lvl", or the path
// the user typed, quoted), else what to do. Nothing when unmet is empty.
std::optional<std::string> HintLine(std::span<const UnmetCondition> unmet,
                                    const std::string& bitmapPath, const std::string& program);

// The name of the bitmap prepare makes of path, beside it: "maps/in.png" gives
// "maps/in-1bit.bmp".
std::string PreparedName(const std::string& path);

// The cause line for a tileset that is a map bitmap given with a bitmap that is not one.
std::string SwappedInputsCause(const std::string& tilesetPath, const std::string& bitmapPath);

// The warning for a palette entry 0 that looks light (grey value 128 or more) but counts as dark
// because its blue is not 255, or looks dark but counts as light; nothing when it counts as it
// looks. records is the number of tile pixels converted, pixels the bitmap's width x height.
std::optional<std::string> PaletteWarning(PaletteEntry entry0, std::uint64_t records,
                                          std::uint64_t pixels);

// Why the bitmap at bitmapPath, given with the tileset at tilesetPath, is no map bitmap: cause
// lines, and the hint that goes after every cause; nothing when it is one. A colour picture that
// holds a whole tile cell, given with a tileset that is a map bitmap, looks swapped: the hint is
// then swappedCommandLine, the user's command with the two exchanged. Throws FileError when
// either file cannot be read again.
struct BitmapExplanation {
    std::vector<std::string> causes;
    std::optional<std::string> hint;
};
BitmapExplanation ExplainBitmap(const std::string& tilesetPath, const std::string& bitmapPath,
                                const std::string& swappedCommandLine, const std::string& program);

// The warnings about a converted map bitmap: its tile number without a cell in the level's
// picture (when it made records), and a palette entry 0 that does not count as it looks. Throws
// FileError when the bitmap cannot be read again.
std::vector<std::string> ConvertedWarnings(int tile, std::uint64_t records,
                                           const std::optional<PrefixPicture>& picture,
                                           const std::string& bitmapPath);

// "warning: N trailing byte(s) after the last whole record of 'LEVEL' are no record".
std::string TrailingBytesWarning(const std::string& levelPath, std::uint64_t count);

// "wrote OUTPUT: N records of tile T".
std::string WroteLine(const std::string& output, std::uint64_t records, int tile);

}  // namespace quorbel
