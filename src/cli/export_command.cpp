#include "cli/export_command.h"

#include <ostream>

#include "base/errors.h"
#include "command/stop_signals.h"
#include "tiled/level_export.h"

namespace quorbel::cli {

using command::Completion;
using command::kExitSuccess;
using command::Paragraph;
using command::ParsedArguments;
using command::UsageError;

command::Declaration ExportCommand::Declare() const {
    return {
        .operands = {{"LEVEL", false, Completion::Files({"lvl"})},
                     {"MAP", false, Completion::Files({"tmx", "tmj", "json"})}},
        .description =
            {Paragraph("Writes the level file LEVEL as a map for Tiled, the map editor: a MAP "
                       "ending in .tmx is a TMX (XML) map, one ending in .tmj or .json a JSON "
                       "map. Beside MAP goes its tileset picture (see Files), which MAP names "
                       "(relative to itself) as the picture of its one tileset. 'quorbel-lvl "
                       "import' reads the map back into a level file."),
             Paragraph("The map is orthogonal and finite, of 16 x 16 tiles, as wide and high as "
                       "the largest x and y plus one. Tile number t is the picture's cell in "
                       "column (t - 1) mod 19 and row (t - 1) div 19 (the tile chooser's "
                       "numbering); Tiled numbers the same cell 1 + row x columns + column, "
                       "columns being the picture's width div 16. The tile layer \"records\" "
                       "takes the records in file order until one falls on a cell it already "
                       "holds or comes before its last record in the order import writes a layer "
                       "(rows from the bottom up, left to right); that record starts \"records "
                       "2\", and so on. So 'quorbel-lvl import' gives LEVEL back byte for byte, "
                       "whatever the order of its records (bytes after the last whole record are "
                       "left out, with a warning). The map's property quorbel.records holds the "
                       "number of records. Layer data is CSV in TMX, arrays of numbers in JSON."),
             Paragraph("MAP and the picture are both replaced, or neither: a failed run leaves "
                       "both as they were. Neither may be LEVEL.")},
        .output = {Paragraph("Standard output gets one line: \"wrote MAP and PICTURE: W x H tiles, "
                             "R records in L layers\". Warnings go to standard error.")},
        .exitStatus =
            {{"0", "exported"},
             {"1",
              "LEVEL cannot be read as a level file (as 'quorbel-lvl info' refuses it), has no "
              "records, has a prefix that is no BMP picture, uses tile numbers without a whole "
              "cell in its prefix picture (each is named with its record count), needs so many "
              "layers for its records' order that the map would pass 33554432 cells or the 512 "
              "MiB that import reads, or an output cannot be written (the picture being a link "
              "to MAP included)"},
             {"64",
              "bad usage: MAP does not end in .tmx, .tmj or .json, or its name is not UTF-8 text "
              "without control characters"}},
        .files = {{"<MAP's name without suffix>-tileset.bmp",
                   "the map's tileset picture: LEVEL's prefix, byte for byte"}},
        .examples = {{"Edit a level in Tiled:",
                      "quorbel-lvl export level.lvl level.tmx && tiled level.tmx"}},
    };
}

int ExportCommand::Execute(const ParsedArguments& parsed, std::ostream& out, std::ostream& err) {
    const std::string& level = parsed.operands[0];
    const std::string& map = parsed.operands[1];
    if (const auto problem = tiled::MapNameProblem(map)) {
        throw UsageError(*problem);
    }
    command::InstallStopSignalHandlers();
    tiled::ExportSummary summary;
    try {
        summary = tiled::ExportLevel(
            level, map,
            [&](const std::string& w) { err << ProgramName() << ": warning: " << w << '\n'; },
            command::StopRequested);
    } catch (const RunInterrupted&) {
        command::EndByReceivedSignal();
    }
    out << "wrote " << map << " and " << summary.picture << ": " << summary.width << " x "
        << summary.height << " tiles, " << summary.records << " records in " << summary.layers
        << (summary.layers == 1 ? " layer\n" : " layers\n");
    return kExitSuccess;
}

}  // namespace quorbel::cli
