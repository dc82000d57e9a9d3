// quorbel-lvl prepare [--threshold N] [--invert] [--grey] IMAGE OUTPUT
#pragma once

#include "cli/command.h"

namespace quorbel::render {

class PrepareCommand : public cli::Command {
  public:
    std::string_view Name() const override { return "prepare"; }
    std::string_view Summary() const override {
        return "make the 1-bit BMP that convert takes of any picture";
    }

  protected:
    Syntax GetSyntax() const override;
    std::string Help() const override;
    // Writes the map bitmap and says so on out; warns on err about a result all alike. Throws
    // UsageError for a bad threshold (exit status 64), other errors for a picture that cannot be
    // read or is larger than 1024 a side, or an output that cannot be written (exit status 1).
    int Execute(const cli::ParsedArguments& args, std::ostream& out, std::ostream& err) override;
};

}  // namespace quorbel::render
