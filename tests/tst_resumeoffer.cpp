// The offer to resume on the opening screen: answered Yes or No, not made for
// a journal that does not fit, and withdrawn when a tournament is saved.
#include "resumetest.h"

#include "app/opening.h"
#include "setup/frmblindamounts.h"
#include "sound/soundplayer.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QStandardPaths>

using namespace testsupport;
using namespace orvandel;

namespace {

Blinds *shownClock() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *clock = qobject_cast<Blinds *>(w); clock && clock->isVisible())
            return clock;
    return nullptr;
}

// "Start Orvandel" and "OK" on a fresh opening screen; the boxes that
// showed, each answered with `answer`.
QList<Box> startFromOpening(QMessageBox::StandardButton answer) {
    auto *opening = new Opening(nullptr);
    opening->show();
    child<QRadioButton>(opening, "optStart(2)")->click();
    auto *ok = child<QPushButton>(opening, "Command1");
    return answerBoxes([ok] { QTest::mouseClick(ok, Qt::LeftButton); }, answer);
}

} // namespace

class TestResumeOffer : public QObject, public ResumeTest {
    Q_OBJECT

private slots:
    void initTestCase() { setUpJournals(); }
    void init() { setUpFolder(); }
    void cleanup() { tearDownFolder(); }

    void yesResumesPaused();
    void enterAnswersYes();
    void noStartsAtLevelOneAndDropsTheJournal();
    void noQuestionWithoutAFittingJournal_data();
    void noQuestionWithoutAFittingJournal();
    void savingATournamentDropsTheJournal_data();
    void savingATournamentDropsTheJournal();
};

void TestResumeOffer::yesResumesPaused() {
    QVERIFY(writeFile(ExampleTournament));
    Module1::TimedTournament = true;
    QVERIFY(ranClock(2 * 1200 + 900 + 125, false));
    QCOMPARE(journal().entry.level, qint16(4));
    const QList<Box> boxes = startFromOpening(QMessageBox::Yes);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).title, QStringLiteral("Orvandel"));
    QCOMPARE(boxes.at(0).text, QStringLiteral("Resume the tournament at level 4 with 17:55 left?"));
    QCOMPARE(boxes.at(0).icon, QMessageBox::Question);

    Blinds *clock = shownClock();
    QVERIFY(clock);
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Blinds")});
    QCOMPARE(pauseCaption(clock), QStringLiteral("Resume"));
    QVERIFY(!timer1(clock)->isActive());
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$50"));
    QCOMPARE(text(clock, "Label5"), QStringLiteral("This is the Final Level."));
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Current Level"));
    QVERIFY(!shown(clock, "Label4"));
    QCOMPARE(child<SoundPlayer>(clock, "MMControl1")->plays(), 1);

    // A click on the time and the clock goes on from there.
    QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 17:54"));
}

void TestResumeOffer::enterAnswersYes() {
    QVERIFY(writeFile(tournamentFile(3, 2)));
    QVERIFY(ranClock(130, false));
    auto *opening = new Opening(nullptr);
    opening->show();
    child<QRadioButton>(opening, "optStart(2)")->click();
    QStringList buttons;
    QTimer watcher;
    watcher.setInterval(5);
    connect(&watcher, &QTimer::timeout, [&buttons] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            for (QAbstractButton *button : box->buttons())
                buttons << button->text().remove(QLatin1Char('&'));
            buttons.sort();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    watcher.start();
    QTest::mouseClick(child<QPushButton>(opening, "Command1"), Qt::LeftButton);
    watcher.stop();
    QCOMPARE(buttons, (QStringList{QStringLiteral("No"), QStringLiteral("Yes")}));
    Blinds *clock = shownClock();
    QVERIFY(clock);
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$20"));
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));
    QCOMPARE(journal().entry.remainingMs, 110000);
}

void TestResumeOffer::noStartsAtLevelOneAndDropsTheJournal() {
    QVERIFY(writeFile(tournamentFile(3, 2)));
    QVERIFY(ranClock(130, true));
    const QList<Box> boxes = startFromOpening(QMessageBox::No);
    QCOMPARE(boxes.size(), 1);
    QVERIFY(!journalExists());
    Blinds *clock = shownClock();
    QVERIFY(clock);
    // As a clock that was never run before.
    const std::unique_ptr<Blinds> fresh = newClock();
    QCOMPARE(look(clock), look(fresh.get()));
    QCOMPARE(pauseCaption(clock), QStringLiteral("Pause"));
}

void TestResumeOffer::noQuestionWithoutAFittingJournal_data() {
    QTest::addColumn<QByteArray>("fileNow");
    QTest::addColumn<bool>("replace");            // the journal the clock left, by:
    QTest::addColumn<QByteArray>("journalBytes"); // these bytes
    QTest::addColumn<int>("level");               // or an entry for this level
    const QByteArray file = tournamentFile(3, 2);
    // clang-format off
    QTest::newRow("file changed") << tournamentFile(3, 3) << false << QByteArray() << 0;
    QTest::newRow("a byte of the file changed") << QByteArray(file).replace("$20", "$25") << false << QByteArray() << 0;
    QTest::newRow("a level fewer") << tournamentFile(1, 2) << false << QByteArray() << 0;
    QTest::newRow("ended") << file << true << QByteArray() << 4;
    QTest::newRow("torn journal") << file << true << QByteArray("Orvandel clock journal\nversion 1\nfile /tmp") << 0;
    QTest::newRow("empty journal") << file << true << QByteArray() << 0;
    QTest::newRow("not a journal") << file << true << QByteArray("3,2\r\n") << 0;
    QTest::newRow("newer journal") << file << true << QByteArray("Orvandel clock journal\nversion 9\n") << 0;
    // clang-format on
}

void TestResumeOffer::noQuestionWithoutAFittingJournal() {
    QFETCH(QByteArray, fileNow);
    QFETCH(bool, replace);
    QFETCH(QByteArray, journalBytes);
    QFETCH(int, level);
    QVERIFY(writeFile(tournamentFile(3, 2)));
    QVERIFY(ranClock(150, false));
    QVERIFY(journal().ok());
    if (level > 0) {
        JournalEntry entry = journal().entry;
        entry.level = static_cast<qint16>(level);
        journalBytes = encodeJournal(entry);
    }
    QVERIFY(writeFile(fileNow));
    if (replace)
        QVERIFY(writeFile(journalBytes, journalPathForCurrentFolder()));
    const QList<Box> boxes = startFromOpening(QMessageBox::Ok);
    QCOMPARE(boxes.size(), 0);
    QVERIFY(!journalExists());
    Blinds *clock = shownClock();
    QVERIFY(clock);
    QCOMPARE(pauseCaption(clock), QStringLiteral("Pause"));
    QVERIFY(timer1(clock)->isActive());
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("00:00"));
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$10"));
}

void TestResumeOffer::savingATournamentDropsTheJournal_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("dropped");
    QTest::newRow("OK") << "cmdOK" << true;
    QTest::newRow("Cancel") << "cmdCancel" << false;
}

void TestResumeOffer::savingATournamentDropsTheJournal() {
    QFETCH(QString, button);
    QFETCH(bool, dropped);
    QVERIFY(writeFile(tournamentFile(2, 2)));
    QVERIFY(ranClock(10, false));
    QVERIFY(journalExists());
    Module1::NumberOfLevels = 2;
    Module1::RoundDuration = 2;
    auto *form = new frmBlindAmounts(nullptr);
    form->show();
    for (const char *name : {"txtSB(0)", "txtBB(0)", "txtSB(1)", "txtBB(1)"})
        child<QLineEdit>(form, name)->setText(QStringLiteral("5"));
    QVERIFY(clickThroughBoxes(child<QPushButton>(form, qPrintable(button))).isEmpty());
    QCOMPARE(journalExists(), !dropped);
    QCOMPARE(readFile() == tournamentFile(2, 2), !dropped);
}

QTEST_MAIN(TestResumeOffer)
#include "tst_resumeoffer.moc"
