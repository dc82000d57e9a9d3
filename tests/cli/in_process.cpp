#include "in_process.h"

#include <stdexcept>

#include "cli/commands.h"
#include "cli/external_command.h"

namespace quorbel::cli {

test::CommandResult Lvl(const std::vector<std::string>& args) {
    const command::Registry program = QuorbelLvl();
    if (!args.empty() && dynamic_cast<ExternalCommand*>(program.Find(args.front())) != nullptr) {
        throw std::invalid_argument("quorbel-lvl '" + args.front() +
                                    "' runs quorbel-lvl-render, not in this process");
    }
    return test::RunInProcess([&](std::ostream& out, std::ostream& err) {
        return program.Run("in process", args, out, err);
    });
}

}  // namespace quorbel::cli
