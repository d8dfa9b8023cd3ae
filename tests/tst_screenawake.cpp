// ScreenAwake against a stand-in ScreenSaver service on a private session bus.
// CTest runs this binary under dbus-run-session; the stand-in lives on its own
// bus connection in this process, so every call really crosses the bus.

#include "clock/blinds.h"
#include "clock/screenawake.h"
#include "testsupport.h"
#include "trywait.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

const QString Service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString MainPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString OldPath = QStringLiteral("/ScreenSaver");
const QString StandInBus = QStringLiteral("standin");

// Anything that waits synchronously for the stand-in (which answers on this
// same thread) would sit out the 25 s D-Bus timeout, far beyond this.
constexpr qint64 QuickMs = 2000;

// Cookies run on across test functions, so a cookie from an earlier case or a
// made-up constant can never match by accident.
uint nextCookie = 4711;

} // namespace

// Records what it is asked and hands out cookies. It can also hold its answers
// back (a slow desktop) or refuse (a desktop that says no).
class StandIn final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    enum class Mode { Answer, Hold, Refuse };

    struct InhibitCall {
        QString path;
        QString application;
        QString reason;
        uint cookie;
    };
    struct UnInhibitCall {
        QString path;
        uint cookie;
    };

    Mode mode = Mode::Answer;
    QList<InhibitCall> inhibits;
    QList<UnInhibitCall> unInhibits;
    QSet<uint> active;
    int pings = 0;

    // Sends the answers held back so far.
    void answerHeld() {
        QDBusConnection bus(StandInBus);
        for (auto &[request, cookie] : m_held)
            QVERIFY(bus.send(request.createReply(QVariant::fromValue(cookie))));
        m_held.clear();
    }

public slots:
    uint Inhibit(const QString &application, const QString &reason) {
        const uint cookie = nextCookie++;
        inhibits.append({message().path(), application, reason, cookie});
        if (mode == Mode::Refuse) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("not today"));
            return 0;
        }
        active.insert(cookie);
        if (mode == Mode::Hold) {
            setDelayedReply(true);
            m_held.append({message(), cookie});
        }
        return cookie;
    }

    void UnInhibit(uint cookie) {
        unInhibits.append({message().path(), cookie});
        active.remove(cookie);
    }

    // Used as a barrier: the bus keeps one sender's messages in order, so
    // once a ping sent after some action has arrived, everything the action
    // sent has arrived too.
    void Ping() { ++pings; }

private:
    QList<QPair<QDBusMessage, uint>> m_held;
};

class TestScreenAwake : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void inhibitsWhenCreated();
    void releasesWhenDestroyed();
    void releaseIsIdempotent();
    void releaseBeforeAnswerReleasesWhenItComes();
    void destroyBeforeAnswerReleasesWhenItComes();
    void releaseThenDestroyBeforeAnswer();
    void noServiceMeansNothingHappens();
    void refusedRequestIsNotRetried();
    void fallsBackToOldPath();
    void prefersMainPath();
    void clockWindowKeepsScreenAwake();

private:
    void serve(const QStringList &paths);
    bool barrier(const QString &path);

    std::unique_ptr<StandIn> m_standIn;
    QStringList m_served;
};

void TestScreenAwake::initTestCase() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(),
             "needs a session bus: run under dbus-run-session");
    QVERIFY(QDBusConnection::connectToBus(QDBusConnection::SessionBus, StandInBus).isConnected());
}

void TestScreenAwake::init() {
    m_standIn = std::make_unique<StandIn>();
}

void TestScreenAwake::cleanup() {
    QDBusConnection bus(StandInBus);
    for (const QString &path : std::as_const(m_served))
        bus.unregisterObject(path);
    m_served.clear();
    bus.unregisterService(Service);
    m_standIn.reset();
}

void TestScreenAwake::cleanupTestCase() {
    QDBusConnection::disconnectFromBus(StandInBus);
}

void TestScreenAwake::serve(const QStringList &paths) {
    QDBusConnection bus(StandInBus);
    for (const QString &path : paths) {
        QVERIFY(bus.registerObject(path, m_standIn.get(), QDBusConnection::ExportAllSlots));
        m_served.append(path);
    }
    QVERIFY(bus.registerService(Service));
}

bool TestScreenAwake::barrier(const QString &path) {
    const int before = m_standIn->pings;
    const QDBusMessage ping = QDBusMessage::createMethodCall(
        Service, path, QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("Ping"));
    QDBusConnection::sessionBus().asyncCall(ping);
    return QTest::qWaitFor([&] { return m_standIn->pings == before + 1; }, 5000);
}

void TestScreenAwake::inhibitsWhenCreated() {
    serve({MainPath});

    QElapsedTimer timer;
    timer.start();
    orvandel::ScreenAwake awake(nullptr);
    QVERIFY(timer.elapsed() < QuickMs);
    QSignalSpy changed(&awake, &orvandel::ScreenAwake::inhibitedChanged);

    // The answer comes later, through the event loop.
    QVERIFY(awake.isPending());
    QVERIFY(!awake.isInhibited());
    TRY_VERIFY(awake.isInhibited());
    QVERIFY(!awake.isPending());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toBool(), true);

    QCOMPARE(m_standIn->inhibits.size(), 1);
    const StandIn::InhibitCall &call = m_standIn->inhibits.at(0);
    QCOMPARE(call.path, MainPath);
    QCOMPARE(call.application, QStringLiteral("Orvandel"));
    QVERIFY(!call.reason.trimmed().isEmpty());

    // Holding it means not giving it back yet.
    QVERIFY(barrier(MainPath));
    QVERIFY(m_standIn->unInhibits.isEmpty());
    QCOMPARE(m_standIn->active.size(), 1);
}

void TestScreenAwake::releasesWhenDestroyed() {
    serve({MainPath});

    auto awake = std::make_unique<orvandel::ScreenAwake>(nullptr);
    TRY_VERIFY(awake->isInhibited());
    QCOMPARE(m_standIn->inhibits.size(), 1);
    const uint cookie = m_standIn->inhibits.at(0).cookie;

    awake.reset();
    TRY_COMPARE(m_standIn->unInhibits.size(), 1);
    QCOMPARE(m_standIn->unInhibits.at(0).cookie, cookie);
    QCOMPARE(m_standIn->unInhibits.at(0).path, MainPath);
    QVERIFY(m_standIn->active.isEmpty());

    QVERIFY(barrier(MainPath));
    QCOMPARE(m_standIn->unInhibits.size(), 1);
}

void TestScreenAwake::releaseIsIdempotent() {
    serve({MainPath});

    auto awake = std::make_unique<orvandel::ScreenAwake>(nullptr);
    QSignalSpy changed(awake.get(), &orvandel::ScreenAwake::inhibitedChanged);
    TRY_VERIFY(awake->isInhibited());
    const uint cookie = m_standIn->inhibits.at(0).cookie;

    awake->release();
    QVERIFY(!awake->isInhibited());
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toBool(), false);
    TRY_COMPARE(m_standIn->unInhibits.size(), 1);
    QCOMPARE(m_standIn->unInhibits.at(0).cookie, cookie);

    awake->release();
    awake.reset();
    QVERIFY(barrier(MainPath));
    QCOMPARE(m_standIn->unInhibits.size(), 1);
    QCOMPARE(changed.count(), 2);
    // Released for good: it must not have asked again either.
    QCOMPARE(m_standIn->inhibits.size(), 1);
}

void TestScreenAwake::releaseBeforeAnswerReleasesWhenItComes() {
    m_standIn->mode = StandIn::Mode::Hold;
    serve({MainPath});

    QElapsedTimer timer;
    timer.start();
    auto awake = std::make_unique<orvandel::ScreenAwake>(nullptr);
    QVERIFY(timer.elapsed() < QuickMs);
    QSignalSpy changed(awake.get(), &orvandel::ScreenAwake::inhibitedChanged);
    TRY_COMPARE(m_standIn->inhibits.size(), 1);
    const uint cookie = m_standIn->inhibits.at(0).cookie;
    QVERIFY(awake->isPending());

    awake->release();
    QVERIFY(barrier(MainPath));
    QVERIFY(m_standIn->unInhibits.isEmpty()); // no cookie yet, nothing to give back

    m_standIn->answerHeld();
    TRY_COMPARE(m_standIn->unInhibits.size(), 1);
    QCOMPARE(m_standIn->unInhibits.at(0).cookie, cookie);
    QVERIFY(m_standIn->active.isEmpty());
    TRY_VERIFY(!awake->isPending());
    QVERIFY(!awake->isInhibited());
    QCOMPARE(changed.count(), 0);

    awake.reset();
    QVERIFY(barrier(MainPath));
    QCOMPARE(m_standIn->unInhibits.size(), 1);
}

void TestScreenAwake::destroyBeforeAnswerReleasesWhenItComes() {
    m_standIn->mode = StandIn::Mode::Hold;
    serve({MainPath});

    auto awake = std::make_unique<orvandel::ScreenAwake>(nullptr);
    TRY_COMPARE(m_standIn->inhibits.size(), 1);
    const uint cookie = m_standIn->inhibits.at(0).cookie;

    QElapsedTimer timer;
    timer.start();
    awake.reset();
    QVERIFY(timer.elapsed() < QuickMs);

    m_standIn->answerHeld();
    TRY_COMPARE(m_standIn->unInhibits.size(), 1);
    QCOMPARE(m_standIn->unInhibits.at(0).cookie, cookie);
    QVERIFY(m_standIn->active.isEmpty());
    QVERIFY(barrier(MainPath));
    QCOMPARE(m_standIn->unInhibits.size(), 1);
}

void TestScreenAwake::releaseThenDestroyBeforeAnswer() {
    m_standIn->mode = StandIn::Mode::Hold;
    serve({MainPath});

    auto awake = std::make_unique<orvandel::ScreenAwake>(nullptr);
    TRY_COMPARE(m_standIn->inhibits.size(), 1);
    const uint cookie = m_standIn->inhibits.at(0).cookie;
    awake->release();
    awake.reset();

    m_standIn->answerHeld();
    TRY_COMPARE(m_standIn->unInhibits.size(), 1);
    QCOMPARE(m_standIn->unInhibits.at(0).cookie, cookie);
    QVERIFY(m_standIn->active.isEmpty());
}

void TestScreenAwake::noServiceMeansNothingHappens() {
    QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(Service).value());
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));

    QElapsedTimer timer;
    timer.start();
    auto awake = std::make_unique<orvandel::ScreenAwake>(nullptr);
    QVERIFY(timer.elapsed() < QuickMs);
    QSignalSpy changed(awake.get(), &orvandel::ScreenAwake::inhibitedChanged);
    TRY_VERIFY(!awake->isPending());
    QVERIFY(!awake->isInhibited());
    QCOMPARE(changed.count(), 0);

    awake->release();
    awake.reset();
    QCOMPARE(changed.count(), 0);
}

void TestScreenAwake::refusedRequestIsNotRetried() {
    // A desktop that says no at the usual path means no; only a missing
    // object or method is a reason to try the old one.
    m_standIn->mode = StandIn::Mode::Refuse;
    serve({MainPath, OldPath});
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));

    orvandel::ScreenAwake awake(nullptr);
    TRY_VERIFY(!awake.isPending());
    QVERIFY(!awake.isInhibited());
    QVERIFY(barrier(MainPath));
    QCOMPARE(m_standIn->inhibits.size(), 1);
    QCOMPARE(m_standIn->inhibits.at(0).path, MainPath);
}

void TestScreenAwake::fallsBackToOldPath() {
    serve({OldPath});

    auto awake = std::make_unique<orvandel::ScreenAwake>(nullptr);
    TRY_VERIFY(awake->isInhibited());
    QCOMPARE(m_standIn->inhibits.size(), 1);
    QCOMPARE(m_standIn->inhibits.at(0).path, OldPath);
    QCOMPARE(m_standIn->inhibits.at(0).application, QStringLiteral("Orvandel"));
    const uint cookie = m_standIn->inhibits.at(0).cookie;

    // The cookie goes back to the path that handed it out.
    awake.reset();
    TRY_COMPARE(m_standIn->unInhibits.size(), 1);
    QCOMPARE(m_standIn->unInhibits.at(0).path, OldPath);
    QCOMPARE(m_standIn->unInhibits.at(0).cookie, cookie);
    QVERIFY(m_standIn->active.isEmpty());
}

void TestScreenAwake::prefersMainPath() {
    serve({MainPath, OldPath});

    orvandel::ScreenAwake awake(nullptr);
    TRY_VERIFY(awake.isInhibited());
    QVERIFY(barrier(OldPath));
    QCOMPARE(m_standIn->inhibits.size(), 1);
    QCOMPARE(m_standIn->inhibits.at(0).path, MainPath);
}

void TestScreenAwake::clockWindowKeepsScreenAwake() {
    serve({MainPath});
    testsupport::WorkFolder folder;
    QVERIFY(testsupport::writeFile(testsupport::tournamentFile(2, 20)));

    auto *clock = new Blinds(nullptr);
    TRY_COMPARE(m_standIn->active.size(), 1);
    QCOMPARE(m_standIn->inhibits.at(0).application, QStringLiteral("Orvandel"));
    QVERIFY(clock->close()); // unloads and is deleted
    TRY_VERIFY(m_standIn->active.isEmpty());
    QCOMPARE(m_standIn->unInhibits.size(), 1);
}

int main(int argc, char **argv) {
    QApplication app(argc, argv); // the clock window case needs widgets
    TestScreenAwake test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screenawake.moc"
