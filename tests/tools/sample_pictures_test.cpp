#include "samples/sample_pictures.h"

#include <gtest/gtest.h>

#include <set>

#include "support/bmp_builder.h"
#include "support/level_model.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel::samples {
namespace {

using test::model::LittleEndian;

// The 16 x 16 cell of tile t of a bottom-up 24-bit BMP of 304 x 160 pixels, row by row.
std::string CellBytes(const std::string& bmp, int t) {
    const std::size_t rowBytes = 3 * 304;
    const std::size_t left = 3 * 16 * static_cast<std::size_t>((t - 1) % 19);
    const int top = 16 * ((t - 1) / 19);
    std::string cell;
    for (int y = top; y < top + 16; ++y) {
        const std::size_t stored = static_cast<std::size_t>(160 - 1 - y);
        cell += bmp.substr(54 + stored * rowBytes + left, 3 * 16);
    }
    return cell;
}

TEST(SamplePicturesTest, TilesetHas190DistinctCells) {
    const std::string bmp = TilesetBmp();
    ASSERT_EQ(bmp.size(), LittleEndian(bmp, 2, 4));
    EXPECT_EQ(LittleEndian(bmp, 10, 4), 54u);
    EXPECT_EQ(LittleEndian(bmp, 18, 4), 304u);
    EXPECT_EQ(LittleEndian(bmp, 22, 4), 160u);
    EXPECT_EQ(LittleEndian(bmp, 28, 2), 24u);
    std::set<std::string> cells;
    for (int t = 1; t <= 190; ++t) {
        cells.insert(CellBytes(bmp, t));
    }
    EXPECT_EQ(cells.size(), 190u);
}

// The map converts over the tileset into one record per dark pixel.
TEST(SamplePicturesTest, MapConvertsOverTheTileset) {
    const std::string bmp = MapBmp();
    EXPECT_EQ(LittleEndian(bmp, 10, 4), 62u);      // pixel data offset
    EXPECT_EQ(LittleEndian(bmp, 28, 2), 1u);       // bits per pixel
    EXPECT_EQ(LittleEndian(bmp, 54, 4), 0u);       // palette entry 0: black
    EXPECT_EQ(bmp.size(), 62u + 12 * kMapHeight);  // rows of 96 bits, padded to 12 bytes
    test::ScratchDir dir;
    const auto convert =
        test::RunProcess(QUORBEL_LVL, {"convert", QUORBEL_SAMPLES_DIR "/sample-tileset.bmp",
                                       QUORBEL_SAMPLES_DIR "/sample-map.bmp", dir / "sample.lvl"});
    ASSERT_EQ(convert.exitStatus, 0) << convert.err;
    const std::string level = test::ReadWholeFile(dir / "sample.lvl");
    const std::string tileset = TilesetBmp();
    EXPECT_EQ(level.substr(0, tileset.size()), tileset);
    EXPECT_EQ(test::model::RecordsOf(level, tileset.size()), test::model::TilesOf(bmp, 171));
}

// The README's layered example, from the build tree: the coins are a second layer of the map's
// size that shares no pixel with it; composed with the map and split again, the maps give the
// same level back.
TEST(SamplePicturesTest, CoinsComposeWithTheMapAndSplitBack) {
    const std::string coins = CoinsBmp();
    EXPECT_EQ(LittleEndian(coins, 10, 4), 62u);
    EXPECT_EQ(LittleEndian(coins, 18, 4), static_cast<std::uint64_t>(kMapWidth));
    EXPECT_EQ(LittleEndian(coins, 22, 4), static_cast<std::uint64_t>(kMapHeight));
    const auto ground = test::model::TilesOf(MapBmp(), 171);
    const auto coinTiles = test::model::TilesOf(coins, kCoinTile);
    EXPECT_EQ(coinTiles.size(), 30u);
    std::set<std::pair<int, int>> taken;
    for (const auto& t : ground) {
        taken.insert({t.x, t.y});
    }
    for (const auto& t : coinTiles) {
        EXPECT_EQ(taken.count({t.x, t.y}), 0u) << t.x << ", " << t.y;
    }

    test::ScratchDir dir;
    const std::string samples = QUORBEL_SAMPLES_DIR;
    auto result = test::RunProcess(
        QUORBEL_LVL, {"compose", "--quiet", samples + "/sample-tileset.bmp", dir / "level.lvl",
                      "171:" + samples + "/sample-map.bmp", "23:" + samples + "/sample-coins.bmp"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string level = test::ReadWholeFile(dir / "level.lvl");
    auto expected = ground;
    expected.insert(expected.end(), coinTiles.begin(), coinTiles.end());
    EXPECT_EQ(test::model::RecordsOf(level, TilesetBmp().size()), expected);

    const std::string parts = dir / "parts";
    result = test::RunProcess(QUORBEL_LVL, {"split", dir / "level.lvl", parts});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "171:" + parts + "/tile-171.bmp\n23:" + parts + "/tile-023.bmp\n");
    result = test::RunProcess(QUORBEL_LVL,
                              {"compose", "--quiet", parts + "/tileset.bmp", dir / "again.lvl",
                               "171:" + parts + "/tile-171.bmp", "23:" + parts + "/tile-023.bmp"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(test::ReadWholeFile(dir / "again.lvl"), level);
}

}  // namespace
}  // namespace quorbel::samples
