#include "module_helpers.h"

#include <filesystem>
#include <system_error>

#include "errors.h"

namespace quorbel::modModule {

void SetStatus(FrontEnd& window, std::string_view text) {
    window.SetStatusCaption("Status: " + std::string(text));
    DoEvents(window);
}

bool FileExists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return false;
    }
    if (error) {
        throw FileError("cannot look up '" + path + "': " + error.message());
    }
    return !std::filesystem::is_directory(status);
}

void DeleteFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::remove(path, error)) {
        throw FileError("cannot delete '" + path +
                        "': " + (error ? error.message() : std::string("no such file")));
    }
}

}  // namespace quorbel::modModule
