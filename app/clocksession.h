#pragma once

#include "core/journal.h"
#include "core/regularfile.h"

class Blinds;

// A clock as the program runs it: the clock window with its additions (the
// journal, the live view, the phone's control, the voice, the players' count)
// attached beside it, each watching the clock and wired to the others here
// alone.
namespace orvandel {

// On `file`, blinds.dat as read at Start. Throws TournamentFileError as the
// window does.
Blinds *openClock(const FileRead &file);
// On blinds.dat in the working folder.
Blinds *openClock();

// On the structure file at `path` whose bytes are `file`, or on that file as
// read now. Throws TournamentFileError, saying why, for a file that holds no
// structure the clock can run.
Blinds *openStructureClock(const QString &path, const FileRead &file);
Blinds *openStructureClock(const QString &path);

// Stands a clock just opened where the journal entry says, paused, with the
// room's phones and TVs following it again if they did and the players as
// they were counted.
void resumeClock(Blinds *clock, const JournalEntry &entry);

} // namespace orvandel
