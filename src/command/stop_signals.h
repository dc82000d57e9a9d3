// SIGINT, SIGTERM, SIGHUP and SIGPIPE (the reader of the status lines went away) ask a running
// conversion to stop at its next yield, so that it can remove its unfinished output; the process
// then ends by the same signal. A signal that was ignored when the program started (nohup, a
// shell's background job) stays ignored.
#pragma once

#include <csignal>

namespace quorbel::command {

// Installs the handlers that record the first stop signal.
void InstallStopSignalHandlers();

// The signal number received, or 0; written only by the handlers.
const volatile std::sig_atomic_t& ReceivedStopSignal();

// True once a stop signal has arrived.
bool StopRequested();

// Restores the signal's default action and raises it again: the exit status says which it was.
[[noreturn]] void EndByReceivedSignal();

// A write past the file-size limit then fails with an error the command reports, instead of
// SIGXFSZ ending the program with no word of why.
void IgnoreFileSizeSignal();

}  // namespace quorbel::command
