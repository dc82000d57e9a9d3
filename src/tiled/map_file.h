// Reading a Tiled map file, TMX or JSON, with the external tileset files it names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tiled/tiled_map.h"

namespace quorbel::tiled {

// The largest map or tileset file read; larger ones are refused before they take memory.
inline constexpr std::size_t kLargestMapFile = std::size_t{512} << 20;

// "SUBJECT N bytes, more than the 536870912 read from a map or tileset file": how import refuses
// a larger file, and export a map that would be one.
std::string LargerThanAMapFile(const std::string& subject, std::uint64_t bytes);

// The map at path: TMX when its text begins with '<', JSON when with '{', with its external
// tilesets (each file read once, however often the map names it). Throws MapError for a file that
// is neither (naming UTF-16 text as such) or not well-formed (naming the parser's line and
// column), FileError when it or an external tileset cannot be read.
TiledMap ReadMapFile(const std::string& path);

// The tileset in the TSX or JSON tileset file at path, which the map gives firstGid. Throws as
// ReadMapFile does.
TiledTileset ReadTilesetFile(const std::string& path, std::uint32_t firstGid);

// The whole text of path. Throws FileError when it cannot be read or is larger than
// kLargestMapFile.
std::string ReadMapText(const std::string& path);

}  // namespace quorbel::tiled
