#include "conversion/module_helpers.h"

#include "files/file_system.h"

namespace quorbel::modModule {

void SetStatus(FrontEnd& window, std::string_view text) {
    window.SetStatusCaption("Status: " + std::string(text));
    DoEvents(window);
}

bool FileExists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const PathKind kind = StatusOf(path).kind;
    return kind != PathKind::Missing && kind != PathKind::Directory;
}

void DeleteFile(const std::string& path) {
    RemoveFile(path);
}

}  // namespace quorbel::modModule
