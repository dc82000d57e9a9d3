// Running one subcommand the way quorbel-lvl does: its exit status, or for bad usage the message
// and 64, for any other failure the message and 1.
#pragma once

#include <span>
#include <string>

#include "command.h"

namespace quorbel::cli {

int RunReportingErrors(Command& command, std::span<const std::string> args);

}  // namespace quorbel::cli
