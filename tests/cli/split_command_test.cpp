#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>
#include <sstream>

#include "in_process.h"
#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/level_model.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel::cli {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using test::ReadWholeFile;
using test::WriteWholeFile;
using test::model::Tile;

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

std::string LevelOf(const std::string& prefix, const std::vector<Tile>& records) {
    std::string level = prefix;
    for (const Tile& r : records) {
        level +=
            test::LevelRecordBytes(static_cast<std::uint32_t>(r.x), static_cast<std::uint32_t>(r.y),
                                   static_cast<std::uint32_t>(r.tile));
    }
    return level;
}

class SplitCommandTest : public ::testing::Test {
  protected:
    test::CommandResult Split(const std::string& level, const std::string& folder) {
        return Lvl({"split", level, folder});
    }

    // compose of what split printed, as the shell's $(...) passes it.
    test::CommandResult ComposeFromSplit(const std::string& layers, const std::string& to) {
        std::vector<std::string> args = {"compose", "--quiet", In("tileset.bmp"), to};
        for (const std::string& word : Words(layers)) {
            args.push_back(word);
        }
        return Lvl(args);
    }

    // The maps split wrote: one per tile number in the order of first appearance, all of the
    // bounds' size, each dark exactly where the level has a record of its tile.
    void ExpectMapsOf(const std::vector<Tile>& records, const std::string& printed) {
        std::vector<int> tiles;
        int width = 0;
        int height = 0;
        for (const Tile& r : records) {
            if (std::find(tiles.begin(), tiles.end(), r.tile) == tiles.end()) {
                tiles.push_back(r.tile);
            }
            width = std::max(width, r.x + 1);
            height = std::max(height, r.y + 1);
        }
        std::string expected;
        const std::vector<Tile> composed = test::model::ComposedFromMaps(records);
        for (const int tile : tiles) {
            char name[32];
            std::snprintf(name, sizeof name, "tile-%03d.bmp", tile);
            expected += std::to_string(tile) + ":" + In(name) + "\n";
            const std::string bmp = ReadWholeFile(In(name));
            EXPECT_EQ(test::model::LittleEndian(bmp, 18, 4), static_cast<std::uint64_t>(width));
            EXPECT_EQ(test::model::LittleEndian(bmp, 22, 4), static_cast<std::uint64_t>(height));
            std::vector<Tile> ofTile;
            std::copy_if(composed.begin(), composed.end(), std::back_inserter(ofTile),
                         [&](const Tile& r) { return r.tile == tile; });
            EXPECT_EQ(test::model::TilesOf(bmp, tile), ofTile) << name;
        }
        EXPECT_EQ(printed, expected);
    }

    std::string In(const std::string& name) const { return parts + "/" + name; }

    test::ScratchDir dir;
    std::string parts = dir / "parts";
    std::mt19937 random{1212};
    int Uniform(int low, int high) { return std::uniform_int_distribution(low, high)(random); }
};

// Levels made by convert, and by compose of layers with distinct tile numbers, of random sizes:
// split gives maps that compose turns back into the same bytes, and says nothing.
TEST_F(SplitCommandTest, ComposeOfTheMapsGivesConvertAndComposeLevelsBack) {
    const std::string tileset = dir / "tileset.bmp";
    for (int sample = 0; sample < 25; ++sample) {
        SCOPED_TRACE("sample " + std::to_string(sample));
        const std::string prefix = BmpBuilder(Uniform(1, 40), Uniform(1, 20)).Bytes();
        WriteWholeFile(tileset, prefix + "records of an earlier level");
        std::vector<std::string> args = {"compose", "--quiet", tileset, dir / "level.lvl"};
        std::vector<int> tiles(256);
        std::iota(tiles.begin(), tiles.end(), 0);
        std::shuffle(tiles.begin(), tiles.end(), random);
        std::vector<Tile> records;
        const int layers = Uniform(1, 4);
        for (int i = 0; i < layers; ++i) {
            const std::string map = dir / ("map" + std::to_string(i) + ".bmp");
            const int share = Uniform(0, 30);
            const int side = Uniform(0, 3) == 0 ? 1024 : 60;
            BmpBuilder builder(Uniform(1, side), Uniform(1, 40));
            builder.Pixels([share, seed = Uniform(0, 99)](int x, int y) {
                return (x * 13 + y * 7 + seed) % 100 < share ? 0 : 1;
            });
            builder.WriteTo(map);
            args.push_back(std::to_string(tiles[static_cast<std::size_t>(i)]) + ":" + map);
            for (const Tile& t : test::model::TilesOf(builder.Bytes(), tiles[i])) {
                records.push_back(t);
            }
        }
        if (layers == 1) {  // a level made by convert
            args = {"convert",
                    "--tile",
                    args[4].substr(0, args[4].find(':')),
                    tileset,
                    args[4].substr(args[4].find(':') + 1),
                    dir / "level.lvl"};
        }
        ASSERT_EQ(Lvl(args).exitStatus, 0);
        fs::remove_all(parts);

        const auto split = Split(dir / "level.lvl", parts);
        ASSERT_EQ(split.exitStatus, 0) << split.err;
        EXPECT_EQ(ReadWholeFile(In("tileset.bmp")), prefix);
        if (records.empty()) {
            EXPECT_NE(split.err.find("has no records"), std::string::npos) << split.err;
            EXPECT_EQ(split.out, "");
            continue;
        }
        EXPECT_EQ(split.err, "");
        ExpectMapsOf(records, split.out);
        const auto compose = ComposeFromSplit(split.out, dir / "new.lvl");
        ASSERT_EQ(compose.exitStatus, 0) << compose.err;
        EXPECT_EQ(ReadWholeFile(dir / "new.lvl"), ReadWholeFile(dir / "level.lvl"));
    }
}

// Levels of random records in a small square, so that repeats, reorders and tile numbers that come
// back are common: split warns exactly when compose of its maps does not give the level back, and
// compose of them gives what the model says.
TEST_F(SplitCommandTest, WarnsExactlyWhenTheMapsCannotHoldTheLevel) {
    const std::string prefix = BmpBuilder(16, 16).Bytes();
    int warned = 0;
    for (int sample = 0; sample < 40; ++sample) {
        SCOPED_TRACE("sample " + std::to_string(sample));
        std::vector<Tile> records(static_cast<std::size_t>(Uniform(1, 7)));
        for (Tile& r : records) {
            r = Tile{Uniform(0, 2), Uniform(0, 2), Uniform(0, 2) * 100};
        }
        WriteWholeFile(dir / "level.lvl", LevelOf(prefix, records));
        const auto split = Split(dir / "level.lvl", parts);
        ASSERT_EQ(split.exitStatus, 0) << split.err;
        const std::vector<Tile> composed = test::model::ComposedFromMaps(records);
        const bool warns =
            split.err.find("warning: compose of these layers does not give") != std::string::npos;
        EXPECT_EQ(warns, composed != records) << split.err;
        warned += warns ? 1 : 0;
        ExpectMapsOf(records, split.out);
        const auto compose = ComposeFromSplit(split.out, dir / "new.lvl");
        ASSERT_EQ(compose.exitStatus, 0) << compose.err;
        EXPECT_EQ(ReadWholeFile(dir / "new.lvl"), LevelOf(prefix, composed));
    }
    EXPECT_GT(warned, 5);
    EXPECT_LT(warned, 35);
}

TEST_F(SplitCommandTest, TheWarningCountsWhatTheMapsCannotCarry) {
    const std::string prefix = BmpBuilder(16, 16).Bytes();
    WriteWholeFile(dir / "level.lvl",
                   LevelOf(prefix, {{1, 2, 5}, {1, 2, 5}, {3, 1, 5}, {0, 0, 9}, {4, 4, 5}}));
    const auto split = Split(dir / "level.lvl", parts);
    EXPECT_EQ(split.exitStatus, 0);
    EXPECT_EQ(split.err,
              "quorbel-lvl split: warning: compose of these layers does not give '" +
                  dir / "level.lvl" +
                  "' back byte for byte: 1 record(s) repeat a position with the same tile and "
                  "are left out (a map holds a position once); 1 record(s) come right after "
                  "one that compose writes after them (compose writes each tile's records "
                  "together, tiles in the order of their first appearance, bottom row first, "
                  "left to right)\n");
    EXPECT_EQ(split.out, "5:" + In("tile-005.bmp\n9:") + In("tile-009.bmp\n"));
}

// Refused levels and folders: exit status 1, a message that says why, and nothing written.
TEST_F(SplitCommandTest, RefusalsWriteNothing) {
    const std::string prefix = BmpBuilder(16, 16).Bytes();
    const struct Row {
        const char* name;
        std::string level;
        std::string folder;
        std::string message;
    } rows[] = {
        {"FiveBytes", "BM123", parts,
         "is no level file: it has 5 bytes, too few to hold the prefix size at bytes 2..5"},
        {"SizeFieldPastTheEnd", "BM" + test::Le32(100) + "abcd", parts,
         "is no level file: its size field says the prefix has 100 bytes, but the file has only "
         "10"},
        {"XBeyond1023", LevelOf(prefix, {{1024, 5, 1}, {3, 40, 2}}), parts,
         "has records up to x 1024 and y 40; a map bitmap holds x and y up to 1023 (1024 x 1024 "
         "pixels), so it cannot be split into maps"},
        {"YBeyond1023", LevelOf(prefix, {{0, 4095, 1}}), parts, "up to x 0 and y 4095"},
        {"FolderIsAFile", LevelOf(prefix, {{1, 1, 1}}), dir / "level.lvl",
         "cannot split into '" + dir / "level.lvl" + "': it is no folder"},
        {"FolderInAMissingFolder", LevelOf(prefix, {{1, 1, 1}}), dir / "none/parts",
         "cannot make the folder '" + dir / "none/parts" + "'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteWholeFile(dir / "level.lvl", row.level);
        const auto split = Split(dir / "level.lvl", row.folder);
        EXPECT_EQ(split.exitStatus, 1);
        EXPECT_NE(split.err.find(row.message), std::string::npos) << split.err;
        EXPECT_EQ(split.out, "");
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"level.lvl"});
    }
}

TEST_F(SplitCommandTest, FilesOfTheSameNamesAreReplacedAndOthersKept) {
    const std::string prefix = BmpBuilder(16, 16).Bytes();
    fs::create_directory(parts);
    for (const char* name : {"tile-005.bmp", "tile-009.bmp", "notes.txt"}) {
        WriteWholeFile(In(name), "earlier");
    }
    WriteWholeFile(dir / "level.lvl", LevelOf(prefix, {{0, 0, 5}}));
    EXPECT_EQ(Split(dir / "level.lvl", parts).exitStatus, 0);
    EXPECT_EQ(ReadWholeFile(In("tile-005.bmp")).size(), 62u + 4);
    EXPECT_EQ(ReadWholeFile(In("tile-009.bmp")), "earlier");
    EXPECT_EQ(ReadWholeFile(In("notes.txt")), "earlier");

    // Two of its files may not be one: tileset.bmp a link to tile-005.bmp would lose one.
    fs::remove(In("tileset.bmp"));
    fs::create_symlink("tile-005.bmp", In("tileset.bmp"));
    const std::string map = ReadWholeFile(In("tile-005.bmp"));
    const auto linked = Split(dir / "level.lvl", parts);
    EXPECT_EQ(linked.exitStatus, 1);
    EXPECT_NE(linked.err.find("cannot write both '" + In("tileset.bmp") + "' (a link to '" +
                              In("tile-005.bmp") + "') and '" + In("tile-005.bmp") +
                              "': they are one file"),
              std::string::npos)
        << linked.err;
    EXPECT_EQ(ReadWholeFile(In("tile-005.bmp")), map);
    fs::remove(In("tileset.bmp"));
    ASSERT_EQ(Split(dir / "level.lvl", parts).exitStatus, 0);

    // The level may not be replaced by its own prefix.
    const auto again = Split(In("tileset.bmp"), parts);
    EXPECT_EQ(again.exitStatus, 1);
    EXPECT_NE(again.err.find("it is the level being read"), std::string::npos) << again.err;
    EXPECT_EQ(ReadWholeFile(In("tileset.bmp")), prefix);
    EXPECT_EQ(dir.Leftovers(), std::vector<std::string>{});
}

// What split cannot give to compose: trailing bytes (info's warning), no records at all, a prefix
// too short to be a tileset. Each is told, and the level is still split.
TEST_F(SplitCommandTest, WhatComposeCannotTakeIsTold) {
    const std::string prefix = BmpBuilder(16, 16).Bytes();
    const std::string level = dir / "level.lvl";
    struct Row {
        const char* name;
        std::string bytes;
        std::string warning;
        std::string out;
    } const rows[] = {
        {"TrailingBytes", LevelOf(prefix, {{2, 0, 7}}) + "xy",
         "warning: 2 trailing byte(s) after the last whole record of '" + level + "' are no record",
         "7:" + In("tile-007.bmp\n")},
        {"NoRecords", prefix,
         "warning: '" + level +
             "' has no records, so there is no layer: compose needs one, but the tileset alone "
             "is the level (" +
             In("tileset.bmp)"),
         ""},
        // The size field's last two bytes begin the only record, (0, 0) of tile 7.
        {"PrefixOfFourBytes", "BM" + test::Le32(4) + std::string("\x00\x07", 2),
         "warning: the prefix of '" + level +
             "' has 4 bytes; compose takes a tileset whose size field says 6 to 2147483647",
         "7:" + In("tile-007.bmp\n")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(parts);
        WriteWholeFile(level, row.bytes);
        const auto split = Split(level, parts);
        EXPECT_EQ(split.exitStatus, 0) << split.err;
        EXPECT_EQ(split.err, "quorbel-lvl split: " + row.warning + "\n");
        EXPECT_EQ(split.out, row.out);
    }
    // info gives the same warning of trailing bytes.
    WriteWholeFile(level, rows[0].bytes);
    EXPECT_EQ(Lvl({"info", level}).err, "quorbel-lvl info: " + rows[0].warning + "\n");
}

TEST_F(SplitCommandTest, BadUsageExits64) {
    EXPECT_EQ(Lvl({"split", dir / "level.lvl"}).exitStatus, 64);
}

}  // namespace
}  // namespace quorbel::cli
