// The commands of quorbel-lvl-render, which quorbel-lvl starts for them.
#pragma once

#include "command/registry.h"

namespace quorbel::render {

// quorbel-lvl-render's registry: render and prepare. quorbel-lvl lists them with their summaries.
command::Registry QuorbelLvlRender();

}  // namespace quorbel::render
