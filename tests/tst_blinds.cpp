#include "testsupport.h"

#include "app/programend.h"
#include "clock/blinds.h"
#include "clock/timetext.h"
#include "sound/soundplayer.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <memory>
#include <optional>

using namespace testsupport;

namespace {

QTimer *timer(const QWidget *window) {
    return child<QTimer>(window, "Timer1");
}

void ticks(Blinds *clock, int count) {
    for (int i = 0; i < count; ++i)
        clock->Timer1_Timer();
}

// Ticks until the clock stops itself; returns the ticks run.
int runUntilStopped(Blinds *clock, int limit) {
    int n = 0;
    while (timer(clock)->isActive() && n < limit) {
        clock->Timer1_Timer();
        ++n;
    }
    return n;
}

} // namespace

class TestBlinds : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

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
    void pauseAndResume();
    void clickOnTheLineReachesTheTime();
    void doubleClickIsOneClick();
    void pauseInLastSecondOfLevel();
    void pauseInLastSecondBeforeUntimedFinal();
    void pauseInLastSecondOfTimedFinalThenRestart();
    void secondClickBeforePauseTakesEffectChangesNothing();
    void unreadableFileIsRefused_data();
    void unreadableFileIsRefused();
    void pictureEndsProgramWithoutClosingPlayer();
    void closingWindowClosesPlayer();
    void digitsFillSameShareOfAnyScreen_data();
    void digitsFillSameShareOfAnyScreen();
    void stalledClockCatchesUp_data();
    void stalledClockCatchesUp();
    void pauseDuringStallThenResume();
    void sleepRunsEveryLevelChangeAndAlertsOnce_data();
    void sleepRunsEveryLevelChangeAndAlertsOnce();
    void spaceIsAClickOnTheTime_data();
    void spaceIsAClickOnTheTime();
    void spaceWhereTheClockStopped_data();
    void spaceWhereTheClockStopped();
    void otherKeysDoNothing_data();
    void otherKeysDoNothing();
    void oneScreenOpensMaximizedOnIt();
    void longBlindsFitTheirLabels_data();
    void longBlindsFitTheirLabels();

private:
    Blinds *start(const QByteArray &file);
    std::optional<WorkFolder> m_folder;
    std::unique_ptr<Blinds> m_clock;
    std::unique_ptr<QSignalSpy> m_sound;
    QStringList commands() const;
    Blinds *startShown(const QByteArray &file);
};

void TestBlinds::init() {
    m_folder.emplace();
    Module1::SoundFile = QStringLiteral("sound1.wav");
}

void TestBlinds::cleanup() {
    m_sound.reset();
    m_clock.reset();
    m_folder.reset();
}

Blinds *TestBlinds::start(const QByteArray &file) {
    if (!writeFile(file))
        qFatal("cannot write blinds.dat");
    m_clock = std::make_unique<Blinds>();
    m_clock->setAttribute(Qt::WA_DeleteOnClose, false);
    m_sound = std::make_unique<QSignalSpy>(child<SoundPlayer>(m_clock.get(), "MMControl1"),
                                           &SoundPlayer::commandIssued);
    return m_clock.get();
}

// Commands sent to the player since the last call.
QStringList TestBlinds::commands() const {
    QStringList sent;
    for (const QList<QVariant> &call : std::as_const(*m_sound))
        sent << call.at(0).toString();
    m_sound->clear();
    return sent;
}

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

void TestBlinds::pauseAndResume() {
    Blinds *clock = start(tournamentFile(3, 20));
    auto *time = child<QWidget>(clock, "lblTime");
    auto *pause = child<QPushButton>(clock, "cmdPause");
    QCOMPARE(time->toolTip(), QStringLiteral("Click to Pause"));
    ticks(clock, 10);
    QTest::mouseClick(time, Qt::LeftButton);
    QCOMPARE(pause->text(), QStringLiteral("Resume"));
    QVERIFY(timer(clock)->isActive());
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:50"));

    clock->Timer1_Timer(); // applies the pause and still counts its second
    QVERIFY(!timer(clock)->isActive());
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));
    QCOMPARE(time->toolTip(), QStringLiteral("Click to Pause"));

    QTest::mouseClick(time, Qt::LeftButton);
    QVERIFY(timer(clock)->isActive());
    QCOMPARE(pause->text(), QStringLiteral("Pause"));
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:48"));
}

void TestBlinds::clickOnTheLineReachesTheTime() {
    // The line is drawn across the bottom of the time display.
    Blinds *clock = start(tournamentFile(3, 20));
    clock->show();
    QVERIFY(QTest::qWaitForWindowExposed(clock));
    auto *time = child<QWidget>(clock, "lblTime");
    auto *line = child<QWidget>(clock, "Line1");
    const QPoint onLine = line->mapTo(clock, line->rect().center());
    QVERIFY(time->geometry().contains(time->parentWidget()->mapFrom(clock, onLine)));
    QCOMPARE(clock->childAt(onLine), time);

    QTest::mouseClick(clock->windowHandle(), Qt::LeftButton, {}, onLine);
    QCOMPARE(child<QPushButton>(clock, "cmdPause")->text(), QStringLiteral("Resume"));
}

void TestBlinds::doubleClickIsOneClick() {
    // Through the window, as a mouse sends it: press, release, then a second
    // press that the platform marks as a double-click, and its release.
    Blinds *clock = start(tournamentFile(3, 20));
    clock->show();
    QVERIFY(QTest::qWaitForWindowExposed(clock));
    auto *time = child<QWidget>(clock, "lblTime");
    auto *pause = child<QPushButton>(clock, "cmdPause");
    const QPoint onTime = time->mapTo(clock, time->rect().center());
    QTest::mouseClick(clock->windowHandle(), Qt::LeftButton, {}, onTime);
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));

    QTest::mouseDClick(clock->windowHandle(), Qt::LeftButton, {}, onTime);
    QCOMPARE(pause->text(), QStringLiteral("Pause"));
    QVERIFY(timer(clock)->isActive());
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:58"));

    // A plain click after it is a click again.
    QTest::mouseClick(clock->windowHandle(), Qt::LeftButton, {}, onTime);
    QCOMPARE(pause->text(), QStringLiteral("Resume"));
}

void TestBlinds::pauseInLastSecondOfLevel() {
    Module1::TimedTournament = true;
    Blinds *clock = start(tournamentFile(3, 2));
    ticks(clock, 119);
    commands();
    QTest::mouseClick(child<QWidget>(clock, "lblTime"), Qt::LeftButton);
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$20"));
    QCOMPARE(colour(clock, "Label1"), Yellow);
    QCOMPARE(commands(), QStringList({QStringLiteral("Prev"), QStringLiteral("Play")}));
    QVERIFY(!timer(clock)->isActive());

    QTest::mouseClick(child<QWidget>(clock, "lblTime"), Qt::LeftButton);
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("01:59"));
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Blinds Have Increased!!!"));
    QCOMPARE(colour(clock, "Label1"), Red);
}

void TestBlinds::pauseInLastSecondBeforeUntimedFinal() {
    Blinds *clock = start(tournamentFile(3, 2));
    ticks(clock, 239);
    QTest::mouseClick(child<QWidget>(clock, "lblTime"), Qt::LeftButton);
    clock->Timer1_Timer();
    QVERIFY(!timer(clock)->isActive());
    QVERIFY(!shown(clock, "lblTime"));
    QCOMPARE(text(clock, "Label5"), QStringLiteral("This is the Final Level.  Good Luck!"));
    QCOMPARE(colour(clock, "Label1"), Yellow);
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Current Level"));
}

void TestBlinds::pauseInLastSecondOfTimedFinalThenRestart() {
    Module1::TimedTournament = true;
    Blinds *clock = start(tournamentFile(3, 2));
    auto *time = child<QWidget>(clock, "lblTime");
    ticks(clock, 359);
    QTest::mouseClick(time, Qt::LeftButton);
    commands();
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Ended!"));
    QVERIFY(!timer(clock)->isActive());
    QCOMPARE(commands(), QStringList({QStringLiteral("Prev"), QStringLiteral("Play"),
                                      QStringLiteral("Prev"), QStringLiteral("Play")}));

    QTest::mouseClick(time, Qt::LeftButton);
    QVERIFY(timer(clock)->isActive());
    QCOMPARE(child<QPushButton>(clock, "cmdPause")->text(), QStringLiteral("Pause"));
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("01:59"));
    QCOMPARE(text(clock, "Label5"), QStringLiteral("This tournament has"));
    ticks(clock, 119);
    QCOMPARE(commands(), QStringList({QStringLiteral("Prev"), QStringLiteral("Play")}));
    QVERIFY(timer(clock)->isActive());
}

void TestBlinds::secondClickBeforePauseTakesEffectChangesNothing() {
    Blinds *clock = start(tournamentFile(3, 20));
    auto *time = child<QWidget>(clock, "lblTime");
    QTest::mouseClick(time, Qt::LeftButton);
    QTest::mouseClick(time, Qt::LeftButton);
    QCOMPARE(child<QPushButton>(clock, "cmdPause")->text(), QStringLiteral("Resume"));
    QVERIFY(timer(clock)->isActive());
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));
    QVERIFY(!timer(clock)->isActive());
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
    } catch (const TournamentFileError &error) {
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

void TestBlinds::digitsFillSameShareOfAnyScreen_data() {
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1366x768 projector") << QSize(1366, 768);
    QTest::newRow("1920x1080 TV") << QSize(1920, 1080);
    QTest::newRow("3840x2160 TV") << QSize(3840, 2160);
    QTest::newRow("4:3 monitor") << QSize(1024, 768);
}

void TestBlinds::digitsFillSameShareOfAnyScreen() {
    QFETCH(QSize, screen);
    Blinds *clock = start(tournamentFile(3, 20));
    clock->setWindowState(Qt::WindowNoState);
    clock->show();
    clock->resize(screen);
    QCOMPARE(clock->size(), screen);
    const auto *time = child<QLabel>(clock, "lblTime");
    // One scale for the whole design, the largest that fits: the time's
    // 99.75 pt at 96 dpi grow with it, and the design is centred.
    const qreal scale = std::min(screen.width() / (Blinds::FittedWidth / 15.0),
                                 screen.height() / (Blinds::FittedHeight / 15.0));
    QCOMPARE(time->font().pixelSize(), qRound(99.75 * 96 / 72 * scale));
    const qreal margin = (screen.width() - Blinds::FittedWidth / 15.0 * scale) / 2;
    QVERIFY(std::abs(time->x() - (margin + 1560 / 15.0 * scale)) <= 1);
    // Everything stays on the screen, centred across.
    for (const QWidget *control : clock->findChildren<QWidget *>()) {
        if (control->isHidden())
            continue;
        QVERIFY2(clock->rect().contains(control->geometry()), qPrintable(control->objectName()));
    }
}

void TestBlinds::stalledClockCatchesUp_data() {
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

void TestBlinds::stalledClockCatchesUp() {
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

void TestBlinds::pauseDuringStallThenResume() {
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

void TestBlinds::sleepRunsEveryLevelChangeAndAlertsOnce_data() {
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
void TestBlinds::sleepRunsEveryLevelChangeAndAlertsOnce() {
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

Blinds *TestBlinds::startShown(const QByteArray &file) {
    Blinds *clock = start(file);
    clock->show();
    if (!QTest::qWaitForWindowExposed(clock))
        qFatal("the clock was not shown");
    return clock;
}

void TestBlinds::spaceIsAClickOnTheTime_data() {
    QTest::addColumn<bool>("space");
    // clang-format off
    QTest::newRow("click on the time") << false;
    QTest::newRow("Space")             << true;
    // clang-format on
}

void TestBlinds::spaceIsAClickOnTheTime() {
    QFETCH(bool, space);
    Blinds *clock = startShown(tournamentFile(3, 20));
    auto press = [&] {
        if (space)
            QTest::keyClick(clock->windowHandle(), Qt::Key_Space);
        else
            QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    };
    auto *pause = child<QPushButton>(clock, "cmdPause");
    ticks(clock, 10);
    press();
    QCOMPARE(pause->text(), QStringLiteral("Resume"));
    QVERIFY(timer(clock)->isActive());
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:50"));
    press(); // before the pause has taken effect: nothing changes
    QCOMPARE(pause->text(), QStringLiteral("Resume"));
    QVERIFY(timer(clock)->isActive());

    clock->Timer1_Timer(); // the pause gate
    QVERIFY(!timer(clock)->isActive());
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));
    press();
    QVERIFY(timer(clock)->isActive());
    QCOMPARE(pause->text(), QStringLiteral("Pause"));
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:48"));

    // Holding Space down repeats the key; the repeats do nothing.
    if (space) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                         true);
        QApplication::sendEvent(clock, &repeat);
        QCOMPARE(pause->text(), QStringLiteral("Pause"));
    }
}

void TestBlinds::spaceWhereTheClockStopped_data() {
    QTest::addColumn<bool>("timed");
    QTest::addColumn<QString>("label5");
    QTest::addColumn<bool>("running");
    // clang-format off
    // "Ended!" can be clicked and starts the clock again; the untimed final's
    // time is hidden and cannot be clicked, so Space cannot restart it either.
    QTest::newRow("ended")                << true  << "This tournament has"                  << true;
    QTest::newRow("untimed, Final Round") << false << "This is the Final Level.  Good Luck!" << false;
    // clang-format on
}

void TestBlinds::spaceWhereTheClockStopped() {
    QFETCH(bool, timed);
    QFETCH(QString, label5);
    QFETCH(bool, running);
    Module1::TimedTournament = timed;
    Blinds *clock = startShown(tournamentFile(3, 2));
    runUntilStopped(clock, 1000);
    QVERIFY(!timer(clock)->isActive());
    QCOMPARE(text(clock, "Label5"), label5);
    QTest::keyClick(clock->windowHandle(), Qt::Key_Space);
    QCOMPARE(timer(clock)->isActive(), running);
}

void TestBlinds::otherKeysDoNothing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    const int none = Qt::NoModifier;
    // clang-format off
    QTest::newRow("Escape")     << int(Qt::Key_Escape)    << none;
    QTest::newRow("Return")     << int(Qt::Key_Return)    << none;
    QTest::newRow("Enter")      << int(Qt::Key_Enter)     << int(Qt::KeypadModifier);
    QTest::newRow("F4")         << int(Qt::Key_F4)        << none;
    QTest::newRow("Alt+F4")     << int(Qt::Key_F4)        << int(Qt::AltModifier);
    QTest::newRow("Ctrl+F4")    << int(Qt::Key_F4)        << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+W")     << int(Qt::Key_W)         << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Q")     << int(Qt::Key_Q)         << int(Qt::ControlModifier);
    QTest::newRow("P")          << int(Qt::Key_P)         << none;
    QTest::newRow("Q")          << int(Qt::Key_Q)         << none;
    QTest::newRow("X")          << int(Qt::Key_X)         << none;
    QTest::newRow("Tab")        << int(Qt::Key_Tab)       << none;
    QTest::newRow("Backspace")  << int(Qt::Key_Backspace) << none;
    QTest::newRow("Delete")     << int(Qt::Key_Delete)    << none;
    QTest::newRow("Right")      << int(Qt::Key_Right)     << none;
    QTest::newRow("Page Down")  << int(Qt::Key_PageDown)  << none;
    QTest::newRow("F1")         << int(Qt::Key_F1)        << none;
    QTest::newRow("F5")         << int(Qt::Key_F5)        << none;
    QTest::newRow("Shift+Space")<< int(Qt::Key_Space)     << int(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Space") << int(Qt::Key_Space)     << int(Qt::ControlModifier);
    QTest::newRow("Alt+Space")  << int(Qt::Key_Space)     << int(Qt::AltModifier);
    QTest::newRow("Alt+F11")    << int(Qt::Key_F11)       << int(Qt::AltModifier);
    // clang-format on
}

void TestBlinds::otherKeysDoNothing() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Blinds *clock = startShown(tournamentFile(3, 20));
    auto *pause = child<QPushButton>(clock, "cmdPause");
    int ended = -1;
    const auto previous = orvandel::setProgramEndHandler([&](int code) { ended = code; });
    auto typeKey = [&] {
        QTest::keyClick(clock->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
    };
    ticks(clock, 10);
    commands();

    // Running.
    typeKey();
    QCOMPARE(pause->text(), QStringLiteral("Pause"));
    QVERIFY(timer(clock)->isActive());
    QCOMPARE(timer(clock)->interval(), 1000);
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:50"));
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Blinds")});
    QCOMPARE(clock->windowState(), Qt::WindowMaximized);
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:49"));
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$10"));
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Current Level"));

    // Paused: no key resumes.
    QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));
    typeKey();
    QVERIFY(!timer(clock)->isActive());
    QCOMPARE(pause->text(), QStringLiteral("Resume"));
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));

    orvandel::setProgramEndHandler(previous);
    QCOMPARE(ended, -1);
    QVERIFY(commands().isEmpty()); // no alert, no "Close"
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Blinds")});
}

void TestBlinds::oneScreenOpensMaximizedOnIt() {
    QCOMPARE(QGuiApplication::screens().size(), 1);
    Blinds *clock = startShown(tournamentFile(3, 20));
    QCOMPARE(clock->windowState(), Qt::WindowMaximized);
    QCOMPARE(clock->screen(), QGuiApplication::primaryScreen());
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(clock->geometry()));
}

void TestBlinds::longBlindsFitTheirLabels_data() {
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

void TestBlinds::longBlindsFitTheirLabels() {
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
        const qreal scale = std::min(clock->width() / (Blinds::FittedWidth / 15.0),
                                     clock->height() / (Blinds::FittedHeight / 15.0));
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

QTEST_MAIN(TestBlinds)
#include "tst_blinds.moc"
