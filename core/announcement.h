#pragma once

#include "core/clockface.h"

#include <QString>
#include <QtGlobal>

// What the clock says aloud, made from what it shows, and when it warns that
// a level is about to end.
namespace orvandel {

// The sentence that follows a level change, for the level the face now
// shows: "Level 4. Blinds $50 and $100.", "Break. 15 minutes.", "Final
// level. Blinds $200 and $400." or "The tournament has ended.". The blinds
// are read as the director typed them. A structure's level says its ante
// ("Level 5. Blinds 100 and 200, ante 200.") and its break its note
// ("Break. 15 minutes. Colour up the 25s.").
QString levelSentence(const ClockFace &face);

// The sentence that follows the warning a minute before the level ends.
QString warningSentence(const ClockFace &face);

// Whether a tick that took the countdown from `beforeMs` to `afterMs` left
// crossed the one-minute mark of a level `lengthMs` long. A level of a
// minute or less starts at the mark and has no warning.
bool warningDue(qint32 beforeMs, qint32 afterMs, qint32 lengthMs);

} // namespace orvandel
