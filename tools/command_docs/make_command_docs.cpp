// quorbel-command-docs: quorbel-lvl's manual pages and bash completion, made at build time from
// the commands' declarations, so that neither can differ from --help.
//   quorbel-command-docs completion TEMPLATE OUTPUT
//   quorbel-command-docs man OUTDIR VERSION DATE
// A build without quorbel-lvl-render has no declarations of render and prepare: its completion
// completes only the commands that run in quorbel-lvl itself (the pages are made only with it).
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "command_docs/completion_tables.h"
#include "command_docs/man_page.h"
#include "files/output_file.h"
#if QUORBEL_WITH_RENDER
#include "render/commands.h"
#endif

namespace {

using quorbel::command::Command;
using quorbel::command::Registry;

struct Documented {
    std::string name;
    std::string summary;
    quorbel::command::Declaration declaration;
};

// quorbel-lvl's commands that have a declaration here, in its order, with its summaries.
std::vector<Documented> DocumentedCommands(const Registry& lvl) {
#if QUORBEL_WITH_RENDER
    const Registry render = quorbel::render::QuorbelLvlRender();
#endif
    std::vector<Documented> documented;
    for (const Registry::Entry& entry : lvl.Entries()) {
        const std::string name(entry.command->Name());
        const auto* command = dynamic_cast<const Command*>(entry.command.get());
#if QUORBEL_WITH_RENDER
        if (command == nullptr) {
            command = dynamic_cast<const Command*>(render.Find(name));
        }
#endif
        if (command != nullptr) {
            documented.push_back({name, entry.summary, command->Declared()});
        }
    }
    return documented;
}

void WriteFile(const std::string& path, const std::string& text) {
    quorbel::OutputFile file(path);
    file.Write(text);
    file.Commit();
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return text.str();
}

void MakeCompletion(const std::string& templatePath, const std::string& output) {
    const Registry lvl = quorbel::cli::QuorbelLvl();
    std::vector<quorbel::docs::CompletedCommand> commands;
    for (Documented& command : DocumentedCommands(lvl)) {
        commands.push_back({command.name, std::move(command.declaration)});
    }
    const std::string tables = quorbel::docs::CompletionTables(lvl.Overview().options, commands);
    WriteFile(output, quorbel::docs::FilledTemplate(ReadFile(templatePath), tables));
}

void MakeManPages(const std::string& folder, const std::string& version, const std::string& date) {
    const Registry lvl = quorbel::cli::QuorbelLvl();
    const std::vector<Documented> commands = DocumentedCommands(lvl);
    std::vector<quorbel::docs::PageSource> pages{
        {lvl.Program(), lvl.Program(), lvl.Summary(), lvl.Overview()}};
    for (const Documented& command : commands) {
        pages.push_back({lvl.Program() + "-" + command.name, lvl.Program() + " " + command.name,
                         command.summary, command.declaration});
    }
    for (const auto& page : pages) {
        std::vector<std::string> seeAlso;
        for (const auto& other : pages) {
            if (other.page != page.page) {
                seeAlso.push_back(other.page);
            }
        }
        seeAlso.push_back("quorbel-mapmaker");
        WriteFile(folder + "/" + page.page + ".1",
                  quorbel::docs::ManPage(page, {lvl.Program() + " " + version, date}, seeAlso));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && args[0] == "completion") {
            MakeCompletion(args[1], args[2]);
        } else if (args.size() == 4 && args[0] == "man") {
            MakeManPages(args[1], args[2], args[3]);
        } else {
            std::cerr << "Usage: quorbel-command-docs completion TEMPLATE OUTPUT\n"
                         "       quorbel-command-docs man OUTDIR VERSION DATE\n";
            return 64;
        }
    } catch (const std::exception& error) {
        std::cerr << "quorbel-command-docs: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
