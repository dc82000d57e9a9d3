#include "formats/tile_cells.h"

#include <algorithm>
#include <vector>

#include "formats/tile_grid.h"

namespace quorbel {
namespace {

// The tiles whose cells a grid holds: "tiles 1..190 in rows of 19", or for a picture narrower
// than a row "the first 2 cells of each row of 19: tiles 1..2, 20..21".
std::string CellsInWords(GridSize grid) {
    const int last = LastTileWithCell(grid.columns * kCellSide, grid.rows * kCellSide);
    if (last == 0) {
        return "no whole cell";
    }
    const std::string perRow = std::to_string(kCellsPerRow);
    if (grid.columns == kCellsPerRow) {
        return "tiles 1.." + std::to_string(last) + " in rows of " + perRow;
    }
    std::vector<std::string> ranges;
    for (int first = 1; first <= last; first += kCellsPerRow) {
        ranges.push_back(std::to_string(first) + ".." +
                         std::to_string(std::min(first + grid.columns - 1, last)));
    }
    if (ranges.size() > 3) {
        ranges.erase(ranges.begin() + 2, ranges.end() - 1);
        ranges.insert(ranges.end() - 1, "...");
    }
    std::string words =
        (grid.columns == 1 ? std::string("the first cell")
                           : "the first " + std::to_string(grid.columns) + " cells") +
        " of each row of " + perRow + ": tiles";
    const char* separator = " ";
    for (const std::string& range : ranges) {
        words += separator + range;
        separator = ", ";
    }
    return words;
}

}  // namespace

std::optional<std::string> TileCellWarning(int tile, const std::optional<BmpPicture>& picture) {
    if (!picture) {
        return "warning: tile " + std::to_string(tile) +
               " has no 16 x 16 cell in the tileset: its first bytes are no BMP picture that "
               "the tile chooser can show";
    }
    const int width = picture->width;
    const int height = picture->height < 0 ? -picture->height : picture->height;
    if (HasCell(tile, width, height)) {
        return std::nullopt;
    }
    return "warning: tile " + std::to_string(tile) + " has no 16 x 16 cell in the tileset (" +
           std::to_string(width) + " x " + std::to_string(height) + " pixels holds " +
           CellsInWords(GridOfPicture(width, height)) + ")";
}

}  // namespace quorbel
