#include "command/help_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quorbel::command {
namespace {

// A help laid out by hand: the usage wrapped under the first word after the program, options in
// one column (those without an alias under the long names), a long term on a line of its own,
// items that follow a paragraph ending in ':' without a blank line, and the sections in order.
TEST(HelpTextTest, LaysOutAWorkedExample) {
    const Declaration declaration{
        .options = {{.name = "--report",
                     .valueName = "FILE",
                     .help = "write the report to FILE at the end of the run, with CR LF between "
                             "its lines"},
                    {.name = "--output", .alias = 'o', .valueName = "PICTURE", .required = true},
                    HelpOption()},
        .operands = {{"TILESET"}, {"OUTPUT"}, {"TILE:BITMAP", true}},
        .description = {Paragraph("Writes OUTPUT."), Paragraph("Then come:"),
                        Items({{"cause: ...", "what went wrong"},
                               {"wrote OUTPUT: N records in L layers", "the level"}})},
        .exitStatus = {{"0", "written"}, {"64", "bad usage"}},
        .examples = {{"Two layers:", "quorbel-lvl example t.bmp o.lvl 1:a.bmp 2:b.bmp"}},
    };
    EXPECT_EQ(HelpText("quorbel-lvl example", declaration),
              "Usage: quorbel-lvl example [--report FILE] -o PICTURE TILESET OUTPUT\n"
              "                           TILE:BITMAP...\n"
              "\n"
              "Writes OUTPUT.\n"
              "\n"
              "Then come:\n"
              "  cause: ...  what went wrong\n"
              "  wrote OUTPUT: N records in L layers\n"
              "              the level\n"
              "\n"
              "Options:\n"
              "      --report FILE     write the report to FILE at the end of the run, with CR\n"
              "                        LF between its lines\n"
              "  -o, --output PICTURE\n"
              "  -h, --help            show this help\n"
              "\n"
              "Exit status:\n"
              "  0   written\n"
              "  64  bad usage\n"
              "\n"
              "Examples:\n"
              "  Two layers:\n"
              "    quorbel-lvl example t.bmp o.lvl 1:a.bmp 2:b.bmp\n");
}

TEST(HelpTextTest, WrapsBetweenWords) {
    struct Case {
        const char* text;
        std::size_t width;
        std::vector<std::string> lines;
    } const cases[] = {
        {"one two three", 7, {"one two", "three"}},
        {"one  two\nthree", 13, {"one two three"}},
        {"a verylongword b", 4, {"a", "verylongword", "b"}},
        {"", 10, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Wrapped(c.text, c.width), c.lines) << c.text;
    }
}

}  // namespace
}  // namespace quorbel::command
