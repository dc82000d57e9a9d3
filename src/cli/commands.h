// The commands of quorbel-lvl, each with its line in the overview.
#pragma once

#include "command/registry.h"

namespace quorbel::cli {

// quorbel-lvl's registry: the commands that run in this process, and render and prepare, which
// run in quorbel-lvl-render.
command::Registry QuorbelLvl();

}  // namespace quorbel::cli
