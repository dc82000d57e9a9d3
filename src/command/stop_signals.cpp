#include "command/stop_signals.h"

#include <csignal>
#include <cstdlib>
#include <initializer_list>

namespace quorbel::command {
namespace {

volatile std::sig_atomic_t receivedSignal = 0;

extern "C" void RecordStopSignal(int signal) {
    if (receivedSignal == 0) {
        receivedSignal = signal;
    }
}

}  // namespace

void InstallStopSignalHandlers() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = RecordStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

const volatile std::sig_atomic_t& ReceivedStopSignal() {
    return receivedSignal;
}

bool StopRequested() {
    return receivedSignal != 0;
}

void EndByReceivedSignal() {
    const int signal = receivedSignal;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace quorbel::command
