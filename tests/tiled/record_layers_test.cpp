#include "tiled/record_layers.h"

#include <gtest/gtest.h>

#include "tiled/tiled_map.h"

namespace quorbel::tiled {
namespace {

// Each tile number as its own gid, so that a layer's grid shows the tile numbers.
std::array<std::uint32_t, 256> SameNumbers() {
    std::array<std::uint32_t, 256> gids{};
    for (std::uint32_t tile = 0; tile < 256; ++tile) {
        gids[tile] = tile;
    }
    return gids;
}

TEST(RecordLayersTest, EachPositionsNthRecordGoesToLayerN) {
    struct Case {
        const char* name;
        std::vector<LevelRecord> records;
        std::int64_t width;
        std::int64_t height;
        std::vector<std::vector<std::uint32_t>> layers;  // each width x height, row by row
    } const cases[] = {
        {"one record", {{0, 0, 7}}, 1, 1, {{7}}},
        {"size from the largest x and y", {{2, 1, 5}, {0, 0, 9}}, 3, 2, {{9, 0, 0, 0, 0, 5}}},
        {"a repeat goes to layer 2",
         {{1, 0, 1}, {0, 1, 2}, {1, 0, 3}},
         2,
         2,
         {{0, 1, 2, 0}, {0, 3, 0, 0}}},
        {"three at one place, in their order",
         {{0, 0, 10}, {1, 0, 20}, {0, 0, 11}, {0, 0, 12}, {1, 0, 21}},
         2,
         1,
         {{10, 20}, {11, 21}, {12, 0}}},
    };
    for (const Case& c : cases) {
        const RecordLayers layers(c.records, 1 << 20);
        EXPECT_EQ(layers.Width(), c.width) << c.name;
        EXPECT_EQ(layers.Height(), c.height) << c.name;
        ASSERT_EQ(layers.Count(), c.layers.size()) << c.name;
        std::vector<std::uint32_t> grid;
        for (std::size_t k = 0; k < layers.Count(); ++k) {
            layers.Fill(k, SameNumbers(), grid);
            EXPECT_EQ(grid, c.layers[k]) << c.name << ", layer " << k;
        }
    }
}

TEST(RecordLayersTest, RefusesMoreCellsThanAllowed) {
    const std::vector<LevelRecord> records{{9, 9, 1}, {0, 0, 1}, {0, 0, 1}};  // 2 x 10 x 10
    EXPECT_NO_THROW(RecordLayers(records, 200));
    try {
        RecordLayers(records, 199);
        ADD_FAILURE() << "accepted";
    } catch (const MapError& error) {
        EXPECT_NE(std::string(error.what()).find("2 layers of 10 x 10 tiles"), std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace quorbel::tiled
