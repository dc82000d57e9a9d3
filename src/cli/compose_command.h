// quorbel-lvl compose: a level file of several 1-bit BMP layers, one tile number each.
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class ComposeCommand : public command::Command {
  public:
    std::string_view Name() const override { return "compose"; }

  protected:
    command::Declaration Declare() const override;
    // Checks every input, then writes the level; the exit status tells how it ended.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
