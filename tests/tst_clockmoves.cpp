// The director's moves through the clock's own actions and keys, from every
// kind of round the clock can be in, with undo chains and their limit: what
// the room sees and hears at once, and the clock a crash right after resumes.
#include "resumetest.h"

#include "clock/clocklabel.h"
#include "sound/soundplayer.h"

#include <QAction>
#include <QSignalSpy>

using namespace testsupport;
using namespace orvandel;

namespace {

// A letter of a row's moves: the action it triggers.
const std::pair<QChar, const char *> Actions[] = {
    {u'N', "actNextLevel"},  {u'P', "actPreviousLevel"}, {u'A', "actAddMinute"},
    {u'T', "actTakeMinute"}, {u'R', "actRestartLevel"},  {u'U', "actUndoMove"},
};

// Runs `steps`: a letter of Actions triggers its action, `t` is a tick and
// `p` a click on the time.
void play(Blinds *clock, const QString &steps) {
    for (const QChar step : steps) {
        if (step == u't')
            clock->Timer1_Timer();
        else if (step == u'p')
            QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
        for (const auto &[letter, name] : Actions) {
            if (letter == step)
                child<QAction>(clock, name)->trigger();
        }
    }
}

QString enabledMoves(const Blinds *clock) {
    QString letters;
    for (const auto &[letter, name] : Actions) {
        if (child<QAction>(clock, name)->isEnabled())
            letters += letter;
    }
    return letters;
}

// A clock run `ticks` ticks, a click on the time before the last when
// `paused`.
std::unique_ptr<Blinds> clockAt(const QByteArray &file, bool timed, int ticks, bool paused) {
    if (!writeFile(file))
        qFatal("cannot write blinds.dat");
    Module1::TimedTournament = timed;
    std::unique_ptr<Blinds> clock = newClock();
    for (int n = 1; n <= ticks; ++n) {
        if (paused && n == ticks)
            QTest::mouseClick(child(clock.get(), "lblTime"), Qt::LeftButton);
        clock->Timer1_Timer();
    }
    return clock;
}

// Levels 1, 2, 4 and 5 of two minutes, level 3 a break of one; the final
// level begins at tick 420 and ends at tick 540.
const QByteArray Five = tournamentFile(5, 2, 3, 1);

} // namespace

class TestClockMoves : public QObject, public ResumeTest {
    Q_OBJECT

private slots:
    void initTestCase() { setUpJournals(); }
    void init() { setUpFolder(); }
    void cleanup() { tearDownFolder(); }

    void moves_data();
    void moves();
    void keys();
};

void TestClockMoves::moves_data() {
    QTest::addColumn<bool>("timed");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("remainingMs");
    QTest::addColumn<QString>("time");    // lblTime, "" when hidden
    QTest::addColumn<QString>("heading"); // Label1, "" when hidden
    QTest::addColumn<QString>("label5");
    QTest::addColumn<bool>("nextShown");
    QTest::addColumn<int>("alerts");
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<QString>("notice"); // "" when hidden
    QTest::addColumn<bool>("warned");    // a minute before the end
    const QString rest = QStringLiteral("Current Level");
    const QString flash = QStringLiteral("Blinds Have Increased!!!");
    const QString remaining = QStringLiteral("Time remaining at this level:");
    const QString finalTimed = QStringLiteral("This is the Final Level.");
    const QString finalUntimed = QStringLiteral("This is the Final Level.  Good Luck!");
    const QString none;
    // clang-format off
    QTest::newRow("next, mid-level") << true << 30 << false << "N" << 2 << 120000 << "02:00" << rest << remaining << true << 1 << "NPATRU" << "Level 2 started by the director" << false;
    QTest::newRow("next, then its announcement") << true << 30 << false << "Nt" << 2 << 119000 << "01:59" << flash << remaining << true << 1 << "NPATRU" << "Level 2 started by the director" << false;
    QTest::newRow("next into the break") << true << 150 << false << "N" << 3 << 60000 << "01:00" << rest << remaining << true << 1 << "NPATRU" << "Break started by the director" << false;
    QTest::newRow("previous to the break") << true << 310 << false << "P" << 3 << 60000 << "01:00" << rest << remaining << true << 0 << "NPATRU" << "Back to the break" << false;
    QTest::newRow("previous stops the announcement") << true << 125 << false << "Pt" << 1 << 119000 << "01:59" << rest << remaining << true << 0 << "NATRU" << "Back to level 1" << false;
    QTest::newRow("a minute added") << true << 10 << false << "A" << 1 << 170000 << "02:50" << rest << remaining << true << 0 << "NATRU" << "A minute added" << false;
    QTest::newRow("never below a second") << true << 10 << false << "TTT" << 1 << 1000 << "00:01" << rest << remaining << true << 0 << "NARU" << "A minute taken off" << false;
    QTest::newRow("a minute off, then a tick") << true << 10 << false << "Tt" << 1 << 49000 << "00:49" << rest << remaining << true << 0 << "NATRU" << "A minute taken off" << false;
    QTest::newRow("restart the break") << true << 250 << false << "R" << 3 << 60000 << "01:00" << rest << remaining << true << 0 << "NPATRU" << "Break restarted" << false;
    QTest::newRow("paused, next") << true << 10 << true << "N" << 2 << 120000 << "Paused" << rest << remaining << true << 1 << "NPATRU" << "Level 2 started by the director" << false;
    QTest::newRow("paused, a minute added") << true << 10 << true << "A" << 1 << 170000 << "Paused" << rest << remaining << true << 0 << "NATRU" << "A minute added" << false;
    QTest::newRow("final timed, no next") << true << 430 << false << "N" << 5 << 110000 << "01:50" << flash << finalTimed << false << 0 << "PATR" << none << false;
    QTest::newRow("final timed, previous") << true << 430 << false << "P" << 4 << 120000 << "02:00" << rest << remaining << true << 0 << "NPATRU" << "Back to level 4" << false;
    QTest::newRow("into the untimed final") << false << 310 << false << "N" << 5 << 120000 << "" << rest << finalUntimed << false << 1 << "PU" << "Level 5 started by the director" << false;
    QTest::newRow("untimed final, no minutes") << false << 430 << false << "NATR" << 5 << 110000 << "" << flash << finalUntimed << false << 0 << "P" << none << false;
    QTest::newRow("untimed final stopped, previous") << false << 500 << false << "Pt" << 4 << 119000 << "01:59" << rest << remaining << true << 0 << "NPATRU" << "Back to level 4" << false;
    QTest::newRow("the end") << true << 540 << false << "NPATRU" << 6 << 120000 << "Ended!" << "" << "This tournament has" << false << 0 << "" << none << false;
    QTest::newRow("undo from the end") << true << 530 << false << "TtU" << 5 << 10000 << "00:10" << rest << finalTimed << false << 2 << "PATR" << "Undone: take off a minute" << false;
    QTest::newRow("undo chain") << true << 10 << false << "NNUU" << 1 << 110000 << "01:50" << rest << remaining << true << 2 << "NATR" << "Undone: next level" << false;
    QTest::newRow("undo, one left") << true << 10 << false << "NAU" << 2 << 120000 << "02:00" << rest << remaining << true << 1 << "NPATRU" << "Undone: add a minute" << false;
    QTest::newRow("undo back into the announcement") << true << 125 << false << "RU" << 2 << 115000 << "01:55" << flash << remaining << true << 0 << "NPATR" << "Undone: restart this level" << false;
    QTest::newRow("undo brings the pause back") << true << 10 << true << "NpU" << 1 << 110000 << "Paused" << rest << remaining << true << 1 << "NATR" << "Undone: next level" << false;
    QTest::newRow("undo of a resumed clock's move") << true << 10 << true << "pNU" << 1 << 110000 << "01:50" << rest << remaining << true << 1 << "NATR" << "Undone: next level" << false;
    QTest::newRow("eleventh undo") << true << 10 << false << QString(11, u'A') + QString(11, u'U') << 1 << 170000 << "02:50" << rest << remaining << true << 0 << "NATR" << "Undone: add a minute" << false;
    QTest::newRow("the countdown warns") << true << 59 << false << "t" << 1 << 60000 << "01:00" << rest << remaining << true << 0 << "NATR" << none << true;
    // clang-format on
}

void TestClockMoves::moves() {
    QFETCH(bool, timed);
    QFETCH(int, ticks);
    QFETCH(bool, paused);
    QFETCH(QString, steps);
    const std::unique_ptr<Blinds> clock = clockAt(Five, timed, ticks, paused);
    Blinds *c = clock.get();
    const auto *player = child<SoundPlayer>(c, "MMControl1");
    const int playsBefore = player->plays();
    QSignalSpy faces(c, &Blinds::faceChanged);
    // Taking minutes jumps past the last one; only a countdown is warned of.
    child<QAction>(c, "actWarning")->setChecked(true);
    QSignalSpy warnings(child<SoundPlayer>(c, "sndWarning"), &SoundPlayer::commandIssued);
    // A label an addition put on the clock is the addition's: no move resets it.
    ClockLabel *added = c->addFaceLabel("lblPlayers");
    added->setCaption(QStringLiteral("Players 9 of 10"));
    added->show();
    play(c, steps);

    QVERIFY(c->face().control(u"lblPlayers")->visible);
    QCOMPARE(text(c, "lblPlayers"), u"Players 9 of 10");
    QTEST(int(c->face().level), "level");
    QTEST(int(c->face().remainingMs), "remainingMs");
    QTEST(shown(c, "lblTime") ? text(c, "lblTime") : QString(), "time");
    QTEST(shown(c, "Label1") ? text(c, "Label1") : QString(), "heading");
    QTEST(text(c, "Label5"), "label5");
    for (const char *next : {"Label4", "Label2(1)", "Label3(1)", "lblNextSmall", "lblNextBig"})
        QTEST(shown(c, next), "nextShown");
    QTEST(player->plays() - playsBefore, "alerts");
    QTEST(enabledMoves(c), "enabled");
    QTEST(shown(c, "lblRemoteNotice") ? text(c, "lblRemoteNotice") : QString(), "notice");
    QCOMPARE(pauseCaption(c) == u"Resume", text(c, "lblTime") == u"Paused");
    // A paused clock stands still; a moved one counts from a full second.
    QCOMPARE(timer1(c)->isActive(),
             pauseCaption(c) == u"Pause" && !c->face().ended &&
                 !(c->face().untimedFinal && text(c, "Label1") == u"Final Round"));
    QTEST(!warnings.isEmpty(), "warned");
    // Every move is out at once, the last face the one shown, and in the
    // journal: a crash now resumes the clock where it was moved to.
    const ClockFace face = c->face();
    if (!faces.isEmpty())
        QCOMPARE(faces.last().at(0).value<ClockFace>(), face);
    if (face.ended)
        return;
    const JournalEntry entry = journal().entry;
    QCOMPARE(entry.level, face.level);
    QCOMPARE(entry.remainingMs, face.remainingMs);
    QCOMPARE(entry.paused, face.paused);
    const std::unique_ptr<Blinds> resumed = newClock();
    orvandel::resumeClock(resumed.get(), entry);
    QCOMPARE(resumed->face().remainingMs, face.remainingMs);
    for (const char *name : {"lblCurrentSmall", "lblCurrentBig", "lblNextSmall", "Label5"})
        QCOMPARE(text(resumed.get(), name), text(c, name));
}

void TestClockMoves::keys() {
    const std::unique_ptr<Blinds> clock = clockAt(Five, true, 10, true);
    clock->show();
    clock->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(clock.get()));
    // The level and time left after each key: bare keys move nothing.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifier with;
        int level, remainingMs;
    } keys[] = {
        // clang-format off
        {Qt::Key_Right, Qt::NoModifier, 1, 110000}, {Qt::Key_Up, Qt::NoModifier, 1, 110000},
        {Qt::Key_Right, Qt::ControlModifier, 2, 120000}, {Qt::Key_Up, Qt::ControlModifier, 2, 180000},
        {Qt::Key_Down, Qt::ControlModifier, 2, 120000}, {Qt::Key_Left, Qt::ControlModifier, 1, 120000},
        {Qt::Key_Z, Qt::NoModifier, 1, 120000}, {Qt::Key_Z, Qt::ControlModifier, 2, 120000},
        {Qt::Key_R, Qt::ControlModifier, 2, 120000}, {Qt::Key_Down, Qt::ControlModifier, 2, 60000},
        // clang-format on
    };
    for (const auto &press : keys) {
        QTest::keyClick(clock.get(), press.key, press.with);
        QCOMPARE(clock->face().level, qint16(press.level));
        QCOMPARE(clock->face().remainingMs, press.remainingMs);
    }
}

QTEST_MAIN(TestClockMoves)
#include "tst_clockmoves.moc"
