// quorbel-lvl convert [--tile TEXT] [--report FILE] TILESET BITMAP OUTPUT
#pragma once

#include "command.h"

namespace quorbel::cli {

class ConvertCommand : public Command {
  public:
    std::string_view Name() const override { return "convert"; }
    std::string_view Summary() const override {
        return "turn a 1-bit BMP into a level file over a tileset";
    }
    std::string Help() const override;
    int Run(std::span<const std::string> args, std::ostream& out, std::ostream& err) override;
};

}  // namespace quorbel::cli
