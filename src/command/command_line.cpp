#include "command/command_line.h"

namespace quorbel::command {

namespace {

// "-1", "-0.4:map.bmp", "-.5": a negative number is an operand, not an option.
bool IsNegativeNumber(const std::string& arg) {
    return arg.size() >= 2 && arg[0] == '-' && ((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.');
}

}  // namespace

ParsedArguments ParseArguments(std::span<const std::string> args,
                               const std::set<std::string>& valueOptions,
                               const std::set<std::string>& flagOptions) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with("-") || IsNegativeNumber(arg)) {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg == "-h" ? "--help" : arg;
        std::string value;
        bool hasInlineValue = false;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != name.npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasInlineValue = true;
        }
        if (flagOptions.count(name) != 0 && !hasInlineValue) {
            parsed.flags.insert(name);
            continue;
        }
        if (valueOptions.count(name) == 0) {
            throw UsageError("unknown option '" + arg + "'");
        }
        if (!hasInlineValue) {
            if (i + 1 >= args.size()) {
                throw UsageError("option '" + name + "' needs a value");
            }
            value = args[++i];
        }
        if (!parsed.values.emplace(name, value).second) {
            throw UsageError("option '" + name + "' given twice");
        }
    }
    return parsed;
}

}  // namespace quorbel::command
