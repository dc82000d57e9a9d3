// quorbel-lvl render LEVEL -o PREVIEW.png [--tileset FILE] [--scale S]
#pragma once

#include "command.h"
#include "render_launcher.h"

namespace quorbel::cli {

class RenderCommand : public Command {
  public:
    std::string_view Name() const override { return kRenderName; }
    std::string_view Summary() const override { return kRenderSummary; }
    std::string Help() const override;
    // Writes the preview and says where to out; warns about placeholders on err. Throws
    // UsageError for bad arguments or a preview too large (exit status 64), other errors for a
    // level or tileset that cannot be read or a preview that cannot be written (exit status 1).
    int Run(std::span<const std::string> args, std::ostream& out, std::ostream& err) override;
};

}  // namespace quorbel::cli
