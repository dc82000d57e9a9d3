#include "cli/external_command.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/errors.h"

namespace quorbel::cli {

using command::kExitFailed;
namespace {

constexpr const char* kPictureProgram = "quorbel-lvl-render";

// Beside quorbel-lvl in the build tree; in the package's libexec folder once installed.
std::filesystem::path FindPictureProgram() {
    std::error_code error;
    const auto here = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    const std::filesystem::path candidates[] = {
        here / kPictureProgram,
        here / QUORBEL_LIBEXEC_FROM_BIN / kPictureProgram,
    };
    for (const auto& candidate : candidates) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    throw FileError(std::string("cannot find ") + kPictureProgram + " beside " + here.string() +
                    " or in " + (here / QUORBEL_LIBEXEC_FROM_BIN).lexically_normal().string());
}

}  // namespace

int ExternalCommand::Main(std::span<const std::string> args, std::ostream&, std::ostream& err) {
    try {
        const std::filesystem::path program = FindPictureProgram();
        // The program gets quorbel-lvl's own argv[0]: the command lines it suggests then begin
        // as the user's did.
        std::string startedAs = StartedAs();
        std::vector<char*> argv{startedAs.data(), name_.data()};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        throw FileError("cannot start " + program.string() + ": " + std::strerror(errno));
    } catch (const Error& error) {
        err << "quorbel-lvl " << name_ << ": " << error.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace quorbel::cli
