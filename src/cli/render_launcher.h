// quorbel-lvl render: runs in its own program, quorbel-lvl-render, so that only a preview loads
// the image libraries and every other command starts as fast as a plain tool.
#pragma once

#include "command.h"

namespace quorbel::cli {

// What quorbel-lvl lists for render, shared by the launcher and the command it starts.
inline constexpr std::string_view kRenderName = "render";
inline constexpr std::string_view kRenderSummary = "draw a level file's map as a PNG picture";

class RenderLauncher : public Command {
  public:
    std::string_view Name() const override { return kRenderName; }
    std::string_view Summary() const override { return kRenderSummary; }
    std::string Help() const override;
    // Replaces this process with quorbel-lvl-render and args; returns only when that fails,
    // throwing std::runtime_error.
    int Run(std::span<const std::string> args, std::ostream& out, std::ostream& err) override;
};

}  // namespace quorbel::cli
