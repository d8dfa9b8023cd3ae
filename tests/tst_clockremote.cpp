// The clock driven from the director's phone: the pause gate from every state
// the clock can be in, then one-time pairing and revoking from the menu, with
// presses, their retries and refusals through the real server on loopback.
#include "clocktest.h"
#include "livetest.h"
#include "qrdecode.h"
#include "remotetest.h"
#include "trywait.h"

#include "live/liveview.h"
#include "live/remotecontrol.h"

#include <QDirIterator>
#include <QPushButton>
#include <QWindow>

using namespace testsupport;
using namespace livetest;
using orvandel::RemoteAction;

namespace {

QString caption(const Blinds *clock) {
    return child<QPushButton>(clock, "cmdPause")->text();
}

// The one-time token of a pairing address.
QByteArray secretOf(const QUrl &address) {
    return address.fragment().startsWith(u"key=") ? address.fragment().mid(4).toLatin1() : "";
}

LiveView *liveView(const Blinds *clock) {
    return clock->findChild<LiveView *>();
}

QString ownOrigin(const Blinds *clock) {
    return QStringLiteral("http://127.0.0.1:%1").arg(liveView(clock)->port());
}

} // namespace

class TestClockRemote : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup() { tearDownClock(); }

    void pauseGate_data();
    void pauseGate();
    void pressesThroughTheServer();
    void refusals_data();
    void refusals();
    void silenceAfterTenWrongSecrets();
    void retriesAreDoneOnce();
    void pairingAndRevoking();
    void pairingWindowCloses_data();
    void pairingWindowCloses();

private:
    // A clock paired from its menu; m_secret, the key its phone was given
    // for the window's token.
    Blinds *startPaired() {
        Blinds *clock = start(ExampleTournament);
        const QByteArray token = secretOf(pairFromTheMenu(clock));
        m_secret = Client(liveView(clock)->port(), Origin{ownOrigin(clock)}).pair(token);
        if (m_secret.size() != 22)
            qFatal("the phone was not paired");
        return clock;
    }

    QByteArray m_secret;
};

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
    QTest::newRow("resume, time hidden")      << untimed << false << 239  << true  << 1 << resume << true  << "Pause"  << true;
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

    QCOMPARE(phoneControl(clock)->press(RemoteAction(action)), acts);
    QCOMPARE(::caption(clock), caption);
    QCOMPARE(timer(clock)->isActive(), counting);
    QCOMPARE(shown(clock, "lblRemoteNotice"), acts);
    if (!acts)
        QCOMPARE(clock->face(), before);
    // The same press again changes nothing more.
    QVERIFY(!phoneControl(clock)->press(RemoteAction(action)));
    QCOMPARE(::caption(clock), caption);
}

void TestClockRemote::pressesThroughTheServer() {
    Blinds *clock = startPaired();
    std::int64_t now = 0;
    clock->setSteadyClock([&now] { return now; });
    Client phone(liveView(clock)->port(), Origin{ownOrigin(clock)});

    // Each press twice in a row: the second changes nothing.
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(phone.ask(press("pause", m_secret)), Taken);
        QCOMPARE(caption(clock), QStringLiteral("Resume"));
    }
    TRY_VERIFY(phone.lastFace().value(u"paused").toBool());
    QCOMPARE(text(clock, "lblRemoteNotice"), QStringLiteral("Paused from a phone"));
    // After a hold-up, a burst of ticks: the pause takes effect on the
    // first, which still counts its second.
    const qint32 remaining = clock->face().remainingMs;
    now += 4'000;
    clock->Timer1_Elapsed();
    QVERIFY(!timer(clock)->isActive());
    QCOMPARE(clock->face().remainingMs, remaining - 1000);

    for (int i = 0; i < 2; ++i) {
        QCOMPARE(phone.ask(press("resume", m_secret)), Taken);
        QCOMPARE(caption(clock), QStringLiteral("Pause"));
    }
    TRY_VERIFY(!phone.lastFace().value(u"paused").toBool());
    QCOMPARE(text(clock, "lblRemoteNotice"), QStringLiteral("Resumed from a phone"));
    now += 3'000;
    clock->Timer1_Elapsed();
    QCOMPARE(clock->face().remainingMs, remaining - 4000);
    child<QTimer>(clock, "tmrRemoteNotice")->start(1);
    TRY_VERIFY(!shown(clock, "lblRemoteNotice"));

    // The director's presses do not use up a viewer's allowance of 1 KiB.
    for (int i = 0; i < 30; ++i)
        QCOMPARE(phone.ask(press("resume", m_secret)), Taken);
}

void TestClockRemote::refusals_data() {
    QTest::addColumn<QString>("origin");  // "own": the page's own
    QTest::addColumn<QString>("message"); // %1: the secret; %1-: less its last character
    QTest::addColumn<bool>("taken");
    const QString own = QStringLiteral("own");
    // clang-format off
    QTest::newRow("the secret")     << own << press("pause", "%1")                     << true;
    QTest::newRow("no secret")      << own << R"({"action":"pause"})"                  << false;
    QTest::newRow("wrong secret")   << own << press("pause", "q2Zc9Xw-hT0_bLm4Rk7aYe") << false;
    QTest::newRow("one more")       << own << press("pause", "%1A")                    << false;
    QTest::newRow("one less")       << own << press("pause", "%1-")                    << false;
    QTest::newRow("chatter")        << own << "hello"                                  << false;
    QTest::newRow("another site")   << "http://evil.example" << press("pause", "%1")  << false;
    QTest::newRow("another port")   << "http://127.0.0.1:1"  << press("pause", "%1")  << false;
    QTest::newRow("no origin")      << ""                    << press("pause", "%1")  << false;
    QTest::newRow("opaque origin")  << "null"                << press("pause", "%1")  << false;
    // clang-format on
}

void TestClockRemote::refusals() {
    QFETCH(QString, origin);
    QFETCH(QString, message);
    QFETCH(bool, taken);
    Blinds *clock = startPaired();
    Client phone(liveView(clock)->port(),
                 Origin{origin == QLatin1String("own") ? ownOrigin(clock) : origin});
    const QString key = QString::fromLatin1(m_secret);
    message.replace(QLatin1String("%1-"), key.chopped(1)).replace(QLatin1String("%1"), key);
    QCOMPARE(phone.ask(message), taken ? Taken : Refused);
    QCOMPARE(caption(clock), taken ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    QVERIFY(phone.socket.state() == QAbstractSocket::ConnectedState);
}

void TestClockRemote::silenceAfterTenWrongSecrets() {
    Blinds *clock = startPaired();
    const quint16 port = liveView(clock)->port();
    std::int64_t now = 0;
    liveView(clock)->setSteadyClock([&now] { return now; });
    Client guesser(port, Origin{ownOrigin(clock)});
    Client viewer(port);
    QVERIFY(viewer.waitForMessages(1));
    for (int i = 0; i < 10; ++i) {
        now += 5'000;
        QCOMPARE(guesser.ask(press("pause", "guess" + QByteArray::number(i))), Refused);
    }
    // The eleventh goes unanswered, and so does the secret itself, on a new
    // WebSocket too, until a minute after the tenth.
    QCOMPARE(guesser.ask(press("pause", "guess10"), 500), QString());
    Client again(port, Origin{ownOrigin(clock)});
    now += 59'000;
    QCOMPARE(again.ask(press("pause", m_secret), 500), QString());
    QCOMPARE(caption(clock), QStringLiteral("Pause"));
    // Meanwhile a viewer at that address sees the clock count.
    const qsizetype seen = viewer.messages.size();
    clock->Timer1_Timer();
    QVERIFY(viewer.waitForMessages(seen + 1));
    now += 1'000;
    QCOMPARE(again.ask(press("pause", m_secret)), Taken);
    QCOMPARE(caption(clock), QStringLiteral("Resume"));
}

void TestClockRemote::retriesAreDoneOnce() {
    Blinds *clock = startPaired();
    Client phone(liveView(clock)->port(), Origin{ownOrigin(clock)});
    const auto level = [clock] { return clock->face().level; };
    // A press sent again with its id, as after a lost answer: the same
    // answer, the clock moved once.
    QCOMPARE(phone.ask(press("next", m_secret, QStringLiteral("n1"))), Taken);
    QCOMPARE(phone.ask(press("next", m_secret, QStringLiteral("n1"))), Taken);
    QCOMPARE(level(), 2);
    QCOMPARE(text(clock, "lblRemoteNotice"), QStringLiteral("Level 2 started by the director"));
    QCOMPARE(phone.ask(press("next", m_secret, QStringLiteral("n2"))), Taken);
    QCOMPARE(level(), 3);
    // Without an id each press acts.
    QCOMPARE(phone.ask(press("previous", m_secret)), Taken);
    QCOMPARE(phone.ask(press("previous", m_secret)), Taken);
    QCOMPARE(level(), 1);
    // The phone's undo is the laptop's: it takes back the last move of
    // either, the laptop's menu following.
    child<QAction>(clock, "actNextLevel")->trigger();
    QCOMPARE(phone.ask(press("undo", m_secret, QStringLiteral("u1"))), Taken);
    QCOMPARE(level(), 1);
    QCOMPARE(child<QAction>(clock, "actUndoMove")->text(), QStringLiteral("Undo previous level"));
    const qint32 before = clock->face().remainingMs;
    QCOMPARE(phone.ask(press("takeMinute", m_secret, QStringLiteral("m1"))), Taken);
    QCOMPARE(clock->face().remainingMs, before - 60'000);
    // Nobody to put out yet: refused, and not remembered as done.
    for (int i = 0; i < 2; ++i)
        QCOMPARE(phone.ask(press("out", m_secret, QStringLiteral("o1"))), Refused);
    // The clock's own count takes the phone's entries, each id once.
    for (int i = 0; i < 2; ++i)
        QCOMPARE(phone.ask(press("entry", m_secret, QStringLiteral("e1"))), Taken);
    QCOMPARE(text(clock, "lblPlayers"), QStringLiteral("Players 1 of 1"));
    // The phone can go on: a refused count is no lost key.
    QCOMPARE(phone.ask(press("addMinute", m_secret, QStringLiteral("m2"))), Taken);
    QCOMPARE(clock->face().remainingMs, before);
    // Once a handler counts them, the same id is done once.
    int counted = 0;
    phoneControl(clock)->setPlayerHandler([&counted](RemoteAction action) {
        counted += action == RemoteAction::Out;
        return true;
    });
    for (int i = 0; i < 2; ++i)
        QCOMPARE(phone.ask(press("out", m_secret, QStringLiteral("o1"))), Taken);
    QCOMPARE(counted, 1);
    // Ids are remembered a few hundred presses back, not for ever.
    for (int i = 0; i < int(LiveView::RememberedPresses); ++i)
        QCOMPARE(phone.ask(press("pause", m_secret, QString::number(i))), Taken);
    QCOMPARE(phone.ask(press("out", m_secret, QStringLiteral("o1"))), Taken);
    QCOMPARE(counted, 2);
}

void TestClockRemote::pairingAndRevoking() {
    Blinds *clock = start(ExampleTournament);
    const QUrl address = pairFromTheMenu(clock);
    // Pairing turned the view on; the address is the view's with the token.
    QVERIFY(child<QAction>(clock, "actLiveView")->isChecked());
    QCOMPARE(address.adjusted(QUrl::RemoveFragment), liveUrl(liveView(clock)->port()));
    const QByteArray token = secretOf(address);
    QCOMPARE(token.size(), 22);
    if (haveQrDecoder())
        QCOMPARE(decodeQr(child<QLabel>(pairingWindow(clock), "picRemoteQr")->pixmap().toImage()),
                 address.toString(QUrl::FullyEncoded).toUtf8());
    const quint16 port = liveView(clock)->port();
    Client director(port, Origin{ownOrigin(clock)}), photo(port, Origin{ownOrigin(clock)});

    // The first page to send the token gets a key; the token is spent, and
    // it never was a key.
    QCOMPARE(director.pair(token + "x"), QByteArray());
    const QByteArray key = director.pair(token);
    QVERIFY(key.size() == 22 && key != token);
    QVERIFY(shown(pairingWindow(clock), "lblPaired"));
    TRY_VERIFY(!pairingWindow(clock));
    QCOMPARE(photo.ask(pairWith(token)), QStringLiteral(R"({"paired":false})"));
    QCOMPARE(photo.ask(press("pause", token)), Refused);
    QCOMPARE(caption(clock), QStringLiteral("Pause"));
    // A pause asked for takes effect on the next tick, which the clock's own
    // timer may or may not have run yet: run it, so Resume has a pause to end.
    const auto paused = [clock] {
        if (timer(clock)->isActive())
            clock->Timer1_Timer();
        return caption(clock);
    };
    QCOMPARE(photo.ask(press("pause", key)), Taken);
    QCOMPARE(paused(), QStringLiteral("Resume"));

    // Another phone from another pairing: both keys taken.
    const QByteArray second = secretOf(pairFromTheMenu(clock));
    QVERIFY(second != token);
    const QByteArray otherKey = photo.pair(second);
    QVERIFY(otherKey.size() == 22 && otherKey != key);
    QCOMPARE(director.ask(press("resume", key)), Taken);
    QCOMPARE(photo.ask(press("pause", otherKey)), Taken);
    QCOMPARE(paused(), QStringLiteral("Resume"));
    QCOMPARE(liveView(clock)->pairedPhones(), 2);

    // "Stop phone control": every phone is told at once, and every key and
    // open token is refused from then on, also once the clock is paired anew.
    const QByteArray open = secretOf(pairFromTheMenu(clock));
    child<QAction>(clock, "actRemoteRevoke")->trigger();
    const QStringList stopped{QStringLiteral(R"({"control":false})")};
    TRY_COMPARE(director.answers.mid(director.answers.size() - 1), stopped);
    QCOMPARE(photo.answers.constLast(), stopped.constFirst());
    TRY_VERIFY(!pairingWindow(clock));
    QVERIFY(!child<QAction>(clock, "actRemoteRevoke")->isEnabled());
    QCOMPARE(director.ask(press("resume", key)), Refused);
    QCOMPARE(photo.pair(open), QByteArray());
    const QByteArray renewed = director.pair(secretOf(pairFromTheMenu(clock)));
    QCOMPARE(director.ask(press("resume", key)), Refused);
    QCOMPARE(photo.ask(press("resume", otherKey)), Refused);
    QCOMPARE(caption(clock), QStringLiteral("Resume"));
    QCOMPARE(director.ask(press("resume", renewed)), Taken);
    QCOMPARE(caption(clock), QStringLiteral("Pause"));

    // Never written anywhere: not in the working folder, not in the journal.
    clock->Timer1_Elapsed();
    int files = 0;
    for (const QString &folder :
         {QDir::currentPath(), QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"))}) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            for (const QByteArray &secret : {token, key, otherKey, renewed})
                QVERIFY2(!bytes.contains(secret), qPrintable(it.filePath()));
            ++files;
        }
    }
    QVERIFY(files >= 2); // blinds.dat and the journal at least

    // Another start of the clock, another token.
    const std::unique_ptr<Blinds> other(orvandel::openClock());
    const QByteArray another = secretOf(pairFromTheMenu(other.get()));
    QVERIFY(another.size() == 22 && another != token && another != second);
}

void TestClockRemote::pairingWindowCloses_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Close") << "Close";
    QTest::newRow("two minutes") << "time";
    QTest::newRow("the view turned off") << "off";
}

void TestClockRemote::pairingWindowCloses() {
    QFETCH(QString, how);
    // No phone has paired yet: the window waits for one.
    Blinds *clock = startShown(ExampleTournament);
    pairFromTheMenu(clock);
    frmRemote *window = pairingWindow(clock);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // In front of the clock on its one screen.
    QCOMPARE(window->windowHandle()->transientParent(), clock->windowHandle());
    QCOMPARE(window->screen(), clock->screen());
    auto *closing = child<QTimer>(window, "tmrClose");
    QVERIFY(closing->remainingTime() > 110'000);
    if (how == QLatin1String("Close"))
        QTest::mouseClick(child<QPushButton>(window, "cmdClose"), Qt::LeftButton);
    else if (how == QLatin1String("time"))
        closing->start(1);
    else
        child<QAction>(clock, "actLiveView")->trigger();
    TRY_VERIFY(!pairingWindow(clock));
    QVERIFY(timer(clock)->isActive());
}

QTEST_MAIN(TestClockRemote)

#include "tst_clockremote.moc"
