#include "render_launcher.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace quorbel::cli {
namespace {

constexpr const char* kRenderProgram = "quorbel-lvl-render";

// Beside quorbel-lvl in the build tree; in the package's libexec folder once installed.
std::filesystem::path FindRenderProgram() {
    std::error_code error;
    const auto here = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    const std::filesystem::path candidates[] = {
        here / kRenderProgram,
        here / QUORBEL_LIBEXEC_FROM_BIN / kRenderProgram,
    };
    for (const auto& candidate : candidates) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    throw std::runtime_error(std::string("cannot find ") + kRenderProgram + " beside " +
                             here.string() + " or in " +
                             (here / QUORBEL_LIBEXEC_FROM_BIN).lexically_normal().string());
}

}  // namespace

std::string RenderLauncher::Help() const {
    return "Usage: quorbel-lvl render LEVEL -o PREVIEW.png [--tileset FILE] [--scale S]\n";
}

int RenderLauncher::Run(std::span<const std::string> args, std::ostream&, std::ostream&) {
    const std::filesystem::path program = FindRenderProgram();
    std::vector<char*> argv{const_cast<char*>(kRenderProgram)};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    throw std::runtime_error("cannot start " + program.string() + ": " + std::strerror(errno));
}

}  // namespace quorbel::cli
