#include "cli/conversion_notes.h"

#include <gtest/gtest.h>

namespace quorbel {
namespace {

const UnmetCondition kWrongDepth{"24 bits per pixel", "the map must have 1", Remedy::Prepare};
const UnmetCondition kTooLarge{"2048 x 1536 pixels", "at most 1024 x 1024", Remedy::ScaleDown};
const UnmetCondition kCutShort{"the file has 310 bytes", "...", Remedy::Remake};

TEST(ConversionNotesTest, CauseLinesSayFoundThenNeeded) {
    const UnmetCondition unmet[] = {kWrongDepth, kTooLarge};
    EXPECT_EQ(CauseLines(unmet),
              (std::vector<std::string>{"cause: 24 bits per pixel; the map must have 1",
                                        "cause: 2048 x 1536 pixels; at most 1024 x 1024"}));
}

TEST(ConversionNotesTest, HintIsThePrepareCommandWhenPrepareMendsEverything) {
    struct Case {
        const char* name;
        std::vector<UnmetCondition> unmet;
        std::string bitmap;
        std::string hint;  // its start; "" for no hint
        std::string program = "quorbel-lvl";
    } const cases[] = {
        {"nothing unmet", {}, "in.bmp", ""},
        {"prepare", {kWrongDepth}, "in.bmp", "hint: quorbel-lvl prepare 'in.bmp' 'in-1bit.bmp'"},
        {"folder and dots",
         {kWrongDepth},
         "my.maps/level 1.png",
         "hint: quorbel-lvl prepare 'my.maps/level 1.png' 'my.maps/level 1-1bit.bmp'"},
        {"no extension",
         {kWrongDepth},
         "maps/map",
         "hint: quorbel-lvl prepare 'maps/map' 'maps/map-1bit.bmp'"},
        {"hidden file", {kWrongDepth}, ".map", "hint: quorbel-lvl prepare '.map' '.map-1bit.bmp'"},
        {"quote in name",
         {kWrongDepth},
         "it's.bmp",
         R"(hint: quorbel-lvl prepare 'it'\''s.bmp' 'it'\''s-1bit.bmp')"},
        {"control and non-UTF-8 bytes",
         {kWrongDepth},
         "a\nb\xFF'.bmp",
         R"(hint: quorbel-lvl prepare $'a\x0Ab\xFF\'.bmp' $'a\x0Ab\xFF\'-1bit.bmp')"},
        {"too large as well",
         {kWrongDepth, kTooLarge},
         "in.bmp",
         "hint: scale the picture down to at most 1024 x 1024"},
        {"cut short", {kTooLarge, kCutShort}, "in.bmp", "hint: save the map again"},
        {"the program as typed",
         {kWrongDepth},
         "in.bmp",
         "hint: './build/bin/quorbel-lvl' prepare 'in.bmp' 'in-1bit.bmp'",
         "'./build/bin/quorbel-lvl'"},
    };
    for (const Case& c : cases) {
        const auto hint = HintLine(c.unmet, c.bitmap, c.program);
        EXPECT_EQ(hint.value_or("").substr(0, c.hint.size()), c.hint) << c.name;
        EXPECT_EQ(hint.has_value(), !c.hint.empty()) << c.name;
    }
}

TEST(ConversionNotesTest, TileWithoutACellIsNamedWithTheTilesetsRange) {
    struct Case {
        int tile;
        std::optional<PrefixPicture> picture;
        std::string warning;  // "" for none
    } const cases[] = {
        {190, PrefixPicture{304, 160, 24}, ""},
        {191, PrefixPicture{304, 160, 24},
         "warning: tile 191 has no 16 x 16 cell in the tileset (304 x 160 pixels holds tiles "
         "1..190 in rows of 19)"},
        {0, PrefixPicture{304, 160, 24},
         "warning: tile 0 has no 16 x 16 cell in the tileset (304 x 160 pixels holds tiles "
         "1..190 in rows of 19)"},
        {3, PrefixPicture{40, -40, 8},  // top-down: two columns, two rows
         "warning: tile 3 has no 16 x 16 cell in the tileset (40 x 40 pixels holds the first 2 "
         "cells of each row of 19: tiles 1..2, 20..21)"},
        {21, PrefixPicture{40, -40, 8}, ""},
        {300, PrefixPicture{16, 16 * 20, 8},
         "warning: tile 300 has no 16 x 16 cell in the tileset (16 x 320 pixels holds the first "
         "cell of each row of 19: tiles 1..1, 20..20, ..., 248..248)"},
        {1, PrefixPicture{15, 100, 1},
         "warning: tile 1 has no 16 x 16 cell in the tileset (15 x 100 pixels holds no whole "
         "cell)"},
        {1, std::nullopt,
         "warning: tile 1 has no 16 x 16 cell in the tileset: its first bytes are no BMP picture "
         "that the tile chooser can show"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TileCellWarning(c.tile, c.picture).value_or(""), c.warning) << c.tile;
    }
}

TEST(ConversionNotesTest, PaletteEntryZeroThatCountsOtherThanItLooks) {
    struct Case {
        const char* name;
        PaletteEntry entry0;  // blue, green, red
        std::uint64_t records;
        std::string warning;
    } const cases[] = {
        {"white", {255, 255, 255}, 339, ""},
        {"black", {0, 0, 0}, 339, ""},
        {"light grey 240",
         {240, 240, 240},
         1709,
         "warning: palette entry 0 is (240, 240, 240): only a blue value of 255 marks the light "
         "colour, so its 1709 pixels count as dark"},
        {"yellow",
         {0, 255, 255},
         1,
         "warning: palette entry 0 is (255, 255, 0): only a blue value of 255 marks the light "
         "colour, so its 1 pixel counts as dark"},
        {"dark grey 127", {127, 127, 127}, 5, ""},
        {"blue",
         {255, 0, 0},
         2000,
         "warning: palette entry 0 is (0, 0, 255): a blue value of 255 marks the light colour, "
         "so its 48 pixels count as light"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PaletteWarning(c.entry0, c.records, 2048).value_or(""), c.warning) << c.name;
    }
}

TEST(ConversionNotesTest, WroteLineCountsRecords) {
    EXPECT_EQ(WroteLine("out.lvl", 339, 171), "wrote out.lvl: 339 records of tile 171");
    EXPECT_EQ(WroteLine("a b.lvl", 1, 3), "wrote a b.lvl: 1 record of tile 3");
}

}  // namespace
}  // namespace quorbel
