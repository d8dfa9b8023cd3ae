#pragma once

#include <QString>
#include <QtGlobal>

// Program-wide settings, alive for the whole run. They start at zero, false
// and empty text on every run; nothing here is saved.
struct Module1 {
    static inline bool HasBreak = false;
    static inline qint16 NumberOfLevels = 0;
    static inline qint16 RoundDuration = 0;
    static inline qint16 BreakRound = 0;
    static inline qint32 BreakDuration = 0;
    static inline QString SoundFile;
    static inline bool TimedTournament = false;

    // Back to the start-of-run values (used between tests).
    static void reset();
};
