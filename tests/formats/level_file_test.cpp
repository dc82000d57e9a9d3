#include "formats/level_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/errors.h"
#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/scratch_dir.h"

namespace quorbel {
namespace {

using test::Le32;
constexpr auto Record = test::LevelRecordBytes;

// A prefix of size bytes that is no picture, with its size at bytes 2..5.
std::string PlainPrefix(std::uint32_t size) {
    std::string prefix = "xx" + Le32(size) + std::string(size > 6 ? size - 6 : 0, '\x7');
    return prefix.substr(0, std::max<std::size_t>(size, 6));
}

std::vector<LevelRecord> AllRecords(LevelFileReader& reader) {
    std::vector<LevelRecord> records;
    reader.ForEachRecord([&](const LevelRecord& r) { records.push_back(r); });
    return records;
}

TEST(LevelFileTest, DecodesRecordWords) {
    struct Case {
        std::string bytes;
        LevelRecord expected;
    } const cases[] = {
        {"\x2C\x11\x01\xAB", {300, 17, 171}},    {"\xC8\x80\x01\xAB", {200, 24, 171}},
        {std::string(4, '\0'), {0, 0, 0}},       {"\xFF\xF3\x3F\x01", {1023, 1023, 1}},
        {"\xFF\xFF\xFF\xFF", {4095, 4095, 255}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeLevelRecord(c.bytes), c.expected) << c.expected.x << "," << c.expected.y;
    }
}

TEST(LevelFileTest, ReadsPrefixRecordsAndTrailingBytes) {
    const std::string bmp = test::BmpBuilder(20, 3).Bytes();
    const std::string big = PlainPrefix(300 << 10);  // longer than any read-ahead
    struct Case {
        const char* name;
        std::string bytes;
        std::uint32_t prefixSize;
        std::vector<LevelRecord> records;
        std::uint64_t trailing;
    } const cases[] = {
        {"picture and records",
         bmp + Record(300, 17, 171) + Record(0, 4095, 1),
         static_cast<std::uint32_t>(bmp.size()),
         {{300, 17, 171}, {0, 4095, 1}},
         0},
        {"prefix alone", bmp, static_cast<std::uint32_t>(bmp.size()), {}, 0},
        {"three trailing bytes",
         bmp + Record(1, 2, 3) + "abc",
         static_cast<std::uint32_t>(bmp.size()),
         {{1, 2, 3}},
         3},
        {"six-byte prefix", PlainPrefix(6) + Record(4095, 0, 255), 6, {{4095, 0, 255}}, 0},
        {"long prefix", big + Record(9, 8, 7) + "z", 300 << 10, {{9, 8, 7}}, 1},
        // Records start at byte 0 and hold the size field themselves.
        {"empty prefix",
         std::string("\x05\x00\x00\x00\x00\x00\x07\x09", 8) + "?",
         0,
         {{5, 0, 0}, {0, 112, 9}},
         1},
    };
    for (const Case& c : cases) {
        test::ScratchDir dir;
        test::WriteWholeFile(dir / "level.lvl", c.bytes);
        LevelFileReader reader(dir / "level.lvl");
        EXPECT_EQ(reader.PrefixSize(), c.prefixSize) << c.name;
        EXPECT_EQ(reader.FileSize(), c.bytes.size()) << c.name;
        EXPECT_EQ(reader.RecordCount(), c.records.size()) << c.name;
        EXPECT_EQ(reader.TrailingBytes(), c.trailing) << c.name;
        EXPECT_EQ(AllRecords(reader), c.records) << c.name;
    }
}

TEST(LevelFileTest, ReadsThePrefixWholeWithinItsLimit) {
    test::ScratchDir dir;
    const std::string bmp = test::BmpBuilder(40, 40).Bytes();
    test::WriteWholeFile(dir / "level.lvl", bmp + Record(1, 1, 1));
    LevelFileReader reader(dir / "level.lvl");
    EXPECT_EQ(reader.ReadPrefix(bmp.size()), bmp);
    EXPECT_EQ(AllRecords(reader), (std::vector<LevelRecord>{{1, 1, 1}}));
    EXPECT_THROW(LevelFileReader(dir / "level.lvl").ReadPrefix(bmp.size() - 1), FileError);
}

TEST(LevelFileTest, DescribesThePrefixPicture) {
    std::string core = "BM" + Le32(26) + Le32(0) + Le32(26) + Le32(12);
    core += std::string("\x30\x01\xA0\x00\x01\x00\x18\x00", 8);  // 304 x 160, 24 bits
    struct Case {
        const char* name;
        std::string prefix;
        std::optional<std::tuple<int, int, int>> picture;  // width, height, bits per pixel
    } const cases[] = {
        {"info header", test::BmpBuilder(304, 160).Bytes(), std::tuple{304, 160, 1}},
        {"top-down", test::BmpBuilder(7, -5).BitsPerPixel(8).Bytes(), std::tuple{7, -5, 8}},
        {"core header", core, std::tuple{304, 160, 24}},
        {"no BMP", PlainPrefix(64), std::nullopt},
        {"header cut by the prefix size", "BM" + Le32(20) + PlainPrefix(20).substr(6),
         std::nullopt},
    };
    for (const Case& c : cases) {
        test::ScratchDir dir;
        test::WriteWholeFile(dir / "level.lvl", c.prefix);
        const auto picture = LevelFileReader(dir / "level.lvl").Picture();
        ASSERT_EQ(picture.has_value(), c.picture.has_value()) << c.name;
        if (picture) {
            EXPECT_EQ(std::tuple(picture->width, picture->height, int{picture->bitsPerPixel}),
                      *c.picture)
                << c.name;
        }
    }
}

TEST(LevelFileTest, RefusesWhatIsNoLevelFile) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    } const cases[] = {
        {"empty", "", "has 0 bytes"},
        {"five bytes", std::string("BM\x06\x00\x00", 5), "has 5 bytes"},
        {"size beyond the end", "BM" + Le32(11) + "abcd",
         "prefix has 11 bytes, but the file has only 10"},
        {"huge size field", "BM" + Le32(0xFFFFFFFF), "4294967295"},
    };
    for (const Case& c : cases) {
        test::ScratchDir dir;
        test::WriteWholeFile(dir / "bad.lvl", c.bytes);
        try {
            LevelFileReader reader(dir / "bad.lvl");
            ADD_FAILURE() << c.name << " was read";
        } catch (const FileError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << c.name << ": " << error.what();
        }
    }
    test::ScratchDir dir;
    EXPECT_THROW(LevelFileReader(dir / "missing.lvl"), FileError);
    EXPECT_THROW(LevelFileReader(dir.Path().string()), FileError);
}

}  // namespace
}  // namespace quorbel
