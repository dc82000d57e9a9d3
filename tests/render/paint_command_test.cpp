#include "render/paint_command.h"

#include <gtest/gtest.h>

#include <QImage>
#include <map>
#include <random>
#include <sstream>

#include "cli/compose_command.h"
#include "support/bmp_builder.h"
#include "support/paint_model.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel::render {
namespace {

using test::BmpBuilder;
using test::Lines;
using test::ReadWholeFile;
using test::WriteWholeFile;
using test::model::Tile;

struct Outcome {
    int status = -1;
    std::string err;
};

Outcome Paint(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = PaintCommand().Main(args, out, err);
    EXPECT_EQ(out.str(), "");
    return {status, err.str()};
}

// A drawing of letters, each letter's pixels of its colour; letters without one are transparent.
QImage Drawing(const std::vector<std::string>& rows, const std::map<char, QRgb>& colours) {
    QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
                 QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const auto colour = colours.find(rows[std::size_t(y)][std::size_t(x)]);
            image.setPixel(x, y, colour == colours.end() ? qRgba(0, 0, 0, 0) : colour->second);
        }
    }
    return image;
}

void Save(const QImage& image, const std::string& path, const char* format = "PNG") {
    ASSERT_TRUE(image.save(QString::fromStdString(path), format)) << path;
}

class PaintCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BmpBuilder(304, 160).WriteTo(tileset);
        WriteWholeFile(output, "earlier");
    }

    // The drawing saved in one of the pixel formats Qt hands paint: 0 a PNG with transparency
    // (32-bit ARGB), 1 a PNG of colour indexes, 2 ImageMagick's GIF (indexes, one transparent).
    std::string SaveAs(int kind, const std::vector<std::string>& rows,
                       const std::map<char, QRgb>& colours) {
        const QImage drawing = Drawing(rows, colours);
        QList<QRgb> table = {qRgba(0, 0, 0, 0)};
        for (const auto& [letter, colour] : colours) {
            table.push_back(colour);
        }
        Save(kind == 1 ? drawing.convertToFormat(QImage::Format_Indexed8, table) : drawing,
             picture);
        if (kind == 2) {
            EXPECT_EQ(test::RunProcess(QUORBEL_IMAGEMAGICK, {picture, dir / "d.gif"}).exitStatus,
                      0);
            return dir / "d.gif";
        }
        return picture;
    }

    test::ScratchDir dir;
    std::string tileset = dir / "tiles.bmp";
    std::string palette = dir / "legend.gpl";
    std::string picture = dir / "drawing.png";
    std::string output = dir / "level.lvl";
};

// Random drawings over random palettes (shared tile numbers, white listed or not), saved in turn
// in each way of SaveAs: the level is byte for byte what compose makes of one 1-bit map per colour
// that has cells, in palette order.
TEST_F(PaintCommandTest, PaintIsComposeOfOneMapPerColour) {
    ASSERT_NE(std::string(QUORBEL_IMAGEMAGICK), "") << "ImageMagick: bash scripts/install-deps";
    std::mt19937 random(2024);
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution(low, high)(random);
    };
    for (int sample = 0; sample < 20; ++sample) {
        SCOPED_TRACE("sample " + std::to_string(sample));
        const int colours = uniform(1, 5);
        const bool whiteListed = uniform(0, 3) == 0;  // as the first colour
        std::string legend = "GIMP Palette\n";
        std::map<char, QRgb> colourOf = {{'.', qRgb(255, 255, 255)}};
        std::vector<int> tiles;
        for (int i = 0; i < colours; ++i) {
            const QRgb colour =
                i == 0 && whiteListed ? qRgb(255, 255, 255) : qRgb(uniform(0, 254), i * 40, 7);
            tiles.push_back(i > 0 && uniform(0, 3) == 0 ? tiles[0] : uniform(0, 255));
            colourOf[char('a' + i)] = colour;
            legend += std::to_string(qRed(colour)) + " " + std::to_string(qGreen(colour)) + " " +
                      std::to_string(qBlue(colour)) + "\tkind " + std::to_string(tiles[i]) + "\n";
        }
        WriteWholeFile(palette, legend);
        const int width = uniform(1, 70);
        std::vector<std::string> rows(std::size_t(uniform(1, 40)));
        for (std::string& row : rows) {
            for (int x = 0; x < width; ++x) {
                row +=
                    uniform(0, 2) == 0 ? " ."[uniform(0, 1)] : char('a' + uniform(0, colours - 1));
            }
        }
        ASSERT_EQ(
            Paint({"--quiet", tileset, palette, SaveAs(sample % 3, rows, colourOf), output}).status,
            0);

        std::vector<std::string> compose = {"--quiet", tileset, dir / "composed.lvl"};
        for (int i = 0; i < colours; ++i) {
            const std::string cells = i == 0 && whiteListed ? "a." : std::string(1, char('a' + i));
            const auto cell = [&](int x, int y) {
                return cells.find(rows[std::size_t(y)][std::size_t(x)]) != std::string::npos;
            };
            if (std::any_of(rows.begin(), rows.end(), [&](const std::string& row) {
                    return row.find_first_of(cells) != std::string::npos;
                })) {
                const std::string map = dir / ("map" + std::to_string(i) + ".bmp");
                BmpBuilder(width, int(rows.size()))
                    .Pixels([&](int x, int y) { return cell(x, y) ? 0 : 1; })
                    .WriteTo(map);
                compose.push_back(std::to_string(tiles[i]) + ":" + map);
            }
        }
        if (compose.size() == 3) {
            EXPECT_EQ(ReadWholeFile(output), ReadWholeFile(tileset));
            continue;
        }
        std::ostringstream out;
        ASSERT_EQ(cli::ComposeCommand().Main(compose, out, out), 0) << out.str();
        EXPECT_EQ(ReadWholeFile(output), ReadWholeFile(dir / "composed.lvl"));
    }
}

// A level in colour: ground, platforms, coins.
const std::vector<std::string> kLevel = {"......c.c.......",  //
                                         "....pppppp....gg",  //
                                         ".c.............g",  //
                                         "ggggg....gggg..g",  //
                                         "gggggggggggggggg"};
const std::string kLegend =
    "GIMP Palette\n  0   0   0\tground 171\n128 128 128\tplatform 104\n200 200 200\tcoin 23\n";

// What is wrong is told, and nothing is written.
TEST_F(PaintCommandTest, RefusalsAndFailuresLeaveTheOutputAsItWas) {
    QImage strange(16, 2, QImage::Format_ARGB32);
    strange.fill(qRgb(128, 128, 128));
    strange.setPixel(1, 0, qRgb(1, 2, 3));
    strange.setPixel(3, 1, qRgba(1, 2, 3, 200));
    for (int i = 0; i < 9; ++i) {
        strange.setPixel(i + 4, 0, qRgb(50, 50, i));  // nine colours more: seven are named
    }
    Save(strange, dir / "strange.png");
    Save(QImage(4097, 2, QImage::Format_ARGB32), dir / "wide.png");
    WriteWholeFile(dir / "d.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'/>");
    WriteWholeFile(palette, kLegend);
    std::vector<std::string> unknown = {
        "cause: '" + dir / "strange.png" + "' has 11 pixels of colours that the palette '" +
            palette +
            "' does not list (transparent pixels, and white ones that it does not list, are empty "
            "cells)",
        "cause: (1, 2, 3) #010203: 2 pixels, the first at x 1, y 0"};
    for (int i = 0; i < 7; ++i) {
        unknown.push_back("cause: (50, 50, " + std::to_string(i) + ") #3232" + "0" +
                          std::to_string(i) + ": 1 pixel, the first at x " + std::to_string(i + 4) +
                          ", y 0");
    }
    unknown.push_back("cause: and 2 pixels of other colours");
    unknown.push_back(
        "hint: draw with the palette's colours only, with a pencil and no anti-aliasing (a soft "
        "brush, smoothing or scaling mixes new colours), or let each pixel take its nearest "
        "palette colour or white: quorbel-lvl paint --nearest '" +
        tileset + "' '" + palette + "' '" + dir / "strange.png" + "' '" + output + "'");
    struct Case {
        const char* name;
        std::string picture;
        std::string palette;
        int status;
        std::vector<std::string> err;
    } const cases[] = {
        {"unknown colours", dir / "strange.png", palette, 2, unknown},
        {"larger than 4096",
         dir / "wide.png",
         palette,
         2,
         {"cause: '" + dir / "wide.png" +
              "' is 4097 x 2 pixels; a record holds x and y in 12 "
              "bits, so a drawing has at most 4096 x 4096",
          "hint: scale it down without making new colours (one pixel is one cell): convert '" +
              dir / "wide.png" + "' -filter point -resize 4096x4096 '" + dir / "wide-4096.png" +
              "'"}},
        {"an SVG drawing",
         dir / "d.svg",
         palette,
         2,
         {"cause: '" + dir / "d.svg" +
              "' is an SVG drawing, which has no pixels; paint takes a "
              "picture whose every pixel is one cell (PNG, BMP, GIF, ...)",
          "hint: export the drawing as a PNG of one pixel per cell, without anti-aliasing, and "
          "paint that PNG"}},
    };
    for (const Case& c : cases) {
        const Outcome run = Paint({tileset, c.palette, c.picture, output});
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
        EXPECT_EQ(Lines(run.err), c.err) << c.name;
        EXPECT_EQ(ReadWholeFile(output), "earlier") << c.name;
    }
    WriteWholeFile(dir / "terrain.gpl", "GIMP Palette\n9 9 9 grass\n");
    EXPECT_EQ(Paint({tileset, dir / "terrain.gpl", picture, output}).err,
              "quorbel-lvl paint: the palette's colour (9, 9, 9) 'grass' (line 2) ends in the "
              "terrain name 'grass', and no --rules FILE gives its tiles: give its tiles in a "
              "rules file, or end its name in a tile number\n");
}

TEST_F(PaintCommandTest, WarningsThenWhatWasWritten) {
    BmpBuilder(16, 32).WriteTo(tileset);  // holds tiles 1 and 20
    WriteWholeFile(palette,
                   "GIMP Palette\n0 0 0 ground 1\n128 128 128 platform 20\n"
                   "200 200 200 coin 23\n7 7 7 lava 0\n");
    WriteWholeFile(dir / "rules.txt", "terrain grass\nfill 1\n");
    Save(Drawing(kLevel,
                 {{'g', qRgb(0, 0, 0)}, {'p', qRgb(128, 128, 128)}, {'c', qRgb(200, 200, 200)}}),
         picture);
    const std::vector<std::string> warnings = {
        "quorbel-lvl paint: warning: " + dir / "rules.txt" +
            ":1: the palette has no terrain 'grass', so this block "
            "is not used",
        "quorbel-lvl paint: warning: " + palette + ":5: no pixel of '" + picture +
            "' has the colour (7, 7, 7) of 'lava 0'",
        "quorbel-lvl paint: warning: tile 23 has no 16 x 16 cell in the tileset (16 x 32 pixels "
        "holds the first cell "
        "of each row of 19: tiles 1..1, 20..20)"};
    Outcome run = Paint({"--rules", dir / "rules.txt", tileset, palette, picture, output});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> expected = warnings;
    expected.push_back("wrote " + output +
                       ": 38 records of 3 colours (29 of 'ground 1', 6 of "
                       "'platform 20', 3 of 'coin 23')");
    EXPECT_EQ(Lines(run.err), expected);
    run = Paint({"--quiet", "--rules", dir / "rules.txt", tileset, palette, picture, output});
    EXPECT_EQ(Lines(run.err), warnings);
}

// The bundled drawing, palette and rules: no warning, and each of the terrain's pieces where the
// floating island of ground (x 41..50, y 10..13) has its corners and edges.
TEST_F(PaintCommandTest, TheBundledDrawingPaintsItsTerrain) {
    const std::string samples = QUORBEL_SAMPLES_DIR "/sample-";
    const Outcome run = Paint({"--rules", samples + "rules.txt", samples + "tileset.bmp",
                               samples + "palette.gpl", samples + "drawing.png", output});
    EXPECT_EQ(run.err, "wrote " + output +
                           ": 722 records of 3 colours (656 of 'ground grass', "
                           "36 of 'platform 184', 30 of 'coin 23')\n");
    std::map<std::pair<int, int>, int> tileAt;
    for (const Tile& t : test::model::RecordsOf(ReadWholeFile(output),
                                                ReadWholeFile(samples + "tileset.bmp").size())) {
        tileAt[{t.x, t.y}] = t.tile;
    }
    const std::vector<std::tuple<int, int, int, int>> pieces = {
        // x, y, one tile or another
        {41, 10, 172, 172}, {45, 10, 173, 174}, {50, 10, 175, 175}, {41, 11, 176, 176},
        {45, 12, 177, 178}, {50, 12, 179, 179}, {41, 13, 180, 180}, {45, 13, 181, 181},
        {50, 13, 182, 182}, {0, 39, 177, 178}};  // no edge at the picture's edge: outside X
    for (const auto& [x, y, one, other] : pieces) {
        const int tile = tileAt[{x, y}];
        EXPECT_TRUE(tile == one || tile == other) << x << ", " << y << ": tile " << tile;
    }
}

}  // namespace
}  // namespace quorbel::render
