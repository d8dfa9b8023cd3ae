#pragma once

// The parent's side of the bench: it starts this program again as child
// processes, one per measurement, and judges what they report.

#include <QString>

namespace bench {

struct Options {
    QString mode;
    int seconds = 120;
    int idleSeconds = 60;
    int pairs = 10;
    bool drift = true;
    bool idle = true;
    bool startup = true;
    bool live = false; // only when asked for: it takes minutes
    int liveSeconds = 60;
    quint16 port = 0; // the live children's server
};

// Runs the benches the options ask for and prints their figures; 0 all
// targets met, 1 a target missed, 2 a measurement failed.
int runParent(int argc, char **argv, const Options &options);

} // namespace bench
