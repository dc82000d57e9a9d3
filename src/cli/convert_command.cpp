#include "cli/convert_command.h"

#include <algorithm>

#include "cli/console_front_end.h"
#include "cli/no_record_warning.h"
#include "cli/report_file.h"
#include "cli/stop_signals.h"
#include "conversion/conversion_notes.h"
#include "conversion/conversion_run.h"
#include "conversion/level_file.h"
#include "conversion/quoted.h"
#include "conversion/tile_grid.h"
#include "conversion/tile_number_text.h"

namespace quorbel::cli {
namespace {

struct RunFiles {
    const std::string& tileset;
    const std::string& bitmap;
    const std::string& output;
};

// This command line with the tileset and the bitmap exchanged.
std::string SwappedCommandLine(const ParsedArguments& parsed, const RunFiles& files) {
    std::string line = "quorbel-lvl convert";
    for (const auto& [option, value] : parsed.values) {
        line += " " + option + " " + ShellQuoted(value);
    }
    if (parsed.Has("--quiet")) {
        line += " --quiet";
    }
    return line + " " + ShellQuoted(files.bitmap) + " " + ShellQuoted(files.tileset) + " " +
           ShellQuoted(files.output);
}

// The warnings about a converted level and the line that says what was written. Throws
// FileError when a file of the run cannot be read again.
void PrintConvertedNotes(const std::string& tileText, const RunFiles& files, bool quiet,
                         std::ostream& err) {
    const int tile = TileNumberFromText(tileText, LocaleDecimalPoint());
    // The level begins with the tileset's picture, copied.
    const LevelFileReader level(files.output);
    const std::uint64_t records = level.RecordCount();
    for (const std::string& warning :
         ConvertedWarnings(tile, records, level.Picture(), files.bitmap)) {
        err << warning << '\n';
    }
    if (records == 0) {
        err << NoRecordWarning(Quoted(files.bitmap)) << '\n';
    }
    if (!quiet) {
        err << WroteLine(files.output, records, tile) << '\n';
    }
}

}  // namespace

Command::Syntax ConvertCommand::GetSyntax() const {
    return Syntax{{"--tile", "--report"}, {"--quiet"}, "TILESET BITMAP OUTPUT", 3, 3};
}

std::string ConvertCommand::Help() const {
    return R"(Usage: quorbel-lvl convert [--tile TEXT] [--report FILE] [--quiet]
                           TILESET BITMAP OUTPUT

Writes the level file OUTPUT: the bitmap at the start of TILESET (as many bytes as
its BMP size field says; an earlier level file serves), followed by one 4-byte
tile record for every dark pixel of BITMAP, a 1-bit BMP with its pixel data at
offset 62 and at most 1024 x 1024 pixels. Each record holds x (12 bits),
y (12 bits, 0 at the top) and the tile number (8 bits). quorbel-lvl prepare
makes such a bitmap of any picture.

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
  --quiet         print no status lines and no "wrote" line; messages,
                  causes, hints and warnings stay
  -h, --help      show this help

Standard error gets each status as "Status: <text>" and each message as
"<title>: <prompt>". After the last status come:
  cause: ...    what went wrong in a failed run; for a refused bitmap, one
                line for each thing it lacks: what was found; what is needed
  hint: ...     what to do, often the prepare command that mends the bitmap
  warning: ...  a tile number without a 16 x 16 cell in the tileset, or a
                palette entry 0 that looks light but counts as dark (only a
                blue value of 255 marks the light colour), or the other way
  wrote OUTPUT: N records of tile T

Exit status: 0 converted, 1 failed, 2 bitmap rejected, 64 bad usage;
128 + N when stopped by signal N.
)";
}

int ConvertCommand::Execute(const ParsedArguments& parsed, std::ostream&, std::ostream& err) {
    const auto reportPath = parsed.Value("--report");
    if (reportPath) {
        const NamedFile named[] = {{parsed.operands[0], "TILESET"},
                                   {parsed.operands[1], "BITMAP"},
                                   {parsed.operands[2], "OUTPUT"}};
        CheckReportPath(*reportPath, named);
    }
    const std::string tileText = parsed.Value("--tile").value_or(std::to_string(kDefaultTile));
    const RunFiles files{parsed.operands[0], parsed.operands[1], parsed.operands[2]};
    const bool quiet = parsed.Has("--quiet");
    ConsoleFrontEnd console({{Field::txtTileNum, tileText},
                             {Field::txtTile, files.tileset},
                             {Field::txtPic, files.bitmap},
                             {Field::txtOut, files.output}},
                            err, ReceivedStopSignal(), quiet);

    InstallStopSignalHandlers();
    const RunResult result = RunConversion(console);
    if (result.outcome == RunOutcome::Converted) {
        Note(err, [&] { PrintConvertedNotes(tileText, files, quiet, err); });
    } else if (result.outcome != RunOutcome::Interrupted) {
        // Once the run has opened the tileset and the bitmap, they can be read again; a run that
        // failed before has its cause in them or in the tile number.
        const bool filesOpened = std::any_of(
            console.Captions().begin(), console.Captions().end(),
            [](const std::string& caption) { return caption.ends_with(texts::kOpenedFiles); });
        BitmapExplanation explanation;
        if (filesOpened) {
            Note(err, [&] {
                explanation =
                    ExplainBitmap(files.tileset, files.bitmap, SwappedCommandLine(parsed, files));
            });
        }
        for (const std::string& line : explanation.causes) {
            err << line << '\n';
        }
        if (result.outcome == RunOutcome::Failed) {
            err << "cause: " << result.cause << '\n';
        }
        if (explanation.hint) {
            err << *explanation.hint << '\n';
        }
    }
    if (reportPath) {
        WriteReport(*reportPath, console.ReportText());
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
