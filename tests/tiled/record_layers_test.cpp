#include "tiled/record_layers.h"

#include <gtest/gtest.h>

#include <string>

namespace quorbel::tiled {
namespace {

// A layer drawn as text: rows from the top, one character a cell, '.' where it has no record and
// the tile number (1..9) where it has one.
std::vector<std::string> Drawn(const RecordLayers& layers, std::size_t layer) {
    std::array<std::uint32_t, 256> gidOfTile{};
    for (std::uint32_t tile = 0; tile < 256; ++tile) {
        gidOfTile[tile] = tile;
    }
    std::vector<std::uint32_t> grid;
    layers.Fill(layer, gidOfTile, grid);
    std::vector<std::string> rows;
    for (std::int64_t y = 0; y < layers.Height(); ++y) {
        std::string row;
        for (std::int64_t x = 0; x < layers.Width(); ++x) {
            const std::uint32_t gid = grid[static_cast<std::size_t>(y * layers.Width() + x)];
            row += gid == 0 ? '.' : static_cast<char>('0' + gid);
        }
        rows.push_back(row);
    }
    return rows;
}

// Worked examples of the rule: import writes a layer's records from the bottom row up, left to
// right, so a record starts the next layer when its cell is filled in the current one or it
// comes before the current layer's last record in that order.
TEST(RecordLayersTest, ARecordStartsTheNextLayerWhenImportWouldWriteItEarlier) {
    using Layers = std::vector<std::vector<std::string>>;
    struct Case {
        const char* name;
        std::vector<LevelRecord> records;  // x, y, tile
        Layers layers;
    } const cases[] = {
        {"one record", {{2, 1, 5}}, {{"...", "..5"}}},
        {"convert's order: bottom row first, left to right",
         {{0, 1, 1}, {2, 1, 2}, {1, 0, 3}},
         {{".3.", "1.2"}}},
        {"the next row up may start anywhere", {{2, 1, 1}, {0, 0, 2}}, {{"2..", "..1"}}},
        {"the same cell again", {{1, 0, 1}, {1, 0, 2}}, {{".1"}, {".2"}}},
        {"the same cell with the same tile",
         {{0, 0, 4}, {0, 0, 4}, {0, 0, 4}},
         {{"4"}, {"4"}, {"4"}}},
        {"left of the last record in its row", {{1, 0, 1}, {0, 0, 2}}, {{".1"}, {"2."}}},
        {"a row below the last record", {{0, 0, 1}, {0, 1, 2}}, {{"1", "."}, {".", "2"}}},
        {"a cell filled before the last record",
         {{0, 1, 1}, {1, 1, 2}, {0, 1, 3}},
         {{"..", "12"}, {"..", "3."}}},
        {"composed: the second layer starts again at the bottom",
         {{0, 1, 1}, {1, 0, 1}, {1, 1, 2}, {0, 0, 2}},
         {{".1", "1."}, {"2.", ".2"}}},
        {"composed: a second layer that goes on past the first one's last record stays in it",
         {{0, 1, 1}, {0, 0, 1}, {1, 0, 2}},
         {{"12", "1."}}},
        {"random order, every record in its own place",
         {{1, 0, 1}, {0, 1, 2}, {1, 1, 3}, {0, 0, 4}, {1, 0, 5}, {0, 1, 6}},
         {{".1", ".."}, {"45", "23"}, {"..", "6."}}},
    };
    for (const Case& c : cases) {
        const RecordLayers layers(c.records, 1 << 20);
        Layers drawn;
        for (std::size_t layer = 0; layer < layers.Count(); ++layer) {
            drawn.push_back(Drawn(layers, layer));
        }
        EXPECT_EQ(drawn, c.layers) << c.name;
    }
}

}  // namespace
}  // namespace quorbel::tiled
