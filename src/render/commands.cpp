#include "render/commands.h"

#include <memory>

#include "render/paint_command.h"
#include "render/prepare_command.h"
#include "render/render_command.h"

namespace quorbel::render {

command::Registry QuorbelLvlRender() {
    command::Registry commands("quorbel-lvl-render", "");
    commands.Add(std::make_unique<RenderCommand>());
    commands.Add(std::make_unique<PrepareCommand>());
    commands.Add(std::make_unique<PaintCommand>());
    return commands;
}

}  // namespace quorbel::render
