// quorbel-lvl prepare: the 1-bit BMP that convert takes, made of any picture.
#pragma once

#include "command/command.h"

namespace quorbel::render {

class PrepareCommand : public command::Command {
  public:
    std::string_view Name() const override { return "prepare"; }

  protected:
    command::Declaration Declare() const override;
    // Writes the map bitmap and says so on out; warns on err about a result all alike. Throws
    // UsageError for a bad threshold (exit status 64), other errors for a picture that cannot be
    // read or is larger than 1024 a side, or an output that cannot be written (exit status 1).
    int Execute(const command::ParsedArguments& args, std::ostream& out,
                std::ostream& err) override;
};

}  // namespace quorbel::render
