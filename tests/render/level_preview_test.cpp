#include "render/level_preview.h"

#include <gtest/gtest.h>

#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/scratch_dir.h"

namespace quorbel::render {
namespace {

// A tileset in which every pixel has a colour of its own, so a wrong cell or offset shows.
QImage UniqueTileset(int width = 304, int height = 160) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x & 0xFF, y, 0x40 | (x >> 8)));
        }
    }
    return image;
}

// Draws records over a tileset at the given tile side.
Preview Draw(const std::vector<LevelRecord>& records, const QImage& tileset, int side) {
    test::ScratchDir dir;
    std::string bytes = test::BmpBuilder(8, 8).Bytes();
    LevelBounds bounds{4095, 0, 4095, 0};
    for (const LevelRecord& r : records) {
        bytes += test::LevelRecordBytes(r.x, r.y, r.tile);
        bounds = {std::min(bounds.minX, r.x), std::max(bounds.maxX, r.x),
                  std::min(bounds.minY, r.y), std::max(bounds.maxY, r.y)};
    }
    test::WriteWholeFile(dir / "level.lvl", bytes);
    LevelFileReader reader(dir / "level.lvl");
    return DrawLevel(reader, TilesetCells(tileset, side), PreviewSize(bounds, side));
}

// The colour that the tile at (column, row) of the map should show at pixel (i, j) of it.
QRgb PlaceholderPixel(int i, int j, int side) {
    return (4 * i / side + 4 * j / side) % 2 == 0 ? 0xFFFF00FF : 0xFF000000;
}

TEST(LevelPreviewTest, DefaultScaleKeepsWithin4096Pixels) {
    const std::pair<LevelBounds, int> cases[] = {
        {{0, 0, 0, 0}, 16},      {{0, 255, 0, 3}, 16},    {{0, 256, 0, 0}, 8},
        {{0, 3, 0, 1023}, 4},    {{0, 1023, 0, 1023}, 4}, {{0, 4095, 0, 0}, 1},
        {{5, 2047, 9, 1024}, 2},
    };
    for (const auto& [bounds, side] : cases) {
        EXPECT_EQ(DefaultTileSide(bounds), side) << bounds.maxX << "," << bounds.maxY;
        const QSize size = PreviewSize(bounds, side);
        EXPECT_LE(std::max(size.width(), size.height()), kLargestPreviewSide);
        EXPECT_EQ(size, QSize(side * (bounds.maxX + 1), side * (bounds.maxY + 1)));
    }
}

TEST(LevelPreviewTest, EveryRecordShowsItsTilesetCellPixelForPixel) {
    const QImage tileset = UniqueTileset();
    // Tiles at the corners of the numbering, and a later record covering an earlier one.
    const std::vector<LevelRecord> records = {{0, 0, 1},   {3, 0, 19},  {1, 2, 20},
                                              {3, 2, 190}, {2, 1, 171}, {3, 0, 100}};
    for (const int side : {16, 32}) {
        const Preview preview = Draw(records, tileset, side);
        ASSERT_EQ(preview.image.size(), QSize(4 * side, 3 * side));
        EXPECT_EQ(preview.placeholderRecords, 0u);
        std::map<std::pair<int, int>, int> shown;  // (x, y) -> tile, the last record wins
        for (const LevelRecord& r : records) {
            shown[{r.x, r.y}] = r.tile;
        }
        for (int y = 0; y < preview.image.height(); ++y) {
            for (int x = 0; x < preview.image.width(); ++x) {
                const auto found = shown.find({x / side, y / side});
                QRgb expected = 0;  // transparent where no record is
                if (found != shown.end()) {
                    const int t = found->second;
                    const int i = (x % side) * 16 / side;
                    const int j = (y % side) * 16 / side;
                    expected = tileset.pixel(16 * ((t - 1) % 19) + i, 16 * ((t - 1) / 19) + j);
                }
                ASSERT_EQ(preview.image.pixel(x, y), expected)
                    << "side " << side << " at " << x << "," << y;
            }
        }
    }
}

TEST(LevelPreviewTest, TilesWithoutACellGetThePlaceholder) {
    // 100 x 40 pixels: 6 whole columns and 2 whole rows of cells; tile 7 is column 6, cut off.
    const QImage tileset = UniqueTileset(100, 40);
    const std::vector<LevelRecord> records = {{0, 0, 0},  {1, 0, 6},   {2, 0, 7}, {3, 0, 25},
                                              {4, 0, 39}, {5, 0, 255}, {6, 0, 0}};
    const Preview preview = Draw(records, tileset, 16);
    EXPECT_EQ(preview.placeholderRecords, 5u);
    EXPECT_EQ(preview.missingTiles, (std::set<int>{0, 7, 39, 255}));
    for (const int column : {0, 2, 4, 5, 6}) {
        for (int j = 0; j < 16; ++j) {
            for (int i = 0; i < 16; ++i) {
                ASSERT_EQ(preview.image.pixel(16 * column + i, j), PlaceholderPixel(i, j, 16))
                    << column;
            }
        }
    }
    EXPECT_EQ(preview.image.pixel(16 + 5, 5), tileset.pixel(80 + 5, 5));           // tile 6
    EXPECT_EQ(preview.image.pixel(48 + 5, 5), tileset.pixel(5 * 16 + 5, 16 + 5));  // tile 25
    // At one pixel a tile the placeholder is a single magenta pixel.
    EXPECT_EQ(Draw({{1, 1, 0}}, tileset, 1).image.pixel(1, 1), 0xFFFF00FF);
}

}  // namespace
}  // namespace quorbel::render
