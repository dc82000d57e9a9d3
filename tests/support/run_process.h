// Runs a program as a child process and collects what it printed and how it ended.
#pragma once

#include <sys/types.h>

#include <csignal>
#include <string>
#include <vector>

#include "support/run_command.h"

namespace quorbel::test {

// exitStatus is -1 when a signal ended the child.
struct ProcessResult : CommandResult {
    int signal = 0;          // the signal that ended it, or 0
    long peakMemoryKiB = 0;  // the child's largest resident set
};

// text split at its line breaks, without them: what a program printed, line by line.
std::vector<std::string> Lines(const std::string& text);

// How the child starts, beyond its program and arguments.
struct ProcessOptions {
    long signalAfterMicroseconds = -1;  // when >= 0, signal is sent that long after the start
    int signal = SIGTERM;
    enum class Output { Captured, Full, Closed } standardOutput = Output::Captured;
    mode_t umask = 022;
    long fileSizeLimit = -1;          // RLIMIT_FSIZE in bytes, when >= 0
    long addressSpaceLimit = -1;      // RLIMIT_AS in bytes, when >= 0
    std::vector<int> ignoredSignals;  // ignored when the program starts, as nohup does
};

// Runs program with args. When signalAfterMicroseconds >= 0, sends SIGTERM that long after the
// start.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         long signalAfterMicroseconds = -1);

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options);

// Runs program as the user "nobody" when this process is root (as itself otherwise). The child
// can reach nothing of the build tree (it may live under a folder only root may enter): the
// programs named by companions are copied, with program, into a folder of the child's own, which
// is also its working folder and TMPDIR.
ProcessResult RunProcessAsNobody(const std::string& program, const std::vector<std::string>& args,
                                 const std::vector<std::string>& companions = {});

}  // namespace quorbel::test
