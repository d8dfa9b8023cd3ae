// The live view fed by a real clock window through its faceChanged(): what a
// viewer is told is what the window shows, whatever the viewer says.
#include "clocktest.h"
#include "livetest.h"
#include "trywait.h"

using namespace testsupport;
using namespace livetest;

class TestLiveClock : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup() {
        m_view.reset();
        tearDownClock();
    }

    void viewersSeeTheWindow_data();
    void viewersSeeTheWindow();

private:
    Blinds *startFeeding(const QByteArray &file) {
        Blinds *clock = start(file);
        m_view = std::make_unique<LiveView>();
        m_view->publish(clock->face());
        connect(clock, &Blinds::faceChanged, m_view.get(), &LiveView::publish);
        m_port = startOnFreePorts(*m_view);
        return clock;
    }

    std::unique_ptr<LiveView> m_view;
    quint16 m_port = 0;
};

void TestLiveClock::viewersSeeTheWindow_data() {
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("pause");
    QTest::addColumn<QString>("time");
    QTest::newRow("a tick") << 1 << false << " 19:59";
    QTest::newRow("a pause click") << 3 << true << "Paused";
    QTest::newRow("blinds up, flashing") << 1201 << false << " 19:59";
    QTest::newRow("ended") << 4801 << false << "Ended!";
}

void TestLiveClock::viewersSeeTheWindow() {
    QFETCH(int, ticks);
    QFETCH(bool, pause);
    QFETCH(QString, time);
    Module1::TimedTournament = true;
    Blinds *clock = startFeeding(ExampleTournament);
    Client viewer(m_port);
    QVERIFY(viewer.waitForMessages(1));
    // Nothing a viewer sends touches the clock.
    for (const char *said : {"pause", R"({"paused":true})", "Resume"})
        viewer.socket.sendTextMessage(QString::fromLatin1(said));
    QTest::qWait(50);
    runUntilStopped(clock, ticks);
    if (pause) {
        QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
        clock->Timer1_Timer(); // the paused tick shows it
    }
    QCOMPARE(text(clock, "lblTime"), time);

    // The window's face, whose JSON holds what its labels show (see
    // tst_clockface), is what the view serves.
    const Answer state = exchange(m_port, get("/state"));
    QCOMPARE(state.status, 200);
    QCOMPARE(state.body, orvandel::faceToJson(clock->face()));
    // The viewer was told as soon as it changed.
    TRY_COMPARE_WITH_TIMEOUT(viewer.messages.last().toUtf8(), state.body, std::chrono::seconds(2));
}

QTEST_MAIN(TestLiveClock)
#include "tst_liveclock.moc"
