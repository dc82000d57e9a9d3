#include "formats/level_layers.h"

#include <gtest/gtest.h>

#include <random>

#include "support/level_model.h"

namespace quorbel {
namespace {

using test::model::Tile;

struct Case {
    std::string name;
    std::vector<Tile> records;  // in file order
    std::vector<std::uint8_t> tiles;
    std::uint64_t repeated = 0;
    std::uint64_t outOfOrder = 0;
};

void Add(LevelLayers& layers, const std::vector<Tile>& records) {
    for (const Tile& r : records) {
        layers.Add(LevelRecord{static_cast<std::uint16_t>(r.x), static_cast<std::uint16_t>(r.y),
                               static_cast<std::uint8_t>(r.tile)});
    }
}

TEST(LevelLayers, CountsWhatTheMapsCannotHold) {
    const Case cases[] = {
        {"ConvertOrder", {{0, 3, 9}, {5, 3, 9}, {1, 2, 9}, {0, 0, 9}}, {9}, 0, 0},
        {"TwoLayersInOrder", {{4, 1, 9}, {0, 0, 9}, {9, 9, 2}, {4, 1, 2}}, {9, 2}, 0, 0},
        {"SamePositionTwoTiles", {{1, 1, 7}, {1, 1, 8}}, {7, 8}, 0, 0},
        {"RepeatAdjacent", {{1, 1, 7}, {1, 1, 7}}, {7}, 1, 0},
        {"RepeatLater", {{1, 1, 7}, {0, 0, 7}, {1, 1, 7}, {1, 1, 7}}, {7}, 2, 0},
        {"LeftOfThePreviousInARow", {{3, 0, 7}, {2, 0, 7}}, {7}, 0, 1},
        {"RowAboveBeforeRowBelow", {{0, 0, 7}, {0, 1, 7}, {1, 1, 7}}, {7}, 0, 1},
        {"FirstTileComesBack", {{0, 0, 7}, {0, 0, 8}, {5, 0, 7}}, {7, 8}, 0, 1},
        {"RepeatIsNotAlsoOutOfOrder", {{5, 0, 7}, {1, 0, 7}, {5, 0, 7}}, {7}, 1, 1},
        {"NoRecords", {}, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LevelLayers layers;
        Add(layers, c.records);
        EXPECT_EQ(layers.Tiles(), c.tiles);
        EXPECT_EQ(layers.RepeatedRecords(), c.repeated);
        EXPECT_EQ(layers.RecordsOutOfOrder(), c.outOfOrder);
        EXPECT_EQ(layers.Records(), c.records.size());
        EXPECT_TRUE(layers.FitsMaps());
        for (const Tile& r : c.records) {
            EXPECT_TRUE(layers.IsDark(static_cast<std::uint8_t>(r.tile), r.x, r.y));
        }
    }
}

TEST(LevelLayers, ARecordBeyond1023FitsNoMapAndSetsTheLargestXAndY) {
    const struct {
        std::vector<Tile> records;
        int largestX, largestY;
        bool fits;
    } cases[] = {
        {{}, -1, -1, true},
        {{{1023, 1023, 1}}, 1023, 1023, true},
        {{{1024, 0, 1}, {3, 40, 1}}, 1024, 40, false},
        {{{0, 4095, 1}}, 0, 4095, false},
    };
    for (const auto& c : cases) {
        LevelLayers layers;
        Add(layers, c.records);
        EXPECT_EQ(layers.LargestX(), c.largestX);
        EXPECT_EQ(layers.LargestY(), c.largestY);
        EXPECT_EQ(layers.FitsMaps(), c.fits);
    }
}

// Random records in small maps, so that repeats, reorders and returning tiles are common: the
// maps hold the level exactly when the model's composition of them gives the records back.
TEST(LevelLayers, NothingIsCountedExactlyWhenComposeGivesTheLevelBack) {
    std::mt19937 random(12);
    int exact = 0;
    for (int sample = 0; sample < 4000; ++sample) {
        const int side = std::uniform_int_distribution(1, 4)(random);
        const int tiles = std::uniform_int_distribution(1, 3)(random);
        std::vector<Tile> records(std::uniform_int_distribution<std::size_t>(0, 8)(random));
        for (Tile& r : records) {
            r = Tile{std::uniform_int_distribution(0, side - 1)(random),
                     std::uniform_int_distribution(0, side - 1)(random),
                     std::uniform_int_distribution(0, tiles - 1)(random) * 100};
        }
        LevelLayers layers;
        Add(layers, records);
        const bool counted = layers.RepeatedRecords() + layers.RecordsOutOfOrder() != 0;
        const bool givenBack = test::model::ComposedFromMaps(records) == records;
        EXPECT_NE(counted, givenBack) << "sample " << sample;
        exact += givenBack ? 1 : 0;
    }
    EXPECT_GT(exact, 400);  // both kinds of level were tried
    EXPECT_LT(exact, 3600);
}

}  // namespace
}  // namespace quorbel
