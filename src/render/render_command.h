// quorbel-lvl render: a level file's map drawn as a picture.
#pragma once

#include "command/command.h"

namespace quorbel::render {

class RenderCommand : public command::Command {
  public:
    std::string_view Name() const override { return "render"; }

  protected:
    command::Declaration Declare() const override;
    // Writes the preview and says where to out; warns about placeholders on err. Throws
    // UsageError for bad arguments or a preview too large (exit status 64), other errors for a
    // level or tileset that cannot be read or a preview that cannot be written (exit status 1).
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::render
