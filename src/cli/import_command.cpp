#include "cli/import_command.h"

#include <ostream>

#include "base/errors.h"
#include "command/stop_signals.h"
#include "tiled/level_import.h"
#include "tiled/tiled_map.h"

namespace quorbel::cli {

using command::Completion;
using command::kExitSuccess;
using command::Paragraph;
using command::ParsedArguments;
using command::UsageError;

command::Declaration ImportCommand::Declare() const {
    return {
        .options = {{.name = "--tileset",
                     .valueName = "FILE",
                     .help = "take the prefix from FILE (a BMP picture, or a level file) instead "
                             "of the picture of the first tileset",
                     .completion = Completion::Files({"bmp", "lvl"})}},
        .operands = {{"MAP", false, Completion::Files({"tmx", "tmj", "json"})},
                     {"OUTPUT", false, Completion::Files({"lvl"})}},
        .description =
            {Paragraph("Writes the level file OUTPUT from MAP, a map of Tiled, the map editor, in "
                       "TMX (XML) or JSON, as Tiled 1.8 saves them: tile layer data in CSV, "
                       "base64, or base64 compressed with zlib or gzip; finite or infinite maps; "
                       "layers inside groups; tilesets embedded or in .tsx and .tsj files."),
             Paragraph("OUTPUT begins with the leading bitmap of FILE, or else of the picture of "
                       "MAP's first tileset, which must then be a BMP: as many bytes as its BMP "
                       "size field (bytes 2..5) says. Then come the records: for each tile layer "
                       "in file order, one for every cell that holds a tile, rows from the bottom "
                       "of the map up and left to right within a row (the order 'quorbel-lvl "
                       "convert' writes). The tileset picture's cell in column c and row r (from "
                       "0) becomes tile number 19 x r + c + 1, the tile chooser's numbering."),
             Paragraph("Refused, naming the layer, x and y: a flipped or rotated tile; a tile of "
                       "another tileset than the first; a tile in column 20 or beyond (rows of 19 "
                       "cannot reach it); a tile whose number would pass 255; x or y outside "
                       "0..4095 (chunks of an infinite map left of or above the origin included). "
                       "Also refused: a first tileset whose tiles are not 16 x 16 pixels, or with "
                       "a margin or spacing, and layer data compressed with Zstandard (choose "
                       "CSV, or base64 with zlib or gzip, in Tiled's Map Properties). Refused "
                       "before any cell is read: tile layers of more than " +
                       std::to_string(tiled::kMostImportedRecords) +
                       " cells in all (a level of 512 MiB of records), groups more than " +
                       std::to_string(tiled::kDeepestGroups) +
                       " deep, and chunks outside Tiled's own positions. Object and image layers "
                       "are skipped with a warning each."),
             Paragraph("OUTPUT is replaced only when the whole level is written; on any refusal "
                       "it stays as it was. It may not be MAP, FILE or any file they name.")},
        .output = {Paragraph("Standard output gets one line: \"wrote OUTPUT: R records from L tile "
                             "layers, prefix from ...\". Warnings go to standard error.")},
        .exitStatus = {{"0", "imported"},
                       {"1",
                        "MAP or a file it names cannot be read, is not well-formed XML or JSON "
                        "(the parser's line and column are named), is refused as above, or "
                        "OUTPUT cannot be written"},
                       {"64", "bad usage"}},
        .examples = {{"The level of a map saved in Tiled:",
                      "quorbel-lvl import level.tmx level.lvl"},
                     {"The same with the prefix of another level:",
                      "quorbel-lvl import --tileset old.lvl level.tmj level.lvl"}},
    };
}

int ImportCommand::Execute(const ParsedArguments& parsed, std::ostream& out, std::ostream& err) {
    const auto tileset = parsed.Value("--tileset");
    if (tileset && tileset->empty()) {
        throw UsageError("--tileset needs a file name");
    }
    const std::string& output = parsed.operands[1];
    command::InstallStopSignalHandlers();
    tiled::ImportSummary summary;
    try {
        summary = tiled::ImportMap(
            parsed.operands[0], tileset, output,
            [&](const std::string& warning) {
                err << ProgramName() << ": warning: " << warning << '\n';
            },
            command::StopRequested);
    } catch (const RunInterrupted&) {
        command::EndByReceivedSignal();
    }
    out << "wrote " << output << ": " << summary.records << " records from " << summary.tileLayers
        << (summary.tileLayers == 1 ? " tile layer" : " tile layers") << ", prefix from "
        << summary.prefixFrom << '\n';
    return kExitSuccess;
}

}  // namespace quorbel::cli
