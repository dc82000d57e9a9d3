// A subcommand that runs in a program of its own. render and prepare draw with QtGui, so they run
// in quorbel-lvl-render: only they load the image libraries, and every other command starts as
// fast as a plain tool.
#pragma once

#include <string>

#include "command/command.h"

namespace quorbel::cli {

class ExternalCommand : public command::Subcommand {
  public:
    // name is what quorbel-lvl lists and what the program is told to run; summary its line in
    // the overview.
    ExternalCommand(std::string name, std::string summary)
        : name_(std::move(name)), summary_(std::move(summary)) {}

    std::string_view Name() const override { return name_; }
    std::string_view Summary() const override { return summary_; }
    // Replaces this process with "quorbel-lvl-render NAME args..."; returns 1 with a message on
    // err only when that program cannot be found or started.
    int Main(std::span<const std::string> args, std::ostream& out, std::ostream& err) override;

  private:
    std::string name_;
    std::string summary_;
};

}  // namespace quorbel::cli
