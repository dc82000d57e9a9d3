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

}  // namespace
}  // namespace quorbel::samples
