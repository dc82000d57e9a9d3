#include "command/command.h"

#include "base/quoted.h"

#include <new>

#include "command/help_text.h"

namespace quorbel::command {

Declaration Command::Declared() const {
    Declaration declaration = Declare();
    declaration.options.push_back(HelpOption());
    return declaration;
}

std::string Subcommand::PastableProgram() const {
    if (startedAs_.find('/') != std::string::npos) {
        return ShellQuoted(startedAs_);
    }
    return startedAs_.empty() ? std::string(kToolName) : startedAs_;
}

std::string Command::ProgramName() const {
    return std::string(kToolName) + " " + std::string(Name());
}

std::string Command::PastableCommand() const {
    return PastableProgram() + " " + std::string(Name());
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
        const Declaration declaration = Declared();
        const ParsedArguments parsed = ParseArguments(args, declaration.options);
        if (parsed.Has(HelpOption().name)) {
            out << HelpText(ProgramName(), declaration);
            status = kExitSuccess;
        } else {
            CheckArguments(parsed, declaration, PastableCommand());
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
