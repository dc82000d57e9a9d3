// A subcommand of quorbel-lvl: it checks its own arguments and returns the process's exit status.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace quorbel::cli {

// Exit statuses shared by the subcommands.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitRejected = 2;
inline constexpr int kExitUsage = 64;

class Command {
  public:
    virtual ~Command() = default;
    virtual std::string_view Name() const = 0;
    // One line for the overview of all subcommands.
    virtual std::string_view Summary() const = 0;
    // The whole --help text.
    virtual std::string Help() const = 0;
    // Runs with the arguments after the subcommand's name. Throws UsageError for bad arguments.
    virtual int Run(std::span<const std::string> args, std::ostream& out, std::ostream& err) = 0;
};

}  // namespace quorbel::cli
