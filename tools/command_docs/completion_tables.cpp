#include "command_docs/completion_tables.h"

#include <stdexcept>

namespace quorbel::docs {
namespace {

using command::Completion;
using command::Option;

constexpr std::string_view kTablesLine = "@TABLES@\n";

// A word the tables hold unquoted: a command, an option, a suffix or an offered value.
const std::string& Plain(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_not_of(
                                            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVW"
                                            "XYZ0123456789-./_+:") == std::string::npos;
    if (!plain) {
        throw std::invalid_argument("the completion cannot hold '" + word + "' unquoted");
    }
    return word;
}

// "files bmp lvl", "folders", "words 1/16 1/8", "nothing": what the template's
// _quorbel_lvl_complete_as takes.
std::string KindWords(const Completion& completion) {
    std::string words;
    switch (completion.kind) {
        case Completion::Kind::Nothing:
            return "nothing";
        case Completion::Kind::Files:
            words = "files";
            break;
        case Completion::Kind::Folders:
            words = "folders";
            break;
        case Completion::Kind::Words:
            words = "words";
            break;
        case Completion::Kind::FilesAfterColon:
            words = "files-after-colon";
            break;
    }
    for (const std::string& word : completion.words) {
        words += " " + Plain(word);
    }
    return words;
}

// "--output -o": an option's names, long first.
std::string Names(const Option& option) {
    return Plain(option.name) + (option.alias != 0 ? " -" + std::string{option.alias} : "");
}

}  // namespace

std::string CompletionTables(const std::vector<Option>& programOptions,
                             const std::vector<CompletedCommand>& commands) {
    std::string names;
    std::string repeating;
    std::string options;
    std::string values;
    std::string operands;
    for (const CompletedCommand& command : commands) {
        const std::string& name = Plain(command.name);
        names += (names.empty() ? "" : " ") + name;
        std::string optionNames;
        for (const Option& option : command.declaration.options) {
            optionNames += (optionNames.empty() ? "" : " ") + Names(option);
            if (option.TakesValue()) {
                std::string cases = "\"" + name + " " + option.name + "\"";
                if (option.alias != 0) {
                    cases += " | \"" + name + " -" + std::string{option.alias} + "\"";
                }
                values +=
                    "        " + cases + ") echo \"" + KindWords(option.completion) + "\" ;;\n";
            }
        }
        options += "        " + name + ") echo \"" + optionNames + "\" ;;\n";
        std::string kinds;
        for (const command::Operand& operand : command.declaration.operands) {
            kinds += " \"" + KindWords(operand.completion) + "\"";
        }
        operands += "        " + name + ") printf '%s\\n'" + kinds + " ;;\n";
        const auto& declared = command.declaration.operands;
        if (!declared.empty() && declared.back().repeats) {
            repeating += (repeating.empty() ? "" : " ") + name;
        }
    }
    std::string program;
    for (const Option& option : programOptions) {
        program += (program.empty() ? "" : " ") + Names(option);
    }
    return "# Made from the commands' declarations when quorbel-lvl was built.\n"
           "_quorbel_lvl_commands=\"" +
           names +
           "\"\n"
           "_quorbel_lvl_program_options=\"" +
           program +
           "\"\n"
           "# The commands whose last operand may be given more than once.\n"
           "_quorbel_lvl_repeating=\"" +
           repeating +
           "\"\n\n"
           "# _quorbel_lvl_options COMMAND: the options of COMMAND.\n"
           "_quorbel_lvl_options()\n{\n    case $1 in\n" +
           options +
           "    esac\n}\n\n"
           "# _quorbel_lvl_value COMMAND OPTION: how the value of OPTION completes; nothing is\n"
           "# printed for an option that takes no value.\n"
           "_quorbel_lvl_value()\n{\n    case \"$1 $2\" in\n" +
           values +
           "    esac\n}\n\n"
           "# _quorbel_lvl_operands COMMAND: how each operand of COMMAND completes, a line each.\n"
           "_quorbel_lvl_operands()\n{\n    case $1 in\n" +
           operands + "    esac\n}\n";
}

std::string FilledTemplate(const std::string& templateText, const std::string& tables) {
    const std::size_t at = templateText.find(kTablesLine);
    if (at == std::string::npos || (at != 0 && templateText[at - 1] != '\n')) {
        throw std::invalid_argument("the completion's template has no line @TABLES@");
    }
    return templateText.substr(0, at) + tables + templateText.substr(at + kTablesLine.size());
}

}  // namespace quorbel::docs
