#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "command_docs/completion_tables.h"
#include "command_docs/man_page.h"

namespace quorbel::docs {
namespace {

// What roff would otherwise take as its own: a backslash starts an escape, a line that starts with
// '.' or '\'' is a request (and so vanishes from the page), and '-' may be drawn as a hyphen that a
// reader cannot paste as an option's.
TEST(CommandDocsTest, RoffTextKeepsEveryCharacterAsTyped) {
    struct Case {
        const char* text;
        const char* roff;
    } const cases[] = {
        {"plain words", "plain words"},
        {"--tile 1-bit", "\\-\\-tile 1\\-bit"},
        {"written as \\ufffd", "written as \\eufffd"},
        {".tmx maps", "\\&.tmx maps"},
        {"'quorbel-lvl import' reads", "\\&'quorbel\\-lvl import' reads"},
        {"a. b' c", "a. b' c"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoffText(c.text), c.roff) << c.text;
    }
}

TEST(CommandDocsTest, CompletionRefusesWhatBashWouldSplitOrExpand) {
    const command::Option star{
        .name = "--scale", .valueName = "S", .completion = command::Completion::Words({"1", "*"})};
    EXPECT_THROW(CompletionTables({}, {{"render", {.options = {star}}}}), std::invalid_argument);
    EXPECT_THROW(CompletionTables({}, {{"two words", {}}}), std::invalid_argument);
    EXPECT_THROW(FilledTemplate("no tables here\n", "x"), std::invalid_argument);
    EXPECT_EQ(FilledTemplate("a\n@TABLES@\nb\n", "T\n"), "a\nT\nb\n");
}

}  // namespace
}  // namespace quorbel::docs
