#include "formats/level_stats.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorbel {
namespace {

LevelStats StatsOf(const std::vector<LevelRecord>& records) {
    LevelStatsCollector collector;
    for (const LevelRecord& record : records) {
        collector.Add(record);
    }
    return collector.Result();
}

TEST(LevelStatsTest, CountsBoundsTilesAndDuplicates) {
    struct Case {
        const char* name;
        std::vector<LevelRecord> records;
        std::tuple<int, int, int, int> bounds;             // min x, max x, min y, max y
        std::vector<std::pair<int, std::uint64_t>> tiles;  // every tile number used, with its count
        std::uint64_t duplicatedPositions, surplus;
        std::vector<std::tuple<int, int, std::uint64_t>> listed;
    } const cases[] = {
        {"one record", {{300, 17, 171}}, {300, 300, 17, 17}, {{171, 1}}, 0, 0, {}},
        {"corners and tiles 0 and 255",
         {{0, 4095, 0}, {4095, 0, 255}, {7, 9, 255}},
         {0, 4095, 0, 4095},
         {{0, 1}, {255, 2}},
         0,
         0,
         {}},
        // Same x + 4096 y sum, different positions: no duplicate.
        {"no aliasing",
         {{4095, 0, 1}, {0, 1, 1}, {4095, 1, 1}},
         {0, 4095, 0, 1},
         {{1, 3}},
         0,
         0,
         {}},
        {"repeats listed by y then x",
         {{5, 9, 1}, {2, 3, 2}, {5, 9, 3}, {2, 3, 2}, {5, 9, 1}, {8, 3, 1}},
         {2, 8, 3, 9},
         {{1, 3}, {2, 2}, {3, 1}},
         2,
         3,
         {{2, 3, 2}, {5, 9, 3}}},
    };
    for (const Case& c : cases) {
        const LevelStats stats = StatsOf(c.records);
        EXPECT_EQ(stats.records, c.records.size()) << c.name;
        ASSERT_TRUE(stats.bounds) << c.name;
        EXPECT_EQ(std::tuple(int{stats.bounds->minX}, int{stats.bounds->maxX},
                             int{stats.bounds->minY}, int{stats.bounds->maxY}),
                  c.bounds)
            << c.name;
        std::vector<std::pair<int, std::uint64_t>> tiles;
        for (int t = 0; t < 256; ++t) {
            if (stats.tileCounts[t] != 0) {
                tiles.emplace_back(t, stats.tileCounts[t]);
            }
        }
        EXPECT_EQ(tiles, c.tiles) << c.name;
        EXPECT_EQ(stats.duplicatedPositions, c.duplicatedPositions) << c.name;
        EXPECT_EQ(stats.surplusRecords, c.surplus) << c.name;
        std::vector<std::tuple<int, int, std::uint64_t>> listed;
        for (const DuplicatePosition& d : stats.listedDuplicates) {
            listed.emplace_back(d.x, d.y, d.count);
        }
        EXPECT_EQ(listed, c.listed) << c.name;
    }
}

TEST(LevelStatsTest, ListsTheFirstRepeatsButCountsThemAll) {
    std::vector<LevelRecord> records;
    const int positions = LevelStatsCollector::kListedDuplicates + 50;
    for (int round = 0; round < 3; ++round) {
        for (int i = positions - 1; i >= 0; --i) {  // repeats found from the highest x down
            records.push_back({static_cast<std::uint16_t>(i), 7, 1});
        }
    }
    const LevelStats stats = StatsOf(records);
    EXPECT_EQ(stats.duplicatedPositions, static_cast<std::uint64_t>(positions));
    EXPECT_EQ(stats.surplusRecords, 2u * positions);
    ASSERT_EQ(stats.listedDuplicates.size(), LevelStatsCollector::kListedDuplicates);
    EXPECT_EQ(stats.listedDuplicates.front().x, 50);
    EXPECT_EQ(stats.listedDuplicates.back().x, positions - 1);
    for (const DuplicatePosition& d : stats.listedDuplicates) {
        EXPECT_EQ(d.count, 3u);
    }
}

}  // namespace
}  // namespace quorbel
