#include "level_preview.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numeric>

#include "command_line.h"

namespace quorbel::cli {
namespace {

constexpr int kLargestTileSide = 256;
constexpr QRgb kPlaceholderLight = 0xFFFF00FF;  // opaque magenta
constexpr QRgb kPlaceholderDark = 0xFF000000;

// A whole number or a decimal fraction, read the same in every locale.
std::optional<double> NumberFrom(std::string_view text) {
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

QImage MakePlaceholder(int side) {
    QImage image(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool light = (4 * x / side + 4 * y / side) % 2 == 0;
            image.setPixel(x, y, light ? kPlaceholderLight : kPlaceholderDark);
        }
    }
    return image;
}

}  // namespace

int TileSideForScale(const std::string& text) {
    std::optional<double> scale;
    if (const auto slash = text.find('/'); slash != std::string::npos) {
        const auto numerator = NumberFrom(std::string_view(text).substr(0, slash));
        const auto denominator = NumberFrom(std::string_view(text).substr(slash + 1));
        if (numerator && denominator && *denominator > 0) {
            scale = *numerator / *denominator;
        }
    } else {
        scale = NumberFrom(text);
    }
    if (!scale) {
        throw UsageError("--scale '" + text + "' is no number (write 2, 0.5 or 1/4)");
    }
    const double side = *scale * kCellSide;
    const double whole = std::round(side);
    if (std::abs(side - whole) > 1e-9 || whole < 1 || whole > kLargestTileSide) {
        throw UsageError("--scale '" + text +
                         "' does not make a tile a whole number of pixels from 1 to 256 "
                         "(16 x scale)");
    }
    return static_cast<int>(whole);
}

std::string ScaleText(int tileSide) {
    const int divisor = std::gcd(tileSide, kCellSide);
    const int numerator = tileSide / divisor;
    const int denominator = kCellSide / divisor;
    return denominator == 1 ? std::to_string(numerator)
                            : std::to_string(numerator) + "/" + std::to_string(denominator);
}

int DefaultTileSide(const LevelBounds& bounds) {
    const int tiles = std::max(bounds.maxX, bounds.maxY) + 1;
    int side = kCellSide;
    while (side > 1 && side * tiles > kLargestPreviewSide) {
        side /= 2;
    }
    return side;
}

int LargestTileSide(const LevelBounds& bounds) {
    const int tiles = std::max(bounds.maxX, bounds.maxY) + 1;
    return std::min(kLargestTileSide, kLargestPreviewSide / tiles);
}

QSize PreviewSize(const LevelBounds& bounds, int tileSide) {
    return QSize(tileSide * (bounds.maxX + 1), tileSide * (bounds.maxY + 1));
}

TilesetCells::TilesetCells(const QImage& picture, int tileSide)
    : tileSide_(tileSide), placeholder_(MakePlaceholder(tileSide)) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    const int columns = std::min(kCellsPerRow, argb.width() / kCellSide);
    const int rows = argb.height() / kCellSide;
    // Shrinking averages a cell's pixels; growing repeats them, so that tiles stay sharp.
    const auto mode = tileSide < kCellSide ? Qt::SmoothTransformation : Qt::FastTransformation;
    for (int tile = 1; tile < 256; ++tile) {
        const int column = (tile - 1) % kCellsPerRow;
        const int row = (tile - 1) / kCellsPerRow;
        if (column < columns && row < rows) {
            cells_[tile] = argb.copy(column * kCellSide, row * kCellSide, kCellSide, kCellSide)
                               .scaled(tileSide, tileSide, Qt::IgnoreAspectRatio, mode)
                               .convertToFormat(QImage::Format_ARGB32);
        }
    }
}

const QImage* TilesetCells::Cell(int tile) const {
    const auto& cell = cells_[static_cast<std::size_t>(tile)];
    return cell ? &*cell : nullptr;
}

Preview DrawLevel(LevelFileReader& reader, const TilesetCells& cells, QSize size) {
    Preview preview;
    preview.image = QImage(size, QImage::Format_ARGB32);
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

}  // namespace quorbel::cli
