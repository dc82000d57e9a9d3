#include <gtest/gtest.h>

#include <algorithm>

#include "in_process.h"
#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/scratch_dir.h"

namespace quorbel::cli {
namespace {

using test::Le32;
constexpr auto Record = test::LevelRecordBytes;

test::CommandResult Info(std::vector<std::string> args) {
    args.insert(args.begin(), "info");
    return Lvl(args);
}

// JSON holds text only: a name that is no UTF-8 gets U+FFFD for its stray bytes, so the line
// stays valid JSON.
TEST(InfoCommandTest, JsonOfANameThatIsNoUtf8IsValid) {
    test::ScratchDir dir;
    const std::string name = dir / "lvl\xFF\"q\".lvl";
    test::WriteWholeFile(name, test::BmpBuilder(2, 2).Bytes());
    const auto result = Info({"--json", name});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("lvl\\ufffd\\\"q\\\".lvl\""), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find('\xFF'), std::string::npos);
}

// The name is quoted, so that a line break in it cannot forge a line of the description.
TEST(InfoCommandTest, DescribesALevelAsText) {
    test::ScratchDir dir;
    const std::string prefix = test::BmpBuilder(20, 3).Bytes();
    test::WriteWholeFile(dir / "a\nrecords: 999999.lvl",
                         prefix + Record(300, 17, 171) + Record(1023, 2, 171) + Record(4, 1023, 9) +
                             Record(300, 17, 9));
    const auto result = Info({dir / "a\nrecords: 999999.lvl"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "file: '" + dir / "a\\x0Arecords: 999999.lvl" +
                              "'\nfile size: " + std::to_string(prefix.size() + 16) +
                              " bytes\n"
                              "prefix: 74 bytes\n"
                              "prefix picture: 20 x 3, 1 bits per pixel\n"
                              "records: 4\n"
                              "trailing bytes: 0\n"
                              "bounds: x 4..1023, y 2..1023\n"
                              "tile numbers used: 2\n"
                              "  tile 9: 2 records\n"
                              "  tile 171: 2 records\n"
                              "repeated positions: 1 (1 surplus)\n"
                              "  x 300, y 17: 2 records\n");
}

TEST(InfoCommandTest, JsonForScriptsWithAWarningForTrailingBytes) {
    test::ScratchDir dir;
    const std::string path = dir / "q\"uote.lvl";
    test::WriteWholeFile(path, "xx" + Le32(6) + Record(0, 0, 0) + Record(0, 0, 255) + "\1\2\3");
    const auto result = Info({"--json", path});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("warning: 3 trailing byte(s)"), std::string::npos) << result.err;
    const std::string quoted = (dir / "q\\\"uote.lvl");
    EXPECT_EQ(result.out, "{\"file\":\"" + quoted +
                              "\",\"fileSize\":17,\"prefix\":{\"size\":6,\"picture\":null},"
                              "\"records\":2,\"trailingBytes\":3,"
                              "\"bounds\":{\"minX\":0,\"maxX\":0,\"minY\":0,\"maxY\":0},"
                              "\"tiles\":[{\"tile\":0,\"count\":1},{\"tile\":255,\"count\":1}],"
                              "\"repeats\":{\"positions\":1,\"surplusRecords\":1,"
                              "\"listed\":[{\"x\":0,\"y\":0,\"count\":2}],\"complete\":true}}\n");
}

TEST(InfoCommandTest, ExitStatusForBadFilesAndUsage) {
    test::ScratchDir dir;
    test::WriteWholeFile(dir / "short.lvl", std::string("BM\6\0\0", 5));
    test::WriteWholeFile(dir / "cut.lvl", "BM" + Le32(100) + std::string(50, 'a'));
    test::WriteWholeFile(dir / "ok.lvl", "BM" + Le32(6));
    struct Case {
        std::vector<std::string> args;
        int exitStatus;
        const char* err;  // part of standard error
    } const cases[] = {
        {{dir / "missing.lvl"}, 1, "cannot open"},
        {{dir / "short.lvl"}, 1, "has 5 bytes"},
        {{dir / "cut.lvl"}, 1, "the prefix has 100 bytes, but the file has only 56"},
        {{dir.Path().string()}, 1, "not a regular file"},
        {{}, 64, "expected LEVEL..."},
        {{"--xml", dir / "ok.lvl"}, 64, "unknown option '--xml'"},
    };
    for (const Case& c : cases) {
        const auto result = Info(c.args);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << c.err << "\n" << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    const auto empty = Info({dir / "ok.lvl"});
    EXPECT_EQ(empty.exitStatus, 0);
    EXPECT_NE(empty.out.find("records: 0\n"), std::string::npos);
    EXPECT_NE(empty.out.find("bounds: none\n"), std::string::npos);
}

// Several levels: one block (or JSON line) each; a bad one is named and the others still described.
TEST(InfoCommandTest, SeveralLevelsEachGetTheirOwnReport) {
    test::ScratchDir dir;
    test::WriteWholeFile(dir / "a.lvl", "BM" + Le32(6) + Record(1, 2, 3));
    test::WriteWholeFile(dir / "b.lvl", "BM" + Le32(6));
    const auto text = Info({dir / "a.lvl", dir / "missing.lvl", dir / "b.lvl"});
    EXPECT_EQ(text.exitStatus, 1);
    EXPECT_NE(text.err.find("cannot open '" + dir / "missing.lvl" + "'"), std::string::npos);
    EXPECT_NE(text.out.find("records: 1\n"), std::string::npos);
    EXPECT_NE(text.out.find("\n\nfile: '" + dir / "b.lvl" + "'\n"), std::string::npos) << text.out;
    const auto json = Info({"--json", dir / "a.lvl", dir / "b.lvl"});
    EXPECT_EQ(json.exitStatus, 0);
    ASSERT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 2);
    EXPECT_TRUE(json.out.starts_with("{\"file\":\"" + dir / "a.lvl"));
}

}  // namespace
}  // namespace quorbel::cli
