// A subcommand that runs in a program of its own. render and prepare draw with QtGui, so they run
// in quorbel-lvl-render: only they load the image libraries, and every other command starts as
// fast as a plain tool.
#pragma once

#include <string>

#include "command/command.h"

namespace quorbel::cli {

class ExternalCommand : public command::Subcommand {
  public:
    // name is what quorbel-lvl lists and what the program is told to run.
    explicit ExternalCommand(std::string name) : name_(std::move(name)) {}

    std::string_view Name() const override { return name_; }
    // Replaces this process with "quorbel-lvl-render NAME args..."; returns 1 with a message on
    // err only when that program cannot be found or started.
    int Main(std::span<const std::string> args, std::ostream& out, std::ostream& err) override;

  private:
    std::string name_;
};

}  // namespace quorbel::cli
