// The clock window through a tournament: loading, the levels, the break, the
// final level, files it refuses and how it closes.
#include "clocktest.h"

#include "core/programend.h"
#include "core/timetext.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

using namespace testsupport;

class TestBlinds : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup() { tearDownClock(); }

    void loadShowsFirstTwoLevels();
    void countdownDisplay_data();
    void countdownDisplay();
    void timedTournamentOfThreeLevels();
    void untimedTournamentStopsAtFinalRound();
    void breakLevelRunsItsOwnLength();
    void breakRoundOutsideLevelsIsNoBreak_data();
    void breakRoundOutsideLevelsIsNoBreak();
    void oneMinuteLevelsAnnounceUntilNextChange();
    void zeroMinuteLevelChangesEveryTick();
    void everyLevelCountRunsToItsEnd_data();
    void everyLevelCountRunsToItsEnd();
    void unreadableFileIsRefused_data();
    void unreadableFileIsRefused();
    void pictureEndsProgramWithoutClosingPlayer();
    void closingWindowClosesPlayer();
    void oneScreenOpensMaximizedOnIt();
};

void TestBlinds::loadShowsFirstTwoLevels() {
    QVERIFY(writeFile(tournamentFile(3, 20)));
    Module1::SoundFile = QStringLiteral("sound3.wav");
    Blinds clock;
    const auto *player = child<SoundPlayer>(&clock, "MMControl1");
    QVERIFY(player);
    QVERIFY(player->isHidden());
    QCOMPARE(player->deviceType(), QStringLiteral("WaveAudio"));
    QCOMPARE(player->fileName(), QStringLiteral("sound3.wav"));
    QCOMPARE(player->openFile(), QStringLiteral("sound3.wav"));
    QCOMPARE(player->plays(), 1); // "Open", then "Play"

    QCOMPARE(text(&clock, "lblTime"), QStringLiteral("00:00"));
    QCOMPARE(text(&clock, "lblCurrentSmall"), QStringLiteral("$10"));
    QCOMPARE(text(&clock, "lblCurrentBig"), QStringLiteral("$100"));
    QCOMPARE(text(&clock, "lblNextSmall"), QStringLiteral("$20"));
    QCOMPARE(text(&clock, "lblNextBig"), QStringLiteral("$200"));
    QCOMPARE(text(&clock, "Label1"), QStringLiteral("Current Level"));
    QCOMPARE(text(&clock, "Label5"), QStringLiteral("Time remaining at this level:"));
    QCOMPARE(colour(&clock, "Label1"), White);
    QVERIFY(timer(&clock)->isActive());
    QCOMPARE(timer(&clock)->interval(), 1000);
    QCOMPARE(timer(&clock)->timerType(), Qt::PreciseTimer);
    QVERIFY(!shown(&clock, "cmdPause"));
    QCOMPARE(child<QPushButton>(&clock, "cmdPause")->text(), QStringLiteral("Pause"));
    // The file is read into the program-wide break settings.
    QCOMPARE(Module1::BreakRound, qint16(0));
}

void TestBlinds::countdownDisplay_data() {
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("tick");
    QTest::addColumn<QString>("shown");
    QTest::newRow("20 min, tick 1") << 20 << 1 << " 19:59";
    QTest::newRow("20 min, tick 60") << 20 << 60 << " 19:00";
    QTest::newRow("20 min, tick 61") << 20 << 61 << " 18:59";
    QTest::newRow("20 min, tick 600") << 20 << 600 << " 10:00";
    QTest::newRow("20 min, tick 601") << 20 << 601 << "09:59";
    QTest::newRow("5 min, tick 1") << 5 << 1 << "04:59";
    QTest::newRow("5 min, tick 241") << 5 << 241 << "00:59";
    QTest::newRow("5 min, tick 299") << 5 << 299 << "00:01";
    QTest::newRow("5 min, tick 300") << 5 << 300 << "00:00";
    QTest::newRow("120 min, tick 1") << 120 << 1 << " 119:59";
}

void TestBlinds::countdownDisplay() {
    QFETCH(int, minutes);
    QFETCH(int, tick);
    QFETCH(QString, shown);
    Module1::TimedTournament = true;
    Blinds *clock = start(tournamentFile(3, minutes));
    ticks(clock, tick);
    QCOMPARE(text(clock, "lblTime"), shown);
    // The last tick of a level shows 00:00 and already moves to level 2.
    QCOMPARE(text(clock, "lblCurrentSmall"),
             tick == minutes * 60 ? QStringLiteral("$20") : QStringLiteral("$10"));
}

void TestBlinds::timedTournamentOfThreeLevels() {
    Module1::TimedTournament = true;
    Blinds *clock = start(tournamentFile(3, 2));
    ticks(clock, 119);
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("00:01"));
    QVERIFY(commands().isEmpty());
    ticks(clock, 1);
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("00:00"));
    QCOMPARE(commands(), QStringList({QStringLiteral("Prev"), QStringLiteral("Play")}));
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$20"));
    QCOMPARE(text(clock, "lblNextBig"), QStringLiteral("$300"));
    QCOMPARE(colour(clock, "Label1"), Yellow);
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Current Level"));

    // The announcement: red on odd ticks, yellow on even ones, for a minute.
    for (int tick = 1; tick <= 60; ++tick) {
        clock->Timer1_Timer();
        QCOMPARE(text(clock, "Label1"), QStringLiteral("Blinds Have Increased!!!"));
        QCOMPARE(colour(clock, "Label1"), tick % 2 ? Red : Yellow);
    }
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Current Level"));
    QCOMPARE(colour(clock, "Label1"), White);
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("00:59"));

    ticks(clock, 59);
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$30"));
    QCOMPARE(text(clock, "Label5"), QStringLiteral("This is the Final Level."));
    for (const char *next : {"Label4", "Label2(1)", "Label3(1)", "lblNextSmall", "lblNextBig"})
        QVERIFY2(!shown(clock, next), next);
    QVERIFY(shown(clock, "Line1"));
    QVERIFY(shown(clock, "lblTime"));
    QCOMPARE(commands(), QStringList({QStringLiteral("Prev"), QStringLiteral("Play")}));

    ticks(clock, 1);
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("01:59"));
    QCOMPARE(runUntilStopped(clock, 1000), 119);
    QCOMPARE(text(clock, "Label5"), QStringLiteral("This tournament has"));
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Ended!"));
    QCOMPARE(commands(), QStringList({QStringLiteral("Prev"), QStringLiteral("Play"),
                                      QStringLiteral("Prev"), QStringLiteral("Play")}));
    for (const char *heading : {"Label1", "Label2(0)", "Label3(0)", "Line1"})
        QVERIFY2(!shown(clock, heading), heading);
    QVERIFY(shown(clock, "lblTime"));
    QCOMPARE(text(clock, "lblCurrentSmall"), QString());
    QCOMPARE(text(clock, "lblCurrentBig"), QString());
}

void TestBlinds::untimedTournamentStopsAtFinalRound() {
    Blinds *clock = start(tournamentFile(3, 2));
    ticks(clock, 240);
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$30"));
    QVERIFY(!shown(clock, "lblTime"));
    QCOMPARE(text(clock, "Label5"), QStringLiteral("This is the Final Level.  Good Luck!"));
    ticks(clock, 60);
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Blinds Have Increased!!!"));
    QVERIFY(timer(clock)->isActive());
    ticks(clock, 1);
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Final Round"));
    QCOMPARE(colour(clock, "Label1"), White);
    QVERIFY(!timer(clock)->isActive());
    // No click can reach the hidden time, so it stays stopped.
    QVERIFY(!shown(clock, "lblTime"));
}

void TestBlinds::breakLevelRunsItsOwnLength() {
    Module1::TimedTournament = true;
    Blinds *clock = start(tournamentFile(5, 20, 3, 15));
    QCOMPARE(Module1::BreakRound, qint16(3));
    QCOMPARE(Module1::BreakDuration, 15);
    ticks(clock, 1200);
    QCOMPARE(text(clock, "lblNextSmall"), QStringLiteral("Break"));
    QCOMPARE(text(clock, "lblNextBig"), QStringLiteral("Time!"));
    ticks(clock, 1200 - 60); // level 2 ran its announcement, back to white
    QCOMPARE(colour(clock, "Label1"), White);
    ticks(clock, 60);
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("Break"));
    QCOMPARE(text(clock, "lblCurrentBig"), QStringLiteral("Time!"));
    // No announcement in the break: steadily yellow, caption unchanged.
    for (int tick = 1; tick <= 3; ++tick) {
        clock->Timer1_Timer();
        QCOMPARE(colour(clock, "Label1"), Yellow);
        QCOMPARE(text(clock, "Label1"), QStringLiteral("Current Level"));
    }
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 14:57"));
    ticks(clock, 15 * 60 - 3);
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$40"));
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:59"));
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Blinds Have Increased!!!"));
}

void TestBlinds::breakRoundOutsideLevelsIsNoBreak_data() {
    QTest::addColumn<int>("breakRound");
    QTest::newRow("zero") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("above the level count") << 4;
    QTest::newRow("negative") << -2;
}

void TestBlinds::breakRoundOutsideLevelsIsNoBreak() {
    QFETCH(int, breakRound);
    Module1::TimedTournament = true;
    // Levels last 2 minutes and a break would last 1: every level must run 2
    // minutes and announce itself.
    QByteArray file = tournamentFile(3, 2);
    file.replace("\r\n0,0\r\n", "\r\n" + QByteArray::number(breakRound) + ",1\r\n");
    Blinds *clock = start(file);
    QCOMPARE(Module1::BreakRound, qint16(breakRound));
    ticks(clock, 120);
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$20"));
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("01:59"));
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Blinds Have Increased!!!"));
    ticks(clock, 119);
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$30"));
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("01:59"));
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Blinds Have Increased!!!"));
}

void TestBlinds::oneMinuteLevelsAnnounceUntilNextChange() {
    Module1::TimedTournament = true;
    Blinds *clock = start(tournamentFile(4, 1));
    ticks(clock, 60);
    for (int tick = 1; tick <= 120; ++tick) {
        clock->Timer1_Timer();
        QCOMPARE(text(clock, "Label1"), QStringLiteral("Blinds Have Increased!!!"));
    }
    // Each level change sets yellow again, so the first tick of a level is red.
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$40"));
    clock->Timer1_Timer();
    QCOMPARE(colour(clock, "Label1"), Red);
}

void TestBlinds::zeroMinuteLevelChangesEveryTick() {
    Module1::TimedTournament = true;
    Blinds *clock = start(tournamentFile(3, 0));
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("00:-1"));
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$20"));
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$30"));
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Ended!"));
    QVERIFY(!timer(clock)->isActive());
}

void TestBlinds::everyLevelCountRunsToItsEnd_data() {
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("timed");
    QTest::addColumn<int>("breakRound");
    for (int levels = 1; levels <= 10; ++levels) {
        for (bool timed : {true, false}) {
            QList<int> breaks{0};
            if (levels >= 3)
                breaks << levels / 2 + 1; // a break in the middle
            if (levels >= 2)
                breaks << levels; // the final level is the break
            for (int breakRound : breaks)
                QTest::addRow("%d levels, %s, break %d", levels, timed ? "timed" : "untimed",
                              breakRound)
                    << levels << timed << breakRound;
        }
    }
}

void TestBlinds::everyLevelCountRunsToItsEnd() {
    QFETCH(int, levels);
    QFETCH(bool, timed);
    QFETCH(int, breakRound);
    Module1::TimedTournament = timed;
    Blinds *clock = start(tournamentFile(levels, 2, breakRound, 1));

    // Levels last 120 ticks, the break 60.
    int expected = 0;
    for (int level = 1; level <= levels; ++level)
        expected += level == breakRound && level > 1 ? 60 : 120;
    const bool stopsAtFinalRound = !timed && levels > 1 && breakRound != levels;
    if (stopsAtFinalRound)
        expected += 61 - 120;

    QCOMPARE(runUntilStopped(clock, 20000), expected);
    if (stopsAtFinalRound) {
        QCOMPARE(text(clock, "Label1"), QStringLiteral("Final Round"));
        QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$%1").arg(levels * 10));
        return;
    }
    QCOMPARE(text(clock, "Label5"), QStringLiteral("This tournament has"));
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Ended!"));
    QCOMPARE(shown(clock, "lblTime"), timed || levels == 1);
    QCOMPARE(text(clock, "lblCurrentSmall"), QString());

    // Started again, the clock goes on past the last table entry.
    if (shown(clock, "lblTime")) {
        QTest::mouseClick(child<QWidget>(clock, "lblTime"), Qt::LeftButton);
        QVERIFY(timer(clock)->isActive());
        ticks(clock, 120 * 12);
        QCOMPARE(text(clock, "lblCurrentSmall"), QString());
        QCOMPARE(text(clock, "lblNextSmall"), QString());
        QCOMPARE(text(clock, "Label5"), QStringLiteral("This tournament has"));
    }
}

void TestBlinds::unreadableFileIsRefused_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("named");
    QTest::newRow("missing") << QByteArray() << "not found";
    QTest::newRow("empty") << QByteArray("") << "ends";
    QTest::newRow("ends early") << QByteArray("3,20\r\n\"$1\",\"$2\"\r\n") << "ends";
    QTest::newRow("no levels") << QByteArray("0,20\r\n0,0\r\n") << "levels";
    QTest::newRow("eleven levels") << tournamentFile(11, 20) << "levels";
    QTest::newRow("level too long") << tournamentFile(2, 40000) << "40000";
    QTest::newRow("break too long") << tournamentFile(3, 20, 2, 99999) << "99999";
}

void TestBlinds::unreadableFileIsRefused() {
    QFETCH(QByteArray, file);
    QFETCH(QString, named);
    QFile::remove(QStringLiteral("blinds.dat"));
    if (!file.isNull())
        QVERIFY(writeFile(file));
    try {
        Blinds clock;
        QFAIL("the clock opened on a file it cannot run");
    } catch (const orvandel::TournamentFileError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("blinds.dat")),
                 qPrintable(error.message()));
        QVERIFY2(error.message().contains(named), qPrintable(error.message()));
    }
}

void TestBlinds::pictureEndsProgramWithoutClosingPlayer() {
    Blinds *clock = start(tournamentFile(3, 20));
    commands();
    int status = -1;
    const auto previous = orvandel::setProgramEndHandler([&](int code) { status = code; });
    QTest::mouseClick(child<QWidget>(clock, "Picture1"), Qt::LeftButton);
    orvandel::setProgramEndHandler(previous);
    QCOMPARE(status, 0);
    QCOMPARE(child<QWidget>(clock, "Picture1")->toolTip(), QStringLiteral("Click to Exit"));
    QVERIFY(commands().isEmpty());
}

void TestBlinds::closingWindowClosesPlayer() {
    Blinds *clock = start(tournamentFile(3, 20));
    commands();
    QVERIFY(clock->close());
    QCOMPARE(commands(), QStringList{QStringLiteral("Close")});
}

void TestBlinds::oneScreenOpensMaximizedOnIt() {
    QCOMPARE(QGuiApplication::screens().size(), 1);
    Blinds *clock = startShown(tournamentFile(3, 20));
    QCOMPARE(clock->windowState(), Qt::WindowMaximized);
    QCOMPARE(clock->screen(), QGuiApplication::primaryScreen());
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(clock->geometry()));
}

QTEST_MAIN(TestBlinds)
#include "tst_blinds.moc"
