#include "cli/convert_command.h"

#include "base/quoted.h"
#include "cli/console_front_end.h"
#include "cli/conversion_notes.h"
#include "cli/no_record_warning.h"
#include "cli/report_file.h"
#include "cli/run_options.h"
#include "command/stop_signals.h"
#include "conversion/conversion_run.h"
#include "conversion/tile_number_text.h"
#include "formats/level_file.h"
#include "formats/tile_grid.h"

namespace quorbel::cli {

using command::Completion;
using command::EndByReceivedSignal;
using command::InstallStopSignalHandlers;
using command::Items;
using command::kExitFailed;
using command::kExitRejected;
using command::kExitSuccess;
using command::Paragraph;
using command::ParsedArguments;
using command::ReceivedStopSignal;
namespace {

struct RunFiles {
    const std::string& tileset;
    const std::string& bitmap;
    const std::string& output;
};

// The warnings about a converted level and the line that says what was written. Throws
// FileError when a file of the run cannot be read again.
void PrintConvertedNotes(const std::string& program, const std::string& tileText,
                         const RunFiles& files, bool quiet, std::ostream& err) {
    const int tile = TileNumberFromText(tileText, LocaleDecimalPoint());
    // The level begins with the tileset's picture, copied.
    const LevelFileReader level(files.output);
    const std::uint64_t records = level.RecordCount();
    for (const std::string& warning :
         ConvertedWarnings(tile, records, level.Picture(), files.bitmap)) {
        err << program << ": " << warning << '\n';
    }
    if (records == 0) {
        err << program << ": " << NoRecordWarning(Quoted(files.bitmap)) << '\n';
    }
    if (!quiet) {
        err << WroteLine(files.output, records, tile) << '\n';
    }
}

}  // namespace

command::Declaration ConvertCommand::Declare() const {
    return {
        .options = {{.name = "--tile",
                     .valueName = "TEXT",
                     .help =
                         "the tile number, read as the window's tile-number box reads it: blanks "
                         "around it allowed, \".\" (or the locale's separator) as decimal point, "
                         "halves rounded to even; must end up in 0..255 for a bitmap with dark "
                         "pixels. Default: " +
                         std::to_string(kDefaultTile)},
                    ReportOption("the header report",
                                 "; empty when the run ended before the report",
                                 "TILESET, BITMAP or OUTPUT"),
                    QuietOption()},
        .operands = {{"TILESET", false, Completion::Files({"bmp", "lvl"})},
                     {"BITMAP", false, Completion::Files({"bmp"})},
                     {"OUTPUT", false, Completion::Files({"lvl"})}},
        .description =
            {Paragraph("Writes the level file OUTPUT: the bitmap at the start of TILESET (as many "
                       "bytes as its BMP size field says; an earlier level file serves), followed "
                       "by one 4-byte tile record for every dark pixel of BITMAP, a 1-bit BMP with "
                       "its pixel data at offset 62 and at most 1024 x 1024 pixels. Each record "
                       "holds x (12 bits), y (12 bits, 0 at the top) and the tile number (8 bits). "
                       "quorbel-lvl prepare makes such a bitmap of any picture."),
             Paragraph("OUTPUT is replaced only when the conversion succeeds; a rejected or failed "
                       "run, or one stopped by SIGINT, SIGTERM, SIGHUP or SIGPIPE (standard "
                       "error's reader went away), leaves it as it was.")},
        .output = {StatusLinesParagraph("these lines:"),
                   Items({{"cause: ...",
                           "what went wrong in a failed run; for a refused bitmap, one line for "
                           "each thing it lacks: what was found; what is needed"},
                          {"hint: ...",
                           "what to do, often the prepare command that mends the bitmap"},
                          {"quorbel-lvl convert: warning: ...",
                           "a tile number without a 16 x 16 cell in the tileset, a palette entry "
                           "0 that looks light but counts as dark (only a blue value of 255 marks "
                           "the light colour) or the other way, or a map without records"},
                          {"wrote OUTPUT: N records of tile T", "the level written"}})},
        .exitStatus = {{"0", "converted"},
                       {"1", "failed"},
                       {"2", "bitmap rejected"},
                       {"64", "bad usage"},
                       {"128 + N", "stopped by signal N"}},
        .examples = {{"A level of the sample map, a record of tile 171 for every dark pixel:",
                      "quorbel-lvl convert sample-tileset.bmp sample-map.bmp sample.lvl"},
                     {"Tile 104 instead, and the bitmap's header report kept in a file:",
                      "quorbel-lvl convert --tile 104 --report r.txt tiles.bmp map.bmp out.lvl"}},
    };
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
        Note(err, [&] { PrintConvertedNotes(ProgramName(), tileText, files, quiet, err); });
    } else if (result.outcome != RunOutcome::Interrupted) {
        // Once the run has opened the tileset and the bitmap, they can be read again; a run that
        // failed before has its cause in them or in the tile number.
        BitmapExplanation explanation;
        if (result.reached >= RunStage::OpenedFiles) {
            Note(err, [&] {
                // The same command with the tileset and the bitmap exchanged.
                const std::string swapped = command::CommandLine(
                    PastableCommand(), parsed.options, {files.bitmap, files.tileset, files.output});
                explanation =
                    ExplainBitmap(files.tileset, files.bitmap, swapped, PastableProgram());
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
