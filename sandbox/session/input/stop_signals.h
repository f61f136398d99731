// The signals that ask keyvane-sandbox to stop the way closing its window does, saving settings and
// window places first: Ctrl+C, and on POSIX systems SIGTERM and SIGHUP too (stop_signals_posix.cpp).
#pragma once

namespace sandbox::session {

// From now on those signals no longer end the process; they only set the flag below. A signal the
// process was started with ignored (nohup's SIGHUP) stays ignored. A closed pipe on standard output
// no longer ends the process either (POSIX: SIGPIPE is ignored); the write that finds it closed
// calls stopForClosedOutput.
void watchStopSignals();

// Standard output was closed by its reader: the program stops as a stop signal stops it, with the
// status of a program that SIGPIPE ended (141).
void stopForClosedOutput();

// A file that grows past the process's size limit fails its write (EFBIG), reported as any other
// write error, instead of ending the process (POSIX: SIGXFSZ is ignored; nothing on Windows).
void ignoreFileSizeLimitSignal();

// Whether one of them has arrived since watchStopSignals. Safe from any thread.
bool stopRequested();

// The exit status a shell gives a program that such a signal ended, 128 plus its number: 130 for
// Ctrl+C (SIGINT), 143 for SIGTERM, 129 for SIGHUP, 141 for a closed output. 0 while none has arrived.
int stopExitStatus();

// The signal's name for a message ("SIGINT"); "" while none has arrived.
const char* stopSignalName();

// Ctrl+C at a terminal's prompt only clears the line, as in a shell: true if Ctrl+C is the stop that
// arrived, which is then forgotten. Any other stop signal stays.
bool takeInterruptAtPrompt();

}  // namespace sandbox::session
