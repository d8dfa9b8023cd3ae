#include "clocktestsupport.h"

#include "app/twips.h"
#include "app/opening.h"
#include "app/programend.h"

#include <QGroupBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>

using namespace clocktest;

namespace {
QRadioButton *radio(QWidget *window, const char *name) {
    return window->findChild<QRadioButton *>(QString::fromLatin1(name));
}
QPushButton *button(QWidget *window, const char *name) {
    return window->findChild<QPushButton *>(QString::fromLatin1(name));
}
QStringList visibleWindows() {
    QStringList names;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && !qobject_cast<QMessageBox *>(w))
            names << w->objectName();
    return names;
}
} // namespace

class TestOpening : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStart();
    void loadKeepsSettings_data();
    void loadKeepsSettings();
    void timedAnswer_data();
    void timedAnswer();
    void okWithoutChoiceDoesNothing();
    void okOpensChosenWindow_data();
    void okOpensChosenWindow();
    void startWithUnrunnableFileStays();
    void enterAndEscapeTriggerNothing();
    void quitEndsProgram();

private:
    QTemporaryDir m_dir;
};

void TestOpening::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void TestOpening::init() {
    Module1::reset();
}

void TestOpening::cleanup() {
    for (QWidget *w : QApplication::topLevelWidgets())
        delete w;
    QFile::remove(QStringLiteral("blinds.dat"));
}

void TestOpening::firstStart() {
    Opening opening;
    QCOMPARE(opening.objectName(), QStringLiteral("Opening"));
    QCOMPARE(opening.windowTitle(), QStringLiteral("Orvandel"));
    QCOMPARE(text(&opening, "Label1"), QStringLiteral("Welcome to Orvandel  "));
    QCOMPARE(opening.findChild<QGroupBox *>(QStringLiteral("Frame1"))->title(),
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
    QCOMPARE(visibleWindows(), QStringList{QStringLiteral("Opening")});
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
    writeTournament(tournamentFile(3, 20));
    QPointer<Opening> opening = new Opening;
    opening->show();
    radio(opening, qPrintable(choice))->click();
    button(opening, "Command1")->click();
    QCOMPARE(visibleWindows(), QStringList{window});
    QTRY_VERIFY(opening.isNull()); // unloaded, not just hidden
}

void TestOpening::startWithUnrunnableFileStays() {
    QPointer<Opening> opening = new Opening;
    opening->show();
    radio(opening, "optStart(2)")->click();
    QString shownText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        shownText = box->text();
        icon = box->icon();
        box->accept();
    });
    button(opening, "Command1")->click();
    QVERIFY2(shownText.contains(QStringLiteral("blinds.dat")), qPrintable(shownText));
    QCOMPARE(icon, QMessageBox::Warning);
    QVERIFY(!opening.isNull());
    QCOMPARE(visibleWindows(), QStringList{QStringLiteral("Opening")});
    QVERIFY(radio(opening, "optStart(2)")->isChecked());
}

void TestOpening::enterAndEscapeTriggerNothing() {
    writeTournament(tournamentFile(3, 20));
    QPointer<Opening> opening = new Opening;
    opening->show();
    QVERIFY(QTest::qWaitForWindowActive(opening));
    radio(opening, "optStart(2)")->click();
    for (const char *focus : {"optStart(2)", "Command1", "Command2"}) {
        opening->findChild<QWidget *>(QString::fromLatin1(focus))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY2(!opening.isNull() && opening->isVisible(), focus);
        QCOMPARE(visibleWindows(), QStringList{QStringLiteral("Opening")});
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
