// The clock driven from the director's phone, at the window: the pause gate a
// press goes through, from every state the clock can be in, the notice that
// tells the room, and pairing and revoking from the menu with presses through
// the real server on loopback.
#include "clocktest.h"
#include "livetest.h"
#include "qrdecode.h"
#include "remotetest.h"

#include "clock/frmremote.h"
#include "live/liveview.h"
#include "live/remotecontrol.h"

#include <QAction>
#include <QDirIterator>
#include <QPushButton>
#include <QTcpServer>
#include <QWindow>

using namespace testsupport;
using namespace livetest;
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
    void pairingMakesAFreshSecret();
    void pressesThroughTheServer();
    void stopPhoneControl();
    void pairingWindowCloses_data();
    void pairingWindowCloses();
    void pairingWithoutAPort();

private:
    // A clock whose live view takes ports found free, paired by the menu.
    Blinds *startPaired(bool shown = false);
};

namespace {

QString caption(const Blinds *clock) {
    return child<QPushButton>(clock, "cmdPause")->text();
}

QUrl controlAddress(const Blinds *clock) {
    return QUrl(text(pairingWindow(clock), "lblRemoteUrl"));
}

QByteArray secretOf(const QUrl &address) {
    const QString fragment = address.fragment();
    return fragment.startsWith(QLatin1String("key=")) ? fragment.mid(4).toLatin1() : QByteArray();
}

} // namespace

Blinds *TestClockRemote::startPaired(bool shown) {
    Blinds *clock = shown ? startShown(ExampleTournament) : start(ExampleTournament);
    pairFromTheMenu(clock);
    return clock;
}

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

void TestClockRemote::pairingMakesAFreshSecret() {
    Blinds *clock = startPaired();
    // Pairing turned the view on.
    QVERIFY(child<QAction>(clock, "actLiveView")->isChecked());
    const quint16 port = clock->findChild<LiveView *>()->port();
    const QUrl address = controlAddress(clock);
    QCOMPARE(address.adjusted(QUrl::RemoveFragment), liveUrl(port));
    const QByteArray secret = secretOf(address);
    QCOMPARE(secret.size(), 22);
    if (haveQrDecoder()) {
        QCOMPARE(decodeQr(child<QLabel>(pairingWindow(clock), "picRemoteQr")->pixmap().toImage()),
                 address.toString(QUrl::FullyEncoded).toUtf8());
    }

    // Pairing again shows the same secret; after "Stop phone control" and
    // in another start of the clock, a new one.
    child<QAction>(clock, "actRemote")->trigger();
    QCOMPARE(secretOf(controlAddress(clock)), secret);
    child<QAction>(clock, "actRemoteRevoke")->trigger();
    QTRY_VERIFY(!pairingWindow(clock));
    child<QAction>(clock, "actRemote")->trigger();
    const QByteArray renewed = secretOf(controlAddress(clock));
    QCOMPARE(renewed.size(), 22);
    QVERIFY(renewed != secret);

    // Never written anywhere: not in the working folder, not in the journal.
    clock->Timer1_Elapsed();
    const QString workFolder = QDir::currentPath();
    const QString dataHome = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    int files = 0;
    for (const QString &folder : {workFolder, dataHome}) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY2(!bytes.contains(secret) && !bytes.contains(renewed),
                     qPrintable(file.fileName()));
            ++files;
        }
    }
    QVERIFY(files >= 2); // blinds.dat and the journal at least

    Blinds second;
    const QByteArray another = secretOf(pairFromTheMenu(&second));
    QCOMPARE(another.size(), 22);
    QVERIFY(another != secret && another != renewed);
}

void TestClockRemote::pressesThroughTheServer() {
    Blinds *clock = startPaired();
    const quint16 port = clock->findChild<LiveView *>()->port();
    const QByteArray secret = secretOf(controlAddress(clock));
    std::int64_t now = 0;
    clock->setSteadyClock([&now] { return now; });
    Phone phone(port, QStringLiteral("http://127.0.0.1:%1").arg(port));

    // Each press twice in a row: the second changes nothing.
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(phone.ask(press("pause", secret)), Taken);
        QCOMPARE(caption(clock), QStringLiteral("Resume"));
    }
    QTRY_VERIFY(phone.lastFace().value(u"paused").toBool());
    QCOMPARE(text(clock, "lblRemoteNotice"), QStringLiteral("Paused from a phone"));
    // The pause takes effect on the next tick, whatever the burst.
    const qint32 remaining = clock->face().remainingMs;
    now += 4'000;
    clock->Timer1_Elapsed();
    QVERIFY(!timer(clock)->isActive());
    QCOMPARE(clock->face().remainingMs, remaining - 1000);
    QTRY_COMPARE(phone.lastFace().value(u"controls")[u"lblTime"][u"text"].toString(),
                 QStringLiteral("Paused"));

    for (int i = 0; i < 2; ++i) {
        QCOMPARE(phone.ask(press("resume", secret)), Taken);
        QCOMPARE(caption(clock), QStringLiteral("Pause"));
        QVERIFY(timer(clock)->isActive());
    }
    QTRY_VERIFY(!phone.lastFace().value(u"paused").toBool());
    QCOMPARE(text(clock, "lblRemoteNotice"), QStringLiteral("Resumed from a phone"));
    now += 3'000;
    clock->Timer1_Elapsed();
    QCOMPARE(clock->face().remainingMs, remaining - 4000);
}

void TestClockRemote::stopPhoneControl() {
    Blinds *clock = startPaired();
    const quint16 port = clock->findChild<LiveView *>()->port();
    const QByteArray old = secretOf(controlAddress(clock));
    Phone phone(port, QStringLiteral("http://127.0.0.1:%1").arg(port));
    QVERIFY(child<QAction>(clock, "actRemoteRevoke")->isEnabled());

    child<QAction>(clock, "actRemoteRevoke")->trigger();
    QVERIFY(!child<QAction>(clock, "actRemoteRevoke")->isEnabled());
    // The phone is told at once, and its secret no longer works.
    QTRY_COMPARE(phone.answers(), QStringList{QStringLiteral(R"({"control":false})")});
    QCOMPARE(phone.ask(press("pause", old)), Refused);
    QCOMPARE(caption(clock), QStringLiteral("Pause"));
    QVERIFY(!shown(clock, "lblRemoteNotice"));

    // Paired anew, the new secret works and the old one still does not.
    child<QAction>(clock, "actRemote")->trigger();
    const QByteArray renewed = secretOf(controlAddress(clock));
    QCOMPARE(phone.ask(press("pause", old)), Refused);
    QCOMPARE(caption(clock), QStringLiteral("Pause"));
    QCOMPARE(phone.ask(press("pause", renewed)), Taken);
    QCOMPARE(caption(clock), QStringLiteral("Resume"));
}

void TestClockRemote::pairingWindowCloses_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Close") << "Close";
    QTest::newRow("two minutes") << "time";
    QTest::newRow("the view turned off") << "off";
}

void TestClockRemote::pairingWindowCloses() {
    QFETCH(QString, how);
    Blinds *clock = startPaired(true);
    frmRemote *window = pairingWindow(clock);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // In front of the clock on its one screen.
    QCOMPARE(window->windowHandle()->transientParent(), clock->windowHandle());
    QCOMPARE(window->screen(), clock->screen());
    auto *closing = child<QTimer>(window, "tmrClose");
    QVERIFY(closing->isActive());
    QVERIFY(closing->remainingTime() > 110'000);
    if (how == QLatin1String("Close"))
        QTest::mouseClick(child<QPushButton>(window, "cmdClose"), Qt::LeftButton);
    else if (how == QLatin1String("time"))
        closing->start(1);
    else
        child<QAction>(clock, "actLiveView")->trigger();
    QTRY_VERIFY(!pairingWindow(clock));
    // The clock runs on, paired or not.
    QVERIFY(timer(clock)->isActive());
    QCOMPARE(child<QAction>(clock, "actRemoteRevoke")->isEnabled(), true);
}

void TestClockRemote::pairingWithoutAPort() {
    Blinds *clock = start(ExampleTournament);
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::Any, 0));
    clock->setLivePorts(taken.serverPort(), taken.serverPort());
    const QList<Box> boxes =
        answerBoxes([clock] { child<QAction>(clock, "actRemote")->trigger(); });
    QCOMPARE(boxes.size(), 1);
    QVERIFY(!pairingWindow(clock));
    QVERIFY(!child<QAction>(clock, "actRemoteRevoke")->isEnabled());
    QVERIFY(!child<QAction>(clock, "actLiveView")->isChecked());
}

QTEST_MAIN(TestClockRemote)

#include "tst_clockremote.moc"
