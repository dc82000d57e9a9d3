#include "support/run_process.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "support/bmp_builder.h"
#include "support/scratch_dir.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUORBEL_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORBEL_TEST_ASAN 1
#endif
#endif
#ifdef QUORBEL_TEST_ASAN
extern "C" void __sanitizer_purge_allocator();
#endif

namespace quorbel::test {
namespace {

// Linux counts a child's largest resident set from the fork on, so it is at least this process's
// at that moment; under AddressSanitizer that holds the quarantine of freed memory (up to
// 256 MiB). Giving it back first keeps a child's peak its own.
void GiveBackFreedMemory() {
#ifdef QUORBEL_TEST_ASAN
    __sanitizer_purge_allocator();
#endif
}

void Limit(int resource, long bytes) {
    if (bytes >= 0) {
        const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
        ::setrlimit(resource, &limit);
    }
}

// Starts program in a child; before the exec, prepare runs in the child.
ProcessResult Run(const std::string& program, const std::vector<std::string>& args,
                  const ProcessOptions& options, const std::function<bool()>& prepare) {
    // Opened by the child before it changes its user.
    ScratchDir captures;
    const std::string outPath = captures / "out";
    const std::string errPath = captures / "err";
    WriteWholeFile(outPath, "");
    WriteWholeFile(errPath, "");
    GiveBackFreedMemory();
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        const int err = ::open(errPath.c_str(), O_WRONLY);
        ::dup2(err, 2);
        if (options.standardOutput == ProcessOptions::Output::Closed) {
            ::close(1);
        } else {
            const bool full = options.standardOutput == ProcessOptions::Output::Full;
            ::dup2(::open(full ? "/dev/full" : outPath.c_str(), O_WRONLY), 1);
        }
        ::umask(options.umask);
        Limit(RLIMIT_FSIZE, options.fileSizeLimit);
        Limit(RLIMIT_AS, options.addressSpaceLimit);
        for (const int signal : options.ignoredSignals) {
            ::signal(signal, SIG_IGN);
        }
        if (!prepare()) {
            ::_exit(126);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    if (options.signalAfterMicroseconds >= 0) {
        ::usleep(static_cast<useconds_t>(options.signalAfterMicroseconds));
        ::kill(child, options.signal);
    }
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0) {
    }
    ProcessResult result;
    result.peakMemoryKiB = usage.ru_maxrss;
    if (WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    return result;
}

}  // namespace

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         long signalAfterMicroseconds) {
    ProcessOptions options;
    options.signalAfterMicroseconds = signalAfterMicroseconds;
    return RunProcess(program, args, options);
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options) {
    return Run(program, args, options, [] { return true; });
}

ProcessResult RunProcessAsNobody(const std::string& program, const std::vector<std::string>& args,
                                 const std::vector<std::string>& companions) {
    if (::geteuid() != 0) {
        return RunProcess(program, args);
    }
    namespace fs = std::filesystem;
    ScratchDir home(SharedTemporaryFolder());
    fs::permissions(home.Path(), fs::perms::all | fs::perms::sticky_bit);
    const auto copy = [&](const std::string& from) {
        const std::string to = home / fs::path(from).filename().string();
        fs::copy_file(from, to);
        fs::permissions(to, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
        return to;
    };
    const std::string copied = copy(program);
    for (const std::string& companion : companions) {
        if (!companion.empty()) {  // a companion that this build leaves out
            copy(companion);
        }
    }
    const std::string folder = home.Path().string();
    return Run(copied, args, ProcessOptions{}, [&] {
        const uid_t nobody = 65534;
        return ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0 &&
               ::chdir(folder.c_str()) == 0 && ::setenv("TMPDIR", folder.c_str(), 1) == 0 &&
               ::setenv("HOME", folder.c_str(), 1) == 0;
    });
}

}  // namespace quorbel::test
