#include "core/announcement.h"

#include "core/units.h"

namespace orvandel {

namespace {

QString shown(const ClockFace &face, QStringView name) {
    const FaceControl *control = face.control(name);
    return control ? control->text.trimmed() : QString();
}

// " Blinds $50 and $100." or nothing when the level has no blinds typed.
QString blinds(const ClockFace &face) {
    const QString small = shown(face, u"lblCurrentSmall");
    const QString big = shown(face, u"lblCurrentBig");
    if (small.isEmpty() && big.isEmpty())
        return {};
    return QStringLiteral(" Blinds %1 and %2.").arg(small, big);
}

} // namespace

QString levelSentence(const ClockFace &face) {
    if (face.ended)
        return QStringLiteral("The tournament has ended.");
    if (face.onBreak) {
        // Whole minutes, rounded up: a break resumed part-way through is
        // announced with the time it still has.
        const qint32 minutes = (face.remainingMs + MsPerMinute - 1) / MsPerMinute;
        return minutes == 1 ? QStringLiteral("Break. 1 minute.")
                            : QStringLiteral("Break. %1 minutes.").arg(minutes);
    }
    if (face.level == face.levelCount)
        return QStringLiteral("Final level.") + blinds(face);
    return QStringLiteral("Level %1.").arg(face.level) + blinds(face);
}

QString warningSentence(const ClockFace &face) {
    return face.onBreak ? QStringLiteral("One minute left in the break.")
                        : QStringLiteral("One minute left in this level.");
}

bool warningDue(qint32 beforeMs, qint32 afterMs, qint32 lengthMs) {
    return lengthMs > MsPerMinute && beforeMs > MsPerMinute && afterMs <= MsPerMinute;
}

} // namespace orvandel
