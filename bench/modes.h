#pragma once

// The child processes of the bench. Each runs one measurement in a process of
// its own, so that what one measures (memory, CPU, start-up) is not mixed
// with another, and prints its results on stdout as "result <key> <value>"
// lines, or one "error <text>" line; the parent judges them.

#include <QString>

namespace bench {

// Busy-loops on one core until `seconds` have passed (a safety net: the
// parent kills it sooner).
int runSpin(int seconds);

// The clock window in real time for `seconds`, with the event loop stalled
// now and then; reports how late its ticks came and how far it drifted.
int runDrift(int argc, char **argv, int seconds);

// The clock window (or, with `minimal`, one plain widget) shown and left
// alone for `seconds`; reports its CPU time and peak memory.
int runIdle(int argc, char **argv, int seconds, bool minimal);

// The opening screen (or, with `minimal`, one plain widget): prints "shown"
// once the window is exposed, then ends.
int runStartup(int argc, char **argv, bool minimal);

struct SoakOptions {
    QString framebuffer; // Xvfb's screen file (-fbdir)
    QString pidFile;     // holds the program's process id once it runs
    QString readyFile;   // created when the watcher is ready for the program
    double factor = 1;   // how much faster the program's clocks run
    int pauses = 4;
    double pauseSeconds = 300; // clock time of each pause
};

// Watches the real program on the screen through a tournament (see soak.cpp)
// and prints the soak figures; 0 all targets met, 1 one missed, 2 failure.
int runSoakWatch(int argc, char **argv, const SoakOptions &options);

} // namespace bench
