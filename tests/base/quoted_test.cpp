#include "base/quoted.h"

#include <gtest/gtest.h>

namespace quorbel {
namespace {

TEST(Quoted, KeepsTextAndEscapesWhatIsNoText) {
    struct Case {
        std::string text;
        std::size_t longest;
        std::string quoted;
    } const cases[] = {
        {"map.bmp", 60, "'map.bmp'"},
        {"Karte 地図 ñ.bmp", 60, "'Karte 地図 ñ.bmp'"},
        {"tab\there", 60, "'tab\\x09here'"},
        {"lvl\xFF.lvl", 60, "'lvl\\xFF.lvl'"},
        {"cut \xE5\x9C", 60, "'cut \\xE5\\x9C'"},      // a sequence cut short
        {"\xED\xA0\x80", 60, "'\\xED\\xA0\\x80'"},     // a surrogate is no text
        {std::string(100, 'a'), 11, "'aaaa...aaaa'"},  // start and end kept
        {"ab地図地図地図cd", 9, "'ab...cd'"},          // cut at character boundaries
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Quoted(c.text, c.longest), c.quoted) << c.text;
    }
    EXPECT_EQ(DoubleQuoted("1e2"), "\"1e2\"");
}

// A cause line stays short however long the text it quotes.
TEST(Quoted, AHundredThousandCharactersStayAShortLine) {
    EXPECT_LE(DoubleQuoted(std::string(100000, '9'), 60).size(), 62u);
}

}  // namespace
}  // namespace quorbel
