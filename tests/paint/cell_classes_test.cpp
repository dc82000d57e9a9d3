#include "paint/cell_classes.h"

#include <gtest/gtest.h>

namespace quorbel::paint {
namespace {

std::vector<LegendEntry> Legend(std::initializer_list<Rgb> colours) {
    std::vector<LegendEntry> legend;
    for (const Rgb& colour : colours) {
        legend.push_back({colour, "c", 0, 1, ""});
    }
    return legend;
}

constexpr Rgb kRed{200, 0, 0};
constexpr Rgb kBlue{0, 0, 200};
constexpr Rgb kAlmostYellow{255, 255, 1};
constexpr Rgb kWhite{255, 255, 255};

TEST(CellClassesTest, EachPixelIsAnEntryEmptyOrUnknown) {
    const auto plain = Legend({kRed, kBlue, kAlmostYellow});
    const auto withWhite = Legend({kRed, kWhite});
    struct Case {
        const char* name;
        const std::vector<LegendEntry>& legend;
        bool nearest;
        std::uint32_t pixel;
        std::uint32_t cell;
    } const cases[] = {
        {"transparent, of a palette colour", plain, false, ArgbWord(127, kRed), kEmptyCell},
        {"alpha 128 is opaque", plain, false, ArgbWord(128, kRed), 0},
        {"listed", plain, false, ArgbWord(255, kBlue), 1},
        {"white, not listed", plain, false, ArgbWord(255, kWhite), kEmptyCell},
        {"white, listed", withWhite, false, ArgbWord(255, kWhite), 1},
        {"unknown", plain, false, ArgbWord(255, {1, 2, 3}), kUnknownCell},
        {"nearest: closest entry", plain, true, ArgbWord(255, {10, 0, 180}), 1},
        {"nearest: a tie goes to the earlier line", plain, true, ArgbWord(255, {100, 0, 100}), 0},
        {"nearest: a tie with white goes to the entry", plain, true, ArgbWord(255, {255, 255, 128}),
         2},
        {"nearest: white when it is closer", plain, true, ArgbWord(255, {255, 255, 129}),
         kEmptyCell},
        {"nearest: transparent stays empty", plain, true, ArgbWord(100, kRed), kEmptyCell},
        {"nearest: listed white is its entry", withWhite, true, ArgbWord(255, kWhite), 1},
    };
    for (const Case& c : cases) {
        ColourClasses classes(c.legend, c.nearest);
        EXPECT_EQ(classes.ClassOf(c.pixel), c.cell) << c.name;
        EXPECT_EQ(classes.ClassOf(c.pixel), c.cell) << c.name << ", asked again";
    }
}

// As Qt draws such pictures: an index past the table is transparent, an empty table a grey ramp;
// the pixels of unknown colours are counted in reading order.
TEST(CellClassesTest, ColourIndexesTakeTheirTablesColours) {
    const auto legend = Legend({kRed, {3, 3, 3}});
    const std::uint8_t indexes[] = {0, 1, 2, 9, /* row 2, after a padding byte: */ 1, 3, 0, 0};
    const std::uint32_t table[] = {ArgbWord(255, kRed), ArgbWord(255, {9, 9, 9}),
                                   ArgbWord(0, kRed)};
    ColourClasses classes(legend, false);
    UnknownColours unknown;
    const CellGrid grid = ClassifyIndexedPixels(indexes, 4, 3, 2, table, classes, unknown);
    const std::uint32_t expected[6] = {0, kUnknownCell, kEmptyCell, kUnknownCell, kEmptyCell, 0};
    for (int at = 0; at < 6; ++at) {
        EXPECT_EQ(grid.ClassAt(at % 3, at / 3), expected[at]) << at;
    }
    ASSERT_EQ(unknown.Pixels(), 2u);
    EXPECT_EQ(unknown.Named()[0].pixels, 2u);
    EXPECT_EQ(unknown.Named()[0].x, 1);
    const CellGrid grey = ClassifyIndexedPixels(indexes, 4, 3, 2, {}, classes, unknown);
    EXPECT_EQ(grey.ClassAt(0, 1), kUnknownCell);  // index 1: (1, 1, 1)
    EXPECT_EQ(grey.ClassAt(1, 1), 1u);            // index 3: (3, 3, 3)
}

}  // namespace
}  // namespace quorbel::paint
