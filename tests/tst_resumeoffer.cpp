// The offer to resume on the opening screen: answered Yes or No, not made for
// a journal that does not fit, and withdrawn when a tournament is saved;
// whatever stands in its way, a second copy of the program included.
#include "resumetest.h"

#include "app/opening.h"
#include "core/structure.h"
#include "setup/frmblindamounts.h"
#include "sound/soundplayer.h"

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <future>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Runs `action` while a guard thread watches: not done within a second, the
// guard opens the named pipe `pipe` for writing, which frees a reader stuck
// on it, and the answer is false. Nothing frees a reader lost in a device.
bool doneWithinASecond(const std::function<void()> &action, const QString &pipe) {
    using namespace std::chrono_literals;
    std::promise<void> done;
    auto guard = std::async(std::launch::async, [finished = done.get_future(), &pipe] {
        if (finished.wait_for(1s) == std::future_status::ready)
            return true;
        ::close(::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK));
        if (finished.wait_for(3s) != std::future_status::ready)
            qFatal("Start has not returned");
        return false;
    });
    action();
    done.set_value();
    return guard.get();
}

constexpr auto FirstCopy = "ORVANDEL_FIRST_COPY";

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
    void escapeOrCloseAsksAgain();
    void nothingInTheWayHangsStart_data();
    void nothingInTheWayHangsStart();
    void secondCopyRefusedUntilTheFirstIsKilled();
    void noQuestionWithoutAFittingJournal_data();
    void noQuestionWithoutAFittingJournal();
    void savingATournamentDropsTheJournal_data();
    void savingATournamentDropsTheJournal();
    void structureResumedFromStartAndFromTheEditor();
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

void TestResumeOffer::escapeOrCloseAsksAgain() {
    QVERIFY(writeFile(tournamentFile(3, 2)));
    QVERIFY(ranClock(130, false));
    const QByteArray before = readFile(journalPathForCurrentFolder());
    for (const bool escape : {true, false}) {
        bool asked = false;
        QTimer::singleShot(0, [&asked, escape] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                asked = true;
                escape ? QTest::keyClick(box->windowHandle(), Qt::Key_Escape) : void(box->close());
            }
        });
        QVERIFY(startFromOpening(QMessageBox::No).isEmpty());
        QVERIFY(asked);
        QVERIFY(!shownClock());
        QCOMPARE(readFile(journalPathForCurrentFolder()), before);
    }
    // Asked again, and Yes resumes where the clock stood.
    QCOMPARE(startFromOpening(QMessageBox::Yes).size(), 1);
    QCOMPARE(text(shownClock(), "lblCurrentSmall"), QStringLiteral("$20"));
}

void TestResumeOffer::nothingInTheWayHangsStart_data() {
    QTest::addColumn<QString>("at");      // added to the journal's path, or blinds.dat
    QTest::addColumn<QString>("what");    // "full": a folder with a file in it
    QTest::addColumn<int>("remainingMs"); // in the journal then; 0: none, and a notice
    // clang-format off
    QTest::newRow("named pipe at the journal") << "" << "pipe" << 119000;
    QTest::newRow("folder at the journal") << "" << "folder" << 119000;
    QTest::newRow("link to /dev/zero at the journal") << "" << "zero" << 119000;
    QTest::newRow("named pipe at the journal's temporary") << ".tmp" << "pipe" << 119000;
    QTest::newRow("named pipe at the lock") << ".lock" << "pipe" << 119000;
    QTest::newRow("link to /dev/zero at the lock") << ".lock" << "zero" << 119000;
    QTest::newRow("empty lock, its program gone") << ".lock" << "empty" << 119000;
    QTest::newRow("named pipe at blinds.dat, a journal present") << "blinds.dat" << "pipe" << 110000;
    QTest::newRow("full folder at the journal") << "" << "full" << 0;
    QTest::newRow("read-only data folder") << "" << "read-only" << 0;
    // clang-format on
}

void TestResumeOffer::nothingInTheWayHangsStart() {
#ifdef Q_OS_UNIX
    QFETCH(QString, at);
    QFETCH(QString, what);
    QFETCH(int, remainingMs);
    QVERIFY(writeFile(tournamentFile(3, 2)));
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    const auto restoreHome = qScopeGuard([&home] { qputenv("XDG_DATA_HOME", home); });
    const bool atFile = at == QLatin1String("blinds.dat");
    const QString path = atFile ? at : journalPathForCurrentFolder() + at;
    QVERIFY(QDir().mkpath(QFileInfo(journalPathForCurrentFolder()).path()));
    QVERIFY(!atFile || (ranClock(10, false) && QFile::remove(at)));
    if (what == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (what == QLatin1String("zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    else if (what == QLatin1String("empty"))
        QVERIFY(writeFile(QByteArray(), path));
    else if (what == QLatin1String("read-only"))
        qputenv("XDG_DATA_HOME", "/proc/self"); // not even root makes a folder there
    else
        QVERIFY(QDir().mkpath(what == QLatin1String("full") ? path + QStringLiteral("/x") : path));

    QList<Box> boxes;
    QVERIFY(doneWithinASecond(
        [&boxes] {
            boxes = startFromOpening(QMessageBox::Ok);
            if (Blinds *clock = shownClock())
                clock->Timer1_Elapsed();
        },
        path));
    // blinds.dat is refused at once, the journal kept for when it is back;
    // anything else is passed over without a question, and the clock runs.
    QCOMPARE(boxes.size(), atFile ? 1 : 0);
    QCOMPARE(!shownClock(), atFile);
    QCOMPARE(journal().entry.remainingMs, remainingMs);
    if (atFile)
        QCOMPARE(boxes.at(0).text,
                 QStringLiteral("blinds.dat could not be opened: it is a named pipe, not a file."));
    if (atFile || remainingMs != 0)
        return;
    const auto *notice = child<QLabel>(shownClock(), "lblNotice");
    QVERIFY(!notice->isHidden());
    QCOMPARE(notice->text(),
             QStringLiteral("Resume after a crash is not possible: Orvandel cannot write to ") +
                 QFileInfo(journalPathForCurrentFolder()).path());
    // Gone when its time is up; the failures after it bring it not back.
    QVERIFY(QMetaObject::invokeMethod(child<QTimer>(shownClock(), "tmrNotice"), "timeout"));
    shownClock()->Timer1_Elapsed();
    QVERIFY(notice->isHidden());
#else
    QSKIP("Named pipes and devices at a file name are POSIX matters.");
#endif
}

void TestResumeOffer::secondCopyRefusedUntilTheFirstIsKilled() {
    QVERIFY(writeFile(tournamentFile(3, 2)));
    QVERIFY(ranClock(130, false));
    QProcess first;
    first.setEnvironment(QProcess::systemEnvironment()
                         << QString::fromLatin1(FirstCopy) + QStringLiteral("=1"));
    first.setWorkingDirectory(folderPath());
    first.start(QCoreApplication::applicationFilePath());
    const auto end = qScopeGuard([&first] {
        first.kill();
        first.waitForFinished();
    });
    QVERIFY(first.waitForReadyRead(20000));
    QCOMPARE(first.readAll(), QByteArray("running\n"));

    QList<Box> boxes = startFromOpening(QMessageBox::Yes);
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes.at(0).text.contains(QLatin1String("is already running in another Orvandel")),
             qPrintable(boxes.at(0).text));
    QVERIFY(!shownClock());

    // Killed, it leaves a stale lock: the tournament resumes here.
    first.kill();
    QVERIFY(first.waitForFinished());
    boxes = startFromOpening(QMessageBox::Yes);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).text, QStringLiteral("Resume the tournament at level 2 with 01:50 left?"));
    QCOMPARE(text(shownClock(), "lblTime"), QStringLiteral("Paused"));
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

void TestResumeOffer::structureResumedFromStartAndFromTheEditor() {
    // A structure stopped in its first break, and no blinds.dat in the folder.
    const QString path = writeStructure(sampleStructure(AnteKind::Ante));
    QVERIFY(ranClock(200, false, path));
    const QString question = QStringLiteral("Resume the tournament at the break with 00:40 left?");
    QList<Box> boxes = startFromOpening(QMessageBox::Yes);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).text, question);
    Blinds *clock = shownClock();
    QVERIFY(clock);
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Break"));
    QCOMPARE(text(clock, "lblNote"), QStringLiteral("Colour up the 25s"));
    QCOMPARE(text(clock, "lblNextAnte"), QStringLiteral("Ante 200"));
    QCOMPARE(pauseCaption(clock), QStringLiteral("Resume"));
    delete clock; // and its lock

    // The editor's Start asks about the journal of the structure it starts.
    QWidget editor;
    boxes = answerBoxes([&] { QVERIFY(startStructureFile(&editor, path)); }, QMessageBox::Yes);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).text, question);
    clock = shownClock();
    QVERIFY(clock);
    QCOMPARE(text(clock, "lblTime"), QStringLiteral("Paused"));
    QCOMPARE(clock->face().remainingMs, 40000);
    // The director's move names the level as the room counts it.
    child<QAction>(clock, "actNextLevel")->trigger();
    QCOMPARE(text(clock, "lblRemoteNotice"), QStringLiteral("Level 3 started by the director"));
    delete clock;
}

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi);
    // The copy of the program that got to the tournament first, for
    // secondCopyRefusedUntilTheFirstIsKilled: it resumes it and runs until it
    // is killed, for a minute at most should the test be gone.
    if (qEnvironmentVariableIsSet(FirstCopy)) {
        QTimer::singleShot(std::chrono::minutes(1), &app, &QCoreApplication::quit);
        startFromOpening(QMessageBox::Yes);
        std::puts(shownClock() ? "running" : "not running");
        std::fflush(stdout);
        return QApplication::exec();
    }
    TestResumeOffer test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_resumeoffer.moc"
