#include "paint/gimp_palette.h"

#include <gtest/gtest.h>

#include "base/errors.h"

namespace quorbel::paint {
namespace {

LegendEntry Tile(Rgb colour, const std::string& name, int line, int tile) {
    return LegendEntry{colour, name, line, static_cast<std::uint8_t>(tile), ""};
}
LegendEntry Terrain(Rgb colour, const std::string& name, int line, const std::string& terrain) {
    return LegendEntry{colour, name, line, std::nullopt, terrain};
}

TEST(GimpPaletteTest, ReadsWhatPaintProgramsAndPeopleWrite) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<LegendEntry> entries;
    } const cases[] = {
        {"as GIMP writes it",
         "GIMP Palette\nName: Level\nColumns: 4\n#\n139  90  43\tground 171\n 34 160  40\tgrass\n"
         "255 215   0\tUntitled 23\n",
         {Tile({139, 90, 43}, "ground 171", 5, 171), Terrain({34, 160, 40}, "grass", 6, "grass"),
          Tile({255, 215, 0}, "Untitled 23", 7, 23)}},
        {"by hand, single spaces, no final line break",
         "GIMP Palette\n0 0 0 wall 0\n255 255 255 sky 255",
         {Tile({0, 0, 0}, "wall 0", 2, 0), Tile({255, 255, 255}, "sky 255", 3, 255)}},
        {"byte order mark, CR LF, blanks around, comments and blank lines",
         "\xEF\xBB\xBFGIMP Palette\r\n\r\n  # a comment\r\n\t 10 020 3   old  stone  wall 7 \t\r\n",
         {Tile({10, 20, 3}, "old  stone  wall 7", 4, 7)}},
        {"a name ending in a word with digits is a terrain",
         "GIMP Palette\n1 2 3 grass2\n",
         {Terrain({1, 2, 3}, "grass2", 2, "grass2")}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseGimpPalette(c.text, "p.gpl"), c.entries) << c.name;
    }
}

// Each refusal names the file and line, and begins with what it found.
TEST(GimpPaletteTest, RefusesWithFileLineAndWhatIsWrong) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "p.gpl:1: the file is empty; a GIMP palette begins with the line 'GIMP Palette'"},
        {"JASC-PAL\n0100\n", "p.gpl:1: the first line is 'JASC-PAL'; a GIMP palette begins"},
        {"GIMP Palette\n# nothing\n", "p.gpl: the palette lists no colour"},
        {"GIMP Palette\n1 2 3 a 4\nred 0 0 b 5\n", "p.gpl:3: 'red 0 0 b 5' is no colour line"},
        {"GIMP Palette\n0 256 0 a 4\n", "p.gpl:2: the green value '256' is not in 0..255"},
        {"GIMP Palette\n\n0 0 9\n", "p.gpl:3: the colour (0, 0, 9) has no name"},
        {"GIMP Palette\n0 0 9 ground 300\n",
         "p.gpl:2: the name 'ground 300' ends in '300', which is no tile number 0..255"},
        {"GIMP Palette\n0 0 9 ground -1\n", "p.gpl:2: the name 'ground -1' ends in '-1', which"},
        {"GIMP Palette\n0 0 9 a 1\n# again\n000 0 9 b 2\n",
         "p.gpl:4: the colour (0, 0, 9) is listed again; line 2 has it already ('a 1')"},
        {"GIMP Palette\n0 0 9 grass\n0 0 8 top grass\n",
         "p.gpl:3: the terrain 'grass' has a colour already on line 2: a terrain is one colour"},
    };
    for (const auto& [text, message] : cases) {
        try {
            ParseGimpPalette(text, "p.gpl");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const RunTimeError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(message)) << error.what();
        }
    }
}

}  // namespace
}  // namespace quorbel::paint
