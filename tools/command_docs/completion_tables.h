// The tables of quorbel-lvl's bash completion, made from the commands' declarations: the commands,
// each command's options, how an option's value completes, and how each operand completes. The
// completion's logic is a hand-written template that names no option; these tables fill it.
#pragma once

#include <string>
#include <vector>

#include "command/declaration.h"

namespace quorbel::docs {

struct CompletedCommand {
    std::string name;  // "convert"
    command::Declaration declaration;
};

// Bash functions and variables, for the template's @TABLES@ line. programOptions are those of
// quorbel-lvl itself. Throws std::invalid_argument for a name or word that would need quoting in
// bash.
std::string CompletionTables(const std::vector<command::Option>& programOptions,
                             const std::vector<CompletedCommand>& commands);

// template with its line "@TABLES@" replaced by tables. Throws std::invalid_argument when
// template has no such line.
std::string FilledTemplate(const std::string& templateText, const std::string& tables);

}  // namespace quorbel::docs
