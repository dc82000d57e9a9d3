#include "command/declaration.h"

namespace quorbel::command {

Option HelpOption() {
    return {.name = "--help", .alias = 'h', .help = "show this help"};
}

Option VersionOption() {
    return {.name = "--version", .help = "show the version"};
}

std::string OperandsText(const std::vector<Operand>& operands) {
    std::string text;
    for (const Operand& operand : operands) {
        text += (text.empty() ? "" : " ") + operand.name + (operand.repeats ? "..." : "");
    }
    return text;
}

}  // namespace quorbel::command
