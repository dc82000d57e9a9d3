// A level drawn as the game lays it out: every record puts its tile, the tileset cell in column
// (t - 1) mod 19 and row (t - 1) div 19 (cells of 16 x 16 pixels), at (16 x, 16 y). Draws with
// QtGui's image classes only; nothing here needs a display.
#pragma once

#include <QImage>
#include <QSize>
#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "level_file.h"
#include "level_stats.h"

namespace quorbel::cli {

inline constexpr int kCellSide = 16;
inline constexpr int kCellsPerRow = 19;
inline constexpr int kLargestPreviewSide = 4096;

// The pixels of a tile side at the scale text ("2", "1", "0.5", "1/4"): 16 x scale, which must be
// a whole number from 1 to 256. Throws UsageError naming text otherwise.
int TileSideForScale(const std::string& text);

// The scale that makes tiles tileSide pixels wide, as text: "2", "1", "1/4", "3/16".
std::string ScaleText(int tileSide);

// The largest tile side of 16, 8, 4, 2 and 1 pixels that keeps a preview of bounds within 4096
// pixels a side.
int DefaultTileSide(const LevelBounds& bounds);

// The largest tile side, at most 256 pixels, that keeps a preview of bounds within 4096 pixels a
// side.
int LargestTileSide(const LevelBounds& bounds);

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
// FileError as LevelFileReader::ForEachRecord does.
Preview DrawLevel(LevelFileReader& reader, const TilesetCells& cells, QSize size);

}  // namespace quorbel::cli
