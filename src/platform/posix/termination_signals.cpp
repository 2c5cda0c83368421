#include "platform/posix/termination_signals.h"

#include "platform/process_exit.h"

#include <pthread.h>
#include <signal.h>

#include <system_error>
#include <thread>

namespace platform {
namespace {

// The termination signals whose disposition is still the default.
sigset_t signalsToTake() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            sigaddset(&signals, signal);
        }
    }
    return signals;
}

} // namespace

void endOnTerminationSignals() {
    const sigset_t signals = signalsToTake();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    try {
        std::thread([signals] {
            int signal = 0;
            while (sigwait(&signals, &signal) != 0) {
            }
            exitProcess(128 + signal);
        }).detach();
    } catch (const std::system_error&) {
        // Without the thread the default action still ends the process at once, only without
        // flushing the standard streams.
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    }
}

} // namespace platform
