// quorbel-lvl convert: a level file of a 1-bit BMP over a tileset.
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class ConvertCommand : public command::Command {
  public:
    std::string_view Name() const override { return "convert"; }

  protected:
    command::Declaration Declare() const override;
    // Runs the conversion with the console as its window; the exit status tells its end.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
