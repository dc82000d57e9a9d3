// quorbel-lvl's commands that run in its own process, run in the test's.
#pragma once

#include <string>
#include <vector>

#include "support/run_command.h"

namespace quorbel::cli {

// Runs "quorbel-lvl ARGS" as quorbel-lvl's main runs it (its overview, --version, an unknown
// command, and the commands that run in its own process). Throws std::invalid_argument for render
// and prepare, which replace the process with quorbel-lvl-render: those run as child processes.
test::CommandResult Lvl(const std::vector<std::string>& args);

}  // namespace quorbel::cli
