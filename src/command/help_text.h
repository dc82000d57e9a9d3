// --help made from a declaration: the usage lines, the description, the options and the rest,
// word-wrapped to 80 columns.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "command/declaration.h"

namespace quorbel::command {

// The width of a terminal that nothing of the help passes.
inline constexpr std::size_t kHelpWidth = 80;

// "[--tile TEXT]", "-o PREVIEW.png" (required), "[--quiet]": an option as usage lines show it.
std::string UsageWord(const Option& option);

// The usage of program ("quorbel-lvl convert"), one entry per form, each on one line: the program,
// its options but --help (the required ones without brackets), then its operands.
std::vector<std::string> UsageForms(std::string_view program, const Declaration& declaration);

// The usage lines that begin the help: "Usage: " and each form, wrapped at kHelpWidth between
// words, a continued line indented under the form's first word after the program.
std::vector<std::string> UsageLines(std::string_view program, const Declaration& declaration);

// text's words in lines of at most width characters (a longer word gets a line of its own).
std::vector<std::string> Wrapped(std::string_view text, std::size_t width);

// The whole --help of program.
std::string HelpText(std::string_view program, const Declaration& declaration);

}  // namespace quorbel::command
