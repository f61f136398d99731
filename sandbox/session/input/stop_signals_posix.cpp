// SIGINT, SIGTERM and SIGHUP through sigaction, without SA_RESTART, so a blocking wait returns early;
// SIGPIPE and SIGXFSZ ignored, so that their writes fail and are reported.
#include <signal.h>

#include <atomic>

#include "sandbox/session/input/stop_signals.h"

namespace sandbox::session {
namespace {

// The latest stop signal, 0 for none. A later one replaces an earlier: SIGTERM after a Ctrl+C that a
// prompt forgot still stops.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set inside a signal handler");

void onStopSignal(int signalNumber) { stopSignal = signalNumber; }

}  // namespace

void watchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        // Whoever started the program asked for the signal to be ignored (nohup, a shell's
        // background job): it is not ours to undo.
        struct sigaction inherited {};
        if (sigaction(signalNumber, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) continue;
        sigaction(signalNumber, &action, nullptr);
    }
    signal(SIGPIPE, SIG_IGN);
}

void stopForClosedOutput() {
    int none = 0;
    stopSignal.compare_exchange_strong(none, SIGPIPE);
}

void ignoreFileSizeLimitSignal() { signal(SIGXFSZ, SIG_IGN); }

bool stopRequested() { return stopSignal.load() != 0; }

int stopExitStatus() {
    const int signalNumber = stopSignal.load();
    return signalNumber == 0 ? 0 : 128 + signalNumber;
}

const char* stopSignalName() {
    switch (stopSignal.load()) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    case SIGPIPE: return "SIGPIPE (standard output was closed)";
    default: return "";
    }
}

bool takeInterruptAtPrompt() {
    int expected = SIGINT;
    return stopSignal.compare_exchange_strong(expected, 0);
}

}  // namespace sandbox::session
