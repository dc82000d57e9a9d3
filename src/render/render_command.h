// quorbel-lvl render LEVEL -o PREVIEW.png [--tileset FILE] [--scale S]
#pragma once

#include "command/command.h"

namespace quorbel::render {

class RenderCommand : public command::Command {
  public:
    std::string_view Name() const override { return "render"; }
    std::string_view Summary() const override {
        return "draw a level file's map as a picture (PNG, BMP or JPEG)";
    }

  protected:
    Syntax GetSyntax() const override;
    std::string Help() const override;
    // Writes the preview and says where to out; warns about placeholders on err. Throws
    // UsageError for bad arguments or a preview too large (exit status 64), other errors for a
    // level or tileset that cannot be read or a preview that cannot be written (exit status 1).
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::render
