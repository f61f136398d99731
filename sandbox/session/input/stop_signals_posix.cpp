// SIGINT, SIGTERM and SIGHUP through sigaction, without SA_RESTART, so a blocking wait returns early.
#include <signal.h>

#include <atomic>

#include "sandbox/session/input/stop_signals.h"

namespace sandbox::app {
namespace {

std::atomic<bool> stopSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set inside a signal handler");

void onStopSignal(int) { stopSignalled = true; }

}  // namespace

void watchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaction(signalNumber, &action, nullptr);
}

bool stopRequested() { return stopSignalled.load(); }

}  // namespace sandbox::app
