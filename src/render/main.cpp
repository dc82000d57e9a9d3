// quorbel-lvl-render: the commands of quorbel-lvl that draw with QtGui, in a program of their own.
// quorbel-lvl starts it as "quorbel-lvl-render COMMAND ARGUMENTS...".
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
    return quorbel::render::QuorbelLvlRender().Dispatch(args, std::cout, std::cerr);
}
