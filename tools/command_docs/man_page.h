// A manual page in roff, made from a command's declaration: NAME, SYNOPSIS (the usage that --help
// shows), DESCRIPTION (with what the command prints as a subsection), OPTIONS, EXIT STATUS, FILES,
// EXAMPLES and SEE ALSO, in the order man-pages(7) gives them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "command/declaration.h"

namespace quorbel::docs {

struct PageSource {
    std::string page;     // "quorbel-lvl-convert", the page's name
    std::string program;  // "quorbel-lvl convert", as the user types it
    std::string summary;  // the line after the name in NAME
    command::Declaration declaration;
};

// The edition of every page: "quorbel-lvl 1.0.0" and the month it was made, "December 2026".
struct Edition {
    std::string version;
    std::string date;
};

// text for a roff text line: backslashes and hyphens escaped (a hyphen stays an ASCII minus, so
// that what a reader copies from an option runs), and a line that would start with a control
// character ('.' or '\'') protected.
std::string RoffText(std::string_view text);

// The page of source; seeAlso names the other pages ("quorbel-lvl-info").
std::string ManPage(const PageSource& source, const Edition& edition,
                    const std::vector<std::string>& seeAlso);

}  // namespace quorbel::docs
