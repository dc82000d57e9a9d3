#include "render/paint_command.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
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
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, format)) << format;
    WriteWholeFile(path, bytes.toStdString());
}

class PaintCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BmpBuilder(304, 160).WriteTo(tileset);
        WriteWholeFile(output, "earlier");
    }

    // The records after the tileset's prefix.
    std::vector<Tile> Records() const {
        return test::model::RecordsOf(ReadWholeFile(output), ReadWholeFile(tileset).size());
    }

    test::ScratchDir dir;
    std::string tileset = dir / "tiles.bmp";
    std::string palette = dir / "legend.gpl";
    std::string picture = dir / "drawing.png";
    std::string output = dir / "level.lvl";
};

// Random drawings over random palettes (shared tile numbers, white listed or not): the level is
// byte for byte what compose makes of one 1-bit map per colour that has cells, in palette order.
TEST_F(PaintCommandTest, PaintIsComposeOfOneMapPerColour) {
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
        Save(Drawing(rows, colourOf), picture);
        ASSERT_EQ(Paint({"--quiet", tileset, palette, picture, output}).status, 0);

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
            EXPECT_EQ(Records(), std::vector<Tile>{});
            continue;
        }
        std::ostringstream out;
        ASSERT_EQ(cli::ComposeCommand().Main(compose, out, out), 0) << out.str();
        EXPECT_EQ(ReadWholeFile(output), ReadWholeFile(dir / "composed.lvl"));
    }
}

const std::vector<std::string> kLevel = {"......c.c.......",  //
                                         "....pppppp....gg",  //
                                         ".c.............g",  //
                                         "ggggg....gggg..g",  //
                                         "gggggggggggggggg"};
const std::string kLegend =
    "GIMP Palette\n  0   0   0\tground 171\n128 128 128\tplatform 104\n200 200 200\tcoin 23\n";

// The same drawing as the pictures that paint programs and tools save, in every pixel format Qt
// hands paint (32-bit with and without alpha, colour indexes, grey values): the same level.
TEST_F(PaintCommandTest, EveryKindOfPictureGivesTheSameLevel) {
    ASSERT_NE(std::string(QUORBEL_IMAGEMAGICK), "") << "ImageMagick: bash scripts/install-deps";
    const QImage drawing = Drawing(
        kLevel, {{'g', qRgb(0, 0, 0)}, {'p', qRgb(128, 128, 128)}, {'c', qRgb(200, 200, 200)}});
    QImage onWhite(drawing.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    QPainter(&onWhite).drawImage(0, 0, drawing);
    const QList<QRgb> table = {qRgba(0, 0, 0, 0), qRgb(0, 0, 0), qRgb(128, 128, 128),
                               qRgb(200, 200, 200)};
    Save(drawing, dir / "source.png");
    struct Case {
        const char* name;
        std::function<std::string()> make;  // the picture's path
    } const cases[] = {
        {"PNG, transparent background", [&] { return dir / "source.png"; }},
        {"24-bit BMP, white background",
         [&] {
             Save(onWhite, picture, "BMP");
             return picture;
         }},
        {"PNG of grey values",
         [&] {
             Save(onWhite.convertToFormat(QImage::Format_Grayscale8), picture);
             return picture;
         }},
        {"PNG of colour indexes",
         [&] {
             Save(drawing.convertToFormat(QImage::Format_Indexed8, table), picture);
             return picture;
         }},
        {"ImageMagick's GIF",
         [&] {
             EXPECT_EQ(test::RunProcess(QUORBEL_IMAGEMAGICK, {dir / "source.png", dir / "im.gif"})
                           .exitStatus,
                       0);
             return dir / "im.gif";
         }},
    };
    WriteWholeFile(palette, kLegend);
    const auto expected = test::model::PaintedTiles(
        kLevel, {{'g', 171, nullptr}, {'p', 104, nullptr}, {'c', 23, nullptr}});
    for (const Case& c : cases) {
        const Outcome run = Paint({"--quiet", tileset, palette, c.make(), output});
        EXPECT_EQ(run.status, 0) << c.name << "\n" << run.err;
        EXPECT_EQ(Records(), expected) << c.name;
    }
}

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
    WriteWholeFile(dir / "terrain.gpl", "GIMP Palette\n128 128 128 floor\n128 128 128 grass\n");
    WriteWholeFile(palette, kLegend);
    std::vector<std::string> unknown = {
        "cause: '" + dir / "strange.png" + "' has 11 pixels of colours that the palette '" +
            palette + "' does not list (white and transparent pixels are empty cells)",
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
        {"a colour listed twice",
         dir / "strange.png",
         dir / "terrain.gpl",
         1,
         {"quorbel-lvl paint: " + dir / "terrain.gpl" +
          ":3: the colour (128, 128, 128) is listed "
          "again; line 2 has it already ('floor'): a colour stands for one kind of cell"}},
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
        "warning: " + dir / "rules.txt" +
            ":1: the palette has no terrain 'grass', so this block "
            "is not used",
        "warning: " + palette + ":5: no pixel of '" + picture +
            "' has the colour (7, 7, 7) of 'lava 0'",
        "warning: tile 23 has no 16 x 16 cell in the tileset (16 x 32 pixels holds the first cell "
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
