// quorbel-lvl compose [--report FILE] [--quiet] TILESET OUTPUT TILE:BITMAP [TILE:BITMAP ...]
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class ComposeCommand : public command::Command {
  public:
    std::string_view Name() const override { return "compose"; }
    std::string_view Summary() const override {
        return "make a level of several 1-bit BMP layers, one tile number each";
    }

  protected:
    Syntax GetSyntax() const override;
    std::string Help() const override;
    // Checks every input, then writes the level; the exit status tells how it ended.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
