// The clock's journal at work: what the running clock leaves behind, and the
// clock brought back from it.
#include "resumetest.h"

#include "core/programend.h"
#include "sound/soundplayer.h"

#include <QStandardPaths>

using namespace testsupport;
using namespace orvandel;

class TestResume : public QObject, public ResumeTest {
    Q_OBJECT

private slots:
    void initTestCase() { setUpJournals(); }
    void init() { setUpFolder(); }
    void cleanup() { tearDownFolder(); }

    void restoredEqualsTicked_data();
    void restoredEqualsTicked();
    void journalFollowsTheClock();
    void endedTournamentLeavesNoJournal();
    void programEndKeepsTheJournal_data();
    void programEndKeepsTheJournal();
    void failedWritesNeverStopTheClock();
    void hiddenTimeOfAPausedClockResumes_data();
    void hiddenTimeOfAPausedClockResumes();
};

void TestResume::restoredEqualsTicked_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("timedThen"); // the answer when the clock ran
    QTest::addColumn<bool>("timedNow");  // the answer on the opening screen now
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("pausedThen");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("remainingMs");
    const QByteArray four = tournamentFile(4, 2);
    const QByteArray withBreak = tournamentFile(5, 2, 3, 1);
    const QByteArray three = tournamentFile(3, 2);
    // clang-format off
    QTest::newRow("level 1") << four << true << true << 5 << false << 1 << 115000;
    QTest::newRow("level 1, paused") << four << true << true << 5 << true << 1 << 115000;
    QTest::newRow("the tick that changes level") << four << true << true << 120 << false << 2 << 120000;
    QTest::newRow("announcing, red") << four << true << true << 127 << false << 2 << 113000;
    QTest::newRow("announcing, yellow, paused") << four << true << true << 128 << true << 2 << 112000;
    QTest::newRow("announcement just over") << four << true << true << 181 << false << 2 << 59000;
    QTest::newRow("after the announcement") << four << true << true << 230 << false << 2 << 10000;
    QTest::newRow("break just begun") << withBreak << true << true << 240 << false << 3 << 60000;
    QTest::newRow("inside the break") << withBreak << true << true << 260 << false << 3 << 40000;
    QTest::newRow("inside the break, paused") << withBreak << false << false << 299 << true << 3 << 1000;
    QTest::newRow("after the break, announcing") << withBreak << true << true << 305 << false << 4 << 115000;
    QTest::newRow("final timed, announcing") << three << true << true << 250 << false << 3 << 110000;
    QTest::newRow("final timed, untimed now") << three << true << false << 330 << false << 3 << 30000;
    QTest::newRow("final untimed, announcing") << three << false << true << 250 << false << 3 << 110000;
    QTest::newRow("final untimed, paused") << three << false << false << 255 << true << 3 << 105000;
    QTest::newRow("final untimed, stopped") << three << false << true << 301 << false << 3 << 59000;
    QTest::newRow("final is the break, untimed") << tournamentFile(3, 2, 3, 1) << false << false << 250 << false << 3 << 50000;
    QTest::newRow("one-minute levels") << tournamentFile(4, 1) << true << true << 90 << false << 2 << 30000;
    QTest::newRow("one-minute final, untimed") << tournamentFile(3, 1) << false << false << 150 << false << 3 << 30000;
    QTest::newRow("long levels, late") << tournamentFile(3, 600) << true << true << 40000 << false << 2 << 32000000;
    // A structure's journal counts its rounds, breaks too.
    const QByteArray walk = formatStructure(sampleStructure(AnteKind::BigBlind));
    QTest::newRow("structure: inside the first break, paused") << walk << true << true << 200 << true << 3 << 40000;
    QTest::newRow("structure: the second break just begun") << walk << true << true << 300 << false << 5 << 120000;
    QTest::newRow("structure: after a break, announcing") << walk << true << true << 425 << false << 6 << 5395000;
    QTest::newRow("structure: long level, late") << walk << true << true << 5000 << false << 6 << 820000;
    // clang-format on
}

void TestResume::restoredEqualsTicked() {
    QFETCH(QByteArray, file);
    QFETCH(bool, timedThen);
    QFETCH(bool, timedNow);
    QFETCH(int, ticks);
    QFETCH(bool, pausedThen);
    QFETCH(int, level);
    QFETCH(int, remainingMs);
    const QString structure =
        file.startsWith('{') ? writeStructure(sampleStructure(AnteKind::BigBlind)) : QString();
    QVERIFY(!structure.isEmpty() || writeFile(file));
    Module1::TimedTournament = timedThen;

    // Where the clock stood, as its journal tells.
    QVERIFY(ranClock(ticks, pausedThen, structure));
    QCOMPARE(journal().error, JournalError::None);
    const JournalEntry entry = journal().entry;
    QCOMPARE(entry.level, qint16(level));
    QCOMPARE(entry.remainingMs, remainingMs);
    QCOMPARE(entry.paused, pausedThen);
    QCOMPARE(entry.structure, !structure.isEmpty());
    QCOMPARE(resumableJournal().has_value(), true);

    // The clock that ran there, paused on that tick, against the clock brought
    // back there.
    const std::unique_ptr<Blinds> ran = ranClock(ticks, true, structure);
    Module1::TimedTournament = timedNow;
    const std::unique_ptr<Blinds> restored = newClock(structure);
    const auto *player = child<SoundPlayer>(restored.get(), "MMControl1");
    orvandel::resumeClock(restored.get(), entry);
    QCOMPARE(look(restored.get()), look(ran.get()));
    QCOMPARE(pauseCaption(restored.get()), QStringLiteral("Resume"));
    QVERIFY(!timer1(restored.get())->isActive());
    // The alert of the load, and no other.
    QCOMPARE(player->plays(), 1);
    // Standing there, the journal says so.
    QCOMPARE(journal().entry.level, qint16(level));
    QCOMPARE(journal().entry.remainingMs, remainingMs);
    QVERIFY(journal().entry.paused);

    // Started again, both go on alike, announcement and final level included.
    Module1::TimedTournament = timedThen;
    for (Blinds *clock : {ran.get(), restored.get()})
        child<QPushButton>(clock, "cmdPause")->click();
    for (int n = 0; n < 130 && timer1(ran.get())->isActive(); ++n) {
        ran->Timer1_Timer();
        restored->Timer1_Timer();
    }
    QCOMPARE(look(restored.get()), look(ran.get()));
}

void TestResume::journalFollowsTheClock() {
    QVERIFY(writeFile(tournamentFile(3, 2)));
    const std::unique_ptr<Blinds> clock = newClock();
    // Nothing is written before the first tick.
    QVERIFY(!journalExists());

    clock->Timer1_Elapsed();
    JournalRead read = journal();
    QCOMPARE(read.error, JournalError::None);
    QCOMPARE(read.entry.tournamentPath,
             QDir(folderPath()).canonicalPath() + QStringLiteral("/blinds.dat"));
    QCOMPARE(read.entry.tournamentHash, tournamentHash(readFile()));
    QCOMPARE(read.entry.level, qint16(1));
    QCOMPARE(read.entry.remainingMs, 119000);
    QVERIFY(!read.entry.paused);

    // Each timeout writes where the clock stands, one or more ticks later.
    clock->Timer1_Elapsed();
    QCOMPARE(journal().entry.remainingMs, 118000);
    qint64 now = 0;
    clock->setSteadyClock([&now] { return now; });
    now = 5000;
    clock->Timer1_Elapsed();
    QCOMPARE(journal().entry.remainingMs, 113000);

    // A pause asked for, taking effect, and the resume: each written at once.
    QWidget *time = child(clock.get(), "lblTime");
    QTest::mouseClick(time, Qt::LeftButton);
    QVERIFY(journal().entry.paused);
    QCOMPARE(journal().entry.remainingMs, 113000);
    clock->Timer1_Elapsed();
    QVERIFY(!timer1(clock.get())->isActive());
    QVERIFY(journal().entry.paused);
    QCOMPARE(journal().entry.remainingMs, 112000);
    QTest::mouseClick(time, Qt::LeftButton);
    QVERIFY(!journal().entry.paused);

    // A new level, and the untimed final level.
    for (int n = 0; n < 112 + 120; ++n)
        clock->Timer1_Timer();
    clock->Timer1_Elapsed();
    QCOMPARE(journal().entry.level, qint16(3));
    QCOMPARE(journal().entry.remainingMs, 119000);
    QVERIFY(journal().entry.untimedFinal);
}

void TestResume::endedTournamentLeavesNoJournal() {
    Module1::TimedTournament = true;
    QVERIFY(writeFile(tournamentFile(2, 1)));
    const std::unique_ptr<Blinds> clock = newClock();
    for (int n = 0; n < 118; ++n)
        clock->Timer1_Timer();
    clock->Timer1_Elapsed();
    QCOMPARE(journal().entry.level, qint16(2));
    QCOMPARE(journal().entry.remainingMs, 1000);
    clock->Timer1_Elapsed();
    QCOMPARE(text(clock.get(), "lblTime"), QStringLiteral("Ended!"));
    QVERIFY(!journalExists());

    // Started again past its end, the clock keeps no journal.
    QTest::mouseClick(child(clock.get(), "lblTime"), Qt::LeftButton);
    clock->Timer1_Elapsed();
    QVERIFY(timer1(clock.get())->isActive());
    QVERIFY(!journalExists());
}

void TestResume::programEndKeepsTheJournal_data() {
    QTest::addColumn<bool>("byPicture");
    QTest::newRow("a click on the aces") << true;
    QTest::newRow("the window closed") << false;
}

void TestResume::programEndKeepsTheJournal() {
    QFETCH(bool, byPicture);
    QVERIFY(writeFile(tournamentFile(3, 20)));
    const std::unique_ptr<Blinds> clock = newClock();
    clock->Timer1_Elapsed();
    QVERIFY(journalExists());
    const QByteArray before = readFile(journalPathForCurrentFolder());
    if (byPicture) {
        int status = -1;
        const auto previous = setProgramEndHandler([&status](int code) { status = code; });
        QTest::mouseClick(child(clock.get(), "Picture1"), Qt::LeftButton);
        setProgramEndHandler(previous);
        QCOMPARE(status, 0);
    } else {
        QVERIFY(clock->close());
    }
    QCOMPARE(readFile(journalPathForCurrentFolder()), before);
    QVERIFY(resumableJournal().has_value());
}

void TestResume::failedWritesNeverStopTheClock() {
    QVERIFY(writeFile(tournamentFile(3, 20)));
    const std::unique_ptr<Blinds> clock = newClock();
    // Something in the way of every write: the journal's folder is a file.
    const QString folder = QFileInfo(journalPathForCurrentFolder()).absolutePath();
    QDir(folder).removeRecursively();
    QVERIFY(QDir().mkpath(QFileInfo(folder).absolutePath()));
    QVERIFY(writeFile("in the way", folder));
    for (int n = 0; n < 3; ++n)
        clock->Timer1_Elapsed();
    QTest::mouseClick(child(clock.get(), "lblTime"), Qt::LeftButton);
    QCOMPARE(text(clock.get(), "lblTime"), QStringLiteral(" 19:57"));
    QVERIFY(timer1(clock.get())->isActive());
    QVERIFY(!journalExists());

    // Out of the way again, the next tick writes.
    QVERIFY(QFile::remove(folder));
    clock->Timer1_Elapsed();
    QCOMPARE(journal().entry.remainingMs, 1196000);
    QVERIFY(journal().entry.paused);
}

void TestResume::hiddenTimeOfAPausedClockResumes_data() {
    QTest::addColumn<bool>("space");
    QTest::newRow("Space") << true;
    QTest::newRow("a click where the time stands") << false;
}

void TestResume::hiddenTimeOfAPausedClockResumes() {
    QFETCH(bool, space);
    QVERIFY(writeFile(tournamentFile(3, 2)));
    const std::unique_ptr<Blinds> uninterrupted = ranClock(250, false);
    // Resumed into the first minute of the untimed final level: paused, and
    // the time hidden.
    const std::unique_ptr<Blinds> clock = newClock();
    orvandel::resumeClock(clock.get(), journal().entry);
    clock->show();
    QVERIFY(QTest::qWaitForWindowExposed(clock.get()));
    QVERIFY(!shown(clock.get(), "lblTime"));
    const QPoint time = child(clock.get(), "lblTime")->geometry().center();
    auto hand = [&clock, time, space] {
        if (space)
            QTest::keyClick(clock->windowHandle(), Qt::Key_Space);
        else
            QTest::mouseClick(clock->windowHandle(), Qt::LeftButton, {}, time);
    };
    hand();
    QVERIFY(timer1(clock.get())->isActive());
    for (Blinds *run : {clock.get(), uninterrupted.get()})
        for (int n = 0; n < 200 && timer1(run)->isActive(); ++n)
            run->Timer1_Timer();
    QCOMPARE(text(clock.get(), "Label1"), QStringLiteral("Final Round"));
    QCOMPARE(look(clock.get()), look(uninterrupted.get()));
    // Stopped there by itself, it stays stopped.
    hand();
    QVERIFY(!timer1(clock.get())->isActive());
}

QTEST_MAIN(TestResume)
#include "tst_resume.moc"
