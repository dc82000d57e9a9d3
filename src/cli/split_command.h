// quorbel-lvl split LEVEL FOLDER
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class SplitCommand : public command::Command {
  public:
    std::string_view Name() const override { return "split"; }
    std::string_view Summary() const override {
        return "take a level apart into its tileset and one 1-bit BMP per tile number";
    }

  protected:
    Syntax GetSyntax() const override;
    std::string Help() const override;
    // Writes the files into the folder and prints the layers that compose takes.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
