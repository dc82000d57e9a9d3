#include "command_runner.h"

#include <iostream>

#include "command_line.h"

namespace quorbel::cli {

int RunReportingErrors(Command& command, std::span<const std::string> args) {
    const std::string name = "quorbel-lvl " + std::string(command.Name());
    try {
        return command.Run(args, std::cout, std::cerr);
    } catch (const UsageError& error) {
        std::cerr << name << ": " << error.what() << "\nTry '" << name << " --help'.\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        std::cerr << name << ": " << error.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace quorbel::cli
