#include "command/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorbel::command {
namespace {

const std::vector<Option> kOptions = {
    {.name = "--tile", .valueName = "TEXT"},
    {.name = "--output", .alias = 'o', .valueName = "FILE", .required = true},
    {.name = "--quiet"},
    HelpOption(),
};

struct ParseRow {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> options;  // "--name=value", or "--name" for a flag, in order
    std::vector<std::string> operands;
    const char* error = nullptr;  // part of the UsageError's message
};

const ParseRow kParseRows[] = {
    {"ValueAfterTheName", {"--tile", "7", "a"}, {"--tile=7"}, {"a"}},
    {"ValueAfterEquals", {"--tile=7"}, {"--tile=7"}, {}},
    {"EmptyValueAfterEquals", {"--tile="}, {"--tile="}, {}},
    {"AliasCountsAsItsLongName", {"-o", "x.png", "a"}, {"--output=x.png"}, {"a"}},
    {"HelpAlias", {"-h"}, {"--help"}, {}},
    {"Flag", {"a", "--quiet", "b"}, {"--quiet"}, {"a", "b"}},
    {"OrderAsGiven",
     {"--quiet", "--tile", "2", "-o", "p"},
     {"--quiet", "--tile=2", "--output=p"},
     {}},
    {"DoubleDashEndsTheOptions", {"--", "--quiet", "-o"}, {}, {"--quiet", "-o"}},
    {"LoneDashIsAnOperand", {"-", "--quiet"}, {"--quiet"}, {"-"}},
    {"NegativeNumbersAreOperands", {"-1:map.bmp", "-.5", "-0"}, {}, {"-1:map.bmp", "-.5", "-0"}},
    {"NegativeNumberAsValue", {"--tile", "-3"}, {"--tile=-3"}, {}},
    {"ValueThatLooksLikeAnOption", {"--tile", "--quiet"}, {"--tile=--quiet"}, {}},
    {"MissingValue", {"a", "--tile"}, {}, {}, "option '--tile' needs a value"},
    {"MissingValueOfAnAlias", {"-o"}, {}, {}, "option '-o' needs a value"},
    {"FlagGivenAValue", {"--quiet=yes"}, {}, {}, "option '--quiet' takes no value"},
    {"GivenTwice", {"--quiet", "--quiet"}, {}, {}, "option '--quiet' given twice"},
    {"GivenTwiceAsAliasAndName",
     {"-o", "a", "--output=b"},
     {},
     {},
     "option '--output' given twice"},
    {"UnknownLongOption", {"--bogus"}, {}, {}, "unknown option '--bogus'"},
    {"UnknownWithAValue", {"--bogus=1"}, {}, {}, "unknown option '--bogus=1'"},
    {"UnknownShortOption", {"-x"}, {}, {}, "unknown option '-x'"},
    {"AliasWithItsValueJoined", {"-ox.png"}, {}, {}, "unknown option '-ox.png'"},
    {"PrefixOfALongName", {"--til", "7"}, {}, {}, "unknown option '--til'"},
};

class ParseArgumentsTest : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseArgumentsTest, SplitsOptionsAndOperands) {
    const ParseRow& row = GetParam();
    if (row.error != nullptr) {
        try {
            ParseArguments(row.args, kOptions);
            ADD_FAILURE() << "no UsageError";
        } catch (const UsageError& error) {
            EXPECT_EQ(std::string(error.what()), row.error);
        }
        return;
    }
    const ParsedArguments parsed = ParseArguments(row.args, kOptions);
    std::vector<std::string> options;
    for (const GivenOption& option : parsed.options) {
        options.push_back(option.name + (option.value ? "=" + *option.value : ""));
        EXPECT_TRUE(parsed.Has(option.name));
        EXPECT_EQ(parsed.Value(option.name), option.value);
    }
    EXPECT_EQ(options, row.options);
    EXPECT_EQ(parsed.operands, row.operands);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParseArgumentsTest, ::testing::ValuesIn(kParseRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(CheckArgumentsTest, CountsOperandsAndRequiredOptions) {
    const Declaration declaration{
        .options = kOptions,
        .operands = {{"TILESET"}, {"OUTPUT"}, {"TILE:BITMAP", true}},
    };
    const Declaration fixed{.operands = {{"LEVEL"}, {"MAP"}}};
    const Declaration fixedNeedingOutput{.options = kOptions, .operands = {{"LEVEL"}, {"MAP"}}};
    struct Case {
        const Declaration& declaration;
        std::vector<std::string> args;
        const char* error;  // nullptr when the arguments fit
    } const cases[] = {
        // One operand too many where a required option is missing: its value, most likely.
        {fixedNeedingOutput,
         {"--tile", "7", "a", "b", "c"},
         "option '--output' is required: give -o FILE, as in quorbel-lvl x --tile '7' --output "
         "'c' 'a' 'b'"},
        {declaration, {"-o", "f", "t", "o", "1:a"}, nullptr},
        {declaration, {"-o", "f", "t", "o", "1:a", "2:b", "3:c"}, nullptr},
        {declaration,
         {"-o", "f", "t", "o"},
         "expected TILESET OUTPUT TILE:BITMAP..., got 2 operand(s)"},
        {declaration, {"t", "o", "1:a"}, "option '--output' is required: give -o FILE"},
        {fixed, {"a", "b"}, nullptr},
        {fixed, {"a"}, "expected LEVEL MAP, got 1 operand(s)"},
        {fixed, {"a", "b", "c"}, "expected LEVEL MAP, got 3 operand(s)"},
    };
    for (const Case& c : cases) {
        const ParsedArguments parsed = ParseArguments(c.args, c.declaration.options);
        if (c.error == nullptr) {
            EXPECT_NO_THROW(CheckArguments(parsed, c.declaration, "quorbel-lvl x"))
                << c.args.size();
            continue;
        }
        try {
            CheckArguments(parsed, c.declaration, "quorbel-lvl x");
            ADD_FAILURE() << "no UsageError for " << c.error;
        } catch (const UsageError& error) {
            EXPECT_EQ(std::string(error.what()), c.error);
        }
    }
}

// The hint's command line: the options in the order given, every value and operand one word for a
// shell, so that it runs when pasted.
TEST(CommandLineTest, QuotesEachValueAndOperand) {
    EXPECT_EQ(CommandLine("quorbel-lvl convert", {{"--quiet", {}}, {"--tile", " 7"}},
                          {"b.bmp", "it's.bmp", "out put.lvl"}),
              R"(quorbel-lvl convert --quiet --tile ' 7' 'b.bmp' 'it'\''s.bmp' 'out put.lvl')");
    // An operand that would read as an option comes after "--"; a negative number would not.
    EXPECT_EQ(CommandLine("quorbel-lvl compose", {}, {"t.bmp", "o.lvl", "-1:m.bmp"}),
              "quorbel-lvl compose 't.bmp' 'o.lvl' '-1:m.bmp'");
    EXPECT_EQ(CommandLine("quorbel-lvl convert", {}, {"-t.bmp", "m.bmp", "o.lvl"}),
              "quorbel-lvl convert -- '-t.bmp' 'm.bmp' 'o.lvl'");
}

}  // namespace
}  // namespace quorbel::command
