// The signals that ask keyvane-sandbox to stop the way closing its window does, saving settings and
// window places first: Ctrl+C, and on POSIX systems SIGTERM and SIGHUP too (stop_signals_posix.cpp).
#pragma once

namespace sandbox::app {

// From now on those signals no longer end the process; they only set the flag below.
void watchStopSignals();

// Whether one of them has arrived since watchStopSignals. Safe from any thread.
bool stopRequested();

}  // namespace sandbox::app
