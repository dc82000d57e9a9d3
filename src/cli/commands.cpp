#include "cli/commands.h"

#include <memory>

#include "cli/compose_command.h"
#include "cli/convert_command.h"
#include "cli/export_command.h"
#include "cli/external_command.h"
#include "cli/import_command.h"
#include "cli/info_command.h"
#include "cli/split_command.h"

namespace quorbel::cli {

command::Registry QuorbelLvl() {
    command::Registry commands(std::string(command::kToolName),
                               "Quorbel Map Maker's command-line tool for level files (.lvl)");
    // In the order of the work: a picture made a map, maps (or a colour drawing) made levels,
    // levels looked at and exchanged.
    commands.Add(std::make_unique<ExternalCommand>("prepare"),
                 "make the 1-bit BMP that convert takes of any picture");
    commands.Add(std::make_unique<ConvertCommand>(),
                 "turn a 1-bit BMP into a level file over a tileset");
    commands.Add(std::make_unique<ComposeCommand>(),
                 "make a level of several 1-bit BMP layers, one tile number each");
    commands.Add(std::make_unique<ExternalCommand>("paint"),
                 "make a level of a colour drawing, one palette colour per kind of cell");
    commands.Add(std::make_unique<SplitCommand>(),
                 "take a level apart into its tileset and one 1-bit BMP per tile number");
    commands.Add(std::make_unique<InfoCommand>(),
                 "describe a level file: prefix, records, bounds, tiles, repeats");
    commands.Add(std::make_unique<ExternalCommand>("render"),
                 "draw a level file's map as a picture (PNG, BMP or JPEG)");
    commands.Add(std::make_unique<ExportCommand>(),
                 "write a level file as a map for the Tiled map editor (TMX or JSON)");
    commands.Add(std::make_unique<ImportCommand>(),
                 "make a level file from a Tiled map (TMX or JSON)");
    return commands;
}

}  // namespace quorbel::cli
