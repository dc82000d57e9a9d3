// quorbel-lvl-render: the commands of quorbel-lvl that draw with QtGui, in a program of their own.
// quorbel-lvl starts it as "quorbel-lvl-render COMMAND ARGUMENTS...".
#include <clocale>
#include <iostream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "cli/stop_signals.h"
#include "render/paint_command.h"
#include "render/prepare_command.h"
#include "render/render_command.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    quorbel::cli::IgnoreFileSizeSignal();
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::unique_ptr<quorbel::cli::Command>> commands;
    commands.push_back(std::make_unique<quorbel::render::RenderCommand>());
    commands.push_back(std::make_unique<quorbel::render::PrepareCommand>());
    commands.push_back(std::make_unique<quorbel::render::PaintCommand>());
    for (const auto& command : commands) {
        if (!args.empty() && command->Name() == args[0]) {
            return command->Main(std::span(args).subspan(1), std::cout, std::cerr);
        }
    }
    std::cerr << "quorbel-lvl-render: expected a command (render, prepare or paint), as "
                 "quorbel-lvl starts it\n";
    return quorbel::cli::kExitUsage;
}
