// quorbel-lvl convert [--tile TEXT] [--report FILE] TILESET BITMAP OUTPUT
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class ConvertCommand : public command::Command {
  public:
    std::string_view Name() const override { return "convert"; }
    std::string_view Summary() const override {
        return "turn a 1-bit BMP into a level file over a tileset";
    }

  protected:
    Syntax GetSyntax() const override;
    std::string Help() const override;
    // Runs the conversion with the console as its window; the exit status tells its end.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
