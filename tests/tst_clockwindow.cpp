// The clock window against the world: a stalled event loop, a laptop that
// slept, and screens of every size.
#include "clocktest.h"

#include "core/programend.h"
#include "core/timetext.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

using namespace testsupport;

class TestClockWindow : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup() { tearDownClock(); }

    void digitsFillSameShareOfAnyScreen_data();
    void digitsFillSameShareOfAnyScreen();
    void stalledClockCatchesUp_data();
    void stalledClockCatchesUp();
    void pauseDuringStallThenResume();
    void sleepRunsEveryLevelChangeAndAlertsOnce_data();
    void sleepRunsEveryLevelChangeAndAlertsOnce();
    void longBlindsFitTheirLabels_data();
    void longBlindsFitTheirLabels();
};

void TestClockWindow::digitsFillSameShareOfAnyScreen_data() {
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1366x768 projector") << QSize(1366, 768);
    QTest::newRow("1920x1080 TV") << QSize(1920, 1080);
    QTest::newRow("3840x2160 TV") << QSize(3840, 2160);
    QTest::newRow("4:3 monitor") << QSize(1024, 768);
}

void TestClockWindow::digitsFillSameShareOfAnyScreen() {
    QFETCH(QSize, screen);
    Blinds *clock = start(tournamentFile(3, 20));
    clock->setWindowState(Qt::WindowNoState);
    clock->show();
    clock->resize(screen);
    QCOMPARE(clock->size(), screen);
    const auto *time = child<QLabel>(clock, "lblTime");
    // One scale for the whole design, the largest that fits: the time's
    // 99.75 pt at 96 dpi grow with it, and the design is centred.
    const qreal scale = std::min(screen.width() / (orvandel::FittedWidth / 15.0),
                                 screen.height() / (orvandel::FittedHeight / 15.0));
    QCOMPARE(time->font().pixelSize(), qRound(99.75 * 96 / 72 * scale));
    const qreal margin = (screen.width() - orvandel::FittedWidth / 15.0 * scale) / 2;
    QVERIFY(std::abs(time->x() - (margin + 1560 / 15.0 * scale)) <= 1);
    // Everything stays on the screen, centred across.
    for (const QWidget *control : clock->findChildren<QWidget *>()) {
        if (control->isHidden())
            continue;
        QVERIFY2(clock->rect().contains(control->geometry()), qPrintable(control->objectName()));
    }
}

void TestClockWindow::stalledClockCatchesUp_data() {
    QTest::addColumn<QList<int>>("timeouts"); // steady-clock readings, ms
    QTest::addColumn<QList<int>>("ticksRun");
    QTest::addColumn<int>("nextInterval");
    QTest::newRow("on time") << QList<int>{1000, 2000, 3000} << QList<int>{1, 1, 1} << 1000;
    QTest::newRow("3.5 intervals late") << QList<int>{3500} << QList<int>{3} << 500;
    QTest::newRow("late, then on the re-aimed time")
        << QList<int>{3500, 4000, 5001} << QList<int>{3, 1, 1} << 1000;
    QTest::newRow("faster than real time") << QList<int>{0, 0, 10} << QList<int>{1, 1, 1} << 1000;
    QTest::newRow("a minute stalled") << QList<int>{60400} << QList<int>{60} << 600;
}

void TestClockWindow::stalledClockCatchesUp() {
    QFETCH(QList<int>, timeouts);
    QFETCH(QList<int>, ticksRun);
    QFETCH(int, nextInterval);
    Blinds *clock = start(tournamentFile(3, 20));
    qint64 now = 0;
    clock->setSteadyClock([&now] { return now; });
    int counted = 0;
    for (qsizetype i = 0; i < timeouts.size(); ++i) {
        now = timeouts[i];
        clock->Timer1_Elapsed();
        counted += ticksRun[i];
        const int left = 20 * 60 - counted;
        QCOMPARE(text(clock, "lblTime"), orvandel::timeText(static_cast<qint16>(left / 60),
                                                            static_cast<qint16>(left % 60)));
    }
    QCOMPARE(timer(clock)->interval(), nextInterval);
}

void TestClockWindow::pauseDuringStallThenResume() {
    Blinds *clock = start(tournamentFile(3, 20));
    auto *time = child<QWidget>(clock, "lblTime");
    qint64 now = 0;
    clock->setSteadyClock([&now] { return now; });
    QTest::mouseClick(time, Qt::LeftButton);
    now = 3500;
    clock->Timer1_Elapsed(); // the first tick applies the pause; no more run
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));
    QVERIFY(!timer(clock)->isActive());

    now = 9000;
    QTest::mouseClick(time, Qt::LeftButton);
    QCOMPARE(timer(clock)->interval(), 1000);
    now = 10000;
    clock->Timer1_Elapsed(); // one interval after the resume: one tick
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:58"));
}

void TestClockWindow::sleepRunsEveryLevelChangeAndAlertsOnce_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("timed");
    QTest::addColumn<int>("asleepMs");
    QTest::addColumn<QString>("current"); // lblCurrentSmall
    QTest::addColumn<QString>("time");    // lblTime
    QTest::addColumn<int>("alerts");
    QTest::addColumn<bool>("running");
    // clang-format off
    QTest::newRow("3 min within a level")    << tournamentFile(3, 20)      << true  << 180000 << "$10" << " 17:00" << 0 << true;
    QTest::newRow("3 min, 1-min levels")     << tournamentFile(5, 1)       << true  << 180000 << "$40" << "00:00"  << 1 << true;
    QTest::newRow("3.5 min, 1-min levels")   << tournamentFile(5, 1)       << true  << 210000 << "$40" << "00:30"  << 1 << true;
    QTest::newRow("through the break")       << tournamentFile(4, 2, 2, 1) << true  << 240000 << "$30" << "01:00"  << 1 << true;
    QTest::newRow("to the end")              << tournamentFile(3, 1)       << true  << 600000 << ""    << "Ended!" << 1 << false;
    QTest::newRow("into the untimed final")  << tournamentFile(3, 2)       << false << 600000 << "$30" << "00:59"  << 1 << false;
    // clang-format on
}

// The laptop sleeps with the clock running; on waking, the first timeout
// finds the steady clock that much further on.
void TestClockWindow::sleepRunsEveryLevelChangeAndAlertsOnce() {
    QFETCH(QByteArray, file);
    QFETCH(bool, timed);
    QFETCH(int, asleepMs);
    QFETCH(QString, current);
    QFETCH(QString, time);
    QFETCH(int, alerts);
    QFETCH(bool, running);
    Module1::TimedTournament = timed;
    Blinds *clock = start(file);
    qint64 now = 0;
    clock->setSteadyClock([&now] { return now; });
    commands();
    now = asleepMs;
    clock->Timer1_Elapsed();
    QCOMPARE(text(clock, "lblCurrentSmall"), current);
    QCOMPARE(text(clock, "lblTime"), time);
    QCOMPARE(timer(clock)->isActive(), running);
    QStringList once;
    for (int n = 0; n < alerts; ++n)
        once << QStringLiteral("Prev") << QStringLiteral("Play");
    QCOMPARE(commands(), once);
    QCOMPARE(child<SoundPlayer>(clock, "MMControl1")->plays(), 1 + alerts);
    if (!running)
        return;
    // Back in step, a level change alerts as it always has.
    const QString before = text(clock, "lblCurrentSmall");
    while (text(clock, "lblCurrentSmall") == before) {
        now += 1000;
        clock->Timer1_Elapsed();
    }
    QCOMPARE(commands(), QStringList({QStringLiteral("Prev"), QStringLiteral("Play")}));
}

void TestClockWindow::longBlindsFitTheirLabels_data() {
    QTest::addColumn<QString>("small");
    QTest::addColumn<QString>("big");
    const QString w64(64, QLatin1Char('W'));
    const QString digits = QLatin1Char('$') + QString(63, QLatin1Char('8'));
    // clang-format off
    QTest::newRow("short")        << "$10"                     << "$20";
    QTest::newRow("eight")        << "$100,000"                << "$200,000";
    QTest::newRow("twenty")       << "$1,000,000 + ante 100"   << "$2,000,000 + ante 200";
    QTest::newRow("64 digits")    << digits                    << digits;
    QTest::newRow("64 W")         << w64                       << w64;
    QTest::newRow("64 mixed")     << "$ 1,000,000,000,000 big blind ante with a bonus chip of $500,00" << "W";
    // clang-format on
}

void TestClockWindow::longBlindsFitTheirLabels() {
    QFETCH(QString, small);
    QFETCH(QString, big);
    QVERIFY(small.size() <= 64 && big.size() <= 64);
    Module1::TimedTournament = true;
    const QByteArray line = "\"" + small.toLatin1() + "\",\"" + big.toLatin1() + "\"\r\n";
    Blinds *clock = start("3,2\r\n" + line + line + "\"$30\",\"$300\"\r\n0,0\r\n");
    clock->setWindowState(Qt::WindowNoState);
    clock->show();

    auto check = [&](const char *name, qreal points) {
        const auto *label = child<QLabel>(clock, name);
        const int advance = QFontMetrics(label->font()).horizontalAdvance(label->text());
        QVERIFY2(advance <= label->width(), qPrintable(QStringLiteral("%1: %2 wide in %3")
                                                           .arg(QLatin1String(name))
                                                           .arg(advance)
                                                           .arg(label->width())));
        // Shrunk only as far as needed: a short text keeps the design size.
        const qreal scale = std::min(clock->width() / (orvandel::FittedWidth / 15.0),
                                     clock->height() / (orvandel::FittedHeight / 15.0));
        const int design = qRound(points * 96 / 72 * scale);
        QVERIFY(label->font().pixelSize() <= design);
        QFont larger = label->font();
        larger.setPixelSize(label->font().pixelSize() + 1);
        if (label->font().pixelSize() < design)
            QVERIFY(QFontMetrics(larger).horizontalAdvance(label->text()) > label->width());
    };
    for (const QSize size : {QSize(1366, 768), QSize(1920, 1080), QSize(800, 600)}) {
        clock->resize(size);
        QCOMPARE(clock->size(), size);
        QCOMPARE(text(clock, "lblCurrentSmall"), small);
        check("lblCurrentSmall", 99.75);
        check("lblCurrentBig", 99.75);
        check("lblNextSmall", 48);
        check("lblNextBig", 48);
    }
    // The next level's texts move up into the big labels, "$30" below.
    ticks(clock, 120);
    QCOMPARE(text(clock, "lblCurrentBig"), big);
    QCOMPARE(text(clock, "lblNextSmall"), QStringLiteral("$30"));
    check("lblCurrentSmall", 99.75);
    check("lblCurrentBig", 99.75);
    check("lblNextSmall", 48);
}

QTEST_MAIN(TestClockWindow)
#include "tst_clockwindow.moc"
