// The tile grid of a tileset picture, as the tile chooser shows it and the game lays tiles out:
// cells of 16 x 16 pixels, 19 to a row, numbered from 1 at the top left, left to right, then top
// to bottom. Tile t is the cell in column (t - 1) mod 19 and row (t - 1) div 19.
#pragma once

#include <optional>

namespace quorbel {

inline constexpr int kCellSide = 16;
inline constexpr int kCellsPerRow = 19;
// The tile number that the tile-number box and the tile chooser start with.
inline constexpr int kDefaultTile = 171;
// A record's tile byte holds 0..255; tile 0 has no cell.
inline constexpr int kLargestTile = 255;

struct GridCell {
    int column = 0;  // from 0 at the left
    int row = 0;     // from 0 at the top
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// The cell of tile number tile (1 and up).
constexpr GridCell CellOfTile(int tile) {
    return GridCell{(tile - 1) % kCellsPerRow, (tile - 1) / kCellsPerRow};
}

// The whole cells of a picture of width x height pixels that the numbering reaches: at most 19
// columns, however wide the picture.
struct GridSize {
    int columns = 0;
    int rows = 0;
};
constexpr GridSize GridOfPicture(int width, int height) {
    const int columns = width < 0 ? 0 : width / kCellSide;
    return GridSize{columns < kCellsPerRow ? columns : kCellsPerRow,
                    height < 0 ? 0 : height / kCellSide};
}

// True when tile (0..255) has a whole cell in a picture of width x height pixels.
constexpr bool HasCell(int tile, int width, int height) {
    if (tile < 1) {
        return false;
    }
    const GridSize grid = GridOfPicture(width, height);
    const GridCell cell = CellOfTile(tile);
    return cell.column < grid.columns && cell.row < grid.rows;
}

// The largest tile number with a whole cell in a picture of width x height pixels (capped at 255),
// or 0 when it has none: the tiles 1..K of whole rows of 19, and those of a last row cut short.
constexpr int LastTileWithCell(int width, int height) {
    for (int tile = kLargestTile; tile >= 1; --tile) {
        if (HasCell(tile, width, height)) {
            return tile;
        }
    }
    return 0;
}

}  // namespace quorbel
