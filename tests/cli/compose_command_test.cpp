#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "conversion/conversion_run.h"
#include "in_process.h"
#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/level_model.h"
#include "support/recording_front_end.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"
#include "support/variant_bmp.h"

namespace quorbel::cli {
namespace {

using test::BmpBuilder;
using test::ReadWholeFile;
using test::Status;
using test::WriteWholeFile;
using test::model::Tile;

using test::Lines;

// Convert's lines after its last status: its causes and hint.
std::vector<std::string> ConvertCauses(const std::string& err) {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(err)) {
        if (line.starts_with("cause: ") || line.starts_with("hint: ")) {
            lines.push_back(line);
        }
    }
    return lines;
}

// "cause: WHAT" as compose says it of layer n.
std::string OfLayer(const std::string& line, int n, const std::string& path) {
    const std::size_t colon = line.find(": ");
    return line.substr(0, colon + 2) + "layer " + std::to_string(n) + " '" + path +
           "': " + line.substr(colon + 2);
}

struct Layer {
    std::string tileText;
    std::string path;
    std::string Operand() const { return tileText + ":" + path; }
};

class ComposeCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BmpBuilder(16, 16).WriteTo(tileset);
        WriteWholeFile(output, "earlier");
    }

    test::CommandResult Compose(const std::vector<std::string>& options,
                                const std::vector<Layer>& layers) {
        std::vector<std::string> args = {"compose"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {tileset, output});
        for (const Layer& layer : layers) {
            args.push_back(layer.Operand());
        }
        return Lvl(args);
    }

    test::CommandResult Convert(const Layer& layer, const std::string& to) {
        return Lvl({"convert", "--tile", layer.tileText, tileset, layer.path, to});
    }

    test::ScratchDir dir;
    std::string tileset = dir / "tile set.lvl";
    std::string output = dir / "out.lvl";
};

// Random layers of random sizes, palettes, dark shares and tile numbers over random tilesets.
// The level is the tileset's prefix followed by each layer's records as the model reads them, and
// those are the records that convert writes of each layer, one after the other; a level of one
// layer is convert's byte for byte.
TEST_F(ComposeCommandTest, ALevelIsTheConcatenationOfTheLayersConversions) {
    std::mt19937 random(1207);
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution(low, high)(random);
    };
    for (int sample = 0; sample < 25; ++sample) {
        SCOPED_TRACE("sample " + std::to_string(sample));
        const std::string prefix = BmpBuilder(uniform(0, 40), uniform(0, 20)).Bytes();
        WriteWholeFile(tileset, prefix + std::string(static_cast<std::size_t>(uniform(0, 9)), 'x'));
        std::vector<Layer> layers;
        std::vector<std::string> bitmaps;
        std::string modelRecords;
        const int count = uniform(1, 4);
        for (int i = 0; i < count; ++i) {
            const int share = uniform(0, 100);
            const std::uint8_t blue = uniform(0, 1) == 0 ? 255 : 0;
            BmpBuilder builder(uniform(0, 70), uniform(0, 30));
            builder.Palette({blue, 255, 255, 0}, {0, 0, 0, 0})
                .Pixels([share, seed = uniform(0, 1000)](int x, int y) {
                    return (x * 31 + y * 17 + seed) % 100 < share ? 1 : 0;
                });
            if (uniform(0, 1) == 1) {
                builder.DirtyPadding();
            }
            const int tile = uniform(0, 255);
            const std::string texts[] = {std::to_string(tile), " " + std::to_string(tile) + " ",
                                         std::to_string(tile) + ".4"};
            layers.push_back({texts[uniform(0, 2)], dir / ("layer:" + std::to_string(i) + ".bmp")});
            builder.WriteTo(layers.back().path);
            bitmaps.push_back(builder.Bytes());
            for (const Tile& t : test::model::TilesOf(bitmaps.back(), tile)) {
                modelRecords += test::LevelRecordBytes(static_cast<std::uint32_t>(t.x),
                                                       static_cast<std::uint32_t>(t.y),
                                                       static_cast<std::uint32_t>(t.tile));
            }
        }
        const auto result = Compose({"--quiet"}, layers);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        const std::string level = ReadWholeFile(output);
        EXPECT_EQ(level, prefix + modelRecords);

        std::string converted;
        for (const Layer& layer : layers) {
            ASSERT_EQ(Convert(layer, dir / "one.lvl").exitStatus, 0);
            converted += ReadWholeFile(dir / "one.lvl").substr(prefix.size());
        }
        EXPECT_EQ(level.substr(prefix.size()), converted);
        if (count == 1) {
            EXPECT_EQ(level, ReadWholeFile(dir / "one.lvl"));
        }
    }
}

TEST_F(ComposeCommandTest, StatusesWarningsAndWhatWasWritten) {
    const std::string a = dir / "a.bmp";
    const std::string b = dir / "b.bmp";
    BmpBuilder(4, 2).Pixels([](int x, int) { return x % 2; }).WriteTo(a);
    BmpBuilder(3, 1).Pixels([](int, int) { return 0; }).WriteTo(b);
    const std::string warning =
        "quorbel-lvl compose: warning: layer 2 '" + b +
        "': tile 200 has no 16 x 16 cell in the tileset (16 x 16 pixels holds the first cell of "
        "each row of 19: tiles 1..1)";
    auto result = Compose({}, {{"1", a}, {"200", b}});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(
        Lines(result.err),
        (std::vector<std::string>{
            Status("checking the tileset and 2 layers"), Status(texts::kCopyingTileset),
            Status("converting layer 1 of 2: tile 1 from '" + a + "'"),
            Status("converting layer 2 of 2: tile 200 from '" + b + "'"), Status(texts::kDone),
            warning, "wrote " + output + ": 7 records in 2 layers (4 of tile 1, 3 of tile 200)"}));

    result = Compose({"--quiet"}, {{"1", a}, {"200", b}});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Lines(result.err), std::vector<std::string>{warning});

    BmpBuilder(2, 2).Pixels([](int, int) { return 1; }).WriteTo(b);  // no dark pixel
    result = Compose({"--quiet"}, {{"1", a}, {"7", b}});
    EXPECT_EQ(Lines(result.err),
              std::vector<std::string>{"quorbel-lvl compose: warning: layer 2 '" + b +
                                       "': the layer gives no record: "
                                       "it has no dark pixel. A drawing in a light colour or on a "
                                       "transparent background loses its pixels in a 1-bit map "
                                       "that other tools make: make the map of the drawing with "
                                       "quorbel-lvl prepare, or the level with quorbel-lvl paint"});
}

// Each row's layers are also converted one by one: compose ends as the worst of those runs ends
// (failed before rejected), names every layer that convert refuses, with convert's own lines,
// and leaves the output as it was.
TEST_F(ComposeCommandTest, RefusedLayersAreToldAsConvertTellsThem) {
    const std::string good = dir / "good.bmp";
    BmpBuilder(4, 3).Pixels([](int x, int y) { return (x + y) % 2; }).WriteTo(good);
    const auto made = [&](const char* name, const std::string& bytes) {
        WriteWholeFile(dir / name, bytes);
        return dir / name;
    };
    const std::string cut = BmpBuilder(4, 3).Bytes();
    const struct Row {
        const char* name;
        std::vector<Layer> layers;
        int exitStatus;
    } rows[] = {
        {"RejectedBesideGood",
         {{"1", good}, {"2", made("deep.bmp", BmpBuilder(4, 3).BitsPerPixel(24).Bytes())}},
         2},
        {"FailedBeatsRejected",
         {{"1", made("wide.bmp", BmpBuilder(1025, 1).Bytes())}, {"2", dir / "none.bmp"}},
         1},
        {"UnreadableTileText", {{"x", good}, {"1", good}}, 1},
        {"TileNumberNoByteOnDarkPixels", {{"1", good}, {"256", good}}, 1},
        {"TileNumberNoByteWithoutDarkPixels",
         {{"256", made("light.bmp", BmpBuilder(4, 3).Pixels([](int, int) { return 1; }).Bytes())}},
         0},
        {"RowsCutShort", {{"1", made("cut.bmp", cut.substr(0, cut.size() - 1))}}, 1},
        {"PaletteBeforeTheFile",
         {{"1", good}, {"1", made("low.bmp", BmpBuilder(4, 3).DataOffset(7).Bytes())}},
         1},
        {"Height32768", {{"1", made("tall.bmp", BmpBuilder(4, 32768).StoredRows(0).Bytes())}}, 1},
        {"APngPicture", {{"1", made("map.png", "\x89PNG\r\n\x1A\nrest")}}, 1},
        {"EmptyPath", {{"1", ""}}, 1},
        {"PathWithAColon", {{"3", made("a:b.bmp", BmpBuilder(2, 2).Bytes())}}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteWholeFile(output, "earlier");
        const auto result = Compose({}, row.layers);
        EXPECT_EQ(result.exitStatus, row.exitStatus) << result.err;
        int worst = 0;
        for (std::size_t i = 0; i < row.layers.size(); ++i) {
            const auto convert = Convert(row.layers[i], dir / "one.lvl");
            worst = convert.exitStatus == 1 || worst == 1 ? 1 : std::max(worst, convert.exitStatus);
            for (const std::string& line : ConvertCauses(convert.err)) {
                const std::string expected =
                    OfLayer(line, static_cast<int>(i) + 1, row.layers[i].path);
                EXPECT_NE(result.err.find(expected + "\n"), std::string::npos) << expected << "\n"
                                                                               << result.err;
            }
        }
        EXPECT_EQ(result.exitStatus, worst);
        if (row.exitStatus != 0) {
            EXPECT_EQ(ReadWholeFile(output), "earlier");
        }
        EXPECT_EQ(dir.Leftovers(), std::vector<std::string>{});
    }
}

TEST_F(ComposeCommandTest, TheTilesetAndTheOutputAreCheckedToo) {
    const std::string map = dir / "map.bmp";
    BmpBuilder(2, 2).WriteTo(map);
    const struct Row {
        const char* name;
        std::string tileset;
        std::string output;
        std::string cause;
    } rows[] = {
        {"TilesetSizeFieldBelowSix", dir / "short.lvl", output,
         "cause: the tileset '" + dir / "short.lvl" +
             "': the tileset's size field says 3 bytes; a level's prefix needs at least 6, to "
             "hold that field, or the level cannot be read back"},
        {"TilesetShorterThanItsSizeField", dir / "cut.lvl", output,
         "cause: the tileset '" + dir / "cut.lvl" + "': "},
        {"OutputIsALayer", tileset, map,
         "cause: cannot replace '" + map +
             "': it is the bitmap of layer 1 being read; name another file for the output"},
        {"OutputIsTheTileset", tileset, tileset,
         "cause: cannot replace '" + tileset +
             "': it is the tileset being read; name another file for the output"},
    };
    WriteWholeFile(dir / "short.lvl", "BM" + test::Le32(3) + "xyz");
    WriteWholeFile(dir / "cut.lvl", "BM" + test::Le32(100) + "xyz");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string before = ReadWholeFile(row.output);
        const auto result = Lvl({"compose", row.tileset, row.output, "1:" + map});
        EXPECT_EQ(result.exitStatus, 1) << result.err;
        EXPECT_NE(result.err.find(Status(texts::kErrorStatus) + "\n"), std::string::npos);
        EXPECT_NE(result.err.find(row.cause), std::string::npos) << result.err;
        EXPECT_EQ(ReadWholeFile(row.output), before);
    }
}

// A colour picture as the only layer and a map bitmap as the tileset: the hint is the command
// with the two exchanged, as convert's is.
TEST_F(ComposeCommandTest, ATilesetAndALayerGivenTheWrongWayRound) {
    const std::string picture = dir / "tiles.bmp";
    const std::string map = dir / "map.bmp";
    WriteWholeFile(picture,
                   test::VariantBmp({.bitsPerPixel = 24}, 32, 16, [](int, int) { return false; }));
    BmpBuilder(2, 2).WriteTo(map);
    const auto result = Lvl({"compose", "--quiet", map, output, "5:" + picture, "6:" + map});
    EXPECT_EQ(result.exitStatus, 2) << result.err;
    EXPECT_NE(result.err.find("cause: layer 1 '" + picture + "': the tileset '" + map +
                              "' is a 1-bit map bitmap and the bitmap '" + picture + "' is not"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("hint: layer 1 '" + picture +
                              "': the tileset comes first: quorbel-lvl compose --quiet '" +
                              picture + "' '" + output + "' '5:" + map + "' '6:" + map + "'\n"),
              std::string::npos)
        << result.err;
}

// Every layer's header report in order, each under its own line, whatever the run's end. A
// layer is quoted, so that a line break in a bitmap's name cannot forge a layer's line.
TEST_F(ComposeCommandTest, TheReportHoldsEveryLayerUnderItsName) {
    const std::string a = dir / "a.bmp";
    const std::string c = dir / "c.bmp";
    BmpBuilder(5, 2).WriteTo(a);
    BmpBuilder(33, 1).BitsPerPixel(24).WriteTo(c);
    const std::string report = dir / "report.txt";
    auto result = Compose({"--report", report},
                          {{"7", a}, {"9", dir / "m\r\nLayer 9: 1:fake.bmp"}, {"1", c}});
    EXPECT_EQ(result.exitStatus, 1) << result.err;
    EXPECT_EQ(ReadWholeFile(report),
              "Layer 1: '7:" + a + "'\r\n" + *test::model::FullReport(ReadWholeFile(a)) +
                  "\r\n\r\nLayer 2: '9:" + dir / "m\\x0D\\x0ALayer 9: 1:fake.bmp" +
                  "'\r\n\r\nLayer 3: '1:" + c + "'\r\n" +
                  *test::model::FullReport(ReadWholeFile(c)));
    result = Compose({"--report", report}, {{"7", a}});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(ReadWholeFile(report),
              "Layer 1: '7:" + a + "'\r\n" + *test::model::FullReport(ReadWholeFile(a)));
}

TEST_F(ComposeCommandTest, BadUsageExits64) {
    const std::string map = dir / "map.bmp";
    BmpBuilder(2, 2).WriteTo(map);
    const std::vector<std::vector<std::string>> cases = {
        {"compose", tileset, output},
        {"compose", tileset, output, map},
        {"compose", "--bogus", tileset, output, "1:" + map},
        {"compose", "--report", map, tileset, output, "1:" + map},
        {"compose", "--report", dir / "none/r.txt", tileset, output, "1:" + map},
    };
    for (const auto& args : cases) {
        const auto result = Lvl(args);
        EXPECT_EQ(result.exitStatus, 64) << result.err;
        EXPECT_NE(result.err.find("--help"), std::string::npos) << result.err;
        EXPECT_EQ(ReadWholeFile(output), "earlier");
    }
}

}  // namespace
}  // namespace quorbel::cli
