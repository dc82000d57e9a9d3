#include "command/command.h"

#include <new>

namespace quorbel::command {
namespace {

void CheckOperandCount(std::size_t count, std::size_t fewest, std::size_t most,
                       const std::string& operands) {
    if (count < fewest || count > most) {
        throw UsageError("expected " + operands + ", got " + std::to_string(count) + " operand(s)");
    }
}

}  // namespace

std::string Command::ProgramName() const {
    return "quorbel-lvl " + std::string(Name());
}

int Command::ForEachOperand(const std::vector<std::string>& operands, std::ostream& err,
                            const std::function<void(const std::string&)>& each) const {
    int status = kExitSuccess;
    for (const std::string& operand : operands) {
        try {
            each(operand);
        } catch (const UsageError&) {
            throw;
        } catch (const Error& error) {
            err << ProgramName() << ": " << error.what() << '\n';
            status = kExitFailed;
        }
    }
    return status;
}

void Command::Note(std::ostream& err, const std::function<void()>& note) const {
    try {
        note();
    } catch (const Error& error) {
        err << ProgramName() << ": warning: cannot say more: " << error.what() << '\n';
    }
}

int Command::Main(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    int status = kExitFailed;
    try {
        Syntax syntax = GetSyntax();
        syntax.flagOptions.insert("--help");
        const ParsedArguments parsed =
            ParseArguments(args, syntax.valueOptions, syntax.flagOptions);
        if (parsed.Has("--help")) {
            out << Help();
            status = kExitSuccess;
        } else {
            CheckOperandCount(parsed.operands.size(), syntax.fewestOperands, syntax.mostOperands,
                              syntax.operands);
            status = Execute(parsed, out, err);
        }
    } catch (const UsageError& error) {
        err << ProgramName() << ": " << error.what() << "\nTry '" << ProgramName() << " --help'.\n";
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        err << ProgramName() << ": out of memory\n";
        return kExitFailed;
    } catch (const Error& error) {
        err << ProgramName() << ": " << error.what() << '\n';
        return kExitFailed;
    }
    // What was printed must have reached standard output, as coreutils' "write error" says.
    if (!out.flush()) {
        err << ProgramName() << ": write error on standard output\n";
        return status == kExitSuccess ? kExitFailed : status;
    }
    return status;
}

}  // namespace quorbel::command
