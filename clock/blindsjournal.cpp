// The clock's journal: what each tick and each pause leaves behind, and how a
// freshly loaded clock is brought back to where the journal says it stood.
#include "core/module1.h"
#include "clock/blinds.h"
#include "clock/clocklabel.h"
#include "clock/colours.h"
#include "core/units.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <chrono>

using namespace orvandel;

namespace {
constexpr qint64 TickMs = MsPerSecond;
// Long enough to be read from across the room, short enough not to stay.
constexpr std::chrono::seconds NoticeTime{10};
// Far more ticks than any restore needs: a level announces for at most about
// a minute of ticks, and the quiet rest of it is skipped.
constexpr int MaxReplayTicks = 100'000;
} // namespace

void Blinds::recordJournal() {
    if (m_replaying)
        return;
    if (CurrentLevel > LevelCount) {
        // The tournament has ended: nothing to resume, even if the director
        // starts the clock again after "Ended!".
        m_journal.close();
        return;
    }
    const bool written =
        m_journal.record(CurrentLevel, RemainingMs, cmdPause->text() == QLatin1String("Resume"),
                         UntimedFinal, liveViewOn());
    // The clock runs on either way; the director hears once that the
    // protection is off, each time it goes off.
    if (!written && !m_journalFailing) {
        showNotice(
            lblNotice, tmrNotice,
            QStringLiteral("Resume after a crash is not possible: Orvandel cannot write to %1")
                .arg(QDir::toNativeSeparators(QFileInfo(m_journal.path()).path())));
    } else if (written && m_journalFailing) {
        lblNotice->hide();
    }
    m_journalFailing = !written;
}

void Blinds::buildJournalNotice() {
    buildNotice(lblNotice, QStringLiteral("lblNotice"), tmrNotice, QStringLiteral("tmrNotice"),
                Qt::AlignHCenter | Qt::AlignTop, NoticeTime);
    m_design.push_back({lblNotice, 600, 9150, 14400, 360, 12});
}

void Blinds::buildNotice(ClockLabel *&label, const QString &labelName, QTimer *&timer,
                         const QString &timerName, Qt::Alignment align,
                         std::chrono::milliseconds shownFor) {
    label = new ClockLabel(this);
    label->setObjectName(labelName);
    label->setAlignment(align);
    QFont font = label->font();
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    label->setFont(font);
    colours::setForeColor(label, colours::White);
    label->hide();
    timer = new QTimer(this);
    timer->setObjectName(timerName);
    timer->setSingleShot(true);
    timer->setInterval(shownFor);
    connect(timer, &QTimer::timeout, label, &QWidget::hide);
}

void Blinds::showNotice(ClockLabel *label, QTimer *timer, const QString &text) {
    label->setCaption(text);
    label->show();
    label->raise();
    timer->start();
}

void Blinds::restore(const JournalEntry &entry) {
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
    // The room's phones and TVs follow the clock again, as they did.
    if (entry.liveView)
        setLiveView(true);
    recordJournal();
    publishFace();
}
