// quorbel-lvl info: what a level file holds.
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class InfoCommand : public command::Command {
  public:
    std::string_view Name() const override { return "info"; }

  protected:
    command::Declaration Declare() const override;
    // Prints the report to out, a warning about trailing bytes to err. Throws FileError for a
    // file that cannot be read as a level file (exit status 1).
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
