// Tiled's JSON formats: a map (.tmj, .json) and a tileset (.tsj, .json), read with nlohmann's
// JSON parser. Layer data arrays are kept as 4 bytes a gid instead of one JSON value a cell, which
// keeps a large map's memory near its file size and the reading fast.
#pragma once

#include <cstdint>
#include <string>

#include "tiled/tiled_map.h"

namespace quorbel::tiled {

// The map that text, the content of the JSON map file path, describes. Throws MapError naming the
// parser's line and column for text that is not JSON, or a value that is missing or of the wrong
// type. External tilesets are left for the caller to read.
TiledMap ReadJsonMap(const std::string& path, std::string text);

// The tileset that text, the content of the JSON tileset file path, describes, given firstGid by
// its map. Throws MapError as ReadJsonMap does.
TiledTileset ReadJsonTileset(const std::string& path, std::string text, std::uint32_t firstGid);

}  // namespace quorbel::tiled
