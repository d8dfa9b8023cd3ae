// What the director's hands do to the running clock: clicks on the time,
// Space, and every other key, which must do nothing.
#include "clocktest.h"

#include "core/programend.h"
#include "core/timetext.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

using namespace testsupport;

class TestClockHands : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup() { tearDownClock(); }

    void pauseAndResume();
    void clickOnTheLineReachesTheTime();
    void doubleClickIsOneClick();
    void pauseInLastSecondOfLevel();
    void pauseInLastSecondBeforeUntimedFinal();
    void pauseInLastSecondOfTimedFinalThenRestart();
    void secondClickBeforePauseTakesEffectChangesNothing();
    void spaceIsAClickOnTheTime_data();
    void spaceIsAClickOnTheTime();
    void spaceWhereTheClockStopped_data();
    void spaceWhereTheClockStopped();
    void otherKeysDoNothing_data();
    void otherKeysDoNothing();
};

void TestClockHands::pauseAndResume() {
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

void TestClockHands::clickOnTheLineReachesTheTime() {
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

void TestClockHands::doubleClickIsOneClick() {
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

void TestClockHands::pauseInLastSecondOfLevel() {
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

void TestClockHands::pauseInLastSecondBeforeUntimedFinal() {
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

void TestClockHands::pauseInLastSecondOfTimedFinalThenRestart() {
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

void TestClockHands::secondClickBeforePauseTakesEffectChangesNothing() {
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

void TestClockHands::spaceIsAClickOnTheTime_data() {
    QTest::addColumn<bool>("space");
    // clang-format off
    QTest::newRow("click on the time") << false;
    QTest::newRow("Space")             << true;
    // clang-format on
}

void TestClockHands::spaceIsAClickOnTheTime() {
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

void TestClockHands::spaceWhereTheClockStopped_data() {
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

void TestClockHands::spaceWhereTheClockStopped() {
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

void TestClockHands::otherKeysDoNothing_data() {
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

void TestClockHands::otherKeysDoNothing() {
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

QTEST_MAIN(TestClockHands)
#include "tst_clockhands.moc"
