// The commands a program starts by name: quorbel-lvl's, and quorbel-lvl-render's (which quorbel-lvl
// starts for render and prepare). Both programs find and run a command here; quorbel-lvl also
// shows its overview of them.
#pragma once

#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command/command.h"
#include "command/declaration.h"

namespace quorbel::command {

class Registry {
  public:
    struct Entry {
        std::unique_ptr<Subcommand> command;
        std::string summary;  // its line in the overview
    };

    // program names the program in messages ("quorbel-lvl-render"); summary is the line its
    // overview and manual page begin with.
    Registry(std::string program, std::string summary)
        : program_(std::move(program)), summary_(std::move(summary)) {}

    // Adds a command; summary says in one line what it does, for the overview (quorbel-lvl-render
    // shows none: quorbel-lvl lists its commands).
    void Add(std::unique_ptr<Subcommand> command, std::string summary = {});

    // How the user started the program (its argv[0]), for the command lines that messages
    // suggest; every command run is told.
    void StartedAs(std::string argv0) { startedAs_ = std::move(argv0); }

    const std::string& Program() const { return program_; }
    const std::string& Summary() const { return summary_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    // The command of that name, or nullptr.
    Subcommand* Find(std::string_view name) const;

    // Runs the command that args[0] names with the rest of args and returns its exit status;
    // kExitUsage with a message on err that lists the commands when args[0] names none.
    int Dispatch(std::span<const std::string> args, std::ostream& out, std::ostream& err) const;

    // The program's own declaration: its usage, its commands with their summaries, --help and
    // --version.
    Declaration Overview() const;

    // The whole program: the overview for --help (on err and kExitUsage without arguments), the
    // version for --version, else Dispatch. A failed write to out is an error (kExitFailed).
    int Run(std::string_view version, std::span<const std::string> args, std::ostream& out,
            std::ostream& err) const;

  private:
    std::string program_;
    std::string summary_;
    std::string startedAs_{kToolName};
    std::vector<Entry> entries_;
};

}  // namespace quorbel::command
