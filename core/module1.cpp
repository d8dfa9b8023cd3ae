#include "core/module1.h"

void Module1::reset() {
    HasBreak = false;
    NumberOfLevels = 0;
    RoundDuration = 0;
    BreakRound = 0;
    BreakDuration = 0;
    SoundFile.clear();
    TimedTournament = false;
}
