// Runs a command in this process with string streams for its standard output and standard
// error: what a child process would give back, at the cost of a function call.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace quorbel::command {
class Subcommand;
}

namespace quorbel::test {

// How a command ended and what it printed.
struct CommandResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs main with string streams for standard output and standard error; anything written to
// std::cout or std::cerr instead is caught with them, as a child's file descriptors would catch it.
CommandResult RunInProcess(const std::function<int(std::ostream& out, std::ostream& err)>& main);

// Runs command.Main with args, the arguments after the command's name. Anything the command
// writes to std::cout or std::cerr instead of its streams is caught with them, as a child's file
// descriptors would catch it. Only for commands that run in this process: not for those that
// replace it with another program (render and prepare).
CommandResult RunCommand(command::Subcommand& command, const std::vector<std::string>& args);

}  // namespace quorbel::test
