// A level file as a Tiled map: the map file (TMX or JSON) and, beside it, the level's prefix as
// the tileset picture "<map's base name>-tileset.bmp".
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorbel::tiled {

// The most cells (layers x width x height) an exported map may have: two layers of 4096 x 4096.
inline constexpr std::uint64_t kMostExportedCells = std::uint64_t{1} << 25;

// The tileset picture's file beside map: "maps/a.tmx" gives "maps/a-tileset.bmp".
std::string TilesetPictureBeside(std::string_view map);

// Why map cannot be an exported map's name, or nothing: its suffix is none of .tmx, .tmj and
// .json, or the picture's name that the map must hold is not UTF-8 text without control
// characters.
std::optional<std::string> MapNameProblem(std::string_view map);

struct ExportSummary {
    std::int64_t width = 0;  // in tiles
    std::int64_t height = 0;
    std::uint64_t records = 0;
    std::size_t layers = 0;
    std::string picture;  // the tileset picture's file
};

// Writes the level file level as the map map (whose name MapNameProblem accepts) and its tileset
// picture, both or neither, through the output policy; warn receives warnings (trailing bytes).
// Throws FileError when the level cannot be read as info reads it or an output cannot be
// written (the two outputs being one file included), MapError when the level has no records, no
// BMP prefix, a prefix picture of more cells than Tiled numbers, tile numbers without a cell in
// it, or would make a map larger than import reads; RunInterrupted when stopRequested says so
// before the outputs are put in place.
ExportSummary ExportLevel(const std::string& level, const std::string& map,
                          const std::function<void(const std::string&)>& warn,
                          const std::function<bool()>& stopRequested = {});

}  // namespace quorbel::tiled
