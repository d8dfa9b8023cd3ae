// The clock's face as a value for whatever watches the clock, and how a
// freshly loaded clock is brought back to where a journal says it stood.
#include "clock/blinds.h"

#include "clock/clocklabel.h"
#include "core/module1.h"
#include "core/units.h"

#include <QMetaMethod>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

using namespace orvandel;

namespace {
// Far more ticks than any restore needs: a level announces for at most about
// a minute of ticks, and the quiet rest of it is skipped.
constexpr int MaxReplayTicks = 100'000;
} // namespace

ClockFace Blinds::face() const {
    ClockFace face;
    face.controls.reserve(static_cast<qsizetype>(m_faceLabels.size()));
    for (const ClockLabel *label : m_faceLabels) {
        // isHidden, not isVisible: the face is what the window shows when it
        // is shown, whether or not it is on a screen now.
        face.controls.append({label->objectName(), label->text(),
                              label->palette().color(QPalette::WindowText), !label->isHidden()});
    }
    face.level = CurrentLevel;
    face.levelCount = LevelCount;
    face.remainingMs = RemainingMs;
    face.paused = isPaused();
    face.ended = CurrentLevel > LevelCount;
    face.onBreak = CurrentLevel == Module1::BreakRound;
    face.untimedFinal = UntimedFinal;
    face.roundLengthMs = face.onBreak ? BreakLengthMs : LevelLengthMs;
    face.jumps = m_jumps;
    return face;
}

void Blinds::publishFace() {
    // Nobody watching, nothing to make: a bare clock spends its tick on the
    // window alone.
    if (isSignalConnected(QMetaMethod::fromSignal(&Blinds::faceChanged)))
        emit faceChanged(face());
}

void Blinds::restore(const ClockPoint &entry) {
    // A final level that had begun goes on as it began; the director's answer
    // on the opening screen counts for a final level still to come.
    const bool timedNow = Module1::TimedTournament;
    if (entry.level == LevelCount)
        Module1::TimedTournament = !entry.untimedFinal;
    m_replaying = true;
    {
        const auto done = qScopeGuard([this, timedNow] {
            m_replaying = false;
            Module1::TimedTournament = timedNow;
        });

        // The clock runs its own ticks up to the journal's point, silently, so
        // that the headings, colours and the announcement are exactly what
        // they were. A tick that neither announces nor ends its level changes
        // nothing but the time shown, which the next tick writes anew, so such
        // stretches are skipped.
        const qint64 target = entry.remainingMs;
        for (int n = 0;
             n < MaxReplayTicks && Timer1->isActive() &&
             (CurrentLevel < entry.level || (CurrentLevel == entry.level && RemainingMs > target));
             ++n) {
            if (!Flashing) {
                const qint64 stop = CurrentLevel == entry.level ? target : 0;
                if (RemainingMs > stop + TickMs)
                    RemainingMs = static_cast<qint32>(stop + TickMs);
            }
            Timer1_Timer();
        }
    }

    // Paused, as a pause that took effect on that tick leaves it: the
    // director starts it with a click on the time when the room is ready.
    cmdPause->setText(QStringLiteral("Resume"));
    Timer1->stop();
    lblTime->setText(QStringLiteral("Paused"));
    ++m_jumps;
    publishFace();
}
