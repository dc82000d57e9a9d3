// What convert and compose, the commands that run conversions, declare alike: --quiet, --report
// and the paragraph about their status lines.
#pragma once

#include <string>

#include "command/declaration.h"

namespace quorbel::cli {

// --quiet: no status lines and no "wrote" line.
command::Option QuietOption();

// --report FILE. what is the report ("the header report"), more what follows "at the end of the
// run (CR LF between lines)", and inputs the files that FILE may not be ("TILESET, BITMAP or
// OUTPUT").
command::Option ReportOption(const std::string& what, const std::string& more,
                             const std::string& inputs);

// What standard error gets before the run's last status; then ends it, so that a list of the lines
// after the last status can follow.
command::Block StatusLinesParagraph(const std::string& then);

}  // namespace quorbel::cli
