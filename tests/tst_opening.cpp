#include "testsupport.h"
#include "trywait.h"

#include "app/opening.h"
#include "core/programend.h"
#include "core/twips.h"

#include <QAction>
#include <QGroupBox>
#include <QPointer>
#include <QScreen>

using namespace testsupport;

namespace {
QRadioButton *radio(const QWidget *window, const char *name) {
    return child<QRadioButton>(window, name);
}
QPushButton *button(const QWidget *window, const char *name) {
    return child<QPushButton>(window, name);
}
} // namespace

class TestOpening : public QObject {
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<WorkFolder>(); }
    void cleanup() { m_folder.reset(); }

    void firstStart();
    void loadKeepsSettings_data();
    void loadKeepsSettings();
    void timedAnswer_data();
    void timedAnswer();
    void okWithoutChoiceDoesNothing();
    void okOpensChosenWindow_data();
    void okOpensChosenWindow();
    void startWithUnrunnableFileStays();
    void rightClickOpensStructureEditor();
    void enterAndEscapeTriggerNothing();
    void quitEndsProgram();

private:
    std::unique_ptr<WorkFolder> m_folder;
};

void TestOpening::firstStart() {
    Opening opening;
    QCOMPARE(opening.objectName(), QStringLiteral("Opening"));
    QCOMPARE(opening.windowTitle(), QStringLiteral("Orvandel"));
    QCOMPARE(text(&opening, "Label1"), QStringLiteral("Welcome to Orvandel  "));
    QCOMPARE(child<QGroupBox>(&opening, "Frame1")->title(),
             QStringLiteral("Is this a Timed Touirnament?"));
    QCOMPARE(Module1::SoundFile, QStringLiteral("sound1.wav"));
    QCOMPARE(Module1::TimedTournament, false);
    QVERIFY(radio(&opening, "optTimed(1)")->isChecked());
    QVERIFY(!radio(&opening, "optTimed(0)")->isChecked());
    for (const char *choice : {"optBlinds(0)", "optSound(1)", "optStart(2)"}) {
        QVERIFY2(radio(&opening, choice), choice);
        QVERIFY2(!radio(&opening, choice)->isChecked(), choice);
    }
    QCOMPARE(button(&opening, "Command1")->text(), QStringLiteral("OK"));
    QCOMPARE(button(&opening, "Command2")->text(), QStringLiteral("Quit"));
    // An icon made from a missing file is not null, but has no pixmap.
    QVERIFY(!opening.windowIcon().pixmap(16).isNull());

    // Centred on the screen with its title bar: 3675 x 3555 twips of client.
    const QRect screen = opening.screen()->geometry();
    using orvandel::px;
    QCOMPARE(opening.size(), QSize(px(3675), px(3555)));
    QCOMPARE(opening.x(), screen.left() + (screen.width() - px(3675)) / 2);
    QCOMPARE(opening.y(),
             screen.top() + (screen.height() - px(3555) - px(orvandel::FrameHeightTwips)) / 2);

    // The three choices exclude each other; Yes/No is a group of its own.
    radio(&opening, "optTimed(0)")->click();
    radio(&opening, "optSound(1)")->click();
    radio(&opening, "optStart(2)")->click();
    QVERIFY(!radio(&opening, "optSound(1)")->isChecked());
    QVERIFY(radio(&opening, "optTimed(0)")->isChecked());
}

void TestOpening::loadKeepsSettings_data() {
    QTest::addColumn<QString>("soundFile");
    QTest::addColumn<bool>("timed");
    QTest::newRow("chosen sound, timed") << "sound3.wav" << true;
    QTest::newRow("chosen sound, untimed") << "sound2.wav" << false;
}

void TestOpening::loadKeepsSettings() {
    QFETCH(QString, soundFile);
    QFETCH(bool, timed);
    Module1::SoundFile = soundFile;
    Module1::TimedTournament = timed;
    Opening opening;
    QCOMPARE(Module1::SoundFile, soundFile);
    QCOMPARE(Module1::TimedTournament, timed);
    QCOMPARE(radio(&opening, "optTimed(0)")->isChecked(), timed);
    QCOMPARE(radio(&opening, "optTimed(1)")->isChecked(), !timed);
}

void TestOpening::timedAnswer_data() {
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<bool>("timed");
    QTest::newRow("yes") << "Y" << true;
    QTest::newRow("yes then no") << "YN" << false;
    QTest::newRow("yes twice") << "YY" << true;
    QTest::newRow("no") << "N" << false;
    QTest::newRow("no, yes, no, yes") << "NYNY" << true;
}

void TestOpening::timedAnswer() {
    QFETCH(QString, clicks);
    QFETCH(bool, timed);
    Opening opening;
    opening.show();
    for (QChar c : clicks) {
        QRadioButton *answer = radio(&opening, c == u'Y' ? "optTimed(0)" : "optTimed(1)");
        QTest::mouseClick(answer, Qt::LeftButton, {}, QPoint(5, answer->height() / 2));
    }
    QCOMPARE(Module1::TimedTournament, timed);
}

void TestOpening::okWithoutChoiceDoesNothing() {
    auto *opening = new Opening;
    opening->show();
    button(opening, "Command1")->click();
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Opening")});
}

void TestOpening::okOpensChosenWindow_data() {
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("window");
    QTest::newRow("set up blinds") << "optBlinds(0)"
                                   << "frmSetUp";
    QTest::newRow("choose sound") << "optSound(1)"
                                  << "frmSound";
    QTest::newRow("start") << "optStart(2)"
                           << "Blinds";
}

void TestOpening::okOpensChosenWindow() {
    QFETCH(QString, choice);
    QFETCH(QString, window);
    QVERIFY(writeFile(tournamentFile(3, 20)));
    QPointer<Opening> opening = new Opening;
    opening->show();
    radio(opening, qPrintable(choice))->click();
    button(opening, "Command1")->click();
    QCOMPARE(shownWindows(), QStringList{window});
    TRY_VERIFY(opening.isNull()); // unloaded, not just hidden
}

void TestOpening::startWithUnrunnableFileStays() {
    QPointer<Opening> opening = new Opening;
    opening->show();
    radio(opening, "optStart(2)")->click();
    const QList<Box> boxes = answerBoxes([&opening] { button(opening, "Command1")->click(); });
    QCOMPARE(boxes.size(), 1);
    const QString shownText = boxes[0].text;
    QVERIFY2(shownText.contains(QStringLiteral("blinds.dat")), qPrintable(shownText));
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    QVERIFY(!opening.isNull());
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Opening")});
    QVERIFY(radio(opening, "optStart(2)")->isChecked());
}

void TestOpening::rightClickOpensStructureEditor() {
    QPointer<Opening> opening = new Opening;
    opening->show();
    auto *action = child<QAction>(opening, "actStructure");
    QCOMPARE(action->text(), QStringLiteral("Tournament structure…"));
    // On the form's own right-click menu.
    QCOMPARE(opening->contextMenuPolicy(), Qt::ActionsContextMenu);
    QVERIFY(opening->actions().contains(action));
    action->trigger();
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("frmStructure")});
    TRY_VERIFY(opening.isNull());
}

void TestOpening::enterAndEscapeTriggerNothing() {
    QVERIFY(writeFile(tournamentFile(3, 20)));
    QPointer<Opening> opening = new Opening;
    opening->show();
    QVERIFY(QTest::qWaitForWindowActive(opening));
    radio(opening, "optStart(2)")->click();
    for (const char *focus : {"optStart(2)", "Command1", "Command2"}) {
        child<QWidget>(opening, focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY2(!opening.isNull() && opening->isVisible(), focus);
        QCOMPARE(shownWindows(), QStringList{QStringLiteral("Opening")});
    }
}

void TestOpening::quitEndsProgram() {
    QPointer<Opening> opening = new Opening;
    opening->show();
    int status = -1;
    bool visibleAtEnd = true;
    const auto previous = orvandel::setProgramEndHandler([&](int code) {
        status = code;
        visibleAtEnd = opening && opening->isVisible();
    });
    button(opening, "Command2")->click();
    orvandel::setProgramEndHandler(previous);
    QCOMPARE(status, 0);
    QVERIFY(!visibleAtEnd); // unloaded before the end
}

QTEST_MAIN(TestOpening)
#include "tst_opening.moc"
