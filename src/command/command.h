// The subcommands of quorbel-lvl. Command does what every subcommand needs once: it splits the
// arguments, answers --help, checks the operand count, turns a usage error into exit status 64
// and any other failure into a message and exit status 1, and makes a lost standard output an
// error. A new subcommand is one small class that says its syntax, its help and what it does.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command/command_line.h"

namespace quorbel::command {

// Exit statuses shared by the subcommands.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitRejected = 2;
inline constexpr int kExitUsage = 64;

// Anything quorbel-lvl lists and starts by name.
class Subcommand {
  public:
    virtual ~Subcommand() = default;
    virtual std::string_view Name() const = 0;
    // One line for the overview of all subcommands.
    virtual std::string_view Summary() const = 0;
    // Runs with the arguments after the subcommand's name; returns the exit status. Never throws.
    virtual int Main(std::span<const std::string> args, std::ostream& out, std::ostream& err) = 0;
};

// A subcommand that runs in this process.
class Command : public Subcommand {
  public:
    int Main(std::span<const std::string> args, std::ostream& out, std::ostream& err) final;

  protected:
    struct Syntax {
        std::set<std::string> valueOptions;  // take a value: "--tile"
        std::set<std::string> flagOptions;   // take none: "--json" (--help is always there)
        std::string operands;                // for messages: "TILESET BITMAP OUTPUT"
        std::size_t fewestOperands = 0;
        std::size_t mostOperands = std::numeric_limits<std::size_t>::max();
    };
    virtual Syntax GetSyntax() const = 0;
    // The whole --help text.
    virtual std::string Help() const = 0;
    // Does the work once the arguments are known to fit the syntax. Throws UsageError for bad
    // values (exit status 64); any other exception ends the command with exit status 1.
    virtual int Execute(const ParsedArguments& args, std::ostream& out, std::ostream& err) = 0;

    // "quorbel-lvl NAME", the start of every message.
    std::string ProgramName() const;

    // Calls each for every operand in turn; one that fails has its message printed on err and the
    // others still run, as ls and cat go on past a bad name. Returns kExitSuccess, or kExitFailed
    // when any failed; a usage error still ends the command.
    int ForEachOperand(const std::vector<std::string>& operands, std::ostream& err,
                       const std::function<void(const std::string&)>& each) const;

    // Runs note, which only says more about work already done: when it fails, a warning says why
    // on err, and the command's exit status stays what the work made it.
    void Note(std::ostream& err, const std::function<void()>& note) const;
};

}  // namespace quorbel::command
