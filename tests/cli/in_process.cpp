#include "in_process.h"

#include <memory>
#include <stdexcept>

#include "cli/compose_command.h"
#include "cli/convert_command.h"
#include "cli/export_command.h"
#include "cli/import_command.h"
#include "cli/info_command.h"
#include "cli/split_command.h"

namespace quorbel::cli {

test::CommandResult Lvl(const std::vector<std::string>& args) {
    std::unique_ptr<command::Subcommand> commands[] = {
        std::make_unique<ConvertCommand>(), std::make_unique<ComposeCommand>(),
        std::make_unique<SplitCommand>(),   std::make_unique<InfoCommand>(),
        std::make_unique<ExportCommand>(),  std::make_unique<ImportCommand>()};
    const std::string name = args.empty() ? std::string() : args.front();
    for (const auto& command : commands) {
        if (command->Name() == name) {
            return test::RunCommand(*command, {args.begin() + 1, args.end()});
        }
    }
    throw std::invalid_argument("quorbel-lvl '" + name + "' does not run in this process");
}

}  // namespace quorbel::cli
