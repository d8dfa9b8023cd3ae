// The clock in a room with a laptop and a TV: run on an offscreen desktop of
// two screens side by side, the laptop's 1366x768 and a 1920x1080 TV.
#include "remotetest.h"
#include "testsupport.h"
#include "trywait.h"

#include "app/opening.h"
#include "clock/blinds.h"
#include "clock/screenchoice.h"

#include <QRadioButton>
#include <QScreen>
#include <optional>

using namespace testsupport;

namespace {

QScreen *screenNamed(const QString &name) {
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->name() == name)
            return screen;
    qFatal("no screen %s", qPrintable(name));
}

QString screenName(const QWidget *window) {
    return window->screen() ? window->screen()->name() : QStringLiteral("<none>");
}

// The window covers `screen`'s area and lies on no other screen.
bool fills(const QWidget *window, const QRect &area) {
    const QRect outer = window->frameGeometry();
    return area.contains(outer) && outer.width() >= area.width() - 16 &&
           outer.height() >= area.height() - 40;
}

} // namespace

class TestClockScreens : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void choiceOfScreen_data();
    void choiceOfScreen();
    void directorsScreen_data();
    void directorsScreen();
    void clockGoesAwayFromTheOpeningScreen_data();
    void clockGoesAwayFromTheOpeningScreen();
    void fullScreenOnTheTv();
    void clockScreenRemoved_data();
    void clockScreenRemoved();
    void otherScreenRemovedLeavesTheClock();

private:
    Blinds *startFromOpening(const QString &openingOn);
    std::optional<WorkFolder> m_folder;
};

void TestClockScreens::initTestCase() {
    QCOMPARE(QGuiApplication::screens().size(), 2);
    QCOMPARE(QGuiApplication::primaryScreen()->name(), QStringLiteral("laptop"));
}

void TestClockScreens::init() {
    m_folder.emplace();
    Module1::SoundFile = QStringLiteral("sound1.wav");
    QVERIFY(writeFile(ExampleTournament));
}

void TestClockScreens::cleanup() {
    m_folder.reset();
}

void TestClockScreens::choiceOfScreen_data() {
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<int>("opening");
    QTest::addColumn<int>("clock");
    const QRect laptop(0, 0, 1366, 768);
    const QRect tv(1366, 0, 1920, 1080);
    const QRect uhd(3286, 0, 3840, 2160);
    // clang-format off
    QTest::newRow("one screen")              << QList<QRect>{laptop}          << 0  << 0;
    QTest::newRow("laptop and TV")           << QList<QRect>{laptop, tv}      << 0  << 1;
    QTest::newRow("opening on the TV")       << QList<QRect>{laptop, tv}      << 1  << 0;
    QTest::newRow("largest of the others")   << QList<QRect>{laptop, tv, uhd} << 0  << 2;
    QTest::newRow("opening on the largest")  << QList<QRect>{laptop, uhd, tv} << 1  << 2;
    QTest::newRow("equal areas: the first")  << QList<QRect>{laptop, tv, tv}  << 0  << 1;
    QTest::newRow("area, not width")         << QList<QRect>{laptop, QRect(0, 0, 2560, 600), QRect(0, 0, 1600, 1200)} << 0 << 2;
    QTest::newRow("opening unknown")         << QList<QRect>{tv, laptop}      << -1 << 0;
    // clang-format on
}

void TestClockScreens::choiceOfScreen() {
    QFETCH(QList<QRect>, screens);
    QFETCH(int, opening);
    QFETCH(int, clock);
    QCOMPARE(orvandel::clockScreen(screens, opening), qsizetype{clock});
}

void TestClockScreens::directorsScreen_data() {
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<int>("clock");
    QTest::addColumn<int>("primary");
    QTest::addColumn<int>("director");
    const QRect laptop(0, 0, 1366, 768);
    const QRect tv(1366, 0, 1920, 1080);
    const QRect uhd(3286, 0, 3840, 2160);
    // clang-format off
    QTest::newRow("one screen")              << QList<QRect>{laptop}          << 0  << 0  << 0;
    QTest::newRow("clock on the TV")         << QList<QRect>{laptop, tv}      << 1  << 0  << 0;
    QTest::newRow("clock on the laptop")     << QList<QRect>{laptop, tv}      << 0  << 0  << 1;
    QTest::newRow("three: the primary")      << QList<QRect>{uhd, tv, laptop} << 0  << 1  << 1;
    QTest::newRow("three: smallest free")    << QList<QRect>{uhd, tv, laptop} << 0  << 0  << 2;
    // clang-format on
}

void TestClockScreens::directorsScreen() {
    QFETCH(QList<QRect>, screens);
    QFETCH(int, clock);
    QFETCH(int, primary);
    QFETCH(int, director);
    QCOMPARE(orvandel::directorScreen(screens, clock, primary), qsizetype{director});
}

// Starts the clock the way the director does: "Start" and "OK" on the
// opening screen, which is shown on `openingOn`.
Blinds *TestClockScreens::startFromOpening(const QString &openingOn) {
    auto *opening = new Opening(nullptr);
    QScreen *screen = screenNamed(openingOn);
    if (screen != QGuiApplication::primaryScreen()) {
        opening->setScreen(screen);
        opening->move(screen->geometry().center() - opening->rect().center());
    }
    opening->show();
    if (!QTest::qWaitForWindowExposed(opening))
        qFatal("the opening screen was not shown");
    if (screenName(opening) != openingOn)
        qFatal("the opening screen is not on %s", qPrintable(openingOn));
    child<QRadioButton>(opening, "optStart(2)")->click();
    child<QAbstractButton>(opening, "Command1")->click();
    if (shownWindows() != QStringList{QStringLiteral("Blinds")})
        qFatal("the clock did not take over");
    auto *clock = qobject_cast<Blinds *>(QApplication::topLevelWidgets().constFirst());
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<Blinds *>(w))
            clock = found;
    if (!clock || !QTest::qWaitForWindowExposed(clock))
        qFatal("the clock was not shown");
    return clock;
}

void TestClockScreens::clockGoesAwayFromTheOpeningScreen_data() {
    QTest::addColumn<QString>("openingOn");
    QTest::addColumn<QString>("clockOn");
    // clang-format off
    QTest::newRow("opening on the laptop") << "laptop" << "tv";
    QTest::newRow("opening on the TV")     << "tv"     << "laptop";
    // clang-format on
}

void TestClockScreens::clockGoesAwayFromTheOpeningScreen() {
    QFETCH(QString, openingOn);
    QFETCH(QString, clockOn);
    Blinds *clock = startFromOpening(openingOn);
    QCOMPARE(screenName(clock), clockOn);
    QCOMPARE(clock->windowState(), Qt::WindowMaximized);
    const QRect area = screenNamed(clockOn)->availableGeometry();
    QVERIFY2(fills(clock, area), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                .arg(clock->frameGeometry().x())
                                                .arg(clock->frameGeometry().y())
                                                .arg(clock->frameGeometry().width())
                                                .arg(clock->frameGeometry().height())));
    // The design is scaled for that screen: the time's 99.75 pt grow with it.
    const auto *time = child<QLabel>(clock, "lblTime");
    const qreal scale = std::min(clock->width() / (orvandel::FittedWidth / 15.0),
                                 clock->height() / (orvandel::FittedHeight / 15.0));
    QCOMPARE(time->font().pixelSize(), qRound(99.75 * 96 / 72 * scale));

    // The secret is for the director's eyes: the pairing window stays on the
    // screen the clock left, never on the one the room sees.
    pairFromTheMenu(clock);
    frmRemote *window = pairingWindow(clock);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(screenName(window), openingOn);
    QVERIFY(screenNamed(openingOn)->availableGeometry().contains(window->geometry()));
}

void TestClockScreens::fullScreenOnTheTv() {
    Blinds *clock = startFromOpening(QStringLiteral("laptop"));
    const QSize maximized = clock->size();
    QTest::keyClick(clock->windowHandle(), Qt::Key_F11);
    TRY_VERIFY(clock->isFullScreen());
    QCOMPARE(screenName(clock), QStringLiteral("tv"));
    TRY_COMPARE(clock->geometry(), screenNamed(QStringLiteral("tv"))->geometry());
    const qreal scale = std::min(clock->width() / (orvandel::FittedWidth / 15.0),
                                 clock->height() / (orvandel::FittedHeight / 15.0));
    QCOMPARE(child<QLabel>(clock, "lblTime")->font().pixelSize(), qRound(99.75 * 96 / 72 * scale));

    QTest::keyClick(clock->windowHandle(), Qt::Key_F11);
    TRY_COMPARE(clock->windowState(), Qt::WindowMaximized);
    QCOMPARE(screenName(clock), QStringLiteral("tv"));
    TRY_COMPARE(clock->size(), maximized);
}

void TestClockScreens::clockScreenRemoved_data() {
    QTest::addColumn<bool>("fullScreen");
    // clang-format off
    QTest::newRow("maximized")   << false;
    QTest::newRow("full screen") << true;
    // clang-format on
}

// The offscreen platform cannot unplug a screen, so the test hands the
// clock's handler of QGuiApplication::screenRemoved the screen it is on,
// as Qt does when the TV's cable is pulled.
void TestClockScreens::clockScreenRemoved() {
    QFETCH(bool, fullScreen);
    Blinds *clock = startFromOpening(QStringLiteral("laptop"));
    if (fullScreen) {
        QTest::keyClick(clock->windowHandle(), Qt::Key_F11);
        TRY_VERIFY(clock->isFullScreen());
    }
    QCOMPARE(screenName(clock), QStringLiteral("tv"));
    clock->screenRemoved(screenNamed(QStringLiteral("tv")));
    TRY_COMPARE(screenName(clock), QStringLiteral("laptop"));
    QScreen *laptop = screenNamed(QStringLiteral("laptop"));
    if (fullScreen) {
        QVERIFY(clock->isFullScreen());
        TRY_COMPARE(clock->geometry(), laptop->geometry());
    } else {
        QCOMPARE(clock->windowState(), Qt::WindowMaximized);
        TRY_VERIFY(fills(clock, laptop->availableGeometry()));
    }
    QVERIFY(clock->isVisible());
    // Still the same running clock.
    clock->Timer1_Timer();
    QCOMPARE(text(clock, "lblTime"), QStringLiteral(" 19:59"));
}

void TestClockScreens::otherScreenRemovedLeavesTheClock() {
    Blinds *clock = startFromOpening(QStringLiteral("laptop"));
    const QRect before = clock->geometry();
    clock->screenRemoved(screenNamed(QStringLiteral("laptop")));
    QCoreApplication::processEvents();
    QCOMPARE(screenName(clock), QStringLiteral("tv"));
    QCOMPARE(clock->geometry(), before);
    QCOMPARE(clock->windowState(), Qt::WindowMaximized);
}

int main(int argc, char *argv[]) {
    // Before the application exists: its platform reads the screens once.
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" ORVANDEL_TWO_SCREENS);
    QApplication app(argc, argv);
    TestClockScreens test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clockscreens.moc"
