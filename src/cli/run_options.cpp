#include "cli/run_options.h"

namespace quorbel::cli {

using command::Completion;

command::Option QuietOption() {
    return {.name = "--quiet",
            .help =
                "print no status lines and no \"wrote\" line; messages, causes, hints and "
                "warnings stay"};
}

command::Option ReportOption(const std::string& what, const std::string& more,
                             const std::string& inputs) {
    return {.name = "--report",
            .valueName = "FILE",
            .help = "write " + what + " to FILE at the end of the run (CR LF between lines)" +
                    more + ". FILE may not be " + inputs +
                    ", and is checked before the run: one that cannot be written is bad usage",
            .completion = Completion::Files()};
}

command::Block StatusLinesParagraph(const std::string& then) {
    return command::Paragraph(
        "Standard error gets each status as \"Status: <text>\" and each message as \"<title>: "
        "<prompt>\". After the last status come " +
        then);
}

}  // namespace quorbel::cli
