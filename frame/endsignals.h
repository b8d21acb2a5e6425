// Ending the program on a termination request from outside: SIGTERM (a
// logout, a kill), SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal
// went away) end the program the orderly way, as the Exit command does,
// instead of killing it where it stands.
//
// The signal handler only writes the signal's number into a pipe; the event
// loop reads it (QSocketNotifier) and runs the end there: the main windows
// are closed as by Exit and the event loop ends with exit code 0, so that
// main() goes on to log "Program End.". While the program ends this way,
// EndingBySignal() is true: the close path asks it to skip any question to
// the user (nobody is there to answer) and to keep what would let the work
// be recovered.
//
// A signal that the program was started with ignored (nohup, a background
// job) stays ignored. A second signal of the same kind, once the first has
// arrived, has its default effect, so that a program that cannot end in
// order can still be ended.
#pragma once

#include <functional>

// Installs the handlers. Call first thing in main(), before anything that may
// take time: a signal that arrives before the event loop runs waits in the
// pipe and is handled as soon as it runs. Needs no QApplication; calling it
// again re-arms the handlers.
void InstallEndSignals();

// Starts reading the pipe on the event loop of the application (which must
// exist). end runs once, on the user-interface thread, for the first signal;
// without it the default end runs: every visible main window is closed and
// the application leaves its event loops with exit code 0.
void WatchEndSignals(std::function<void()> end = {});

// True once a termination signal has asked the program to end.
bool EndingBySignal();
// The number of that signal; 0 when none arrived.
int EndSignalNumber();

// The default end, also for tests.
void EndProgramOrderly();
