// quorbel-lvl paint: a level of a colour drawing, through a palette legend and auto-tiling rules.
#pragma once

#include "command/command.h"

namespace quorbel::render {

class PaintCommand : public command::Command {
  public:
    std::string_view Name() const override { return "paint"; }

  protected:
    command::Declaration Declare() const override;
    // Writes the level and says so on err. Returns kExitRejected, with cause and hint lines on
    // err, for a picture larger than 4096 x 4096 or with colours the palette does not list. Throws
    // errors for a palette, rules file, tileset or picture that cannot be read, or an output that
    // cannot be written (exit status 1); nothing is written then.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::render
