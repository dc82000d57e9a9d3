// Runs a program as a child process and collects what it printed and how it ended.
#pragma once

#include <string>
#include <vector>

namespace quorbel::test {

struct ProcessResult {
    int exitStatus = -1;     // the exit status, or -1 when a signal ended it
    int signal = 0;          // the signal that ended it, or 0
    long peakMemoryKiB = 0;  // the child's largest resident set
    std::string out;
    std::string err;
};

// Runs program with args. When signalAfterMicroseconds >= 0, sends SIGTERM that long after the
// start.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         long signalAfterMicroseconds = -1);

}  // namespace quorbel::test
