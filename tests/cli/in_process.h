// quorbel-lvl's commands that run in its own process, run in the test's.
#pragma once

#include <string>
#include <vector>

#include "support/run_command.h"

namespace quorbel::cli {

// Runs "quorbel-lvl ARGS" for a command that runs in quorbel-lvl's own process (convert, compose,
// split, info, export, import): args[0] names it. Throws std::invalid_argument for any other
// name: render and prepare replace the process, and the program's own options (--help,
// --version) are main's, so those run as child processes.
test::CommandResult Lvl(const std::vector<std::string>& args);

}  // namespace quorbel::cli
