// SIGINT, SIGTERM, SIGHUP and SIGPIPE (the reader of the status lines went away) ask a running
// conversion to stop at its next yield, so that it can remove its unfinished output; the process
// then ends by the same signal. A signal that was ignored when the program started (nohup, a
// shell's background job) stays ignored.
#pragma once

#include <csignal>

#include "conversion/front_end.h"

namespace quorbel::command {

// Installs the handlers that record the first stop signal.
void InstallStopSignalHandlers();

// The signal number received, or 0; written only by the handlers.
const volatile std::sig_atomic_t& ReceivedStopSignal();

// True once a stop signal has arrived.
bool StopRequested();

// The event pump of a command that runs without a window: no events, and a stop asked for once a
// stop signal has arrived, so that a copy or a row loop ends at its next look.
class StopSignalPump : public EventPump {
  public:
    void ProcessEvents() override {}
    bool StopRequested() const override { return command::StopRequested(); }
    bool HasEventsToProcess() const override { return false; }
};

// Restores the signal's default action and raises it again: the exit status says which it was.
[[noreturn]] void EndByReceivedSignal();

// A write past the file-size limit then fails with an error the command reports, instead of
// SIGXFSZ ending the program with no word of why.
void IgnoreFileSizeSignal();

}  // namespace quorbel::command
