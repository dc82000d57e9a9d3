// A level drawn as the game lays it out: every record puts its tile, the tileset cell of the tile
// grid (conversion/tile_grid.h), at (16 x, 16 y). Draws with QtGui's image classes only; nothing
// here needs a display.
#pragma once

#include <QImage>
#include <QSize>
#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "formats/level_file.h"
#include "formats/level_stats.h"
#include "render/preview_scale.h"

namespace quorbel::render {

// The preview's size: the map from (0, 0) to its largest x and y, tileSide pixels a tile.
QSize PreviewSize(const LevelBounds& bounds, int tileSide);

// The cells of a tileset picture, each scaled once to the preview's tile side.
class TilesetCells {
  public:
    TilesetCells(const QImage& picture, int tileSide);

    // The cell of tile, or nullptr when the picture has no whole cell for it (tile 0 included).
    const QImage* Cell(int tile) const;
    // What stands for a tile without a cell: magenta and black squares, four by four.
    const QImage& Placeholder() const { return placeholder_; }
    int TileSide() const { return tileSide_; }

  private:
    int tileSide_;
    std::array<std::optional<QImage>, 256> cells_;
    QImage placeholder_;
};

struct Preview {
    QImage image;
    std::uint64_t placeholderRecords = 0;
    std::set<int> missingTiles;  // tile numbers drawn as placeholders
};

// Draws every record of reader, in file order (a later record covers an earlier one at its
// position), onto a transparent picture of size. Records outside the picture are skipped. Throws
// FileError as LevelFileReader::ForEachRecord does, std::bad_alloc when the picture does not fit
// in memory.
Preview DrawLevel(LevelFileReader& reader, const TilesetCells& cells, QSize size);

}  // namespace quorbel::render
