// A Tiled map as import reads it from a TMX or JSON file: the tilesets and the layers in file
// order (layers of groups in their place), each tile layer's data still as the file encodes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"

namespace quorbel::tiled {

// A map or tileset that cannot become a level, and why. Exit status 1.
class MapError : public FormatError {
  public:
    using FormatError::FormatError;
};

enum class MapFormat { Tmx, Json };

// The format a map's file name asks for by its suffix, compared without case: .tmx, or .tmj and
// .json; nothing for any other name.
std::optional<MapFormat> MapFormatOfName(std::string_view path);

enum class CellEncoding {
    Csv,     // decimal gids separated by commas
    Base64,  // 4-byte little-endian gids, base64-encoded (and maybe compressed)
    Gids,    // 4-byte little-endian gids as they are (JSON arrays, TMX <tile> elements)
};
enum class CellCompression { None, Zlib, Gzip, Zstd };

// The cells of a finite layer, or one chunk of an infinite one, row by row from (x, y).
struct CellBlock {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    CellEncoding encoding = CellEncoding::Csv;
    CellCompression compression = CellCompression::None;
    std::string data;
    bool chunk = false;  // one of several of an infinite layer
};

struct TiledTileset {
    std::string name;
    // The external tileset file it is read from; empty when embedded. A map's reader gives only
    // this and firstGid of an external one: ReadMapFile reads each such file once.
    std::string file;
    std::uint32_t firstGid = 1;
    std::int64_t tileWidth = 0;
    std::int64_t tileHeight = 0;
    std::int64_t columns = 0;
    std::int64_t tileCount = 0;
    std::int64_t margin = 0;
    std::int64_t spacing = 0;
    std::string image;      // the picture's path as the map names it, or empty for none
    std::string imagePath;  // that path from the current folder
    std::int64_t imageWidth = 0;
    std::int64_t imageHeight = 0;
};

// The deepest groups are read: Tiled itself is hard to use long before.
inline constexpr std::size_t kDeepestGroups = 100;

enum class LayerKind { Tile, Object, Image };

struct TiledLayer {
    LayerKind kind = LayerKind::Tile;
    std::string name;
    std::vector<CellBlock> blocks;  // tile layers only
};

struct TiledMap {
    std::vector<TiledTileset> tilesets;
    std::vector<TiledLayer> layers;
    std::vector<std::string> filesRead;  // the map and its external tilesets
};

// A tileset of the map that lies in file, not read yet.
inline TiledTileset ExternalTileset(std::string file, std::uint32_t firstGid) {
    TiledTileset tileset;
    tileset.file = std::move(file);
    tileset.firstGid = firstGid;
    return tileset;
}

// relative as seen from the folder of file: itself when absolute, else joined to that folder.
std::string PathBeside(std::string_view file, std::string_view relative);

// "line L, column C" of byte offset in text, both counted from 1.
std::string LineAndColumn(std::string_view text, std::size_t offset);

// The whole number text holds, for the message what. Throws MapError for anything else.
std::int64_t ParseInteger(std::string_view text, std::string_view what);

// A tileset's firstgid as the map gives it. Throws MapError when it is no gid of a tile.
std::uint32_t FirstGidFrom(std::int64_t firstGid);

// Throws MapError when a group at depth (1 for one at the top) is nested deeper than
// kDeepestGroups; name names it.
void RequireGroupDepth(std::size_t depth, const std::string& name);

}  // namespace quorbel::tiled
