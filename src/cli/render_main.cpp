// quorbel-lvl-render: the render command of quorbel-lvl, in a program of its own because it draws
// with QtGui. quorbel-lvl starts it for 'quorbel-lvl render'.
#include <clocale>
#include <string>
#include <vector>

#include "command_runner.h"
#include "render_command.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    quorbel::cli::RenderCommand render;
    return quorbel::cli::RunReportingErrors(render, args);
}
