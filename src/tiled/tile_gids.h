// Tile numbers and Tiled's gids. Tiled numbers the tiles of a tileset picture left to right in
// rows of as many cells as the picture is wide; the game numbers them in rows of 19 (tile_grid.h).
// Tile t is the cell in column (t - 1) mod 19, row (t - 1) div 19 of the picture, so its gid is
// firstGid + row x columns + column.
#pragma once

#include <cstdint>

namespace quorbel::tiled {

// The bits of a gid that flip or rotate its tile; the rest is the tile's gid.
inline constexpr std::uint32_t kFlippedHorizontally = 0x80000000u;
inline constexpr std::uint32_t kFlippedVertically = 0x40000000u;
inline constexpr std::uint32_t kFlippedDiagonally = 0x20000000u;
inline constexpr std::uint32_t kRotatedHexagonal120 = 0x10000000u;
inline constexpr std::uint32_t kTransformBits =
    kFlippedHorizontally | kFlippedVertically | kFlippedDiagonally | kRotatedHexagonal120;

// The largest gid a tile may have: the bits above it say how the tile is flipped or rotated.
inline constexpr std::uint32_t kLargestGid = ~kTransformBits;

// How a tileset lays out its gids: columns x rows cells from firstGid on.
struct TilesetGrid {
    std::uint32_t firstGid = 1;
    std::uint32_t columns = 0;
    std::uint32_t tileCount = 0;  // columns x rows for a picture tileset
};

// The gid of tile number tile (0..255) in grid, or 0 when the tile has no cell there (tile 0,
// or a cell beyond the picture's columns or rows).
std::uint32_t GidOfTile(int tile, const TilesetGrid& grid);

// What a cell's gid holds for the level.
enum class GidMeaning {
    Empty,           // gid 0
    Tile,            // tile holds the tile number (1..255)
    Transformed,     // flipped or rotated
    OtherTileset,    // outside the grid's gids
    ColumnBeyond19,  // a cell the game's rows of 19 cannot reach
    TileBeyond255,   // a cell whose tile number would not fit in a record's byte
};

struct GidTile {
    GidMeaning meaning = GidMeaning::Empty;
    int tile = 0;              // the tile number (Tile, TileBeyond255)
    std::uint32_t column = 0;  // the cell in the grid (Tile, ColumnBeyond19, TileBeyond255)
    std::uint32_t row = 0;
};

// What gid (with its transform bits) means in grid. Never throws.
GidTile TileOfGid(std::uint32_t gid, const TilesetGrid& grid);

}  // namespace quorbel::tiled
