// quorbel-lvl export LEVEL MAP
#pragma once

#include "command/command.h"

namespace quorbel::cli {

class ExportCommand : public command::Command {
  public:
    std::string_view Name() const override { return "export"; }
    std::string_view Summary() const override {
        return "write a level file as a map for the Tiled map editor (TMX or JSON)";
    }

  protected:
    Syntax GetSyntax() const override;
    std::string Help() const override;
    // Writes the map and its tileset picture and says so on out; warnings go to err. Throws
    // UsageError for a map name that cannot be exported to, MapError or FileError otherwise.
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::cli
