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

TEST(Quoted, JsonStringsHoldTextOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {"map.lvl", "\"map.lvl\""},
        {"q\"uote\\d", "\"q\\\"uote\\\\d\""},
        {"line\nbreak\x01", "\"line\\u000abreak\\u0001\""},
        {"Karte 地図", "\"Karte 地図\""},
        {"lvl\xFF\xC3.lvl", "\"lvl\\ufffd\\ufffd.lvl\""},  // bytes that are no UTF-8
    };
    for (const auto& [text, json] : cases) {
        EXPECT_EQ(JsonQuoted(text), json) << text;
    }
}

TEST(Quoted, CountsTakeTheirWord) {
    EXPECT_EQ(Counted(0, "record", "records"), "0 records");
    EXPECT_EQ(Counted(1, "record", "records"), "1 record");
    EXPECT_EQ(Counted(1048576, "layer", "layers"), "1048576 layers");
}

}  // namespace
}  // namespace quorbel
