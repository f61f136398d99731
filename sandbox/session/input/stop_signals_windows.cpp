// Ctrl+C and SIGTERM through the C library's signal(), the two stop signals Windows has.
#include <atomic>
#include <csignal>

#include "sandbox/session/input/stop_signals.h"

namespace sandbox::app {
namespace {

std::atomic<bool> stopSignalled{false};

void onStopSignal(int signalNumber) {
    stopSignalled = true;
    std::signal(signalNumber, onStopSignal);  // the C library resets the handler before calling it
}

}  // namespace

void watchStopSignals() {
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
}

bool stopRequested() { return stopSignalled.load(); }

}  // namespace sandbox::app
