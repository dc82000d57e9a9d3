// quorbel-lvl import [--tileset FILE] MAP OUTPUT
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class ImportCommand : public command::Command {
  public:
    std::string_view Name() const override { return "import"; }
    std::string_view Summary() const override {
        return "make a level file from a Tiled map (TMX or JSON)";
    }

  protected:
    Syntax GetSyntax() const override;
    std::string Help() const override;
    // Writes the level and says so on out; a warning for each skipped layer goes to err. Throws
    // UsageError for an empty --tileset, MapError or FileError otherwise.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
