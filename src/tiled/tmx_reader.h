// Tiled's XML formats: a TMX map and a TSX tileset, read with pugixml.
#pragma once

#include <cstdint>
#include <string>

#include "tiled/tiled_map.h"

namespace quorbel::tiled {

// The map that text, the content of the TMX file path, describes. Throws MapError naming the XML
// parser's line and column for text that is not well-formed, or a value that is missing or not
// a number. External tilesets are left for the caller to read.
TiledMap ReadTmxMap(const std::string& path, const std::string& text);

// The tileset that text, the content of the TSX file path, describes, given firstGid by its
// map. Throws MapError as ReadTmxMap does.
TiledTileset ReadTsxTileset(const std::string& path, const std::string& text,
                            std::uint32_t firstGid);

}  // namespace quorbel::tiled
