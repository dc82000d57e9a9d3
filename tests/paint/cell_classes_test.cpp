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
        {"transparent, of no palette colour", plain, false, ArgbWord(0, {1, 2, 3}), kEmptyCell},
        {"unknown", plain, false, ArgbWord(255, {1, 2, 3}), kUnknownCell},
        {"almost white is unknown", plain, false, ArgbWord(255, {254, 255, 255}), kUnknownCell},
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

// Ten unknown colours in a row of 12 pixels after two of the palette's; the second row repeats
// the first colour. The first eight are named in reading order, all are counted.
TEST(CellClassesTest, UnknownColoursAreNamedInReadingOrderAndAllCounted) {
    const auto legend = Legend({kRed});
    std::vector<std::uint32_t> pixels;
    for (int x = 0; x < 12; ++x) {
        pixels.push_back(x < 2 ? ArgbWord(255, kRed) : ArgbWord(255, {std::uint8_t(x), 0, 0}));
    }
    pixels.insert(pixels.end(), 12, ArgbWord(255, {2, 0, 0}));
    ColourClasses classes(legend, false);
    UnknownColours unknown;
    const CellGrid grid = ClassifyArgbPixels(pixels.data(), 12, 12, 2, classes, unknown);
    EXPECT_EQ(grid.ClassAt(1, 0), 0u);
    EXPECT_EQ(grid.ClassAt(2, 0), kUnknownCell);
    EXPECT_EQ(unknown.Pixels(), 22u);
    ASSERT_EQ(unknown.Named().size(), 8u);
    EXPECT_EQ(unknown.Named()[0].colour, (Rgb{2, 0, 0}));
    EXPECT_EQ(unknown.Named()[0].pixels, 13u);
    EXPECT_EQ(unknown.Named()[7].colour, (Rgb{9, 0, 0}));
    EXPECT_EQ(unknown.Named()[7].pixels, 1u);
    EXPECT_EQ(unknown.Named()[7].x, 9);
    EXPECT_EQ(unknown.Named()[7].y, 0);
}

// As Qt draws such pictures: an index past the table is transparent, an empty table is a grey
// ramp.
TEST(CellClassesTest, ColourIndexesTakeTheirTablesColours) {
    const auto legend = Legend({kRed, {3, 3, 3}});
    const std::uint8_t indexes[] = {0, 1, 2, 9, /* row 2, after a padding byte: */ 1, 3, 0, 0};
    const std::uint32_t table[] = {ArgbWord(255, kRed), ArgbWord(255, {9, 9, 9}),
                                   ArgbWord(0, kRed)};
    ColourClasses classes(legend, false);
    UnknownColours unknown;
    const CellGrid grid = ClassifyIndexedPixels(indexes, 4, 3, 2, table, classes, unknown);
    const std::uint32_t expected[2][3] = {{0, kUnknownCell, kEmptyCell},
                                          {kUnknownCell, kEmptyCell, 0}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(grid.ClassAt(x, y), expected[y][x]) << x << ", " << y;
        }
    }
    EXPECT_EQ(unknown.Pixels(), 2u);
    EXPECT_EQ(unknown.Named()[0].x, 1);

    UnknownColours none;
    const CellGrid grey = ClassifyIndexedPixels(indexes, 4, 3, 2, {}, classes, none);
    EXPECT_EQ(grey.ClassAt(0, 1), kUnknownCell);  // index 1: (1, 1, 1)
    EXPECT_EQ(grey.ClassAt(1, 1), 1u);            // index 3: (3, 3, 3)
}

}  // namespace
}  // namespace quorbel::paint
