// quorbel-lvl: level files from the command line.
#include <clocale>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command.h"
#include "command_line.h"
#include "command_runner.h"
#include "convert_command.h"
#include "info_command.h"
#include "render_launcher.h"

namespace {

using quorbel::cli::Command;

std::vector<std::unique_ptr<Command>> AllCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<quorbel::cli::ConvertCommand>());
    commands.push_back(std::make_unique<quorbel::cli::InfoCommand>());
    commands.push_back(std::make_unique<quorbel::cli::RenderLauncher>());
    return commands;
}

void PrintOverview(std::ostream& out, const std::vector<std::unique_ptr<Command>>& commands) {
    out << "Usage: quorbel-lvl COMMAND [OPTIONS] [ARGUMENTS]\n\n"
           "Quorbel Map Maker's command-line tool for level files (.lvl).\n\n"
           "Commands:\n";
    for (const auto& command : commands) {
        out << "  " << command->Name() << std::string(10 - command->Name().size(), ' ')
            << command->Summary() << '\n';
    }
    out << "\n'quorbel-lvl COMMAND --help' explains a command.\n"
           "  -h, --help     show this help\n"
           "      --version  show the version\n";
}

}  // namespace

int main(int argc, char** argv) {
    // The tile-number text is read in the user's locale, as the window reads it.
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto commands = AllCommands();
    if (args.empty()) {
        PrintOverview(std::cerr, commands);
        return quorbel::cli::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintOverview(std::cout, commands);
        return quorbel::cli::kExitSuccess;
    }
    if (args[0] == "--version") {
        std::cout << "quorbel-lvl " QUORBEL_VERSION "\n";
        return quorbel::cli::kExitSuccess;
    }
    for (const auto& command : commands) {
        if (command->Name() != args[0]) {
            continue;
        }
        return quorbel::cli::RunReportingErrors(*command, std::span(args).subspan(1));
    }
    std::cerr << "quorbel-lvl: unknown command '" << args[0] << "'\nTry 'quorbel-lvl --help'.\n";
    return quorbel::cli::kExitUsage;
}
