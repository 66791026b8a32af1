#include "cli/interruptWatch.h"

#include "cli/runCli.h"

#include <csignal>
#include <cstdlib>

#include <pthread.h>

namespace velmora {

namespace {

// The watcher also waits for this signal, sent to it alone, as its cue to end.
constexpr int kQuitSignal = SIGUSR1;

sigset_t watchedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, kQuitSignal);
    return signals;
}

} // namespace

InterruptWatch::InterruptWatch() {
    const sigset_t signals = watchedSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    watcher_ = std::thread([token = token_, signals] {
        for (int interrupts = 0;;) {
            int received = 0;
            if (sigwait(&signals, &received) != 0 || received == kQuitSignal) {
                return;
            }
            if (++interrupts > 1) {
                std::_Exit(kExitInterrupted);
            }
            token->cancel();
        }
    });
}

InterruptWatch::~InterruptWatch() {
    pthread_kill(watcher_.native_handle(), kQuitSignal);
    watcher_.join();
}

} // namespace velmora
