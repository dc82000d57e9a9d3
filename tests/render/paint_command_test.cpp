#include "render/paint_command.h"

#include <gtest/gtest.h>

#include <QBuffer>
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
using test::model::Kind;
using test::model::Tile;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome Paint(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = PaintCommand().Main(args, out, err);
    return {status, out.str(), err.str()};
}

// A drawing of letters, each letter's pixels of its colour; letters without a colour are
// transparent.
QImage Drawing(const std::vector<std::string>& rows, const std::map<char, QRgb>& colours) {
    QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
                 QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const auto colour =
                colours.find(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
            image.setPixel(x, y, colour == colours.end() ? qRgba(0, 0, 0, 0) : colour->second);
        }
    }
    return image;
}

void Save(const QImage& image, const std::string& path, const char* format) {
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
    std::string rules = dir / "rules.txt";
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
        std::string legend = "GIMP Palette\n";
        std::map<char, QRgb> colourOf = {{'.', qRgb(255, 255, 255)}};
        std::vector<int> tiles;
        for (int i = 0; i < colours; ++i) {
            const QRgb colour = i == 0 && uniform(0, 3) == 0 ? qRgb(255, 255, 255)
                                                             : qRgb(uniform(0, 254), i * 40, 7);
            tiles.push_back(uniform(0, 3) == 0 && i > 0 ? tiles[0] : uniform(0, 255));
            colourOf[static_cast<char>('a' + i)] = colour;
            legend += std::to_string(qRed(colour)) + " " + std::to_string(qGreen(colour)) + " " +
                      std::to_string(qBlue(colour)) + "\tkind " + std::to_string(tiles.back()) +
                      "\n";
        }
        WriteWholeFile(palette, legend);
        const int width = uniform(1, 70);
        std::vector<std::string> rows(static_cast<std::size_t>(uniform(1, 40)));
        for (std::string& row : rows) {
            for (int x = 0; x < width; ++x) {
                row += uniform(0, 2) == 0 ? " ."[uniform(0, 1)]
                                          : static_cast<char>('a' + uniform(0, colours - 1));
            }
        }
        Save(Drawing(rows, colourOf), picture, "PNG");
        const Outcome painted = Paint({"--quiet", tileset, palette, picture, output});
        ASSERT_EQ(painted.status, 0) << painted.err;

        std::vector<std::string> compose = {"--quiet", tileset, dir / "composed.lvl"};
        for (int i = 0; i < colours; ++i) {
            const char letter = static_cast<char>('a' + i);
            const bool white = colourOf[letter] == qRgb(255, 255, 255);
            const auto cell = [&](int x, int y) {
                const char at = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                return at == letter || (white && at == '.');
            };
            bool any = false;
            for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
                for (int x = 0; x < width; ++x) {
                    any = any || cell(x, y);
                }
            }
            if (any) {
                const std::string map = dir / ("map" + std::to_string(i) + ".bmp");
                BmpBuilder(width, static_cast<int>(rows.size()))
                    .Pixels([&](int x, int y) { return cell(x, y) ? 0 : 1; })
                    .WriteTo(map);
                compose.push_back(std::to_string(tiles[static_cast<std::size_t>(i)]) + ":" + map);
            }
        }
        if (compose.size() == 3) {
            EXPECT_EQ(Records(), std::vector<Tile>{});
            continue;
        }
        std::ostringstream out;
        std::ostringstream err;
        ASSERT_EQ(cli::ComposeCommand().Main(compose, out, err), 0) << err.str();
        EXPECT_EQ(ReadWholeFile(output), ReadWholeFile(dir / "composed.lvl"));
    }
}

const std::vector<std::string> kLevel = {
    "......c.c.......",  //
    "....pppppp....gg",  //
    ".c.............g",  //
    "ggggg....gggg..g",  //
    "gggggggggggggggg",
};
const std::map<char, QRgb> kColours = {
    {'g', qRgb(139, 90, 43)}, {'p', qRgb(128, 128, 128)}, {'c', qRgb(255, 215, 0)}};
const std::string kLegend =
    "GIMP Palette\n139  90  43\tground 171\n128 128 128\tplatform 104\n255 215   0\tcoin 23\n";
const std::vector<Kind> kKinds = {{'g', 171, nullptr}, {'p', 104, nullptr}, {'c', 23, nullptr}};

// The same drawing as the pictures that paint programs and tools save: every pixel format Qt
// gives paint comes to the same level.
TEST_F(PaintCommandTest, EveryKindOfPictureGivesTheSameLevel) {
    ASSERT_NE(std::string(QUORBEL_IMAGEMAGICK), "") << "ImageMagick: bash scripts/install-deps";
    const QImage drawing = Drawing(kLevel, kColours);
    QImage onWhite(drawing.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            if (qAlpha(drawing.pixel(x, y)) == 255) {
                onWhite.setPixel(x, y, drawing.pixel(x, y));
            }
        }
    }
    QImage indexed(drawing.size(), QImage::Format_Indexed8);
    indexed.setColorTable(
        {qRgba(255, 0, 0, 0), kColours.at('g'), kColours.at('p'), kColours.at('c')});
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            const char letter = kLevel[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            indexed.setPixel(x, y, letter == 'g' ? 1 : letter == 'p' ? 2 : letter == 'c' ? 3 : 0);
        }
    }
    QImage blurred = onWhite;
    blurred.setPixel(4, 3, qRgb(141, 88, 40));    // ground, a little off
    blurred.setPixel(6, 0, qRgb(250, 210, 30));   // a coin
    blurred.setPixel(0, 0, qRgb(240, 250, 245));  // all but white
    const auto byImageMagick = [&](const char* name) {
        Save(drawing, dir / "source.png", "PNG");
        const auto result = test::RunProcess(QUORBEL_IMAGEMAGICK, {dir / "source.png", dir / name});
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return dir / name;
    };
    struct Case {
        const char* name;
        std::function<std::string()> make;  // the picture's path
        std::vector<std::string> options;
    } const cases[] = {
        {"PNG, transparent background",
         [&] {
             Save(drawing, picture, "PNG");
             return picture;
         },
         {}},
        {"PNG, white background",
         [&] {
             Save(onWhite, picture, "PNG");
             return picture;
         },
         {}},
        {"PNG of colour indexes, one transparent",
         [&] {
             Save(indexed, picture, "PNG");
             return picture;
         },
         {}},
        {"24-bit BMP",
         [&] {
             Save(onWhite, dir / "d.bmp", "BMP");
             return dir / "d.bmp";
         },
         {}},
        {"ImageMagick's PNG", [&] { return byImageMagick("im.png"); }, {}},
        {"ImageMagick's GIF", [&] { return byImageMagick("im.gif"); }, {}},
        {"anti-aliased, --nearest",
         [&] {
             Save(blurred, picture, "PNG");
             return picture;
         },
         {"--nearest"}},
    };
    WriteWholeFile(palette, kLegend);
    const auto expected = test::model::PaintedTiles(kLevel, kKinds);
    for (const Case& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"--quiet", tileset, palette, c.make(), output});
        const Outcome run = Paint(args);
        EXPECT_EQ(run.status, 0) << c.name << "\n" << run.err;
        EXPECT_EQ(run.err, "") << c.name;
        EXPECT_EQ(Records(), expected) << c.name;
    }

    // Grey and black-and-white pictures come as other formats; their colours are their own.
    const std::vector<Kind> grey = {{'g', 5, nullptr}, {'c', 6, nullptr}};
    QImage greyDrawing(drawing.size(), QImage::Format_Grayscale8);
    QImage mono(drawing.size(), QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            const char letter = kLevel[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            greyDrawing.setPixel(x, y,
                                 letter == 'g'   ? qRgb(0, 0, 0)
                                 : letter == 'c' ? qRgb(90, 90, 90)
                                                 : qRgb(255, 255, 255));
            mono.setPixel(x, y, letter == 'g' ? 1 : 0);
        }
    }
    WriteWholeFile(palette, "GIMP Palette\n0 0 0 wall 5\n90 90 90 coin 6\n");
    Save(greyDrawing, picture, "PNG");
    EXPECT_EQ(Paint({"--quiet", tileset, palette, picture, output}).status, 0);
    EXPECT_EQ(Records(), test::model::PaintedTiles(kLevel, grey));
    Save(mono, dir / "mono.bmp", "BMP");
    EXPECT_EQ(Paint({"--quiet", tileset, palette, dir / "mono.bmp", output}).status, 0);
    EXPECT_EQ(Records(), test::model::PaintedTiles(kLevel, {grey[0]}));
}

// What is wrong is told, and nothing is written.
TEST_F(PaintCommandTest, RefusalsAndFailuresLeaveTheOutputAsItWas) {
    QImage strange = Drawing(kLevel, kColours);
    strange.setPixel(1, 0, qRgb(1, 2, 3));
    strange.setPixel(3, 2, qRgb(1, 2, 3));
    strange.setPixel(0, 4, qRgba(9, 9, 9, 200));
    for (int i = 0; i < 9; ++i) {
        strange.setPixel(i, 1, qRgb(50, 50, i));  // nine colours more: eight are named
    }
    Save(strange, dir / "strange.png", "PNG");
    Save(QImage(4097, 2, QImage::Format_ARGB32), dir / "wide.png", "PNG");
    Save(Drawing(kLevel, kColours), picture, "PNG");
    WriteWholeFile(dir / "notes.txt", "no picture");
    WriteWholeFile(dir / "d.svg",
                   "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'>"
                   "<rect width='4' height='4' fill='#FFD700'/></svg>");
    WriteWholeFile(dir / "bad.gpl", "GIMP Palette\n1 2 3 a 4\n1 2 3 b 5\n");
    WriteWholeFile(dir / "terrain.gpl", kLegend + "10 10 10\tgrass\n");
    WriteWholeFile(rules, "terrain grass\nrule 1\n");
    WriteWholeFile(dir / "short.bmp", BmpBuilder(16, 16).Bytes().substr(0, 40));
    WriteWholeFile(palette, kLegend);
    const std::string nearest =
        "hint: draw with the palette's colours only, with a pencil and no "
        "anti-aliasing (a soft brush, smoothing or scaling mixes new "
        "colours), or let each pixel take its nearest palette colour or "
        "white: quorbel-lvl paint --nearest '" +
        tileset + "' '" + palette + "' '" + dir / "strange.png" + "' '" + output + "'";
    const std::string strangeCause = "cause: '" + dir / "strange.png" +
                                     "' has 12 pixels of colours that the palette '" + palette +
                                     "' does not list (white and transparent pixels are empty "
                                     "cells)";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::vector<std::string> err;  // its lines, or only its first when partOfFirst
        bool wholeErr = true;
    } const cases[] = {
        {"unknown colours",
         {tileset, palette, dir / "strange.png", output},
         2,
         {strangeCause, "cause: (1, 2, 3) #010203: 2 pixels, the first at x 1, y 0",
          "cause: (50, 50, 0) #323200: 1 pixel, the first at x 0, y 1",
          "cause: (50, 50, 1) #323201: 1 pixel, the first at x 1, y 1",
          "cause: (50, 50, 2) #323202: 1 pixel, the first at x 2, y 1",
          "cause: (50, 50, 3) #323203: 1 pixel, the first at x 3, y 1",
          "cause: (50, 50, 4) #323204: 1 pixel, the first at x 4, y 1",
          "cause: (50, 50, 5) #323205: 1 pixel, the first at x 5, y 1",
          "cause: (50, 50, 6) #323206: 1 pixel, the first at x 6, y 1",
          "cause: and 3 pixels of other colours", nearest}},
        {"larger than 4096",
         {tileset, palette, dir / "wide.png", output},
         2,
         {"cause: '" + dir / "wide.png" +
              "' is 4097 x 2 pixels; a record holds x and y in 12 bits, so a drawing has at most "
              "4096 x 4096",
          "hint: scale it down without making new colours (one pixel is one cell): convert '" +
              dir / "wide.png" + "' -filter point -resize 4096x4096 '" + dir / "wide-4096.png" +
              "'"}},
        {"an SVG drawing",
         {tileset, palette, dir / "d.svg", output},
         2,
         {"cause: '" + dir / "d.svg" +
              "' is an SVG drawing, which has no pixels; paint takes a picture whose every pixel "
              "is one cell (PNG, BMP, GIF, ...)",
          "hint: export the drawing as a PNG of one pixel per cell, without anti-aliasing, and "
          "paint that PNG"}},
        {"a colour listed twice",
         {tileset, dir / "bad.gpl", picture, output},
         1,
         {"quorbel-lvl paint: " + dir / "bad.gpl" +
          ":3: the colour (1, 2, 3) is listed again; line 2 has it already ('a 4'): a colour "
          "stands for one kind of cell"}},
        {"a terrain without rules",
         {tileset, dir / "terrain.gpl", picture, output},
         1,
         {"quorbel-lvl paint: the palette's colour (10, 10, 10) 'grass' (line 5) ends in the "
          "terrain name 'grass', and no --rules FILE gives its tiles: give its tiles in a rules "
          "file, or end its name in a tile number"}},
        {"rules cut short",
         {"--rules", rules, tileset, dir / "terrain.gpl", picture, output},
         1,
         {"quorbel-lvl paint: " + rules + ":2: the rule has 0 of its 3 rows of cells"}},
        {"no palette",
         {tileset, dir / "none.gpl", picture, output},
         1,
         {"quorbel-lvl paint: "},
         false},
        {"no picture",
         {tileset, palette, dir / "notes.txt", output},
         1,
         {"quorbel-lvl paint: cannot read '" + dir / "notes.txt" + "' as a picture: "},
         false},
        {"a tileset cut short",
         {dir / "short.bmp", palette, picture, output},
         1,
         {"quorbel-lvl paint: "},
         false},
        {"the output is the picture",
         {tileset, palette, picture, picture},
         1,
         {"quorbel-lvl paint: "},
         false},
        {"an operand missing",
         {tileset, palette, picture},
         64,
         {"quorbel-lvl paint: expected TILESET PALETTE PICTURE OUTPUT, got 3 operand(s)"},
         false},
    };
    for (const Case& c : cases) {
        const std::string before = ReadWholeFile(picture);
        const Outcome run = Paint(c.args);
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
        if (c.wholeErr) {
            EXPECT_EQ(Lines(run.err), c.err) << c.name;
        } else {
            EXPECT_TRUE(run.err.starts_with(c.err[0])) << c.name << "\n" << run.err;
        }
        EXPECT_EQ(ReadWholeFile(output), "earlier") << c.name;
        EXPECT_EQ(ReadWholeFile(picture), before) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
    }
}

TEST_F(PaintCommandTest, WarningsThenWhatWasWritten) {
    BmpBuilder(16, 32).WriteTo(tileset);  // holds tiles 1 and 20
    WriteWholeFile(palette,
                   "GIMP Palette\n139 90 43 ground 1\n128 128 128 platform 20\n"
                   "255 215 0 coin 23\n7 7 7 lava 0\n");
    WriteWholeFile(rules, "terrain grass\nfill 1\n");
    Save(Drawing(kLevel, kColours), picture, "PNG");
    const std::vector<std::string> warnings = {
        "warning: " + rules + ":1: the palette has no terrain 'grass', so this block is not used",
        "warning: " + palette + ":5: no pixel of '" + picture +
            "' has the colour (7, 7, 7) of 'lava 0'",
        "warning: tile 23 has no 16 x 16 cell in the tileset (16 x 32 pixels holds the first cell "
        "of each row of 19: tiles 1..1, 20..20)"};
    Outcome run = Paint({"--rules", rules, tileset, palette, picture, output});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> expected = warnings;
    expected.push_back("wrote " + output +
                       ": 38 records of 3 colours (29 of 'ground 1', 6 of 'platform 20', 3 of "
                       "'coin 23')");
    EXPECT_EQ(Lines(run.err), expected);
    run = Paint({"--quiet", "--rules", rules, tileset, palette, picture, output});
    EXPECT_EQ(Lines(run.err), warnings);
}

// The bundled drawing, its palette and its rules: every kind of tile of the terrain where the
// drawing's ground has its corners and edges, and no warning.
TEST_F(PaintCommandTest, TheBundledDrawingPaintsItsTerrain) {
    const std::string samples = QUORBEL_SAMPLES_DIR;
    const Outcome run =
        Paint({"--rules", samples + "/sample-rules.txt", samples + "/sample-tileset.bmp",
               samples + "/sample-palette.gpl", samples + "/sample-drawing.png", output});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "wrote " + output +
                           ": 722 records of 3 colours (656 of 'ground grass', 36 of 'platform "
                           "184', 30 of 'coin 23')\n");
    std::map<std::pair<int, int>, int> tileAt;
    for (const Tile& t : test::model::RecordsOf(
             ReadWholeFile(output), ReadWholeFile(samples + "/sample-tileset.bmp").size())) {
        tileAt[{t.x, t.y}] = t.tile;
    }
    // The floating island of ground, x 41..50, y 10..13.
    const std::vector<std::pair<std::pair<int, int>, std::vector<int>>> island = {
        {{41, 10}, {172}},
        {{45, 10}, {173, 174}},
        {{50, 10}, {175}},
        {{41, 11}, {176}},
        {{45, 12}, {177, 178}},
        {{50, 12}, {179}},
        {{41, 13}, {180}},
        {{45, 13}, {181}},
        {{50, 13}, {182}},
        // The ground runs out at the picture's edges: no edge there.
        {{0, 39}, {177, 178}},
        {{95, 39}, {177, 178}}};
    for (const auto& [at, tiles] : island) {
        EXPECT_NE(std::find(tiles.begin(), tiles.end(), tileAt[at]), tiles.end())
            << at.first << ", " << at.second << ": tile " << tileAt[at];
    }
}

}  // namespace
}  // namespace quorbel::render
