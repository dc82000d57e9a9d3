// quorbel-lvl: level files from the command line.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "command/stop_signals.h"

int main(int argc, char** argv) {
    // The tile-number text is read in the user's locale, as the window reads it.
    std::setlocale(LC_ALL, "");
    quorbel::command::IgnoreFileSizeSignal();
    const std::vector<std::string> args(argv + 1, argv + argc);
    quorbel::command::Registry program = quorbel::cli::QuorbelLvl();
    program.StartedAs(argc > 0 ? argv[0] : "");
    return program.Run(QUORBEL_VERSION, args, std::cout, std::cerr);
}
