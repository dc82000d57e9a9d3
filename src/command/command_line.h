// Splitting a subcommand's arguments into options and operands, GNU style: "--name VALUE",
// "--name=VALUE", flags, and "--" to end the options.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "base/errors.h"

namespace quorbel::command {

// Bad arguments; the message names the bad value. Exit status 64.
class UsageError : public Error {
  public:
    using Error::Error;
};

struct ParsedArguments {
    std::map<std::string, std::string> values;  // options with a value, by name ("--tile")
    std::set<std::string> flags;                // options without a value ("--json")
    std::vector<std::string> operands;
    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
    // The value of an option, or nothing when it was not given.
    std::optional<std::string> Value(const std::string& option) const {
        const auto found = values.find(option);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
};

// Splits args. valueOptions take a value, flagOptions none; "-h" counts as "--help"; "-" and a
// digit or "." starts a negative number, which is an operand (or an option's value). Throws
// UsageError for an unknown option, a missing value or an option given twice.
ParsedArguments ParseArguments(std::span<const std::string> args,
                               const std::set<std::string>& valueOptions,
                               const std::set<std::string>& flagOptions);

}  // namespace quorbel::command
