#include "core/announcement.h"

#include "core/amounts.h"
#include "core/units.h"

namespace orvandel {

namespace {

QString shown(const ClockFace &face, QStringView name) {
    const FaceControl *control = face.control(name);
    return control ? control->text.trimmed() : QString();
}

// " Blinds $50 and $100." or nothing when the level has no blinds typed;
// a structure's ante after them: " Blinds 100 and 200, ante 200."
QString blinds(const ClockFace &face) {
    const QString small = shown(face, u"lblCurrentSmall");
    const QString big = shown(face, u"lblCurrentBig");
    if (small.isEmpty() && big.isEmpty())
        return {};
    QString ante;
    if (face.ante > 0)
        ante =
            (face.bigBlindAnte ? QStringLiteral(", big blind ante ") : QStringLiteral(", ante ")) +
            groupedAmount(face.ante);
    return QStringLiteral(" Blinds %1 and %2%3.").arg(small, big, ante);
}

// " Colour up the 25s." for a break's note; nothing without one.
QString note(const ClockFace &face) {
    const QString text = face.note.trimmed();
    if (text.isEmpty())
        return {};
    const bool ended = text.endsWith(u'.') || text.endsWith(u'!') || text.endsWith(u'?');
    return u' ' + text + (ended ? QString() : QStringLiteral("."));
}

} // namespace

QString levelSentence(const ClockFace &face) {
    if (face.ended)
        return QStringLiteral("The tournament has ended.");
    if (face.onBreak) {
        // Whole minutes, rounded up: a break resumed part-way through is
        // announced with the time it still has.
        const qint32 minutes = (face.remainingMs + MsPerMinute - 1) / MsPerMinute;
        return (minutes == 1 ? QStringLiteral("Break. 1 minute.")
                             : QStringLiteral("Break. %1 minutes.").arg(minutes)) +
               note(face);
    }
    if (face.level == face.levelCount)
        return QStringLiteral("Final level.") + blinds(face);
    // A structure counts its levels without its breaks.
    const qint16 number = face.levelNumber > 0 ? face.levelNumber : face.level;
    return QStringLiteral("Level %1.").arg(number) + blinds(face);
}

QString warningSentence(const ClockFace &face) {
    return face.onBreak ? QStringLiteral("One minute left in the break.")
                        : QStringLiteral("One minute left in this level.");
}

bool warningDue(qint32 beforeMs, qint32 afterMs, qint32 lengthMs) {
    return lengthMs > MsPerMinute && beforeMs > MsPerMinute && afterMs <= MsPerMinute;
}

} // namespace orvandel
