// quorbel-lvl paint [--rules FILE] [--nearest] [--quiet] TILESET PALETTE PICTURE OUTPUT
#pragma once

#include "cli/command.h"

namespace quorbel::render {

class PaintCommand : public cli::Command {
  public:
    std::string_view Name() const override { return "paint"; }
    std::string_view Summary() const override {
        return "make a level of a colour drawing, one palette colour per kind of cell";
    }

  protected:
    Syntax GetSyntax() const override;
    std::string Help() const override;
    // Writes the level and says so on err. Returns kExitRejected, with cause and hint lines on
    // err, for a picture larger than 4096 x 4096 or with colours the palette does not list. Throws
    // errors for a palette, rules file, tileset or picture that cannot be read, or an output that
    // cannot be written (exit status 1); nothing is written then.
    int Execute(const cli::ParsedArguments& args, std::ostream& out, std::ostream& err) override;
};

}  // namespace quorbel::render
