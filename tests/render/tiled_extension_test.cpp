// Debian's Tiled 1.8, with our map format for level files (data/tiled/quorbel-level.js) in a
// scratch extensions folder, opens and saves levels as quorbel-lvl export and import do: level
// to level byte for byte, Tiled's own maps of a level imported byte for byte, our exported maps
// saved as the level, the same layers as export's, the same pictures as render's, and the same
// refusals as import and export.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <map>
#include <random>

#include "render/tiled_pictures.h"
#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel::render {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;
constexpr auto Record = test::LevelRecordBytes;
constexpr const char* kFormat = "quorbel-level";

// A second format that saves through ours and keeps the text of its refusal, which Tiled's
// command line does not print.
constexpr const char* kRefusalProbe = R"(
tiled.registerMapFormat("quorbel-level-refusal", {
    name: "refusal", extension: "refusal",
    write: function (map, fileName) {
        let text = "";
        try {
            tiled.mapFormat("quorbel-level").write(map, fileName + ".lvl");
        } catch (error) {
            text = error.message;
        }
        const file = new TextFile(fileName, TextFile.WriteOnly);
        file.write(text);
        file.commit();
    },
});
)";

// Every file in the folder with its bytes.
std::map<std::string, std::string> Snapshot(const test::ScratchDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        files[entry.path().filename().string()] = ReadWholeFile(entry.path().string());
    }
    return files;
}

// What a TMX map says besides its tilesets: its properties and its layers.
std::string PropertiesAndLayers(const std::string& tmx) {
    const std::size_t properties = tmx.find(" <properties>");
    const std::size_t tileset = tmx.find(" <tileset");
    const std::size_t layers = tmx.find(" <layer");
    if (properties == std::string::npos || tileset == std::string::npos ||
        layers == std::string::npos) {
        return "(no properties, tileset or layer in)\n" + tmx;
    }
    return tmx.substr(properties, tileset - properties) + tmx.substr(layers);
}

// The tile numbers that have a cell in a tileset picture of columns x rows cells.
std::vector<int> TilesWithCells(int columns, int rows) {
    std::vector<int> tiles;
    for (int tile = 1; tile <= 255; ++tile) {
        if ((tile - 1) % 19 < columns && (tile - 1) / 19 < rows) {
            tiles.push_back(tile);
        }
    }
    return tiles;
}

class TiledExtensionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(std::string(QUORBEL_TILED).empty())
            << "Debian's tiled is not installed: run scripts/install-deps";
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("HOME", home.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", home.Path().c_str(), 1);
        const fs::path extensions = home.Path() / "tiled" / "extensions";
        fs::create_directories(extensions);
        fs::copy_file(QUORBEL_SOURCE_DIR "/data/tiled/quorbel-level.js",
                      extensions / "quorbel-level.js");
        WriteWholeFile(extensions / "refusal-probe.js", kRefusalProbe);
        // Tiled leaves out an extension that fails to load without a word on its command line.
        const test::ProcessResult formats = test::RunProcess(QUORBEL_TILED, {"--export-formats"});
        ASSERT_NE(formats.out.find(std::string(" ") + kFormat + "\n"), std::string::npos)
            << "Tiled did not load data/tiled/quorbel-level.js:\n"
            << formats.out << formats.err;
    }

    // Runs program; fails the test with its output unless it exits with 0.
    void Run(const std::string& program, const std::vector<std::string>& args) {
        const test::ProcessResult result = test::RunProcess(program, args);
        ASSERT_EQ(result.exitStatus, 0) << program << " " << args.back() << ":\n" << result.err;
    }
    void Lvl(const std::vector<std::string>& args) { Run(QUORBEL_LVL, args); }
    // tiled --export-map format from to.
    void Tiled(const std::string& format, const std::string& from, const std::string& to) {
        Run(QUORBEL_TILED, {"--export-map", format, from, to});
    }
    void ExpectSameBytes(const std::string& path, const std::string& level, const char* how) {
        EXPECT_TRUE(ReadWholeFile(path) == ReadWholeFile(level))
            << how << " differs from the level";
    }

    // Every way through Tiled and back gives the level byte for byte: the level opened and saved,
    // Tiled's TMX and JSON of it imported, export's TMX saved, Tiled's rewrites of export's TMX as
    // JSON and of its JSON as TMX imported; export's map and Tiled's map of the level hold the
    // same layers; tmxrasterizer draws Tiled's map and export's maps as render draws the level.
    void CheckLevel(const std::string& level, bool exportable) {
        Tiled(kFormat, level, dir / "tiled.lvl");
        ExpectSameBytes(dir / "tiled.lvl", level, "Tiled's save of the opened level");
        Tiled("tmx", level, dir / "tiled.tmx");
        Tiled("json", level, dir / "tiled.tmj");
        for (const char* map : {"tiled.tmx", "tiled.tmj"}) {
            Lvl({"import", dir / map, dir / "imported.lvl"});
            ExpectSameBytes(dir / "imported.lvl", level, map);
        }
        if (!exportable) {
            return;
        }
        Lvl({"export", level, dir / "ours.tmx"});
        Lvl({"export", level, dir / "ours.tmj"});
        Tiled(kFormat, dir / "ours.tmx", dir / "saved.lvl");
        ExpectSameBytes(dir / "saved.lvl", level, "Tiled's save of export's map");
        Tiled("tmx", dir / "ours.tmx", dir / "ours-by-tiled.tmx");
        EXPECT_EQ(PropertiesAndLayers(ReadWholeFile(dir / "tiled.tmx")),
                  PropertiesAndLayers(ReadWholeFile(dir / "ours-by-tiled.tmx")));
        Tiled("json", dir / "ours.tmx", dir / "ours-by-tiled.tmj");
        Tiled("tmx", dir / "ours.tmj", dir / "ours-json-by-tiled.tmx");
        for (const char* map : {"ours-by-tiled.tmj", "ours-json-by-tiled.tmx"}) {
            Lvl({"import", dir / map, dir / "imported.lvl"});
            ExpectSameBytes(dir / "imported.lvl", level, map);
        }

        Lvl({"render", level, "-o", dir / "ours.png", "--scale", "1"});
        const QImage ours = test::PictureOf(dir / "ours.png");
        for (const char* map : {"tiled.tmx", "ours.tmx", "ours.tmj"}) {
            Run(QUORBEL_TMXRASTERIZER, {dir / map, dir / "tiled.png"});
            const QImage tiled = test::PictureOf(dir / "tiled.png");
            ASSERT_EQ(tiled.size(), ours.size()) << map;
            EXPECT_EQ(test::DifferingPixels(tiled, ours), 0) << map;
        }
    }

    test::ScratchDir home;
    test::ScratchDir dir;
};

TEST_F(TiledExtensionTest, EveryWayThroughTiledGivesTheLevelBack) {
    std::mt19937 random(20);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // A random map bitmap: dark (bit 0) where its cell is drawn.
    const auto randomMap = [&](const std::string& path, int width, int height) {
        std::vector<int> bits(static_cast<std::size_t>(width * height));
        for (int& bit : bits) {
            bit = below(3) == 0 ? 0 : 1;
        }
        bits.back() = 0;  // the level reaches the map's full size
        test::BmpBuilder(width, height)
            .Pixels([&](int x, int y) { return bits[static_cast<std::size_t>(y * width + x)]; })
            .WriteTo(path);
    };
    const std::string samples = QUORBEL_SAMPLES_DIR;
    const std::string tileset = dir / "tileset.bmp";
    struct Case {
        const char* name;
        int columns;  // of the tileset picture; 0 for the bundled sample tileset
        int rows;
        std::function<std::string()> make;  // writes the level, gives its path
        bool exportable = true;             // export refuses a level without records
    } const cases[] = {
        {"the sample level", 0, 0,
         [&] {
             Lvl({"convert", samples + "/sample-tileset.bmp", samples + "/sample-map.bmp",
                  dir / "level.lvl"});
             return dir / "level.lvl";
         }},
        {"the sample's ground and coins composed", 0, 0,
         [&] {
             Lvl({"compose", "--quiet", samples + "/sample-tileset.bmp", dir / "level.lvl",
                  "171:" + samples + "/sample-map.bmp", "23:" + samples + "/sample-coins.bmp"});
             return dir / "level.lvl";
         }},
        {"converted over 7 columns", 7, 30,
         [&] {
             randomMap(dir / "a.bmp", 1 + below(50), 1 + below(40));
             Lvl({"convert", "--tile", "102", tileset, dir / "a.bmp", dir / "level.lvl"});
             return dir / "level.lvl";
         }},
        {"composed of three layers over 12 columns, one repeated", 12, 6,
         [&] {
             randomMap(dir / "a.bmp", 30, 20);
             randomMap(dir / "b.bmp", 20, 30);
             Lvl({"compose", "--quiet", tileset, dir / "level.lvl", "12:" + dir / "a.bmp",
                  "78:" + dir / "b.bmp", "12:" + dir / "a.bmp"});
             return dir / "level.lvl";
         }},
        {"random order with repeats over 25 columns", 25, 14,
         [&] {
             const std::vector<int> tiles = TilesWithCells(25, 14);
             std::string level = ReadWholeFile(tileset);
             std::uint32_t x = 0;
             std::uint32_t y = 0;
             for (int i = 0; i < 400; ++i) {
                 if (below(8) != 0) {  // else the cell of the record before, once more
                     x = static_cast<std::uint32_t>(below(40));
                     y = static_cast<std::uint32_t>(below(25));
                 }
                 level += Record(
                     x, y,
                     static_cast<std::uint32_t>(
                         tiles[static_cast<std::size_t>(below(static_cast<int>(tiles.size())))]));
             }
             WriteWholeFile(dir / "level.lvl", level);
             return dir / "level.lvl";
         }},
        {"every tile number in random order, far from the origin", 19, 14,
         [&] {
             std::string level = ReadWholeFile(tileset);
             for (int tile = 1; tile <= 255; ++tile) {
                 level +=
                     Record(static_cast<std::uint32_t>(below(60)),
                            static_cast<std::uint32_t>(below(4)), static_cast<std::uint32_t>(tile));
             }
             level += Record(250, 17, 171);
             WriteWholeFile(dir / "level.lvl", level);
             return dir / "level.lvl";
         }},
        {"a level without records", 19, 10,
         [&] {
             WriteWholeFile(dir / "level.lvl", ReadWholeFile(tileset));
             return dir / "level.lvl";
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(tileset, c.columns == 0 ? ReadWholeFile(samples + "/sample-tileset.bmp")
                                               : test::DistinctTileset(c.columns, c.rows));
        CheckLevel(c.make(), c.exportable);
    }
}

// A map whose first tileset 't' is a picture of 25 x 15 cells and whose second tileset 'other'
// starts at gid 1000.
std::string MapOverT(const std::string& layers, const std::string& tilesetExtra = "", int side = 16,
                     const std::string& image = "t.bmp", const std::string& mapExtra = "") {
    const std::string s = std::to_string(side);
    return "<?xml version=\"1.0\"?>\n<map orientation=\"orthogonal\" width=\"3\" height=\"2\" "
           "tilewidth=\"16\" tileheight=\"16\"" +
           mapExtra + ">\n <tileset firstgid=\"1\" name=\"t\" tilewidth=\"" + s +
           "\" tileheight=\"" + s + "\" tilecount=\"" +
           std::to_string(25 * 15 * 256 / side / side) + "\" columns=\"" +
           std::to_string(400 / side) + "\"" + tilesetExtra + ">\n  <image source=\"" + image +
           "\" width=\"400\" height=\"240\"/>\n </tileset>\n <tileset firstgid=\"1000\" "
           "name=\"other\" tilewidth=\"16\" tileheight=\"16\" tilecount=\"4\" "
           "columns=\"2\"><image source=\"o.bmp\" width=\"32\" height=\"32\"/></tileset>\n" +
           layers + "</map>\n";
}

std::string CsvLayer(const std::string& csv, const std::string& name = "a") {
    return " <layer name=\"" + name + "\" width=\"3\" height=\"2\"><data encoding=\"csv\">" + csv +
           "</data></layer>\n";
}

// A 16 x 16 chunk of an infinite layer at (x, y): a tile in every third cell, each in one of
// the first 19 columns of a 25-column picture.
std::string Chunk(int x, int y) {
    std::string csv;
    for (int i = 0; i < 256; ++i) {
        const int gid = i % 3 == 0 ? 1 + (i + x) % 19 + 25 * ((i + y) % 10) : 0;
        csv += std::to_string(gid) + (i == 255 ? "" : ",");
    }
    return "<chunk x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
           "\" width=\"16\" height=\"16\">" + csv + "</chunk>";
}

// Maps that import reads, Tiled saves through our format as the same level: layers inside
// groups and hidden ones, object and image layers skipped, an infinite map's chunks wherever
// they lie, a second tileset left unused.
TEST_F(TiledExtensionTest, SaveWritesWhatImportWrites) {
    WriteWholeFile(dir / "t.bmp", test::DistinctTileset(25, 15));
    WriteWholeFile(dir / "o.bmp", test::DistinctTileset(2, 2));
    const std::string infinite = " infinite=\"1\"";
    struct Case {
        const char* name;
        std::string map;
    } const cases[] = {
        {"groups, hidden layers, object and image layers",
         MapOverT(CsvLayer("1,0,3,\n0,26,56") +
                  " <objectgroup name=\"things\"/>\n <group name=\"g\">\n" +
                  " <layer name=\"b\" width=\"3\" height=\"2\" visible=\"0\"><data "
                  "encoding=\"csv\">0,19,0,\n327,0,1</data></layer>\n <imagelayer name=\"sky\"/>\n"
                  " </group>\n")},
        {"an infinite map's chunks apart",
         MapOverT(" <layer name=\"inf\" width=\"16\" height=\"16\"><data encoding=\"csv\">" +
                      Chunk(32, 0) + Chunk(0, 48) +
                      "</data></layer>\n <layer name=\"more\" "
                      "width=\"16\" height=\"16\"><data encoding=\"csv\">" +
                      Chunk(16, 16) + "</data></layer>\n",
                  "", 16, "t.bmp", infinite)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(dir / "m.tmx", c.map);
        Lvl({"import", dir / "m.tmx", dir / "imported.lvl"});
        Tiled(kFormat, dir / "m.tmx", dir / "saved.lvl");
        ExpectSameBytes(dir / "saved.lvl", dir / "imported.lvl", "Tiled's save");
    }
}

// Every map that import refuses, Tiled refuses to save through our format: it exits with a
// failure and writes nothing. Where Tiled can open the map, the refusal's text names what
// import's names.
TEST_F(TiledExtensionTest, SaveRefusesWhatImportRefuses) {
    WriteWholeFile(dir / "t.bmp", test::DistinctTileset(25, 15));
    WriteWholeFile(dir / "o.bmp", test::DistinctTileset(2, 2));
    WriteWholeFile(dir / "png.png", "\x89PNG\r\n\x1a\n" + std::string(40, '\0'));
    WriteWholeFile(dir / "cut.bmp", test::DistinctTileset(25, 15).substr(0, 100));
    WriteWholeFile(dir / "bm.bmp", std::string("BM\6\0", 4));
    std::string tallColumn = "0";  // 4096 empty cells, then a tile at y 4096
    for (int y = 1; y < 4096; ++y) {
        tallColumn += ",0";
    }
    tallColumn += ",7";
    const std::string one = CsvLayer("1,0,0,0,0,0");
    struct Case {
        const char* name;
        std::string map;
        std::string says;  // what both refusals say
        bool tiledOpensIt = true;
    } const cases[] = {
        {"flipped", MapOverT(CsvLayer("0,0,0,\n0,0,2147483649")),
         "layer 'a', x 2, y 1: the tile is flipped or rotated"},
        {"rotated", MapOverT(CsvLayer("536870913,0,0,\n0,0,0")),
         "layer 'a', x 0, y 0: the tile is flipped or rotated"},
        {"another tileset", MapOverT(CsvLayer("0,0,0,\n0,1001,0")),
         "layer 'a', x 1, y 1: the tile is from the tileset 'other'; a level's tiles all come "
         "from one picture, the first tileset 't'"},
        {"past the first tileset", MapOverT(CsvLayer("0,0,0,\n0,376,0")),
         "layer 'a', x 1, y 1: gid 376 is no tile of the first tileset 't' (gids 1 to 375)"},
        {"column 20", MapOverT(CsvLayer("0,20,0,\n0,0,0")),
         "layer 'a', x 1, y 0: the tile is in column 20 of the tileset picture"},
        {"tile 256", MapOverT(CsvLayer("0,0,0,\n0,0,334")),
         "layer 'a', x 2, y 1: the tile in column 9, row 14 would be tile number 256"},
        {"inside a group",
         MapOverT(" <group name=\"g\">\n" + CsvLayer("0,0,0,\n4,0,0", "fine") +
                  CsvLayer("0,0,0,\n0,20,0", "deep") + " </group>\n"),
         "layer 'deep', x 1, y 1: the tile is in column 20"},
        {"left of the origin",
         MapOverT(
             R"( <layer name="inf" width="16" height="16"><data encoding="csv"><chunk x="-16" y="0" width="2" height="1">0,5</chunk></data></layer>
)",
             "", 16, "t.bmp", " infinite=\"1\""),
         "layer 'inf', x -15, y 0: a level holds x and y from 0 to 4095 only"},
        {"y 4096",
         MapOverT(" <layer name=\"tall\" width=\"1\" height=\"4097\"><data encoding=\"csv\">" +
                  tallColumn + "</data></layer>\n"),
         "layer 'tall', x 0, y 4096: a level holds x and y from 0 to 4095 only"},
        {"tiles of 32 x 32", MapOverT(one, "", 32),
         "the first tileset 't' has tiles of 32 x 32 pixels; the game's tiles are 16 x 16"},
        {"margin", MapOverT(one, " margin=\"1\""),
         "the first tileset 't' has a margin of 1 and a spacing of 0 pixels"},
        {"collection of images",
         R"(<map orientation="orthogonal" width="1" height="1" tilewidth="16" tileheight="16"><tileset firstgid="1" name="c" tilewidth="16" tileheight="16" tilecount="1" columns="0"><tile id="0"><image source="o.bmp" width="32" height="32"/></tile></tileset></map>)",
         "the first tileset 'c' is a collection of separate images"},
        {"no tileset",
         "<map orientation=\"orthogonal\" width=\"1\" height=\"1\" tilewidth=\"16\" "
         "tileheight=\"16\"/>",
         "has no tileset; a level's tiles are cells of one"},
        {"picture no BMP", MapOverT(one, "", 16, "png.png"),
         "(the picture of the first tileset 't') is no BMP picture (it does not begin with "
         "\"BM\")"},
        {"picture cut short", MapOverT(one, "", 16, "cut.bmp"),
         "(the picture of the first tileset 't'): its BMP size field says 288054 bytes, but a "
         "prefix needs from 6 to 100"},
        {"picture too short for a size", MapOverT(one, "", 16, "bm.bmp"),
         "has 4 bytes, too few for a BMP picture"},
        {"picture missing", MapOverT(one, "", 16, "gone.bmp"), "gone.bmp"},
        {"not well-formed", "<map>\n<layer>\n</map>", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(dir / "m.tmx", c.map);
        const auto before = Snapshot(dir);
        const test::ProcessResult imported =
            test::RunProcess(QUORBEL_LVL, {"import", dir / "m.tmx", dir / "out.lvl"});
        EXPECT_EQ(imported.exitStatus, 1) << imported.err;
        EXPECT_NE(imported.err.find(c.says), std::string::npos) << imported.err;
        const test::ProcessResult saved = test::RunProcess(
            QUORBEL_TILED, {"--export-map", kFormat, dir / "m.tmx", dir / "out.lvl"});
        EXPECT_NE(saved.exitStatus, 0) << saved.err;
        EXPECT_EQ(Snapshot(dir), before);
        if (c.tiledOpensIt) {
            Tiled("quorbel-level-refusal", dir / "m.tmx", dir / "why.refusal");
            const std::string why = ReadWholeFile(dir / "why.refusal");
            EXPECT_NE(why.find(c.says), std::string::npos) << why;
            fs::remove(dir / "why.refusal");
        }
    }
}

// A file that export refuses as no level, or as no map, Tiled refuses to open with export's own
// words, and writes nothing.
TEST_F(TiledExtensionTest, OpenRefusesWhatExportRefuses) {
    const std::string tileset = test::DistinctTileset(19, 10);
    struct Case {
        const char* name;
        std::string level;
    } const cases[] = {
        {"shorter than 6 bytes", std::string("BM\6\0\0", 5)},
        {"size field past the end", "BM" + test::Le32(100) + Record(0, 0, 1)},
        {"prefix no BMP", "xx" + test::Le32(10) + "yyyy" + Record(0, 0, 1)},
        {"tile numbers without a cell",
         tileset + Record(0, 0, 0) + Record(1, 0, 200) + Record(2, 0, 0) + Record(3, 0, 171)},
        {"more layers than a map is given",
         tileset + Record(0, 0, 1) + Record(0, 0, 1) + Record(4095, 4095, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(dir / "bad.lvl", c.level);
        const auto before = Snapshot(dir);
        const test::ProcessResult exported =
            test::RunProcess(QUORBEL_LVL, {"export", dir / "bad.lvl", dir / "ours.tmx"});
        ASSERT_EQ(exported.exitStatus, 1) << exported.err;
        const std::string prefix = "quorbel-lvl export: ";
        ASSERT_TRUE(exported.err.starts_with(prefix)) << exported.err;
        const std::string why = exported.err.substr(prefix.size());
        const test::ProcessResult opened = test::RunProcess(
            QUORBEL_TILED, {"--export-map", "tmx", dir / "bad.lvl", dir / "t.tmx"});
        EXPECT_NE(opened.exitStatus, 0);
        EXPECT_NE(opened.err.find("Error: " + why), std::string::npos)
            << "export: " << why << "Tiled: " << opened.err;
        EXPECT_EQ(Snapshot(dir), before);
    }
}

}  // namespace
}  // namespace quorbel::render
