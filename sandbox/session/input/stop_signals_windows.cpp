// Ctrl+C and SIGTERM through the C library's signal(), the two stop signals Windows has. The exit
// statuses are the POSIX shells' (130, 143), so scripts read them alike on both systems.
#include <atomic>
#include <csignal>

#include "sandbox/session/input/stop_signals.h"

namespace sandbox::session {
namespace {

constexpr int kSigtermStatus = 143;
constexpr int kSigintStatus = 130;
// Windows has no SIGPIPE; a closed output takes the status a POSIX shell would show for it.
constexpr int kClosedOutput = -1;
constexpr int kClosedOutputStatus = 141;

std::atomic<int> stopSignal{0};

void onStopSignal(int signalNumber) {
    stopSignal = signalNumber;
    std::signal(signalNumber, onStopSignal);  // the C library resets the handler before calling it
}

}  // namespace

void watchStopSignals() {
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
}

void stopForClosedOutput() {
    int none = 0;
    stopSignal.compare_exchange_strong(none, kClosedOutput);
}

void ignoreFileSizeLimitSignal() {}

bool stopRequested() { return stopSignal.load() != 0; }

int stopExitStatus() {
    const int signalNumber = stopSignal.load();
    if (signalNumber == 0) return 0;
    if (signalNumber == kClosedOutput) return kClosedOutputStatus;
    return signalNumber == SIGINT ? kSigintStatus : kSigtermStatus;
}

const char* stopSignalName() {
    const int signalNumber = stopSignal.load();
    if (signalNumber == 0) return "";
    if (signalNumber == kClosedOutput) return "a closed standard output";
    return signalNumber == SIGINT ? "SIGINT" : "SIGTERM";
}

bool takeInterruptAtPrompt() {
    int expected = SIGINT;
    return stopSignal.compare_exchange_strong(expected, 0);
}

}  // namespace sandbox::session
