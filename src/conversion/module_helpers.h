// The status line of the conversion run.
#pragma once

#include <string>
#include <string_view>

#include "conversion/front_end.h"

namespace quorbel::modModule {

// Sets the status caption to "Status: " followed by text, then yields to the front end so that it
// is painted. Throws RunInterrupted when the user asked to stop meanwhile.
void SetStatus(FrontEnd& window, std::string_view text);

}  // namespace quorbel::modModule
