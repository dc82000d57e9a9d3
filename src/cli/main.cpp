// quorbel-lvl: level files from the command line.
#include <algorithm>
#include <clocale>
#include <functional>
#include <iostream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/compose_command.h"
#include "cli/convert_command.h"
#include "cli/export_command.h"
#include "cli/external_command.h"
#include "cli/import_command.h"
#include "cli/info_command.h"
#include "cli/split_command.h"
#include "cli/stop_signals.h"

namespace {

using quorbel::cli::Subcommand;

std::vector<std::unique_ptr<Subcommand>> AllCommands() {
    std::vector<std::unique_ptr<Subcommand>> commands;
    // In the order of the work: a picture made a map, maps (or a colour drawing) made levels,
    // levels looked at and exchanged.
    commands.push_back(std::make_unique<quorbel::cli::ExternalCommand>(
        "prepare", "make the 1-bit BMP that convert takes of any picture"));
    commands.push_back(std::make_unique<quorbel::cli::ConvertCommand>());
    commands.push_back(std::make_unique<quorbel::cli::ComposeCommand>());
    commands.push_back(std::make_unique<quorbel::cli::ExternalCommand>(
        "paint", "make a level of a colour drawing, one palette colour per kind of cell"));
    commands.push_back(std::make_unique<quorbel::cli::SplitCommand>());
    commands.push_back(std::make_unique<quorbel::cli::InfoCommand>());
    commands.push_back(std::make_unique<quorbel::cli::ExternalCommand>(
        "render", "draw a level file's map as a picture (PNG, BMP or JPEG)"));
    commands.push_back(std::make_unique<quorbel::cli::ExportCommand>());
    commands.push_back(std::make_unique<quorbel::cli::ImportCommand>());
    return commands;
}

void PrintOverview(std::ostream& out, const std::vector<std::unique_ptr<Subcommand>>& commands) {
    std::size_t column = 0;
    for (const auto& command : commands) {
        column = std::max(column, command->Name().size() + 2);
    }
    out << "Usage: quorbel-lvl COMMAND [OPTIONS] [ARGUMENTS]\n\n"
           "Quorbel Map Maker's command-line tool for level files (.lvl).\n\n"
           "Commands:\n";
    for (const auto& command : commands) {
        out << "  " << command->Name() << std::string(column - command->Name().size(), ' ')
            << command->Summary() << '\n';
    }
    out << "\n'quorbel-lvl COMMAND --help' explains a command.\n"
           "  -h, --help     show this help\n"
           "      --version  show the version\n";
}

// Prints to standard output and says whether it got there.
int PrintAndCheck(const std::function<void(std::ostream&)>& print) {
    print(std::cout);
    if (!std::cout.flush()) {
        std::cerr << "quorbel-lvl: write error on standard output\n";
        return quorbel::cli::kExitFailed;
    }
    return quorbel::cli::kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    // The tile-number text is read in the user's locale, as the window reads it.
    std::setlocale(LC_ALL, "");
    quorbel::cli::IgnoreFileSizeSignal();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto commands = AllCommands();
    if (args.empty()) {
        PrintOverview(std::cerr, commands);
        return quorbel::cli::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        return PrintAndCheck([&](std::ostream& out) { PrintOverview(out, commands); });
    }
    if (args[0] == "--version") {
        return PrintAndCheck([](std::ostream& out) { out << "quorbel-lvl " QUORBEL_VERSION "\n"; });
    }
    for (const auto& command : commands) {
        if (command->Name() == args[0]) {
            return command->Main(std::span(args).subspan(1), std::cout, std::cerr);
        }
    }
    std::cerr << "quorbel-lvl: unknown command '" << args[0] << "'\nTry 'quorbel-lvl --help'.\n";
    return quorbel::cli::kExitUsage;
}
