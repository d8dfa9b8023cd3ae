#pragma once
// What the journal suites share: an entry as the clock writes it.
#include "core/journal.h"

namespace testsupport {

inline orvandel::JournalEntry sample() {
    orvandel::JournalEntry entry;
    entry.tournamentPath = QStringLiteral("/home/director/friday/blinds.dat");
    entry.tournamentHash = orvandel::tournamentHash("4,20\r\n");
    entry.level = 6;
    entry.remainingMs = 754000;
    entry.paused = false;
    entry.untimedFinal = false;
    entry.writtenMs = 1796700000123;
    return entry;
}

} // namespace testsupport
