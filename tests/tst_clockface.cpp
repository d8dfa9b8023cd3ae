// The clock's face as a value: what it holds against the window it is read
// from, its JSON, when it is published, and the right-click menu that must
// never act as a click.
#include "clocktest.h"
#include "trywait.h"

#include "core/clockface.h"

#include <QAction>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>

using namespace testsupport;

class TestClockFace : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup() { tearDownClock(); }

    void jsonHoldsWhatTheWindowShows_data();
    void jsonHoldsWhatTheWindowShows();
    void publishedOncePerChange();
    void rightClickOnlyOpensTheMenu_data();
    void rightClickOnlyOpensTheMenu();
    void fullScreenActionFollowsF11();
};

void TestClockFace::jsonHoldsWhatTheWindowShows_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("timed");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("pause");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("levelCount");
    QTest::addColumn<bool>("ended");
    const QByteArray example = ExampleTournament;
    // clang-format off
    QTest::newRow("start") << example << false << 0 << false << 1 << 4 << false;
    QTest::newRow("announcing, red") << example << false << 1201 << false << 2 << 4 << false;
    QTest::newRow("paused") << example << false << 5 << true << 1 << 4 << false;
    QTest::newRow("break") << example << false << 2401 << false << 3 << 4 << false;
    QTest::newRow("untimed final, time hidden") << example << false << 3301 << false << 4 << 4 << false;
    QTest::newRow("ended") << example << true << 4801 << false << 5 << 4 << true;
    QTest::newRow("non-ASCII blinds") << QByteArray("2,1\r\n\"\x80" "5\",\"\x80\x31\x30\"\r\n\"$1\",\"$2\"\r\n0,0\r\n")
                                      << false << 0 << false << 1 << 2 << false;
    // clang-format on
}

void TestClockFace::jsonHoldsWhatTheWindowShows() {
    QFETCH(QByteArray, file);
    QFETCH(bool, timed);
    QFETCH(int, ticks);
    QFETCH(bool, pause);
    QFETCH(int, level);
    QFETCH(int, levelCount);
    QFETCH(bool, ended);
    Module1::TimedTournament = timed;
    Blinds *clock = start(file);
    if (pause)
        QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    runUntilStopped(clock, ticks);

    const QJsonObject json = QJsonDocument::fromJson(faceToJson(clock->face())).object();
    QCOMPARE(json[u"level"].toInt(), level);
    QCOMPARE(json[u"levelCount"].toInt(), levelCount);
    QCOMPARE(json[u"paused"].toBool(), pause);
    QCOMPARE(json[u"ended"].toBool(), ended);
    const QJsonObject controls = json[u"controls"].toObject();
    QCOMPARE(controls.size(), 12);
    for (auto it = controls.begin(); it != controls.end(); ++it) {
        const QByteArray name = it.key().toLatin1();
        const QJsonObject control = it.value().toObject();
        QCOMPARE(control[u"text"].toString(), text(clock, name.constData()));
        QCOMPARE(control[u"visible"].toBool(), shown(clock, name.constData()));
        const QColor c = QColor::fromString(control[u"color"].toString());
        QCOMPARE(static_cast<unsigned int>(c.red() | c.green() << 8 | c.blue() << 16),
                 colour(clock, name.constData()));
    }
}

void TestClockFace::publishedOncePerChange() {
    Blinds *clock = start(tournamentFile(3, 2));
    qint64 now = 0;
    clock->setSteadyClock([&now] { return now; });
    QSignalSpy published(clock, &Blinds::faceChanged);

    clock->Timer1_Timer();
    QCOMPARE(published.size(), 1);
    QCOMPARE(published.last().at(0).value<orvandel::ClockFace>(), clock->face());
    QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    QCOMPARE(published.size(), 2);
    QVERIFY(published.last().at(0).value<orvandel::ClockFace>().paused);
    // The pause takes effect on the next tick, which shows "Paused"; a click
    // before it changes nothing.
    QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    QCOMPARE(published.size(), 2);
    clock->Timer1_Timer();
    QCOMPARE(published.size(), 3);
    QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    QCOMPARE(published.size(), 4);
    QVERIFY(!published.last().at(0).value<orvandel::ClockFace>().paused);

    // A laptop that slept through a level change: one face, the one reached.
    now += 150'000;
    clock->Timer1_Elapsed();
    QCOMPARE(published.size(), 5);
    QCOMPARE(published.last().at(0).value<orvandel::ClockFace>().level, 2);
}

void TestClockFace::rightClickOnlyOpensTheMenu_data() {
    QTest::addColumn<QString>("where");
    QTest::newRow("the time") << "lblTime";
    QTest::newRow("the aces") << "Picture1";
    QTest::newRow("a heading") << "Label1";
}

void TestClockFace::rightClickOnlyOpensTheMenu() {
    QFETCH(QString, where);
    Blinds *clock = startShown(ExampleTournament);
    QWidget *control = child(clock, where);
    const orvandel::ClockFace before = clock->face();

    QTest::mouseClick(control, Qt::RightButton);
    QContextMenuEvent menuAsked(QContextMenuEvent::Mouse, control->rect().center(),
                                control->mapToGlobal(control->rect().center()));
    QApplication::sendEvent(control, &menuAsked);

    auto *menu = child<QMenu>(clock, "mnuClock");
    TRY_VERIFY(menu->isVisible());
    menu->close();
    QVERIFY(clock->isVisible());
    QCOMPARE(clock->face(), before); // paused included
}

void TestClockFace::fullScreenActionFollowsF11() {
    Blinds *clock = startShown(ExampleTournament);
    auto *action = child<QAction>(clock, "actFullScreen");
    QVERIFY(!action->isChecked());
    QTest::keyClick(clock, Qt::Key_F11);
    TRY_VERIFY(clock->isFullScreen());
    QVERIFY(action->isChecked());
    action->trigger();
    TRY_VERIFY(!clock->isFullScreen());
    QVERIFY(!action->isChecked());
}

QTEST_MAIN(TestClockFace)
#include "tst_clockface.moc"
