// quorbel-lvl export: a level file as a map of Tiled.
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class ExportCommand : public command::Command {
  public:
    std::string_view Name() const override { return "export"; }

  protected:
    command::Declaration Declare() const override;
    // Writes the map and its tileset picture and says so on out; warnings go to err. Throws
    // UsageError for a map name that cannot be exported to, MapError or FileError otherwise.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
