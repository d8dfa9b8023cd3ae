// The clock's face as a value for whatever watches the clock, how a freshly
// loaded clock is brought back to where a journal says it stood, and the
// director's moves, which stand it somewhere else the same way.
#include "clock/blinds.h"

#include "clock/clocklabel.h"
#include "clock/colours.h"
#include "core/checked.h"
#include "core/module1.h"
#include "core/units.h"

#include <QMetaMethod>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>
#include <initializer_list>

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
    const PlanRound &round = m_plan.round(CurrentLevel);
    face.onBreak = round.isBreak;
    face.untimedFinal = UntimedFinal;
    face.roundLengthMs = round.lengthMs;
    face.levelNumber = round.levelNumber;
    face.ante = round.anteAmount;
    face.bigBlindAnte = m_plan.anteKind == AnteKind::BigBlind;
    face.note = round.note;
    face.jumps = m_jumps;
    return face;
}

void Blinds::publishFace() {
    showRoundLabels();
    // Nobody watching, nothing to make: a bare clock spends its tick on the
    // window alone.
    if (isSignalConnected(QMetaMethod::fromSignal(&Blinds::faceChanged)))
        emit faceChanged(face());
}

void Blinds::faceLabelChanged() {
    if (!m_replaying)
        publishFace();
}

void Blinds::replayTo(const ClockPoint &entry) {
    // A final level that had begun goes on as it began; the director's answer
    // on the opening screen counts for a final level still to come.
    const bool timedNow = Module1::TimedTournament;
    if (entry.level >= LevelCount)
        Module1::TimedTournament = !entry.untimedFinal;
    m_replaying = true;
    const auto done = qScopeGuard([this, timedNow] {
        m_replaying = false;
        Module1::TimedTournament = timedNow;
    });

    // The clock runs its own ticks up to the point, silently, so that the
    // headings, colours and the announcement are exactly what they were. A
    // tick that neither announces nor ends its level changes nothing but the
    // time shown, which the next tick writes anew, so such stretches are
    // skipped.
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
    // Minutes the director added reach past the round's full length.
    if (CurrentLevel == entry.level)
        RemainingMs = entry.remainingMs;
}

void Blinds::restore(const ClockPoint &entry) {
    replayTo(entry);
    // Paused, as a pause that took effect on that tick leaves it: the
    // director starts it with a click on the time when the room is ready.
    cmdPause->setText(QStringLiteral("Resume"));
    Timer1->stop();
    lblTime->setText(QStringLiteral("Paused"));
    ++m_jumps;
    publishFace();
}

ClockStand Blinds::stand() const {
    return {{CurrentLevel, RemainingMs, UntimedFinal}, isPaused(), Flashing};
}

void Blinds::rewind() {
    // The clock as loaded, counting level 1 from its start, without the
    // load's alert: whatever a level change hid is shown again.
    // The labels added since are their makers' to set.
    for (std::size_t n = 0; n < static_cast<std::size_t>(m_startLook.size()); ++n) {
        ClockLabel *label = m_faceLabels[n];
        const FaceControl &look = m_startLook.at(static_cast<qsizetype>(n));
        label->setCaption(look.text);
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, look.colour);
        label->setPalette(colours);
        label->setVisible(look.visible);
    }
    Line1->setVisible(true);
    CurrentLevel = 1;
    RemainingMs = m_plan.round(1).lengthMs;
    Flashing = false;
    UntimedFinal = false;
    cmdPause->setText(QStringLiteral("Pause"));
    startTimer1();
}

void Blinds::standAt(const ClockStand &stand) {
    rewind();
    replayTo(stand.point);
    if (Flashing && !stand.announcing) {
        endAnnouncement();
    } else if (!Flashing && stand.announcing) {
        Flashing = true;
        colours::setForeColor(Label1, colours::Yellow);
    }
    jumped(stand.paused);
}

bool Blinds::move(ClockCommand command) {
    if (!moveApplies(face(), command))
        return false;
    const bool paused = isPaused();
    const auto roundLength = [this](qint16 level) { return m_plan.round(level).lengthMs; };
    switch (command) {
    case ClockCommand::Next:
        // As the end of the round: its alert, its announcement, the break or
        // the final level; an announcement still running ends first, as it
        // would have, so the break does not go on announcing.
        if (Flashing)
            endAnnouncement();
        levelChange();
        jumped(paused);
        break;
    case ClockCommand::Previous:
    case ClockCommand::Restart: {
        const qint16 level = command == ClockCommand::Previous
                                 ? checked::sub(CurrentLevel, qint16{1})
                                 : CurrentLevel;
        standAt({{level, roundLength(level), UntimedFinal && level == LevelCount}, paused, false});
        break;
    }
    case ClockCommand::AddMinute:
        RemainingMs = checked::add(RemainingMs, MsPerMinute);
        jumped(paused);
        break;
    case ClockCommand::TakeMinute:
        RemainingMs = std::max(checked::sub(RemainingMs, MsPerMinute), MsPerSecond);
        jumped(paused);
        break;
    case ClockCommand::End:
        // As the level change past the final level ends it: the alert,
        // "Ended!", the clock stopped and no pause left standing; the next
        // level's rows go as they go on the final level, and a time hidden
        // in the untimed final level shows "Ended!" again.
        if (Flashing)
            endAnnouncement();
        CurrentLevel = LevelCount;
        levelChange();
        for (QWidget *next : {Label4, Label2[1], Label3[1], lblNextSmall, lblNextBig})
            next->setVisible(false);
        lblTime->setVisible(true);
        cmdPause->setText(QStringLiteral("Pause"));
        jumped(false);
        break;
    case ClockCommand::Pause:
    case ClockCommand::Resume:
        break;
    }
    return true;
}

void Blinds::jumped(bool paused) {
    // The time shown at once, not at the next tick; "Ended!" stays.
    const bool timeShows = CurrentLevel <= LevelCount;
    if (timeShows) {
        MinutesLeft = checked::narrow<qint16>(RemainingMs / MsPerMinute);
        SecondsLeft = checked::narrow<qint16>(RemainingMs % MsPerMinute / MsPerSecond);
        timeText();
    }
    if (paused) {
        // A pause still to take effect takes it now: the clock stands where
        // it was moved to.
        cmdPause->setText(QStringLiteral("Resume"));
        Timer1->stop();
        if (timeShows)
            lblTime->setText(QStringLiteral("Paused"));
    } else if (Timer1->isActive()) {
        // A full second before the first tick of the new time.
        startTimer1();
    }
    ++m_jumps;
    publishFace();
}
