#include "command/registry.h"

#include <algorithm>

#include "base/quoted.h"
#include "command/help_text.h"

namespace quorbel::command {

void Registry::Add(std::unique_ptr<Subcommand> command, std::string summary) {
    entries_.push_back({std::move(command), std::move(summary)});
}

Subcommand* Registry::Find(std::string_view name) const {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.command->Name() == name;
    });
    return found == entries_.end() ? nullptr : found->command.get();
}

int Registry::Dispatch(std::span<const std::string> args, std::ostream& out,
                       std::ostream& err) const {
    if (!args.empty()) {
        if (Subcommand* command = Find(args[0])) {
            command->StartedAs(startedAs_);
            return command->Main(args.subspan(1), out, err);
        }
    }
    std::string names;
    for (const Entry& entry : entries_) {
        names += (names.empty() ? "" : ", ") + std::string(entry.command->Name());
    }
    err << program_ << ": "
        << (args.empty() ? std::string("expected a command") : "unknown command " + Quoted(args[0]))
        << " (the commands: " << names << ")\nTry '" << kToolName << " --help'.\n";
    return kExitUsage;
}

Declaration Registry::Overview() const {
    std::vector<Item> commands;
    for (const Entry& entry : entries_) {
        commands.push_back({std::string(entry.command->Name()), entry.summary});
    }
    const std::string help = std::string(kToolName) + " COMMAND " + HelpOption().name;
    return Declaration{
        .options = {HelpOption(), VersionOption()},
        .usage = {"COMMAND [OPTIONS] [ARGUMENTS]"},
        .description = {Paragraph(summary_ + "."), Paragraph("Commands:"), Items(commands),
                        Paragraph("'" + help +
                                  "' explains a command, and the exit statuses it "
                                  "gives.")},
        .exitStatus = {{"0", "this help or the version shown"},
                       {"64", "no command, or an unknown one"}},
    };
}

int Registry::Run(std::string_view version, std::span<const std::string> args, std::ostream& out,
                  std::ostream& err) const {
    const Option help = HelpOption();
    if (args.empty()) {
        err << HelpText(program_, Overview());
        return kExitUsage;
    }
    if (args[0] == help.name || args[0] == help.ShortestName() || args[0] == "help") {
        out << HelpText(program_, Overview());
    } else if (args[0] == VersionOption().name) {
        out << program_ << " " << version << '\n';
    } else {
        return Dispatch(args, out, err);
    }
    if (!out.flush()) {
        err << program_ << ": write error on standard output\n";
        return kExitFailed;
    }
    return kExitSuccess;
}

}  // namespace quorbel::command
