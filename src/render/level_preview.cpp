#include "render/level_preview.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/errors.h"

#include "formats/tile_grid.h"

namespace quorbel::render {
namespace {

constexpr QRgb kPlaceholderLight = 0xFFFF00FF;  // opaque magenta
constexpr QRgb kPlaceholderDark = 0xFF000000;

// Qt gives a null picture when its pixels cannot be allocated.
void RequireAllocated(const QImage& image) {
    if (image.isNull()) {
        throw OutOfMemoryError("out of memory for a picture of " + std::to_string(image.width()) +
                               " x " + std::to_string(image.height()) + " pixels");
    }
}

QImage MakePlaceholder(int side) {
    QImage image(side, side, QImage::Format_ARGB32);
    RequireAllocated(image);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool light = (4 * x / side + 4 * y / side) % 2 == 0;
            image.setPixel(x, y, light ? kPlaceholderLight : kPlaceholderDark);
        }
    }
    return image;
}

}  // namespace

QSize PreviewSize(const LevelBounds& bounds, int tileSide) {
    return QSize(tileSide * (bounds.maxX + 1), tileSide * (bounds.maxY + 1));
}

TilesetCells::TilesetCells(const QImage& picture, int tileSide)
    : tileSide_(tileSide), placeholder_(MakePlaceholder(tileSide)) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    // Shrinking averages a cell's pixels; growing repeats them, so that tiles stay sharp.
    const auto mode = tileSide < kCellSide ? Qt::SmoothTransformation : Qt::FastTransformation;
    for (int tile = 1; tile <= kLargestTile; ++tile) {
        if (!HasCell(tile, argb.width(), argb.height())) {
            continue;
        }
        const GridCell cell = CellOfTile(tile);
        QImage scaled =
            argb.copy(cell.column * kCellSide, cell.row * kCellSide, kCellSide, kCellSide)
                .scaled(tileSide, tileSide, Qt::IgnoreAspectRatio, mode)
                .convertToFormat(QImage::Format_ARGB32);
        RequireAllocated(scaled);
        cells_[static_cast<std::size_t>(tile)] = std::move(scaled);
    }
}

const QImage* TilesetCells::Cell(int tile) const {
    const auto& cell = cells_[static_cast<std::size_t>(tile)];
    return cell ? &*cell : nullptr;
}

Preview DrawLevel(LevelFileReader& reader, const TilesetCells& cells, QSize size) {
    Preview preview;
    preview.image = QImage(size, QImage::Format_ARGB32);
    RequireAllocated(preview.image);
    preview.image.fill(Qt::transparent);
    const int side = cells.TileSide();
    const auto rowBytes = static_cast<std::size_t>(side) * sizeof(QRgb);
    reader.ForEachRecord([&](const LevelRecord& record) {
        const int left = record.x * side;
        const int top = record.y * side;
        if (left + side > size.width() || top + side > size.height()) {
            return;  // the file changed since its bounds were taken
        }
        const QImage* tile = cells.Cell(record.tile);
        if (tile == nullptr) {
            tile = &cells.Placeholder();
            ++preview.placeholderRecords;
            preview.missingTiles.insert(record.tile);
        }
        for (int row = 0; row < side; ++row) {
            std::memcpy(preview.image.scanLine(top + row) + left * sizeof(QRgb),
                        tile->constScanLine(row), rowBytes);
        }
    });
    return preview;
}

}  // namespace quorbel::render
