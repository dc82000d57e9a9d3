#include "cli/convert_command.h"

#include <filesystem>
#include <optional>

#include "cli/console_front_end.h"
#include "cli/stop_signals.h"
#include "conversion/conversion_run.h"
#include "conversion/errors.h"
#include "conversion/output_file.h"
#include "conversion/tile_grid.h"

namespace quorbel::cli {
namespace {

// True when both paths name one file: the same file now (links included), or the same place for
// a file that does not exist yet.
bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) {
        return false;
    }
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) {
        return true;
    }
    const auto placeOfA = std::filesystem::weakly_canonical(a, error);
    if (error) {
        return false;
    }
    const auto placeOfB = std::filesystem::weakly_canonical(b, error);
    return !error && placeOfA == placeOfB;
}

// The report is written after the run, whatever its end, so it may not name the tileset, the
// bitmap or the output, and a report that could not be written is refused before the run
// starts. Throws UsageError.
void CheckReportPath(const std::string& report, const std::vector<std::string>& operands) {
    static constexpr const char* kRoles[] = {"TILESET", "BITMAP", "OUTPUT"};
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (SameFile(report, operands[i])) {
            throw UsageError("--report '" + report + "' names the same file as " + kRoles[i]);
        }
    }
    try {
        CheckReplaceable(report);
    } catch (const FileError& error) {
        throw UsageError(std::string("--report: ") + error.what());
    }
}

}  // namespace

Command::Syntax ConvertCommand::GetSyntax() const {
    return Syntax{{"--tile", "--report"}, {}, "TILESET BITMAP OUTPUT", 3, 3};
}

std::string ConvertCommand::Help() const {
    return R"(Usage: quorbel-lvl convert [--tile TEXT] [--report FILE] TILESET BITMAP OUTPUT

Writes the level file OUTPUT: the bitmap at the start of TILESET (as many bytes as
its BMP size field says; an earlier level file serves), followed by one 4-byte
tile record for every dark pixel of BITMAP, a 1-bit BMP with its pixel data at
offset 62 and at most 1024 x 1024 pixels. Each record holds x (12 bits),
y (12 bits, 0 at the top) and the tile number (8 bits).

OUTPUT is replaced only when the conversion succeeds; a rejected or failed run,
or one stopped by SIGINT, SIGTERM, SIGHUP or SIGPIPE (standard error's reader
went away), leaves it as it was.

Options:
  --tile TEXT     the tile number, read as the window's tile-number box reads it:
                  blanks around it allowed, "." (or the locale's separator) as
                  decimal point, halves rounded to even; must end up in 0..255
                  for a bitmap with dark pixels. Default: 171
  --report FILE   write the header report (CR LF between lines) to FILE at the
                  end of the run; empty when the run ended before the report.
                  FILE may not be TILESET, BITMAP or OUTPUT, and is checked
                  before the run: one that cannot be written is bad usage
  -h, --help      show this help

Standard error gets each status as "Status: <text>", each message as
"<title>: <prompt>", and after a failure a line "cause: <what went wrong>".

Exit status: 0 converted, 1 failed, 2 bitmap rejected, 64 bad usage;
128 + N when stopped by signal N.
)";
}

int ConvertCommand::Execute(const ParsedArguments& parsed, std::ostream&, std::ostream& err) {
    const auto reportPath = parsed.Value("--report");
    if (reportPath) {
        CheckReportPath(*reportPath, parsed.operands);
    }
    ConsoleFrontEnd console(
        {{Field::txtTileNum, parsed.Value("--tile").value_or(std::to_string(kDefaultTile))},
         {Field::txtTile, parsed.operands[0]},
         {Field::txtPic, parsed.operands[1]},
         {Field::txtOut, parsed.operands[2]}},
        err, ReceivedStopSignal());

    InstallStopSignalHandlers();
    const RunResult result = RunConversion(console);
    if (result.outcome == RunOutcome::Failed) {
        err << "cause: " << result.cause << '\n';
    }
    if (reportPath) {
        OutputFile report(*reportPath);
        report.Write(console.ReportText());
        report.Commit();
    }
    switch (result.outcome) {
        case RunOutcome::Converted:
            return kExitSuccess;
        case RunOutcome::Rejected:
            return kExitRejected;
        case RunOutcome::Failed:
            return kExitFailed;
        case RunOutcome::Interrupted:
            break;
    }
    EndByReceivedSignal();
}

}  // namespace quorbel::cli
