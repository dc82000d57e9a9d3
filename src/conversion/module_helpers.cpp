#include "conversion/module_helpers.h"

namespace quorbel::modModule {

void SetStatus(FrontEnd& window, std::string_view text) {
    window.SetStatusCaption("Status: " + std::string(text));
    DoEvents(window);
}

}  // namespace quorbel::modModule
