#include "command/command_line.h"

#include <algorithm>

#include "base/quoted.h"

namespace quorbel::command {

namespace {

// "-1", "-0.4:map.bmp", "-.5": a negative number is an operand, not an option.
bool IsNegativeNumber(const std::string& arg) {
    return arg.size() >= 2 && arg[0] == '-' && ((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.');
}

// The option that arg names, by its long name or, for "-x", its alias; nullptr for none.
const Option* Named(const std::vector<Option>& options, const std::string& arg) {
    const auto found = std::find_if(options.begin(), options.end(), [&](const Option& option) {
        return option.name == arg ||
               (option.alias != 0 && arg.size() == 2 && arg[0] == '-' && arg[1] == option.alias);
    });
    return found == options.end() ? nullptr : &*found;
}

}  // namespace

ParsedArguments ParseArguments(std::span<const std::string> args,
                               const std::vector<Option>& options) {
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
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const Option* option = Named(options, name);
        if (option == nullptr) {
            throw UsageError("unknown option '" + arg + "'");
        }
        if (!option->TakesValue() && value) {
            throw UsageError("option '" + name + "' takes no value");
        }
        if (option->TakesValue() && !value) {
            if (i + 1 >= args.size()) {
                throw UsageError("option '" + name + "' needs a value");
            }
            value = args[++i];
        }
        if (parsed.Has(option->name)) {
            throw UsageError("option '" + name + "' given twice");
        }
        parsed.options.push_back({option->name, std::move(value)});
    }
    return parsed;
}

void CheckArguments(const ParsedArguments& parsed, const Declaration& declaration,
                    std::string_view command) {
    const auto& operands = declaration.operands;
    const std::size_t count = parsed.operands.size();
    const bool repeats =
        std::any_of(operands.begin(), operands.end(), [](const Operand& o) { return o.repeats; });
    for (const Option& option : declaration.options) {
        if (option.required && !parsed.Has(option.name)) {
            std::string message = "option '" + option.name + "' is required: give " +
                                  option.ShortestName() + " " + option.valueName;
            if (!command.empty() && option.TakesValue() && !repeats &&
                count == operands.size() + 1) {
                std::vector<GivenOption> given = parsed.options;
                given.push_back({option.name, parsed.operands.back()});
                message +=
                    ", as in " + CommandLine(command, given,
                                             {parsed.operands.begin(), parsed.operands.end() - 1});
            }
            throw UsageError(message);
        }
    }
    if (count < operands.size() || (!repeats && count > operands.size())) {
        throw UsageError("expected " + OperandsText(operands) + ", got " + std::to_string(count) +
                         " operand(s)");
    }
}

std::string CommandLine(std::string_view program, const std::vector<GivenOption>& options,
                        const std::vector<std::string>& operands) {
    std::string line(program);
    for (const GivenOption& option : options) {
        line += " " + option.name;
        if (option.value) {
            line += " " + ShellQuoted(*option.value);
        }
    }
    // An operand that begins with a dash (but a negative number) would read as an option.
    const bool dashed = std::any_of(operands.begin(), operands.end(), [](const std::string& op) {
        return op.size() > 1 && op[0] == '-' && !IsNegativeNumber(op);
    });
    if (dashed) {
        line += " --";
    }
    for (const std::string& operand : operands) {
        line += " " + ShellQuoted(operand);
    }
    return line;
}

}  // namespace quorbel::command
