// quorbel-lvl-render: the commands of quorbel-lvl that draw with QtGui, in a program of their own.
// quorbel-lvl starts it as "ARGV0 COMMAND ARGUMENTS...", ARGV0 being its own.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "command/stop_signals.h"
#include "render/commands.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    quorbel::command::IgnoreFileSizeSignal();
    const std::vector<std::string> args(argv + 1, argv + argc);
    // quorbel-lvl starts this program with its own argv[0], so that the command lines the
    // commands suggest begin as the user began.
    quorbel::command::Registry program = quorbel::render::QuorbelLvlRender();
    program.StartedAs(argc > 0 ? argv[0] : "");
    return program.Dispatch(args, std::cout, std::cerr);
}
