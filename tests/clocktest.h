#pragma once
// The clock suites' base on top of testsupport.h: a clock window started on a
// tournament file in a fresh working folder, and what it told its player.
#include "testsupport.h"

#include "app/clocksession.h"
#include "clock/blinds.h"
#include "clock/liveshare.h"
#include "clock/phonecontrol.h"
#include "sound/soundplayer.h"

#include <QSignalSpy>
#include <QTimer>
#include <memory>
#include <optional>

namespace testsupport {

inline QTimer *timer(const QWidget *window) {
    return child<QTimer>(window, "Timer1");
}

// The clock's additions.
inline orvandel::LiveShare *liveShare(const Blinds *clock) {
    return clock->findChild<orvandel::LiveShare *>();
}
inline orvandel::PhoneControl *phoneControl(const Blinds *clock) {
    return clock->findChild<orvandel::PhoneControl *>();
}

inline void ticks(Blinds *clock, int count) {
    for (int i = 0; i < count; ++i)
        clock->Timer1_Timer();
}

// Ticks until the clock stops itself; returns the ticks run.
inline int runUntilStopped(Blinds *clock, int limit) {
    int n = 0;
    while (timer(clock)->isActive() && n < limit) {
        clock->Timer1_Timer();
        ++n;
    }
    return n;
}

// Inherited next to QObject by a clock suite, whose init() and cleanup() call
// setUpClock() and tearDownClock().
class ClockTest {
protected:
    void setUpClock() {
        m_folder.emplace();
        Module1::SoundFile = QStringLiteral("sound1.wav");
    }
    void tearDownClock() {
        m_sound.reset();
        m_clock.reset();
        m_folder.reset();
    }

    Blinds *start(const QByteArray &file) {
        if (!writeFile(file))
            qFatal("cannot write blinds.dat");
        m_clock.reset(orvandel::openClock());
        m_clock->setAttribute(Qt::WA_DeleteOnClose, false);
        m_sound = std::make_unique<QSignalSpy>(child<SoundPlayer>(m_clock.get(), "MMControl1"),
                                               &SoundPlayer::commandIssued);
        return m_clock.get();
    }

    Blinds *startShown(const QByteArray &file) {
        Blinds *clock = start(file);
        clock->show();
        if (!QTest::qWaitForWindowExposed(clock))
            qFatal("the clock was not shown");
        return clock;
    }

    // Commands sent to the player since the last call.
    QStringList commands() const {
        QStringList sent;
        for (const QList<QVariant> &call : std::as_const(*m_sound))
            sent << call.at(0).toString();
        m_sound->clear();
        return sent;
    }

private:
    std::optional<WorkFolder> m_folder;
    std::unique_ptr<Blinds> m_clock;
    std::unique_ptr<QSignalSpy> m_sound;
};

} // namespace testsupport
