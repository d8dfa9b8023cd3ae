// ScreenAwake where no session bus can be reached: it must settle at once,
// quietly, holding nothing. CTest runs this binary under dbus-run-session like
// the stand-in suite, so there is a bus to take away from the child it starts.

#include "clock/screenawake.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <cstdio>

class TestScreenAwakeNoBus : public QObject {
    Q_OBJECT

private slots:
    void noSessionBus_data();
    void noSessionBus();
};

void TestScreenAwakeNoBus::noSessionBus_data() {
    QTest::addColumn<bool>("bogusAddress");
    QTest::newRow("address of a bus that is not there") << true;
    QTest::newRow("no address, no display") << false;
}

// Runs this binary again in a mode that builds a ScreenAwake and reports on
// it: a process gets one session bus connection for its life, so "no bus"
// needs a process of its own. Warnings are made fatal there, so a complaint
// counts as a failure just like a crash or a hang.
void TestScreenAwakeNoBus::noSessionBus() {
    QFETCH(bool, bogusAddress);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    if (bogusAddress)
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=/nonexistent/orvandel-test/bus"));
    else
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    env.insert(QStringLiteral("QT_FATAL_WARNINGS"), QStringLiteral("1"));

    QProcess child;
    child.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--no-bus-child")});
    QVERIFY(child.waitForFinished(15000));
    QVERIFY(timer.elapsed() < 10000);
    const QByteArray errors = child.readAllStandardError();
    QVERIFY2(errors.isEmpty(), errors.constData());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(child.readAllStandardOutput(), QByteArray("bus=0 inhibited=0 pending=0\n"));
}

namespace {

int runWithoutBus() {
    orvandel::ScreenAwake awake(nullptr);
    // The report below tells whether this settled; the result adds nothing.
    (void)QTest::qWaitFor([&] { return !awake.isPending(); }, 3000);
    std::printf("bus=%d inhibited=%d pending=%d\n",
                QDBusConnection::sessionBus().isConnected() ? 1 : 0, awake.isInhibited() ? 1 : 0,
                awake.isPending() ? 1 : 0);
    awake.release();
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc > 1 && qstrcmp(argv[1], "--no-bus-child") == 0) {
        QCoreApplication app(argc, argv);
        return runWithoutBus();
    }
    QCoreApplication app(argc, argv);
    TestScreenAwakeNoBus test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screenawakenobus.moc"
