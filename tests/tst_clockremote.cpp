// The clock driven from the director's phone, at the window: the pause gate a
// press goes through, from every state the clock can be in, and the notice
// that tells the room.
#include "clocktest.h"

#include "live/remotecontrol.h"

#include <QPushButton>

using namespace testsupport;
using orvandel::RemoteAction;

class TestClockRemote : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup() { tearDownClock(); }

    void pauseGate_data();
    void pauseGate();
    void pressInABurstOfTicks_data();
    void pressInABurstOfTicks();
    void noticeGoesAway();
};

namespace {
QString caption(const Blinds *clock) {
    return child<QPushButton>(clock, "cmdPause")->text();
}
} // namespace

void TestClockRemote::pauseGate_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("timed");
    QTest::addColumn<int>("ticksBefore"); // run while the clock counts
    QTest::addColumn<bool>("clicked");    // then a click on the time
    QTest::addColumn<int>("ticksAfter");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("acts");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("counting");
    const QByteArray example = ExampleTournament;
    const QByteArray untimed = tournamentFile(3, 2);
    const QByteArray short2 = tournamentFile(2, 1);
    const int pause = int(RemoteAction::Pause), resume = int(RemoteAction::Resume);
    // clang-format off
    QTest::newRow("pause when running")       << example << true  << 5    << false << 0 << pause  << true  << "Resume" << true;
    QTest::newRow("resume when running")      << example << true  << 5    << false << 0 << resume << false << "Pause"  << true;
    QTest::newRow("pause a pause asked for")  << example << true  << 5    << true  << 0 << pause  << false << "Resume" << true;
    QTest::newRow("resume a pause asked for") << example << true  << 5    << true  << 0 << resume << false << "Resume" << true;
    QTest::newRow("resume when paused")       << example << true  << 5    << true  << 1 << resume << true  << "Pause"  << true;
    QTest::newRow("pause when paused")        << example << true  << 5    << true  << 3 << pause  << false << "Resume" << false;
    QTest::newRow("pause, time hidden")       << untimed << false << 240  << false << 0 << pause  << false << "Pause"  << true;
    QTest::newRow("pause in the final round") << untimed << false << 1000 << false << 0 << pause  << false << "Pause"  << false;
    QTest::newRow("resume the final round")   << untimed << false << 1000 << false << 0 << resume << false << "Pause"  << false;
    QTest::newRow("pause when ended")         << short2  << true  << 1000 << false << 0 << pause  << false << "Pause"  << false;
    QTest::newRow("resume when ended")        << short2  << true  << 1000 << false << 0 << resume << false << "Pause"  << false;
    // clang-format on
}

void TestClockRemote::pauseGate() {
    QFETCH(QByteArray, file);
    QFETCH(bool, timed);
    QFETCH(int, ticksBefore);
    QFETCH(bool, clicked);
    QFETCH(int, ticksAfter);
    QFETCH(int, action);
    QFETCH(bool, acts);
    QFETCH(QString, caption);
    QFETCH(bool, counting);
    Module1::TimedTournament = timed;
    Blinds *clock = start(file);
    runUntilStopped(clock, ticksBefore);
    if (clicked)
        QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    ticks(clock, ticksAfter);
    const orvandel::ClockFace before = clock->face();

    QCOMPARE(clock->remoteControl(RemoteAction(action)), acts);
    QCOMPARE(::caption(clock), caption);
    QCOMPARE(timer(clock)->isActive(), counting);
    QCOMPARE(shown(clock, "lblRemoteNotice"), acts);
    if (acts) {
        QCOMPARE(text(clock, "lblRemoteNotice"), action == int(RemoteAction::Pause)
                                                     ? QStringLiteral("Paused from a phone")
                                                     : QStringLiteral("Resumed from a phone"));
    } else {
        QCOMPARE(clock->face(), before);
    }
    // The same press again changes nothing more.
    QVERIFY(!clock->remoteControl(RemoteAction(action)));
    QCOMPARE(::caption(clock), caption);
    QCOMPARE(timer(clock)->isActive(), counting);
}

void TestClockRemote::pressInABurstOfTicks_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<qint64>("heldMs"); // the event loop was held up this long
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("caption");
    const int pause = int(RemoteAction::Pause), resume = int(RemoteAction::Resume);
    // clang-format off
    // A pause takes effect on the first tick of the burst, which still counts.
    QTest::newRow("pause, one second")    << pause  << qint64{1000} << "Paused" << "Resume";
    QTest::newRow("pause, five seconds")  << pause  << qint64{5000} << "Paused" << "Resume";
    QTest::newRow("resume, five seconds") << resume << qint64{5000} << " 19:51" << "Pause";
    // clang-format on
}

void TestClockRemote::pressInABurstOfTicks() {
    QFETCH(int, action);
    QFETCH(qint64, heldMs);
    QFETCH(QString, time);
    QFETCH(QString, caption);
    std::int64_t now = 0;
    Blinds *clock = start(ExampleTournament);
    clock->setSteadyClock([&now] { return now; });
    ticks(clock, 3);
    if (action == int(RemoteAction::Resume)) {
        QVERIFY(clock->remoteControl(RemoteAction::Pause));
        ticks(clock, 1);
        QVERIFY(!timer(clock)->isActive());
    }
    const qint32 remaining = clock->face().remainingMs;
    QVERIFY(clock->remoteControl(RemoteAction(action)));
    now += heldMs;
    clock->Timer1_Elapsed();
    QCOMPARE(text(clock, "lblTime"), time);
    QCOMPARE(::caption(clock), caption);
    const qint64 counted = action == int(RemoteAction::Pause) ? 1000 : heldMs;
    QCOMPARE(clock->face().remainingMs, remaining - counted);
}

void TestClockRemote::noticeGoesAway() {
    Blinds *clock = startShown(ExampleTournament);
    QVERIFY(clock->remoteControl(RemoteAction::Pause));
    auto *shownFor = child<QTimer>(clock, "tmrRemoteNotice");
    QVERIFY(shownFor->isActive());
    QVERIFY(child(clock, "lblRemoteNotice")->isVisible());
    // A click on the time is the director's own: the notice stays until its
    // time is up.
    shownFor->start(1);
    QTRY_VERIFY(!shown(clock, "lblRemoteNotice"));
    QVERIFY(!clock->remoteControl(RemoteAction::Pause));
    QVERIFY(!shown(clock, "lblRemoteNotice"));
}

QTEST_MAIN(TestClockRemote)

#include "tst_clockremote.moc"
