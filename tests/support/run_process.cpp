#include "support/run_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "support/bmp_builder.h"
#include "support/scratch_dir.h"

namespace quorbel::test {

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         long signalAfterMicroseconds) {
    ScratchDir captures;
    const std::string outPath = captures / "out";
    const std::string errPath = captures / "err";
    WriteWholeFile(outPath, "");
    WriteWholeFile(errPath, "");
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY);
        const int err = ::open(errPath.c_str(), O_WRONLY);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    if (signalAfterMicroseconds >= 0) {
        ::usleep(static_cast<useconds_t>(signalAfterMicroseconds));
        ::kill(child, SIGTERM);
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

}  // namespace quorbel::test
