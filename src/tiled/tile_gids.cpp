#include "tiled/tile_gids.h"

#include "formats/tile_grid.h"

namespace quorbel::tiled {

std::uint32_t GidOfTile(int tile, const TilesetGrid& grid) {
    if (tile < 1 || tile > kLargestTile || grid.columns == 0) {
        return 0;
    }
    const GridCell cell = CellOfTile(tile);
    const auto column = static_cast<std::uint32_t>(cell.column);
    const auto index = static_cast<std::uint64_t>(cell.row) * grid.columns + column;
    if (column >= grid.columns || index >= grid.tileCount) {
        return 0;
    }
    return grid.firstGid + static_cast<std::uint32_t>(index);
}

GidTile TileOfGid(std::uint32_t gid, const TilesetGrid& grid) {
    if (gid == 0) {
        return {};
    }
    if ((gid & kTransformBits) != 0) {
        return GidTile{GidMeaning::Transformed};
    }
    if (gid < grid.firstGid || gid - grid.firstGid >= grid.tileCount || grid.columns == 0) {
        return GidTile{GidMeaning::OtherTileset};
    }
    const std::uint32_t index = gid - grid.firstGid;
    GidTile result{GidMeaning::Tile, 0, index % grid.columns, index / grid.columns};
    if (result.column >= static_cast<std::uint32_t>(kCellsPerRow)) {
        result.meaning = GidMeaning::ColumnBeyond19;
        return result;
    }
    const std::uint64_t tile = std::uint64_t{result.row} * kCellsPerRow + result.column + 1;
    if (tile > static_cast<std::uint64_t>(kLargestTile)) {
        result.meaning = GidMeaning::TileBeyond255;
        result.tile = tile > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(tile);
        return result;
    }
    result.tile = static_cast<int>(tile);
    return result;
}

}  // namespace quorbel::tiled
