#include "tiled/level_import.h"

#include <gtest/gtest.h>

#include "conversion/errors.h"
#include "support/bmp_builder.h"
#include "support/scratch_dir.h"

namespace quorbel::tiled {
namespace {

using test::Le32;

TEST(LevelImportTest, SortsRecordsAsConvertWritesThem) {
    struct Case {
        const char* name;
        std::vector<LevelRecord> records;
        std::vector<LevelRecord> sorted;
    } const cases[] = {
        {"empty", {}, {}},
        {"already bottom row first",
         {{0, 1, 1}, {2, 1, 2}, {1, 0, 3}},
         {{0, 1, 1}, {2, 1, 2}, {1, 0, 3}}},
        {"top row first, as a finite layer comes",
         {{0, 0, 1}, {3, 0, 2}, {1, 1, 3}, {0, 2, 4}, {5, 2, 5}},
         {{0, 2, 4}, {5, 2, 5}, {1, 1, 3}, {0, 0, 1}, {3, 0, 2}}},
        {"chunks in any order",
         {{16, 0, 1}, {17, 1, 2}, {0, 1, 3}, {1, 0, 4}, {0, 4095, 5}, {4095, 4095, 6}},
         {{0, 4095, 5}, {4095, 4095, 6}, {0, 1, 3}, {17, 1, 2}, {1, 0, 4}, {16, 0, 1}}},
        {"one place twice keeps its order",
         {{1, 0, 1}, {0, 5, 2}, {1, 0, 3}},
         {{0, 5, 2}, {1, 0, 1}, {1, 0, 3}}},
    };
    for (const Case& c : cases) {
        std::vector<LevelRecord> records = c.records;
        SortAsConverted(records);
        EXPECT_EQ(records, c.sorted) << c.name;
    }
}

TEST(LevelImportTest, LeadingBitmapIsAsManyBytesAsTheSizeFieldSays) {
    test::ScratchDir dir;
    const std::string bmp = test::BmpBuilder(20, 3).Bytes();
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;  // the prefix, or part of the error
        bool refused;
    } const cases[] = {
        {"a BMP", bmp, bmp, false},
        {"a level file", bmp + "\1\2\3\4", bmp, false},
        {"the shortest", "BM" + Le32(6), "BM" + Le32(6), false},
        {"size field 5", "BM" + Le32(5) + "xx", "says 5 bytes, but a prefix needs from 6 to 8",
         true},
        {"size past the end", "BM" + Le32(9) + "xx", "says 9 bytes", true},
        {"no BMP", "PK" + Le32(6), "is no BMP picture", true},
        {"too short", "BM\6", "has 3 bytes, too few for a BMP picture", true},
    };
    for (const Case& c : cases) {
        test::WriteWholeFile(dir / "t", c.bytes);
        try {
            EXPECT_EQ(LeadingBitmap(dir / "t", "the tileset"), c.expected) << c.name;
            EXPECT_FALSE(c.refused) << c.name;
        } catch (const FileError& error) {
            EXPECT_TRUE(c.refused) << c.name << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find(c.expected), std::string::npos)
                << c.name << ": " << error.what();
        }
    }
}

}  // namespace
}  // namespace quorbel::tiled
