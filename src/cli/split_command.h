// quorbel-lvl split: a level file taken apart into layers that compose takes.
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class SplitCommand : public command::Command {
  public:
    std::string_view Name() const override { return "split"; }

  protected:
    command::Declaration Declare() const override;
    // Writes the files into the folder and prints the layers that compose takes.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
