// The players' count through the real windows: forty entries counted on the
// clock's keys and in the counting window, the figures as the big blind
// changes, the winner ending the clock and its undo, a crash resuming it.
#include "resumetest.h"

#include "players/frmplayers.h"
#include "sound/soundplayer.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>

using namespace testsupport;
using namespace orvandel;

namespace {

// The keys go to the clock as the director presses them on the laptop.
void keys(Blinds *clock, Qt::Key key, Qt::KeyboardModifier with, int times) {
    clock->activateWindow();
    // The clock counts as active for qWaitForWindowActive while its window is.
    if (!QTest::qWaitFor([clock] { return QApplication::activeWindow() == clock; }))
        qFatal("the clock did not become active");
    for (int n = 0; n < times; ++n)
        QTest::keyClick(clock, key, with);
}

// The four figures as the clock shows them; "-" for a label not shown.
QStringList figures(const Blinds *clock) {
    QStringList seen;
    for (const char *name : {"lblPlayers", "lblAverage", "lblPrizePool", "lblPayouts"}) {
        const auto *label = clock->findChild<QLabel *>(QString::fromLatin1(name));
        seen << (label == nullptr || label->isHidden() ? QStringLiteral("-") : label->text());
    }
    return seen;
}

} // namespace

class TestClockPlayers : public QObject, ResumeTest {
    Q_OBJECT

private slots:
    void initTestCase() {
        setUpJournals();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void init() { setUpFolder(); }
    void cleanup() { tearDownFolder(); }
    void fortyEntries();
};

void TestClockPlayers::fortyEntries() {
    QVERIFY(writeFile(
        "3,20\r\n\"$200\",\"$ 400\"\r\n\"$300\",\"$600\"\r\n\"$400\",\"$800\"\r\n0,0\r\n"));
    const std::unique_ptr<Blinds> clock = newClock();
    clock->show();
    for (int n = 0; n < 30; ++n)
        clock->Timer1_Timer();
    // Nobody counts yet: the clock as it always was.
    QCOMPARE(figures(clock.get()), QStringList(4, QStringLiteral("-")));

    // Two entries on the clock's keys; the bare keys count nothing.
    keys(clock.get(), Qt::Key_E, Qt::ControlModifier, 2);
    keys(clock.get(), Qt::Key_E, Qt::NoModifier, 1);
    keys(clock.get(), Qt::Key_B, Qt::NoModifier, 1);
    QCOMPARE(figures(clock.get()).first(), QStringLiteral("Players 2 of 2"));

    // The counting window, once however often it is asked for.
    for (int n = 0; n < 2; ++n)
        child<QAction>(clock.get(), "actPlayers")->trigger();
    QCOMPARE(clock->findChildren<frmPlayers *>().size(), 1);
    auto *window = clock->findChild<frmPlayers *>();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const char *const typings[][2] = {{"txtStack", "10000"},      {"txtRebuyChips", "10000"},
                                      {"txtAddOnChips", "10000"}, {"txtBuyIn", "75"},
                                      {"txtRebuyPrice", "50"},    {"txtAddOnPrice", "50"},
                                      {"txtPayouts", "50 30 20"}};
    for (const auto &typing : typings)
        type<QLineEdit>(window, typing[0], QString::fromLatin1(typing[1]));
    type<QSpinBox>(window, "spnEntries", QStringLiteral("39"));
    child<QPushButton>(window, "cmdEntry")->click();
    for (int n = 0; n < 15; ++n)
        child<QPushButton>(window, "cmdBust")->click();
    type<QSpinBox>(window, "spnRebuys", QStringLiteral("12"));
    type<QSpinBox>(window, "spnAddOns", QStringLiteral("8"));
    keys(clock.get(), Qt::Key_B, Qt::ControlModifier, 2);
    // 40 x 10,000 + 12 x 10,000 + 8 x 10,000 chips; 40 x 75 + 12 x 50 + 8 x 50
    // in the pool: 4,000, paid 2,000, 1,200 and 800. 600,000 chips among 23
    // players: 26,086.96 each, 65.22 big blinds of 400.
    QStringList counted = {
        QStringLiteral("Players 23 of 40"), QStringLiteral("Average 26,087 (65.2 BB)"),
        QStringLiteral("Prize pool 4,000"), QStringLiteral("1st 2,000 · 2nd 1,200 · 3rd 800")};
    QCOMPARE(figures(clock.get()), counted);

    // Refused payouts change nothing, on the clock or in the journal.
    const QByteArray journalled = journal().entry.players;
    QVERIFY(!journalled.isEmpty());
    type<QLineEdit>(window, "txtPayouts", QStringLiteral("60 30 20"));
    QVERIFY(!text(window, "lblPayoutProblem").isEmpty());
    QCOMPARE(figures(clock.get()), counted);
    QCOMPARE(journal().entry.players, journalled);

    // Level 2, a big blind of 600: 1,000 big blinds among 23 players.
    child<QAction>(clock.get(), "actNextLevel")->trigger();
    counted[1] = QStringLiteral("Average 26,087 (43.5 BB)");
    QCOMPARE(figures(clock.get()), counted);

    // Down to the winner: the tournament ends as at the end of its levels.
    keys(clock.get(), Qt::Key_B, Qt::ControlModifier, 21);
    const ClockStand before = clock->stand();
    const int plays = child<SoundPlayer>(clock.get(), "MMControl1")->plays();
    keys(clock.get(), Qt::Key_B, Qt::ControlModifier, 1);
    QVERIFY(clock->face().ended && !timer1(clock.get())->isActive());
    QCOMPARE(text(clock.get(), "Label5") + text(clock.get(), "lblTime"),
             QStringLiteral("This tournament hasEnded!"));
    QVERIFY(shown(clock.get(), "lblTime") && !shown(clock.get(), "lblNextBig"));
    QCOMPARE_GT(child<SoundPlayer>(clock.get(), "MMControl1")->plays(), plays);
    QCOMPARE(figures(clock.get()).mid(0, 2),
             (QStringList{QStringLiteral("Players 1 of 40"), QStringLiteral("Average 600,000")}));
    // One out too many leaves it ended; undoing both brings the clock back,
    // paused where it stood.
    keys(clock.get(), Qt::Key_B, Qt::ControlModifier, 1);
    QVERIFY(clock->face().ended);
    child<QPushButton>(window, "cmdUndoCount")->click();
    child<QPushButton>(window, "cmdUndoCount")->click();
    QCOMPARE(clock->face().level, before.point.level);
    QCOMPARE(clock->face().remainingMs, before.point.remainingMs);
    QVERIFY(clock->face().paused && shown(clock.get(), "lblNextBig"));
    QCOMPARE(text(clock.get(), "lblTime"), QStringLiteral("Paused"));
    // 600,000 chips between two players, 500 big blinds each.
    counted[0] = QStringLiteral("Players 2 of 40");
    counted[1] = QStringLiteral("Average 300,000 (500.0 BB)");
    QCOMPARE(figures(clock.get()), counted);

    // A crash: the clock resumed from its journal shows the same figures.
    const std::unique_ptr<Blinds> resumed = newClock();
    QSignalSpy faces(resumed.get(), &Blinds::faceChanged);
    resumeClock(resumed.get(), journal().entry);
    QCOMPARE(figures(resumed.get()), counted);
    // The phones and TVs get them too, though the resumed clock is paused.
    QTRY_VERIFY(faces.size() >= 2);
    const FaceControl *players = faces.last().at(0).value<ClockFace>().control(u"lblPlayers");
    QVERIFY(players != nullptr && players->text == counted[0]);
}

QTEST_MAIN(TestClockPlayers)
#include "tst_clockplayers.moc"
