// Splitting a command's arguments into options and operands, GNU style, by the command's declared
// options: "--name VALUE", "--name=VALUE", "-x VALUE" for an option's alias, flags, and "--" to end
// the options. Also the other way round: a command line to paste, made of parsed arguments.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "command/declaration.h"

namespace quorbel::command {

// Bad arguments; the message names the bad value. Exit status 64.
class UsageError : public Error {
  public:
    using Error::Error;
};

// An option as it was given, by its long name ("--tile"); no value for a flag.
struct GivenOption {
    std::string name;
    std::optional<std::string> value;
};

struct ParsedArguments {
    std::vector<GivenOption> options;  // in the order given, each once
    std::vector<std::string> operands;

    // Whether the option (by its long name) was given.
    bool Has(const std::string& name) const { return Find(name) != nullptr; }
    // The value of an option, or nothing when it was not given.
    std::optional<std::string> Value(const std::string& name) const {
        const GivenOption* given = Find(name);
        return given == nullptr ? std::nullopt : given->value;
    }

  private:
    const GivenOption* Find(const std::string& name) const {
        for (const GivenOption& given : options) {
            if (given.name == name) {
                return &given;
            }
        }
        return nullptr;
    }
};

// Splits args by the options declared. An alias counts as its long name; "-" and a "-" followed
// by a digit or "." (a negative number) are operands, or an option's value. Throws UsageError for
// an unknown option, a missing value, a value given to a flag, or an option given twice.
ParsedArguments ParseArguments(std::span<const std::string> args,
                               const std::vector<Option>& options);

// Throws UsageError when a required option is missing or the operands are too few or too many
// for those declared. A required option left out beside one operand too many most likely lost its
// name ("render level.lvl level.png"): the message then shows the command line that command (how
// the command line begins, "quorbel-lvl render") makes of that operand as the option's value.
void CheckArguments(const ParsedArguments& parsed, const Declaration& declaration,
                    std::string_view command = {});

// "quorbel-lvl convert --tile '7' 'b.bmp' 'a.bmp' 'out.lvl'": program with the options, each
// value and operand quoted for a shell, so that the line runs when pasted.
std::string CommandLine(std::string_view program, const std::vector<GivenOption>& options,
                        const std::vector<std::string>& operands);

}  // namespace quorbel::command
