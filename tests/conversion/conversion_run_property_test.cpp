// Thousands of seeded random bitmaps (sizes, palettes, densities, junk in the padding) and
// tilesets, each converted by a whole run and read back with the plain model in level_model.h,
// which decodes BMP rows and level records on its own, never through the core's functions.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "conversion/conversion_run.h"
#include "support/bmp_builder.h"
#include "support/level_model.h"
#include "support/recording_front_end.h"
#include "support/scratch_dir.h"

namespace quorbel {
namespace {

using test::ReadWholeFile;
using test::WriteWholeFile;

constexpr int kBitmaps = 3000;

struct Sample {
    std::string tileset;
    std::size_t prefixLength = 0;
    std::string bitmap;
    std::string tileText;
    int tileNumber = 0;
};

class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    Sample Next() {
        Sample sample;
        sample.tileset = RandomBytes(Uniform(6, 300));
        // A prefix holds its own size field: at least 6 bytes.
        sample.prefixLength = static_cast<std::size_t>(Uniform(6, sample.tileset.size()));
        sample.tileset.replace(2, 4, test::LittleEndianBytes(sample.prefixLength, 4));
        sample.bitmap = RandomBitmap();
        sample.tileNumber = static_cast<int>(Uniform(0, 255));
        const std::string number = std::to_string(sample.tileNumber);
        const std::string texts[] = {number, " " + number + "\t", number + ".4", "+" + number};
        sample.tileText = texts[Uniform(0, 3)];
        return sample;
    }

  private:
    std::uint64_t Uniform(std::uint64_t low, std::uint64_t high) {
        return std::uniform_int_distribution<std::uint64_t>(low, high)(random_);
    }

    std::string RandomBytes(std::size_t count) {
        std::string bytes;
        for (std::size_t i = 0; i < count; ++i) {
            bytes += static_cast<char>(Uniform(0, 255));
        }
        return bytes;
    }

    // Mostly small pictures, now and then one up to the largest side; a random share of set bits,
    // and random bits in each row's padding.
    std::string RandomBitmap() {
        const bool large = Uniform(0, 99) < 3;
        const std::uint64_t width = large ? Uniform(0, 1024) : Uniform(0, 80);
        const std::uint64_t height = large ? Uniform(0, 64) : Uniform(0, 40);
        const std::uint64_t setPerMille = Uniform(0, 1000);
        const std::uint64_t bytesPerRow = (width + 31) / 32 * 4;
        std::string rows;
        for (std::uint64_t i = 0; i < 8 * bytesPerRow * height; i += 8) {
            unsigned byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                byte = byte << 1 | (Uniform(1, 1000) <= setPerMille ? 1u : 0u);
            }
            rows += static_cast<char>(byte);
        }
        const std::uint64_t blue = Uniform(0, 2) == 0 ? 255 : Uniform(0, 255);
        std::string bmp = "BM" + test::LittleEndianBytes(62 + rows.size(), 4) + RandomBytes(4) +
                          test::LittleEndianBytes(62, 4) + RandomBytes(4) +
                          test::LittleEndianBytes(width, 4) + test::LittleEndianBytes(height, 4) +
                          RandomBytes(2) + test::LittleEndianBytes(1, 2) + RandomBytes(24);
        bmp += static_cast<char>(blue);
        return bmp + RandomBytes(7) + rows;
    }

    std::mt19937_64 random_;
};

TEST(ConversionRunProperty, EveryTilePixelBecomesItsRecordAndNothingElse) {
    test::ScratchDir dir;
    const std::string tileset = dir / "tileset.lvl";
    const std::string bitmap = dir / "map.bmp";
    const std::string output = dir / "out.lvl";
    Generator generator(20240611);
    for (int i = 0; i < kBitmaps; ++i) {
        const Sample sample = generator.Next();
        WriteWholeFile(tileset, sample.tileset);
        WriteWholeFile(bitmap, sample.bitmap);
        test::RecordingFrontEnd window;
        window.fields = {{Field::txtTileNum, sample.tileText},
                         {Field::txtTile, tileset},
                         {Field::txtPic, bitmap},
                         {Field::txtOut, output}};
        const RunResult result = RunConversion(window);
        ASSERT_EQ(result.outcome, RunOutcome::Converted) << "bitmap " << i << ": " << result.cause;

        const std::string level = ReadWholeFile(output);
        ASSERT_EQ(level.substr(0, sample.prefixLength),
                  sample.tileset.substr(0, sample.prefixLength))
            << "bitmap " << i;
        ASSERT_EQ(test::model::RecordsOf(level, sample.prefixLength),
                  test::model::TilesOf(sample.bitmap, sample.tileNumber))
            << "bitmap " << i;
        ASSERT_EQ(window.report, test::model::FullReport(sample.bitmap)) << "bitmap " << i;
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"map.bmp", "out.lvl", "tileset.lvl"}));
}

}  // namespace
}  // namespace quorbel
