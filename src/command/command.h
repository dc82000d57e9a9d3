// The commands of quorbel-lvl. Command does what every command needs once: it splits the arguments
// by the options it declares, answers --help from its declaration, checks the operands, turns a
// usage error into exit status 64 and any other failure into a message and exit status 1, and
// makes a lost standard output an error. A new command is one small class that declares its
// options, operands and help, and says what it does.
#pragma once

#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command/command_line.h"
#include "command/declaration.h"

namespace quorbel::command {

// Exit statuses shared by the commands.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitRejected = 2;
inline constexpr int kExitUsage = 64;

// The program whose commands these are, as the user types it and as messages begin.
inline constexpr std::string_view kToolName = "quorbel-lvl";

// Anything a program starts by name.
class Subcommand {
  public:
    virtual ~Subcommand() = default;
    virtual std::string_view Name() const = 0;
    // Runs with the arguments after the command's name; returns the exit status. Never throws.
    virtual int Main(std::span<const std::string> args, std::ostream& out, std::ostream& err) = 0;

    // How the user started the program (its argv[0]): the command lines that messages suggest
    // begin with it, so that they run when pasted. quorbel-lvl unless told.
    void StartedAs(std::string program) { startedAs_ = std::move(program); }
    const std::string& StartedAs() const { return startedAs_; }

    // The program as a command line begins with it: the path typed, shell-quoted, when it has a
    // slash (./build/bin/quorbel-lvl), else the name the shell finds on the PATH.
    std::string PastableProgram() const;

  private:
    std::string startedAs_{kToolName};
};

// A command that runs in this process.
class Command : public Subcommand {
  public:
    int Main(std::span<const std::string> args, std::ostream& out, std::ostream& err) final;

    // The command's declaration with --help added: what it parses and what its help shows.
    Declaration Declared() const;
    // "quorbel-lvl NAME", the start of every message and of the usage.
    std::string ProgramName() const;
    // PastableProgram() and NAME: the start of a command line of this command to paste.
    std::string PastableCommand() const;

  protected:
    // The options (but --help) and operands, and the prose of the help.
    virtual Declaration Declare() const = 0;
    // Does the work once the arguments are known to fit the declaration. Throws UsageError for
    // bad values (exit status 64); any other exception ends the command with exit status 1.
    virtual int Execute(const ParsedArguments& args, std::ostream& out, std::ostream& err) = 0;

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
