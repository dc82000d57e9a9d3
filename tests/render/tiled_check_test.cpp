// The real Tiled (Debian's tiled 1.8 package) judges what import reads: maps as Tiled itself writes
// them, in every layer format. (What export writes Tiled judges in tiled_extension_test.cpp, beside
// the level format's own extension.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include "render/tiled_pictures.h"
#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/map_bytes.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel::render {
namespace {

using test::DistinctTileset;
using test::ReadWholeFile;
using test::WriteWholeFile;
constexpr auto Record = test::LevelRecordBytes;

class TiledCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(std::string(QUORBEL_TILED).empty())
            << "Debian's tiled is not installed: run scripts/install-deps";
        // Tiled runs headless and keeps its settings in the scratch folder.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_RUNTIME_DIR", home.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
    }

    // Runs program; fails the test with its output unless it exits with 0.
    void Run(const std::string& program, const std::vector<std::string>& args) {
        const test::ProcessResult result = test::RunProcess(program, args);
        ASSERT_EQ(result.exitStatus, 0) << program << " " << args.back() << ":\n" << result.err;
    }
    void Lvl(const std::vector<std::string>& args) { Run(QUORBEL_LVL, args); }

    // Imports map and expects level back, byte for byte.
    void ExpectImportGives(const std::string& map, const std::string& level) {
        Lvl({"import", map, dir / "back.lvl"});
        EXPECT_TRUE(ReadWholeFile(dir / "back.lvl") == ReadWholeFile(level))
            << "import of " << map << " differs from " << level;
    }

    test::ScratchDir home;
    test::ScratchDir dir;
};

// Maps as Tiled itself writes them in each layer format, finite and infinite, TMX and JSON: the
// test writes a seed map in the format, Tiled rewrites it (encoding and compressing the data
// itself, cutting an infinite layer into its own chunks), and import reads the rewrite.
TEST_F(TiledCheckTest, ImportReadsEveryLayerFormatTiledWrites) {
    const std::string tileset = DistinctTileset(19, 10);
    WriteWholeFile(dir / "t.bmp", tileset);
    const int width = 40;
    const int height = 21;
    std::vector<std::uint32_t> gids(width * height, 0);
    std::string level = tileset;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const int tile = (x * 31 + y * 17) % 7 == 0 ? 1 + (x * 13 + y * 5) % 190 : 0;
            gids[static_cast<std::size_t>(y * width + x)] = static_cast<std::uint32_t>(tile);
            if (tile != 0) {
                level += Record(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                                static_cast<std::uint32_t>(tile));
            }
        }
    }
    WriteWholeFile(dir / "level.lvl", level);
    std::string csv;
    for (const std::uint32_t gid : gids) {
        csv += std::to_string(gid) + ",";
    }
    csv.pop_back();
    struct Format {
        const char* name;
        const char* attributes;
        std::string data;
    } const formats[] = {
        {"csv", "encoding=\"csv\"", csv},
        {"base64", "encoding=\"base64\"", test::Base64(test::GidBytes(gids))},
        {"zlib", "encoding=\"base64\" compression=\"zlib\"",
         test::Base64(test::Compress(test::GidBytes(gids), false))},
        {"gzip", "encoding=\"base64\" compression=\"gzip\"",
         test::Base64(test::Compress(test::GidBytes(gids), true))},
    };
    for (const Format& format : formats) {
        for (const bool infinite : {false, true}) {
            SCOPED_TRACE(std::string(format.name) + (infinite ? ", infinite" : ", finite"));
            const std::string size =
                "width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"";
            const std::string data =
                infinite ? "<chunk x=\"0\" y=\"0\" " + size + ">" + format.data + "</chunk>"
                         : format.data;
            WriteWholeFile(dir / "seed.tmx",
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map version=\"1.8\" "
                           "orientation=\"orthogonal\" renderorder=\"right-down\" " +
                               size + " tilewidth=\"16\" tileheight=\"16\" infinite=\"" +
                               (infinite ? "1" : "0") +
                               "\">\n <tileset firstgid=\"1\" name=\"t\" tilewidth=\"16\" "
                               "tileheight=\"16\" tilecount=\"190\" columns=\"19\">\n  <image "
                               "source=\"t.bmp\" width=\"304\" height=\"160\"/>\n </tileset>\n "
                               "<layer id=\"1\" name=\"a\" " +
                               size + ">\n  <data " + format.attributes + ">" + data +
                               "</data>\n </layer>\n</map>\n");
            Run(QUORBEL_TILED, {"--export-map", "tmx", dir / "seed.tmx", dir / "tiled.tmx"});
            Run(QUORBEL_TILED, {"--export-map", "json", dir / "seed.tmx", dir / "tiled.tmj"});
            const std::string rewrite = ReadWholeFile(dir / "tiled.tmx");
            EXPECT_NE(rewrite.find(format.attributes), std::string::npos) << rewrite;
            EXPECT_EQ(rewrite.find("<chunk") != std::string::npos, infinite) << rewrite;
            ExpectImportGives(dir / "tiled.tmx", dir / "level.lvl");
            ExpectImportGives(dir / "tiled.tmj", dir / "level.lvl");
        }
    }
}

}  // namespace
}  // namespace quorbel::render
