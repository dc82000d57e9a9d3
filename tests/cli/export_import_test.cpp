// quorbel-lvl export and import from the outside: what they write, what they refuse (leaving
// every file as it was), and the round trip on generated levels.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "in_process.h"
#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/map_bytes.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel::cli {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;
constexpr auto Record = test::LevelRecordBytes;

// Every file in the folder with its bytes.
std::map<std::string, std::string> Snapshot(const test::ScratchDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
        files[entry.path().lexically_relative(dir.Path()).string()] =
            entry.is_regular_file() ? ReadWholeFile(entry.path().string()) : "(folder)";
    }
    return files;
}

// A 1-bit tileset picture of columns x rows cells.
std::string Tileset(int columns, int rows) {
    return test::BmpBuilder(16 * columns, 16 * rows)
        .Pixels([](int x, int y) { return (x * 7 + y * 3) % 5 == 0; })
        .Bytes();
}

TEST(ExportImportTest, ExportWritesTheMapAndItsTilesetPicture) {
    test::ScratchDir dir;
    const std::string prefix = Tileset(20, 2);  // 320 x 32
    // Tile 21 is column 1 of row 1: gid 1 + 20 + 1 = 22. Tile 1 twice at (2, 1).
    WriteWholeFile(dir / "a.lvl", prefix + Record(2, 1, 1) + Record(0, 0, 21) + Record(2, 1, 19));
    const auto result = Lvl({"export", dir / "a.lvl", dir / "m.tmx"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "wrote " + dir / "m.tmx" + " and " + dir / "m-tileset.bmp" +
                              ": 3 x 2 tiles, 3 records in 2 layers\n");
    EXPECT_EQ(ReadWholeFile(dir / "m-tileset.bmp"), prefix);
    EXPECT_EQ(ReadWholeFile(dir / "m.tmx"),
              R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" orientation="orthogonal" renderorder="right-down" width="3" height="2" tilewidth="16" tileheight="16" infinite="0" nextlayerid="3" nextobjectid="1">
 <properties>
  <property name="quorbel.records" type="int" value="3"/>
 </properties>
 <tileset firstgid="1" name="m-tileset" tilewidth="16" tileheight="16" tilecount="40" columns="20">
  <image source="m-tileset.bmp" width="320" height="32"/>
 </tileset>
 <layer id="1" name="records" width="3" height="2">
  <data encoding="csv">
22,0,0,
0,0,1
</data>
 </layer>
 <layer id="2" name="records 2" width="3" height="2">
  <data encoding="csv">
0,0,0,
0,0,19
</data>
 </layer>
</map>
)");
    fs::create_directory(dir / "sub");
    ASSERT_EQ(Lvl({"export", dir / "a.lvl", dir / "sub/j.json"}).exitStatus, 0);
    const std::string json = ReadWholeFile(dir / "sub/j.json");
    for (const char* part : {"\"data\":[22,0,0,0,0,1]", "\"data\":[0,0,0,0,0,19]",
                             "\"name\":\"records 2\"", "\"image\":\"j-tileset.bmp\"",
                             "\"name\":\"quorbel.records\",\n   \"type\":\"int\",\n   \"value\":3",
                             "\"columns\":20", "\"tilecount\":40", "\"infinite\":false"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(ReadWholeFile(dir / "sub/j-tileset.bmp"), prefix);
    // Suffixes without case, as Tiled takes them.
    ASSERT_EQ(Lvl({"export", dir / "a.lvl", dir / "Up.TMX"}).exitStatus, 0);
    EXPECT_TRUE(ReadWholeFile(dir / "Up.TMX").starts_with("<?xml"));
    ASSERT_EQ(Lvl({"export", dir / "a.lvl", dir / "Up.Tmj"}).exitStatus, 0);
    EXPECT_TRUE(ReadWholeFile(dir / "Up.Tmj").starts_with("{"));
    EXPECT_EQ(ReadWholeFile(dir / "Up-tileset.bmp"), prefix);
}

TEST(ExportImportTest, ExportRefusalsLeaveEveryFileAsItWas) {
    test::ScratchDir dir;
    const std::string prefix = Tileset(19, 10);  // 304 x 160
    WriteWholeFile(dir / "ok.lvl", prefix + Record(1, 1, 171));
    WriteWholeFile(dir / "empty.lvl", prefix);
    WriteWholeFile(dir / "short.lvl", "BM\6\0");
    WriteWholeFile(dir / "noBmp.lvl", "xx" + test::Le32(6) + Record(0, 0, 1));
    WriteWholeFile(dir / "cells.lvl", prefix + Record(0, 0, 0) + Record(1, 0, 200) +
                                          Record(2, 0, 0) + Record(3, 0, 171) + Record(4, 0, 0));
    WriteWholeFile(dir / "huge.lvl", prefix + Record(0, 0, 1) + Record(0, 0, 1) + Record(0, 0, 1) +
                                         Record(4095, 4095, 1));
    // 3,300,000 records at one position: as many layers. Kept out of the folder compared
    // before and after, as is its map: their bytes would swamp a failure's message.
    test::ScratchDir large;
    std::string oneCell = prefix;
    for (int i = 0; i < 3300000; ++i) {
        oneCell += Record(0, 0, 1);
    }
    WriteWholeFile(large / "oneCell.lvl", oneCell);
    std::string wide = prefix;  // a header claiming 1048576 x 1048576 pixels
    wide.replace(18, 8, test::Le32(1048576) + test::Le32(1048576));
    WriteWholeFile(dir / "wide.lvl", wide + Record(0, 0, 1));
    // One column, stored top row first in -2147483648 rows: tile 2 has no cell, and the message
    // that says so must not take std::abs of the height.
    std::string tall = Tileset(1, 1);
    tall.replace(22, 4, test::Le32(0x80000000u));
    WriteWholeFile(dir / "tall.lvl", tall + Record(0, 0, 2));
    WriteWholeFile(dir / "old.tmx", "old map");
    WriteWholeFile(dir / "old-tileset.bmp", "old picture");
    fs::create_directory(dir / "dir-tileset.bmp");
    fs::create_symlink("same.tmx", dir / "same-tileset.bmp");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitStatus;
        std::string message;  // part of standard error
    } const cases[] = {
        {"map suffix", {dir / "ok.lvl", dir / "old.xml"}, 64, "must end in .tmx (TMX), .tmj or"},
        {"map name not UTF-8", {dir / "ok.lvl", dir / "\xff.tmx"}, 64, "must be UTF-8 text"},
        {"control character", {dir / "ok.lvl", dir / "a\nb.tmj"}, 64, "without control"},
        {"one operand", {dir / "ok.lvl"}, 64, "expected LEVEL MAP, got 1 operand(s)"},
        {"missing level", {dir / "gone.lvl", dir / "old.tmx"}, 1, "cannot open"},
        {"level too short", {dir / "short.lvl", dir / "old.tmx"}, 1, "is no level file"},
        {"no records", {dir / "empty.lvl", dir / "old.tmx"}, 1, "has no tile records"},
        {"prefix no picture", {dir / "noBmp.lvl", dir / "old.tmx"}, 1, "is no BMP picture"},
        {"tiles without cells",
         {dir / "cells.lvl", dir / "old.tmx"},
         1,
         "tile numbers without a whole cell in the 304 x 160 prefix picture: 0 (3 records), "
         "200 (1 record)"},
        {"too many layers",
         {dir / "huge.lvl", dir / "old.json"},
         1,
         "the map would need 4 layers of 4096 x 4096 tiles to keep the records' order"},
        {"picture cannot be written", {dir / "ok.lvl", dir / "dir.tmx"}, 1, "dir-tileset.bmp"},
        {"picture is a link to the map",
         {dir / "ok.lvl", dir / "same.tmx"},
         1,
         "cannot write both '" + dir / "same.tmx" + "' and '" + dir / "same-tileset.bmp" +
             "' (a link to '" + dir / "same.tmx" + "'): they are one file"},
        {"a map larger than import reads",
         {large / "oneCell.lvl", large / "big.json"},
         1,
         "bytes, more than the 536870912 read from a map or tileset file, so quorbel-lvl "
         "import would refuse it; the records' order needs 3300000 layers"},
        {"more cells than Tiled numbers",
         {dir / "wide.lvl", dir / "old.tmx"},
         1,
         "is 1048576 x 1048576 pixels, 4294967296 cells of 16 x 16, more than the 268435455"},
        {"a height of -2^31",
         {dir / "tall.lvl", dir / "old.tmx"},
         1,
         "tile numbers without a whole cell in the 16 x 2147483648 prefix picture: 2 (1 record)"},
    };
    for (const Case& c : cases) {
        const auto before = Snapshot(dir);
        std::vector<std::string> args{"export"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = Lvl(args);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << c.name << ": " << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.name << ": " << result.err;
        EXPECT_EQ(result.out, "") << c.name;
        EXPECT_EQ(Snapshot(dir), before) << c.name;
    }
    // A level named like a map cannot be replaced by its own export.
    fs::copy_file(dir / "ok.lvl", dir / "self.tmx");
    const auto self = Lvl({"export", dir / "self.tmx", dir / "self.tmx"});
    EXPECT_EQ(self.exitStatus, 1);
    EXPECT_NE(self.err.find("the level"), std::string::npos) << self.err;
    EXPECT_FALSE(fs::exists(dir / "self-tileset.bmp"));
}

// A TMX map of 3 x 2 tiles whose first tileset has columns x rows cells of side pixels.
std::string Tmx(const std::string& layers, int columns = 19, int rows = 10,
                const std::string& tilesetExtra = "", int side = 16,
                const std::string& image = "t.bmp") {
    return "<?xml version=\"1.0\"?>\n<map width=\"3\" height=\"2\" tilewidth=\"16\" "
           "tileheight=\"16\">\n <tileset firstgid=\"1\" name=\"t\" tilewidth=\"" +
           std::to_string(side) + "\" tileheight=\"" + std::to_string(side) + "\" tilecount=\"" +
           std::to_string(columns * rows) + "\" columns=\"" + std::to_string(columns) + "\"" +
           tilesetExtra + ">\n  <image source=\"" + image + "\" width=\"" +
           std::to_string(columns * side) + "\" height=\"" + std::to_string(rows * side) +
           "\"/>\n </tileset>\n <tileset firstgid=\"1000\" name=\"other\" tilewidth=\"16\" "
           "tileheight=\"16\" tilecount=\"4\" columns=\"2\"><image source=\"o.bmp\" "
           "width=\"32\" height=\"32\"/></tileset>\n" +
           layers + "</map>\n";
}

std::string CsvLayer(const std::string& name, const std::string& csv) {
    return " <layer name=\"" + name + "\" width=\"3\" height=\"2\"><data encoding=\"csv\">" + csv +
           "</data></layer>\n";
}

TEST(ExportImportTest, ImportWritesRecordsLayerByLayerFromTheBottomRowUp) {
    test::ScratchDir dir;
    WriteWholeFile(dir / "t.bmp", Tileset(19, 10));
    WriteWholeFile(dir / "m.tmx", Tmx(CsvLayer("a", "1,0,3,\n0,20,171") +
                                      " <objectgroup name=\"things\"/>\n <group name=\"g\">\n" +
                                      CsvLayer("b", "0,0,0,\n190,0,0") +
                                      " <imagelayer name=\"sky\"/>\n" + " </group>\n"));
    const auto result = Lvl({"import", dir / "m.tmx", dir / "out.lvl"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err,
              "quorbel-lvl import: warning: skipped the object layer 'things': only tile layers "
              "hold tiles\n"
              "quorbel-lvl import: warning: skipped the image layer 'sky': only tile layers hold "
              "tiles\n");
    EXPECT_EQ(result.out, "wrote " + dir / "out.lvl" +
                              ": 5 records from 2 tile layers, prefix from " + dir / "t.bmp" +
                              "\n");
    EXPECT_EQ(ReadWholeFile(dir / "out.lvl"), Tileset(19, 10) + Record(1, 1, 20) +
                                                  Record(2, 1, 171) + Record(0, 0, 1) +
                                                  Record(2, 0, 3) + Record(0, 1, 190));

    // --tileset: a level file's leading bitmap serves, as for convert.
    WriteWholeFile(dir / "other.lvl", Tileset(2, 1) + Record(9, 9, 9));
    ASSERT_EQ(
        Lvl({"import", "--tileset", dir / "other.lvl", dir / "m.tmx", dir / "out.lvl"}).exitStatus,
        0);
    EXPECT_TRUE(ReadWholeFile(dir / "out.lvl").starts_with(Tileset(2, 1) + Record(1, 1, 20)));

    // Chunks of one row in any order: still left to right.
    WriteWholeFile(
        dir / "m.tmx",
        Tmx(R"( <layer name="inf" width="16" height="16"><data encoding="csv"><chunk x="2" y="0" width="2" height="1">1,2</chunk><chunk x="0" y="0" width="2" height="1">3,4</chunk></data></layer>
)"));
    ASSERT_EQ(Lvl({"import", dir / "m.tmx", dir / "out.lvl"}).exitStatus, 0);
    EXPECT_EQ(ReadWholeFile(dir / "out.lvl"), Tileset(19, 10) + Record(0, 0, 3) + Record(1, 0, 4) +
                                                  Record(2, 0, 1) + Record(3, 0, 2));
}

TEST(ExportImportTest, ImportRefusalsNameTheCellAndLeaveEveryFileAsItWas) {
    test::ScratchDir dir;
    WriteWholeFile(dir / "t.bmp", Tileset(25, 15));
    WriteWholeFile(dir / "png.png", "\x89PNG\r\n\x1a\n" + std::string(40, '\0'));
    WriteWholeFile(dir / "cut.bmp", Tileset(25, 15).substr(0, 100));
    WriteWholeFile(dir / "bm.bmp", std::string("BM\6\0", 4));
    WriteWholeFile(dir / "five.bmp", "BM" + test::Le32(5) + "xx");
    WriteWholeFile(dir / "out.lvl", "old level");
    const auto tmx = [](const std::string& csv) { return Tmx(CsvLayer("a", csv), 25, 15); };
    std::string tallColumn = "0";  // 4096 empty cells, then a tile at y 4096
    for (int y = 1; y < 4096; ++y) {
        tallColumn += ",0";
    }
    tallColumn += ",7";
    // 16 chunks of 4096 x 4096 tiles at one place: 1.4 MB that would be 268,435,456 records
    // (3 GB and more of memory when the cells are not counted first).
    const std::string fullChunk =
        "<chunk x=\"0\" y=\"0\" width=\"4096\" height=\"4096\">" +
        test::Base64(
            test::Compress(test::GidBytes(std::vector<std::uint32_t>(4096 * 4096, 1)), false)) +
        "</chunk>";
    std::string overlapping =
        " <layer name=\"big\" width=\"16\" height=\"16\"><data "
        "encoding=\"base64\" compression=\"zlib\">";
    for (int chunk = 0; chunk < 16; ++chunk) {
        overlapping += fullChunk;
    }
    overlapping += "</data></layer>\n";
    struct Case {
        const char* name;
        std::string map;
        std::string message;  // part of standard error
        std::vector<std::string> options = {};
    } const cases[] = {
        {"a chunk far away",
         Tmx(R"( <layer name="far" width="16" height="16"><data encoding="csv"><chunk x="9223372036854775807" y="0" width="2" height="1">0,0</chunk></data></layer>
)"),
         "layer 'far', chunk at x 9223372036854775807, y 0: Tiled places chunks from "
         "-2147483648 to 2147483647"},
        {"flipped", tmx("0,0,0,\n0,0,2147483649"),
         "layer 'a', x 2, y 1: the tile is flipped or rotated (gid 2147483649)"},
        {"rotated", tmx("536870913,0,0,\n0,0,0"), "layer 'a', x 0, y 0: the tile is flipped"},
        {"another tileset", tmx("0,0,0,\n0,1001,0"),
         "layer 'a', x 1, y 1: the tile is from the tileset 'other'; a level's tiles all come "
         "from one picture, the first tileset 't'"},
        {"no tileset's gid", tmx("0,0,0,\n0,376,0"),
         "layer 'a', x 1, y 1: gid 376 is no tile of the first tileset 't' (gids 1 to 375)"},
        {"column 20", tmx("0,20,0,\n0,0,0"),
         "layer 'a', x 1, y 0: the tile is in column 20 of the tileset picture; the game "
         "numbers tiles in rows of 19"},
        {"tile 256", tmx("0,0,0,\n0,0,334"),
         "layer 'a', x 2, y 1: the tile in column 9, row 14 would be tile number 256"},
        {"negative chunk",
         Tmx(R"( <layer name="inf" width="16" height="16"><data encoding="csv"><chunk x="-16" y="0" width="2" height="1">0,5</chunk></data></layer>
)"),
         "layer 'inf', x -15, y 0: a level holds x and y from 0 to 4095 only"},
        {"y 4096",
         Tmx(" <layer name=\"tall\" width=\"1\" height=\"4097\"><data encoding=\"csv\">" +
             tallColumn + "</data></layer>\n"),
         "layer 'tall', x 0, y 4096: a level holds x and y from 0 to 4095 only"},
        {"tiles of 32 x 32", Tmx(CsvLayer("a", "1,0,0,0,0,0"), 12, 5, "", 32),
         "the first tileset 't' has tiles of 32 x 32 pixels; the game's tiles are 16 x 16"},
        {"margin", Tmx(CsvLayer("a", "1,0,0,0,0,0"), 19, 10, " margin=\"1\""),
         "has a margin of 1 and a spacing of 0 pixels"},
        {"collection of images",
         R"(<map><tileset firstgid="1" name="c" tilewidth="16" tileheight="16" tilecount="1" columns="0"><tile id="0"><image source="a.png"/></tile></tileset></map>)",
         "the first tileset 'c' is a collection of separate images"},
        {"no tileset", "<map width=\"1\" height=\"1\"/>", "has no tileset"},
        {"picture no BMP", Tmx(CsvLayer("a", "1,0,0,0,0,0"), 19, 10, "", 16, "png.png"),
         "(the picture of the first tileset 't') is no BMP picture"},
        {"--tileset no BMP",
         Tmx(CsvLayer("a", "1,0,0,0,0,0")),
         "(--tileset) is no BMP picture",
         {"--tileset", dir / "png.png"}},
        {"picture cut short", Tmx(CsvLayer("a", "1,0,0,0,0,0"), 19, 10, "", 16, "cut.bmp"),
         "its BMP size field says"},
        {"picture too short for a size",
         Tmx(CsvLayer("a", "1,0,0,0,0,0"), 19, 10, "", 16, "bm.bmp"),
         "has 4 bytes, too few for a BMP picture"},
        {"size field below 6", Tmx(CsvLayer("a", "1,0,0,0,0,0"), 19, 10, "", 16, "five.bmp"),
         "its BMP size field says 5 bytes, but a prefix needs from 6 to 8"},
        {"picture missing", Tmx(CsvLayer("a", "1,0,0,0,0,0"), 19, 10, "", 16, "gone.bmp"),
         "gone.bmp', the picture of the first tileset 't': there is no such file; give the "
         "level's tileset with --tileset LEVEL-OR-BMP"},
        {"zstd",
         Tmx(R"( <layer name="z" width="3" height="2"><data encoding="base64" compression="zstd">KLUv/SAYwQAAAQ==</data></layer>
)"),
         "layer 'z' is compressed with Zstandard, which is not read here: in Tiled, choose Map > "
         "Map Properties > Tile Layer Format \"CSV\""},
        {"bad XML", "<map>\n<layer>\n</map>",
         "is not well-formed XML: Start-end tags mismatch at line 3"},
        {"bad JSON", "{\"layers\": [}", "is no JSON map: parse error at line 1, column 13"},
        {"output is the map", Tmx(CsvLayer("a", "1,0,0,0,0,0")), "the map", {}},
    };
    for (const Case& c : cases) {
        WriteWholeFile(dir / "m.tmx", c.map);
        const bool outputIsMap = std::string(c.name) == "output is the map";
        const auto before = Snapshot(dir);
        std::vector<std::string> args{"import"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(dir / "m.tmx");
        args.push_back(outputIsMap ? dir / "m.tmx" : dir / "out.lvl");
        const auto result = Lvl(args);
        EXPECT_EQ(result.exitStatus, 1) << c.name << ": " << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.name << ": " << result.err;
        EXPECT_EQ(result.out, "") << c.name;
        EXPECT_EQ(Snapshot(dir), before) << c.name;
    }
    // The overlapping chunks in a child, whose peak memory is its own (and, but under
    // AddressSanitizer, limited): refused before a cell is stored.
    WriteWholeFile(dir / "m.tmx", Tmx(overlapping));
    test::ProcessOptions limited;
#if !defined(__SANITIZE_ADDRESS__)
    limited.addressSpaceLimit = 700L << 20;
#endif
    const auto child =
        test::RunProcess(QUORBEL_LVL, {"import", dir / "m.tmx", dir / "out.lvl"}, limited);
    EXPECT_EQ(child.exitStatus, 1) << child.err;
    EXPECT_NE(child.err.find("the tile layers of '" + dir / "m.tmx" +
                             "' have 268435456 cells in all (chunks that overlap count each "
                             "time), more than the 134217728 records a level is given"),
              std::string::npos)
        << child.err;
    EXPECT_LT(child.peakMemoryKiB, 256 * 1024) << "KiB at the peak";
    EXPECT_EQ(ReadWholeFile(dir / "out.lvl"), "old level");

    const auto usage = Lvl({"import", "--tileset", "", dir / "m.tmx", dir / "out.lvl"});
    EXPECT_EQ(usage.exitStatus, 64);
    EXPECT_NE(usage.err.find("--tileset needs a file name"), std::string::npos) << usage.err;
    EXPECT_EQ(Lvl({"import", dir / "m.tmx"}).exitStatus, 64);
}

// import(export(L)) is L byte for byte for levels as convert makes them, whatever the map format.
TEST(ExportImportTest, RoundTripGivesBackEveryConvertedLevel) {
    test::ScratchDir dir;
    std::mt19937 random(13);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 24; ++round) {
        const int columns = 1 + below(30);
        const int rows = 1 + below(15);
        const std::string tileset = dir / "tileset.bmp";
        WriteWholeFile(tileset, Tileset(columns, rows));
        // A tile number with a cell in this picture.
        int tile = 0;
        while (tile == 0) {
            const int t = 1 + below(255);
            const int column = (t - 1) % 19;
            const int row = (t - 1) / 19;
            tile = column < columns && row < rows ? t : 0;
        }
        const int width = 1 + below(round < 20 ? 70 : 1024);
        const int height = 1 + below(round < 20 ? 70 : 40);
        const int density = 1 + below(100);
        std::vector<bool> dark(static_cast<std::size_t>(width * height));
        for (std::size_t i = 0; i < dark.size(); ++i) {
            dark[i] = below(100) < density;
        }
        test::BmpBuilder(width, height)
            .Pixels(
                [&](int x, int y) { return dark[static_cast<std::size_t>(y * width + x)] ? 0 : 1; })
            .WriteTo(dir / "map.bmp");
        const auto converted = Lvl(
            {"convert", "--tile", std::to_string(tile), tileset, dir / "map.bmp", dir / "l.lvl"});
        ASSERT_EQ(converted.exitStatus, 0) << converted.err;
        const std::string level = ReadWholeFile(dir / "l.lvl");
        if (level.size() == Tileset(columns, rows).size()) {
            continue;  // no dark pixel: nothing to export
        }
        for (const char* map : {"m.tmx", "m.tmj", "m.json"}) {
            const auto exported = Lvl({"export", dir / "l.lvl", dir / map});
            ASSERT_EQ(exported.exitStatus, 0) << exported.err;
            const auto imported = Lvl({"import", dir / map, dir / "back.lvl"});
            ASSERT_EQ(imported.exitStatus, 0) << imported.err;
            ASSERT_EQ(ReadWholeFile(dir / "back.lvl"), level)
                << "round " << round << ", " << map << ": " << width << " x " << height << ", tile "
                << tile << " on " << columns << " x " << rows << " cells";
        }
    }
}

// Any level, repeated positions and any record order included, comes back byte for byte: the
// layers keep every record's place in the file.
TEST(ExportImportTest, RoundTripGivesBackAnyLevelByteForByte) {
    test::ScratchDir dir;
    std::mt19937 random(1013);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::string prefix = Tileset(19, 14);  // every tile 1..255 has a cell
    for (int round = 0; round < 20; ++round) {
        const int spread = round < 15 ? 1 + below(12) : 4096;
        std::string level = prefix;
        const int count = 1 + below(200);
        for (int i = 0; i < count; ++i) {
            level += Record(static_cast<std::uint32_t>(below(spread)),
                            static_cast<std::uint32_t>(below(round < 15 ? spread : 20)),
                            static_cast<std::uint32_t>(1 + below(255)));
        }
        WriteWholeFile(dir / "l.lvl", level);
        for (const char* map : {"m.tmx", "m.tmj"}) {
            const auto exported = Lvl({"export", dir / "l.lvl", dir / map});
            ASSERT_EQ(exported.exitStatus, 0) << exported.err;
            const auto imported = Lvl({"import", dir / map, dir / "back.lvl"});
            ASSERT_EQ(imported.exitStatus, 0) << imported.err;
            ASSERT_TRUE(ReadWholeFile(dir / "back.lvl") == level)
                << "round " << round << ", " << map;
        }
    }
}

}  // namespace
}  // namespace quorbel::cli
