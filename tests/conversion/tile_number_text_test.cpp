#include "conversion/tile_number_text.h"

#include <gtest/gtest.h>

#include "base/errors.h"

namespace quorbel {
namespace {

TEST(TileNumberFromText, ReadsDecimalTextRoundingHalvesToEven) {
    struct Case {
        const char* text;
        const char* localePoint;
        std::int16_t value;
    } const cases[] = {
        {"171", ".", 171},       {"  171\t", ".", 171},   {"+7", ".", 7},
        {"-1", ".", -1},         {"0", ".", 0},           {"007", ".", 7},
        {"2.5", ".", 2},         {"3.5", ".", 4},         {"-2.5", ".", -2},
        {"2.5000001", ".", 3},   {"2.4999999", ".", 2},   {".5", ".", 0},
        {"1.", ".", 1},          {"-0.4", ".", 0},        {"32767", ".", 32767},
        {"-32768", ".", -32768}, {"32766.5", ".", 32766}, {"2,5", ",", 2},
        {"2.5", ",", 2},         {"255,7", ",", 256},     {"0000000000000012", ".", 12},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TileNumberFromText(c.text, c.localePoint), c.value) << '"' << c.text << '"';
    }
}

TEST(TileNumberFromText, EmptyOrNonNumericIsATypeMismatch) {
    for (const char* text :
         {"", "   ", "-", ".", "abc", "1 2", "12a", "1e3", "0x1F", "1,5", "١٢", "--1", "1.2.3"}) {
        EXPECT_THROW(TileNumberFromText(text, "."), TypeMismatchError) << '"' << text << '"';
    }
}

TEST(TileNumberFromText, OutsideSixteenBitsIsAnOverflow) {
    for (const char* text :
         {"32768", "-32769", "32767.5", "-32768.6", "99999999999999999999999", "1000000"}) {
        EXPECT_THROW(TileNumberFromText(text, "."), OverflowError) << text;
    }
}

}  // namespace
}  // namespace quorbel
