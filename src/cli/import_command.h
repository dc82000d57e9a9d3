// quorbel-lvl import: a level file of a map of Tiled.
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class ImportCommand : public command::Command {
  public:
    std::string_view Name() const override { return "import"; }

  protected:
    command::Declaration Declare() const override;
    // Writes the level and says so on out; a warning for each skipped layer goes to err. Throws
    // UsageError for an empty --tileset, MapError or FileError otherwise.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
