// Presses from the director's phone against the real server on loopback:
// which are taken and which refused, what every page hears when control is
// stopped, the silence after too many wrong secrets, and the viewer's
// allowance.
#include "livetest.h"

#include "live/remotecontrol.h"

#include <QSignalSpy>
#include <memory>

using namespace livetest;
using orvandel::RemoteAction;

namespace {

const QByteArray Secret = "q2Zc9Xw-hT0_bLm4Rk7aYe";
} // namespace

class TestLiveRemote : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_view.reset(); }

    void takenOrRefused_data();
    void takenOrRefused();
    void stoppingTellsEveryPage();
    void silenceAfterTenWrongSecrets();
    void pressesDoNotUseUpTheAllowance_data();
    void pressesDoNotUseUpTheAllowance();

private:
    QString ownOrigin() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

    std::unique_ptr<LiveView> m_view;
    quint16 m_port = 0;
    std::int64_t m_now = 0;
};

void TestLiveRemote::init() {
    m_now = 0;
    m_view = std::make_unique<LiveView>();
    m_view->setSteadyClock([this] { return m_now; });
    m_view->setControlKey(Secret);
    m_port = startOnFreePorts(*m_view);
}

void TestLiveRemote::takenOrRefused_data() {
    QTest::addColumn<QString>("origin"); // "own": the page's own
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("action"); // -1: refused
    const QString own = QStringLiteral("own");
    const int pause = int(RemoteAction::Pause), resume = int(RemoteAction::Resume), no = -1;
    // clang-format off
    QTest::newRow("pause")               << own << press("pause", Secret)          << pause;
    QTest::newRow("resume")              << own << press("resume", Secret)         << resume;
    QTest::newRow("no secret")           << own << R"({"action":"pause"})"         << no;
    QTest::newRow("empty secret")        << own << press("pause", "")              << no;
    QTest::newRow("wrong secret")        << own << press("pause", "q2Zc9Xw-hT0_bLm4Rk7aYf") << no;
    QTest::newRow("a prefix of it")      << own << press("pause", Secret.left(21)) << no;
    QTest::newRow("a viewer's chatter")  << own << "hello"                         << no;
    QTest::newRow("another site")        << "http://evil.example" << press("pause", Secret) << no;
    QTest::newRow("another port")        << "http://127.0.0.1:1"  << press("pause", Secret) << no;
    QTest::newRow("no origin")           << ""  << press("pause", Secret)          << no;
    QTest::newRow("opaque origin")       << "null" << press("pause", Secret)       << no;
    // clang-format on
}

void TestLiveRemote::takenOrRefused() {
    QFETCH(QString, origin);
    QFETCH(QString, message);
    QFETCH(int, action);
    Phone phone(m_port, origin == QLatin1String("own") ? ownOrigin() : origin);
    QSignalSpy presses(m_view.get(), &LiveView::controlRequested);
    QCOMPARE(phone.ask(message), action >= 0 ? Taken : Refused);
    QCOMPARE(presses.size(), action >= 0 ? 1 : 0);
    if (action >= 0)
        QCOMPARE(int(presses.at(0).at(0).value<RemoteAction>()), action);
    // The same WebSocket still shows the clock.
    QVERIFY(phone.socket.state() == QAbstractSocket::ConnectedState);
}

void TestLiveRemote::stoppingTellsEveryPage() {
    Phone director(m_port, ownOrigin());
    Viewer viewer(m_port);
    QVERIFY(viewer.waitForMessages(1));
    QSignalSpy presses(m_view.get(), &LiveView::controlRequested);
    QCOMPARE(director.ask(press("pause", Secret)), Taken);

    const QByteArray renewed = orvandel::newRemoteSecret();
    m_view->setControlKey(renewed);
    QVERIFY(QTest::qWaitFor([&] { return director.answers().size() == 2; }, 5000));
    QCOMPARE(director.answers().constLast(), QStringLiteral(R"({"control":false})"));
    QVERIFY(viewer.waitForMessages(2));
    QVERIFY(viewer.messages.contains(QStringLiteral(R"({"control":false})")));

    QCOMPARE(director.ask(press("resume", Secret)), Refused);
    QCOMPARE(presses.size(), 1);
    QCOMPARE(director.ask(press("resume", renewed)), Taken);
    QCOMPARE(presses.size(), 2);

    // No secret at all: nothing is taken.
    m_view->setControlKey({});
    QVERIFY(QTest::qWaitFor([&] { return director.answers().size() == 5; }, 5000));
    QCOMPARE(director.answers().constLast(), QStringLiteral(R"({"control":false})"));
    QCOMPARE(director.ask(press("pause", renewed)), Refused);
    QCOMPARE(presses.size(), 2);
}

void TestLiveRemote::silenceAfterTenWrongSecrets() {
    Phone guesser(m_port, ownOrigin());
    Viewer viewer(m_port);
    QVERIFY(viewer.waitForMessages(1));
    QSignalSpy presses(m_view.get(), &LiveView::controlRequested);
    for (int i = 0; i < 10; ++i) {
        m_now += 5'000;
        QCOMPARE(guesser.ask(press("pause", "guess" + QByteArray::number(i))), Refused);
    }
    // The eleventh goes unanswered, and so does the secret itself, on a new
    // WebSocket too, for a minute after the tenth.
    QCOMPARE(guesser.ask(press("pause", "guess10"), 500), QString());
    Phone again(m_port, ownOrigin());
    m_now += 59'000;
    QCOMPARE(again.ask(press("pause", Secret), 500), QString());
    QCOMPARE(presses.size(), 0);
    // Meanwhile a viewer at the same address sees every change.
    const qsizetype seen = viewer.messages.size();
    orvandel::ClockFace face;
    face.remainingMs = 1234;
    m_view->publish(face);
    QVERIFY(viewer.waitForMessages(seen + 1));
    QVERIFY(viewer.messages.constLast().contains(QLatin1String("1234")));
    // Another address is answered.
    Phone elsewhere(m_port, QStringLiteral("http://[::1]:%1").arg(m_port), QStringLiteral("[::1]"));
    QCOMPARE(elsewhere.ask(press("pause", Secret)), Taken);

    m_now += 1'000;
    QCOMPARE(again.ask(press("resume", Secret)), Taken);
    QCOMPARE(presses.size(), 2);
}

void TestLiveRemote::pressesDoNotUseUpTheAllowance_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("open");
    // clang-format off
    QTest::newRow("the director's presses") << press("pause", Secret) << true;
    QTest::newRow("refused ones")           << R"({"action":"pause","key":"x"})" << false;
    // clang-format on
}

void TestLiveRemote::pressesDoNotUseUpTheAllowance() {
    QFETCH(QString, message);
    QFETCH(bool, open);
    LiveLimits limits;
    limits.maxViewerBytes = 300;
    m_view = std::make_unique<LiveView>();
    m_view->setLimits(limits);
    m_view->setControlKey(Secret);
    m_port = startOnFreePorts(*m_view);
    Phone phone(m_port, ownOrigin());
    for (int i = 0; i < 20 && phone.socket.state() == QAbstractSocket::ConnectedState; ++i)
        phone.ask(message, 1000);
    QCOMPARE(phone.socket.state() == QAbstractSocket::ConnectedState, open);
}

QTEST_MAIN(TestLiveRemote)

#include "tst_liveremote.moc"
