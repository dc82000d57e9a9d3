// A fresh folder under the system's temporary folder (or under a given folder), removed with
// everything in it at the end.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quorbel::test {

class ScratchDir {
  public:
    explicit ScratchDir(const std::filesystem::path& parent = {});
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // path/name as a string.
    std::string operator/(const std::string& name) const;
    const std::filesystem::path& Path() const { return path_; }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;
    // The hidden names in the folder: temporary files an output left behind.
    std::vector<std::string> Leftovers() const;

  private:
    std::filesystem::path path_;
};

// A temporary folder every user may enter: /tmp where it is the shared, sticky one, else the
// system's temporary folder. Folders for rows that run as another user go there.
std::filesystem::path SharedTemporaryFolder();

}  // namespace quorbel::test
