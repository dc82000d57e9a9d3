#include "tiled/tile_gids.h"

#include <gtest/gtest.h>

namespace quorbel::tiled {
namespace {

// Worked examples. Tile t is cell column (t - 1) mod 19, row (t - 1) div 19; its gid is
// firstGid + row x columns + column.
TEST(TileGidsTest, GidOfTile) {
    const TilesetGrid sample{1, 19, 190};  // the bundled 304 x 160 tileset
    const TilesetGrid wide{1, 25, 250};    // 400 x 160: six columns more than the game reaches
    const TilesetGrid narrow{1, 10, 40};   // 160 x 64
    const TilesetGrid later{101, 19, 190};
    struct Case {
        const char* name;
        int tile;
        TilesetGrid grid;
        std::uint32_t gid;
    } const cases[] = {
        {"first tile", 1, sample, 1},
        {"tile 171 on 19 columns", 171, sample, 171},
        {"last tile of the sample", 190, sample, 190},
        {"tile 20 starts row 1 on 25 columns", 20, wide, 26},
        {"tile 171 is column 18, row 8 on 25 columns", 171, wide, 1 + 8 * 25 + 18},
        {"tile 10 in the last column of 10", 10, narrow, 10},
        {"tile 11 has no column 10", 11, narrow, 0},
        {"tile 20 is row 1 of 10 columns", 20, narrow, 11},
        {"tile 77 is row 4 of a 4-row picture", 77, narrow, 0},
        {"tile 0 has no cell", 0, sample, 0},
        {"tile 191 is past the sample's rows", 191, sample, 0},
        {"firstgid 101", 171, later, 271},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GidOfTile(c.tile, c.grid), c.gid) << c.name;
    }
}

TEST(TileGidsTest, TileOfGid) {
    const TilesetGrid wide{1, 25, 500};  // 400 x 320
    const TilesetGrid later{101, 19, 190};
    struct Case {
        const char* name;
        std::uint32_t gid;
        TilesetGrid grid;
        GidMeaning meaning;
        int tile;
    } const cases[] = {
        {"empty", 0, wide, GidMeaning::Empty, 0},
        {"first cell", 1, wide, GidMeaning::Tile, 1},
        {"column 18 of row 0", 19, wide, GidMeaning::Tile, 19},
        {"column 19 of row 0", 20, wide, GidMeaning::ColumnBeyond19, 0},
        {"column 24 of row 0", 25, wide, GidMeaning::ColumnBeyond19, 0},
        {"column 0 of row 1", 26, wide, GidMeaning::Tile, 20},
        {"column 18 of row 8", 1 + 8 * 25 + 18, wide, GidMeaning::Tile, 171},
        {"tile 255: column 7 of row 13", 1 + 13 * 25 + 7, wide, GidMeaning::Tile, 255},
        {"tile 256: column 8 of row 13", 1 + 13 * 25 + 8, wide, GidMeaning::TileBeyond255, 256},
        {"past the tile count", 501, wide, GidMeaning::OtherTileset, 0},
        {"before the first gid", 100, later, GidMeaning::OtherTileset, 0},
        {"firstgid 101", 271, later, GidMeaning::Tile, 171},
        {"flipped horizontally", 0x80000001u, wide, GidMeaning::Transformed, 0},
        {"flipped vertically", 0x40000001u, wide, GidMeaning::Transformed, 0},
        {"flipped diagonally", 0x20000001u, wide, GidMeaning::Transformed, 0},
        {"rotated 120 degrees", 0x10000001u, wide, GidMeaning::Transformed, 0},
    };
    for (const Case& c : cases) {
        const GidTile result = TileOfGid(c.gid, c.grid);
        EXPECT_EQ(result.meaning, c.meaning) << c.name;
        EXPECT_EQ(result.tile, c.tile) << c.name;
    }
}

}  // namespace
}  // namespace quorbel::tiled
