#include "support/scratch_dir.h"

#include <stdlib.h>

#include <algorithm>
#include <stdexcept>

namespace quorbel::test {

ScratchDir::ScratchDir(const std::filesystem::path& parent) {
    const std::filesystem::path base =
        parent.empty() ? std::filesystem::temp_directory_path() : parent;
    std::string pattern = (base / "quorbel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch folder");
    }
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    // Folders a test made unwritable must be opened up again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::operator/(const std::string& name) const {
    return (path_ / name).string();
}

std::vector<std::string> ScratchDir::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ScratchDir::Leftovers() const {
    std::vector<std::string> hidden;
    for (const std::string& name : Names()) {
        if (name.starts_with(".")) {
            hidden.push_back(name);
        }
    }
    return hidden;
}

std::filesystem::path SharedTemporaryFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto shared = fs::status("/tmp", error);
    const auto open = fs::perms::others_all | fs::perms::sticky_bit;
    if (!error && fs::is_directory(shared) && (shared.permissions() & open) == open) {
        return "/tmp";
    }
    return fs::temp_directory_path();
}

}  // namespace quorbel::test
