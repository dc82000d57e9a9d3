#include "paint/paint_rules.h"

#include <gtest/gtest.h>

#include "base/errors.h"

namespace quorbel::paint {
namespace {

// The example of the command's help, read whole.
TEST(PaintRulesTest, ReadsABlockIntoItsPatterns) {
    const auto blocks = ParseRules(
        "# the ground\nterrain grass          # the palette entry\noutside X\nfill 171\n"
        "rule 152 153           # a grass top\n  ? . ?\n  X X X\n  ? X ?\n"
        "rule 160\n\t?.?\n\n  . X X  # spaces between cells\n  ? X ?\r\nterrain water\nfill 9\n",
        "r.txt");
    // Bits: 0 above left, 1 above, 2 above right, 3 left, 4 right, 5 below left, 6 below, ...
    const std::vector<TerrainBlock> expected = {
        {"grass",
         2,
         true,
         {171},
         {{{0b01011010, 0b01011000}, {152, 153}, 5}, {{0b01011010, 0b01010000}, {160}, 9}}},
        {"water", 14, false, {9}, {}}};
    EXPECT_EQ(blocks, expected);
}

// Each refusal names the file and line, and begins with what it found.
TEST(PaintRulesTest, RefusesWithFileLineAndWhatIsWrong) {
    const std::string block = "terrain g\nfill 1\n";
    const std::pair<std::string, std::string> cases[] = {
        {"fill 1\n", "r.txt:1: 'fill' comes before any 'terrain NAME' line"},
        {"terrain\n", "r.txt:1: 'terrain' takes one word"},
        {"terrain g\n\noutside X\n", "r.txt:1: the terrain 'g' has no 'fill TILE...' line"},
        {block + "fill 2\n", "r.txt:3: a second 'fill' line for the terrain 'g'"},
        {block + "outside x\n", "r.txt:3: 'outside' takes X"},
        {block + "rule\n", "r.txt:3: 'rule' needs one or more tile numbers"},
        {block + "rule 1 256\n", "r.txt:3: '256' is no tile number 0..255"},
        {block + "rule 1\n???\n?.?\n???\n", "r.txt:5: the centre of a rule is the cell itself"},
        {block + "rule 1\n???\n?X\n", "r.txt:5: row 2 of the rule on line 3 is '?X'; a row is"},
        {block + "rule 1\n???\n?X?\n", "r.txt:3: the rule has 2 of its 3 rows of cells"},
        {block + "X X X\n", "r.txt:3: a row of cells belongs under a rule line"},
        {block + "tile 4\n", "r.txt:3: 'tile' is no keyword"},
        {block + "terrain h\nfill 1\nterrain g\n",
         "r.txt:5: a second block for the terrain 'g' (line 1 starts the first)"},
    };
    for (const auto& [text, message] : cases) {
        try {
            ParseRules(text, "r.txt");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const RunTimeError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(message)) << error.what();
        }
    }
}

}  // namespace
}  // namespace quorbel::paint
