// The clock window's side of the live view: the menu's switches, the server
// they start and stop, the address panel, and the journal that brings the
// view back after a crash.
#include "clocktest.h"
#include "livetest.h"
#include "qrdecode.h"

#include "clock/journalfile.h"
#include "live/liveview.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QJsonDocument>
#include <QMenu>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <vector>

using namespace testsupport;
using namespace livetest;

namespace {

// Consecutive ports free on every address right now, the first `taken` of
// them held by listeners of the test as another program would hold them.
// Tests on this machine run side by side: none assumes a port is free.
struct Ports {
    quint16 first = 0;
    std::vector<std::unique_ptr<QTcpServer>> held;
};

Ports freePorts(int count, int taken) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::Any, 0) || probe.serverPort() > 65535 - count)
            continue;
        Ports ports{probe.serverPort(), {}};
        probe.close();
        for (int i = 0; i < count; ++i) {
            auto server = std::make_unique<QTcpServer>();
            if (!server->listen(QHostAddress::Any, static_cast<quint16>(ports.first + i)))
                break;
            ports.held.push_back(std::move(server));
        }
        if (static_cast<int>(ports.held.size()) < count)
            continue;
        ports.held.resize(static_cast<std::size_t>(taken));
        return ports;
    }
    qFatal("no %d free ports in a row", count);
}

// Whether something answers on the loopback address at `port`.
bool answers(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(5000);
}

QAction *action(const Blinds *clock, const char *name) {
    return child<QAction>(clock, name);
}

LiveView *liveView(const Blinds *clock) {
    return clock->findChild<LiveView *>();
}

bool panelShown(const Blinds *clock) {
    const bool qr = shown(clock, "picLiveQr");
    if (qr != shown(clock, "lblLiveUrl"))
        qFatal("the QR code and the address shown apart");
    return qr;
}

} // namespace

class TestClockLive : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup() { tearDownClock(); }

    void switches_data();
    void switches();
    void viewersSeeWhatTheWindowPublishes_data();
    void viewersSeeWhatTheWindowPublishes();
    void portsTaken_data();
    void portsTaken();
    void panelCoversNothingAndScans_data();
    void panelCoversNothingAndScans();
    void clicksOnThePanelNeverPause_data();
    void clicksOnThePanelNeverPause();
    void journalRemembersTheView_data();
    void journalRemembersTheView();

private:
    // A clock whose live view tries ports of its own.
    Blinds *startLive(const QByteArray &file, const Ports &ports, int range) {
        Blinds *clock = start(file);
        clock->setLivePorts(ports.first, static_cast<quint16>(ports.first + range - 1));
        return clock;
    }
};

void TestClockLive::switches_data() {
    QTest::addColumn<QByteArrayList>("steps"); // the actions triggered, in turn
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("panel");
    // clang-format off
    QTest::newRow("never on") << QByteArrayList{} << false << false;
    QTest::newRow("on") << QByteArrayList{"actLiveView"} << true << true;
    QTest::newRow("on, address hidden") << QByteArrayList{"actLiveView", "actLiveAddress"} << true << false;
    QTest::newRow("address hidden and shown") << QByteArrayList{"actLiveView", "actLiveAddress", "actLiveAddress"} << true << true;
    QTest::newRow("on and off") << QByteArrayList{"actLiveView", "actLiveView"} << false << false;
    QTest::newRow("hidden, off, on: stays hidden") << QByteArrayList{"actLiveView", "actLiveAddress", "actLiveView", "actLiveView"} << true << false;
    QTest::newRow("off, on again") << QByteArrayList{"actLiveView", "actLiveView", "actLiveView"} << true << true;
    // clang-format on
}

void TestClockLive::switches() {
    QFETCH(QByteArrayList, steps);
    QFETCH(bool, running);
    QFETCH(bool, panel);
    const Ports ports = freePorts(3, 0);
    Blinds *clock = startLive(ExampleTournament, ports, 3);
    QVERIFY(action(clock, "actLiveAddress")->isChecked());
    for (const QByteArray &step : steps)
        QVERIFY(answerBoxes([&] { action(clock, step.constData())->trigger(); }).isEmpty());

    QCOMPARE(action(clock, "actLiveView")->isChecked(), running);
    // The address can be hidden only while there is one.
    QCOMPARE(action(clock, "actLiveAddress")->isEnabled(), running);
    QCOMPARE(panelShown(clock), panel);
    LiveView *view = liveView(clock);
    QCOMPARE(view && view->isRunning(), running);
    if (!view)
        return;
    const quint16 port = view->isRunning() ? view->port() : ports.first;
    QCOMPARE(answers(port), running);
    if (running)
        QCOMPARE(text(clock, "lblLiveUrl"), liveUrl(port).toString());
}

void TestClockLive::viewersSeeWhatTheWindowPublishes_data() {
    QTest::addColumn<int>("run"); // ticks after the view is on
    QTest::addColumn<bool>("pause");
    QTest::newRow("at once") << 0 << false;
    QTest::newRow("after a tick") << 1 << false;
    QTest::newRow("after a pause click") << 3 << true;
    QTest::newRow("blinds up") << 1201 << false;
}

void TestClockLive::viewersSeeWhatTheWindowPublishes() {
    QFETCH(int, run);
    QFETCH(bool, pause);
    const Ports ports = freePorts(1, 0);
    Blinds *clock = startLive(ExampleTournament, ports, 1);
    ticks(clock, 2); // before the view: published to nobody
    action(clock, "actLiveView")->trigger();
    Viewer viewer(ports.first);
    QVERIFY(viewer.waitForMessages(1));
    ticks(clock, run);
    if (pause)
        QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);

    const auto now = QJsonDocument::fromJson(orvandel::faceToJson(clock->face()));
    const Answer state = exchange(ports.first, get("/state"));
    QCOMPARE(state.status, 200);
    QCOMPARE(QJsonDocument::fromJson(state.body), now);
    QVERIFY(QTest::qWaitFor(
        [&] { return QJsonDocument::fromJson(viewer.messages.last().toUtf8()) == now; }, 2000));

    // Turned off, the page is told and let go, and nothing answers.
    action(clock, "actLiveView")->trigger();
    QVERIFY(viewer.waitClosed());
    QVERIFY(!answers(ports.first));
}

void TestClockLive::portsTaken_data() {
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("taken");
    QTest::addColumn<bool>("started");
    // clang-format off
    QTest::newRow("the only port taken") << 1 << 1 << false;
    QTest::newRow("every port taken") << 4 << 4 << false;
    QTest::newRow("the first taken: the next one") << 3 << 1 << true;
    QTest::newRow("all but the last taken") << 4 << 3 << true;
    // clang-format on
}

void TestClockLive::portsTaken() {
    QFETCH(int, range);
    QFETCH(int, taken);
    QFETCH(bool, started);
    const Ports ports = freePorts(range, taken);
    Blinds *clock = startLive(ExampleTournament, ports, range);
    const QList<Box> boxes = answerBoxes([clock] { action(clock, "actLiveView")->trigger(); });

    QCOMPARE(action(clock, "actLiveView")->isChecked(), started);
    QCOMPARE(panelShown(clock), started);
    QCOMPARE(action(clock, "actLiveAddress")->isEnabled(), started);
    if (started) {
        QVERIFY(boxes.isEmpty());
        QCOMPARE(liveView(clock)->port(), ports.first + taken);
        return;
    }
    // The director is told why, once, and nothing is left half on.
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    QVERIFY2(boxes[0].text.contains(QString::number(ports.first)), qPrintable(boxes[0].text));
    QVERIFY(!liveView(clock)->isRunning());

    // Once a port is free, the same switch starts it.
    ports.held.front()->close();
    QVERIFY(answerBoxes([clock] { action(clock, "actLiveView")->trigger(); }).isEmpty());
    QVERIFY(liveView(clock)->isRunning());
    QVERIFY(panelShown(clock));
}

void TestClockLive::panelCoversNothingAndScans_data() {
    QTest::addColumn<QSize>("screen");
    // The least share of the screen's height the QR code takes: a fifth on
    // the TVs' 16:9, whose margins it grows into.
    QTest::addColumn<qreal>("share");
    // clang-format off
    QTest::newRow("1920x1080 TV") << QSize(1920, 1080) << 0.2;
    QTest::newRow("1366x768 laptop") << QSize(1366, 768) << 0.2;
    QTest::newRow("3840x2160 TV") << QSize(3840, 2160) << 0.2;
    QTest::newRow("1920x1200 monitor") << QSize(1920, 1200) << 0.125;
    QTest::newRow("4:3 projector") << QSize(1024, 768) << 0.125;
    QTest::newRow("32:9 monitor") << QSize(3840, 1080) << 0.2;
    // clang-format on
}

void TestClockLive::panelCoversNothingAndScans() {
    QFETCH(QSize, screen);
    QFETCH(qreal, share);
    // Blinds as wide as a label takes them, next to the widest heading.
    const QByteArray wide = "\"$1,000,000\",\"$2,000,000\"\r\n";
    Blinds *clock = start("3,1\r\n" + wide + wide + wide + "0,0\r\n");
    const Ports ports = freePorts(1, 0);
    clock->setLivePorts(ports.first, ports.first);
    clock->setWindowState(Qt::WindowNoState);
    clock->show();
    clock->resize(screen);
    QVERIFY(QTest::qWaitForWindowExposed(clock));
    ticks(clock, 61); // "Blinds Have Increased!!!"
    QCOMPARE(text(clock, "Label1"), QStringLiteral("Blinds Have Increased!!!"));
    QVERIFY(answerBoxes([clock] { action(clock, "actLiveView")->trigger(); }).isEmpty());

    const auto *qr = child<QLabel>(clock, "picLiveQr");
    const auto *url = child<QLabel>(clock, "lblLiveUrl");
    // The room's screens mirror the clock, not its address.
    QVERIFY(!clock->face().control(u"lblLiveUrl") && !clock->face().control(u"picLiveQr"));
    const QRect panel = qr->geometry() | url->geometry();
    QVERIFY(clock->rect().contains(panel));
    for (const orvandel::FaceControl &control : clock->face().controls) {
        const QRect label = child(clock, control.name)->geometry();
        QVERIFY2(!label.intersects(panel), qPrintable(control.name));
    }
    for (const char *other : {"Picture1", "Line1"})
        QVERIFY2(!child(clock, other)->geometry().intersects(panel), other);
    QCOMPARE(qr->width(), qr->height());
    QVERIFY2(qr->height() >= share * screen.height(), qPrintable(QString::number(qr->height())));
    QVERIFY(QFontMetrics(url->font()).horizontalAdvance(url->text()) <= url->width());

    if (!haveQrDecoder())
        QSKIP("zbarimg (zbar-tools) is not installed");
    // As the screen shows it, the code reads back as the address beside it.
    const QImage drawn = clock->grab(qr->geometry()).toImage();
    QCOMPARE(decodeQr(drawn), std::optional<QByteArray>(url->text().toUtf8() + '\n'));
}

void TestClockLive::clicksOnThePanelNeverPause_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("the code, right") << "picLiveQr" << Qt::RightButton;
    QTest::newRow("the address, right") << "lblLiveUrl" << Qt::RightButton;
    QTest::newRow("the code, left") << "picLiveQr" << Qt::LeftButton;
    QTest::newRow("the address, left") << "lblLiveUrl" << Qt::LeftButton;
}

void TestClockLive::clicksOnThePanelNeverPause() {
    QFETCH(QString, where);
    QFETCH(Qt::MouseButton, button);
    const Ports ports = freePorts(1, 0);
    Blinds *clock = startShown(ExampleTournament);
    clock->setLivePorts(ports.first, ports.first);
    action(clock, "actLiveView")->trigger();
    QWidget *control = child(clock, where);
    QVERIFY(control->isVisible());
    const orvandel::ClockFace before = clock->face();

    QTest::mouseClick(control, button);
    if (button == Qt::RightButton) {
        QContextMenuEvent menuAsked(QContextMenuEvent::Mouse, control->rect().center(),
                                    control->mapToGlobal(control->rect().center()));
        QApplication::sendEvent(control, &menuAsked);
        auto *menu = child<QMenu>(clock, "mnuClock");
        QTRY_VERIFY(menu->isVisible());
        menu->close();
    }
    ticks(clock, 1);
    QCOMPARE(child<QPushButton>(clock, "cmdPause")->text(), QStringLiteral("Pause"));
    QVERIFY(timer(clock)->isActive());
    QCOMPARE(clock->face().remainingMs, before.remainingMs - 1000);
    QVERIFY(liveView(clock)->isRunning());
}

void TestClockLive::journalRemembersTheView_data() {
    QTest::addColumn<bool>("on");        // the view, when the clock stopped
    QTest::addColumn<bool>("portsFree"); // when the clock is brought back
    QTest::newRow("off") << false << true;
    QTest::newRow("on") << true << true;
    QTest::newRow("on, no port now") << true << false;
}

void TestClockLive::journalRemembersTheView() {
    QFETCH(bool, on);
    QFETCH(bool, portsFree);
    const Ports ports = freePorts(2, 0);
    Blinds *clock = startLive(ExampleTournament, ports, 1);
    clock->setSteadyClock([] { return qint64{0}; });
    orvandel::JournalEntry entry;
    // Turned on and off again on the way: the journal follows the switch.
    for (bool view : {true, false, on}) {
        if (view != action(clock, "actLiveView")->isChecked())
            action(clock, "actLiveView")->trigger();
        clock->Timer1_Elapsed();
        const orvandel::JournalRead read =
            orvandel::readJournal(orvandel::journalPathForCurrentFolder());
        QCOMPARE(read.error, orvandel::JournalError::None);
        QCOMPARE(read.entry.liveView, view);
        entry = read.entry;
    }

    // The program started afresh after a crash: the old clock's port free,
    // or held still (by the old clock, standing in for another program).
    const quint16 port = portsFree ? ports.first + 1 : ports.first;
    auto restored = std::make_unique<Blinds>();
    restored->setLivePorts(port, port);
    const QList<Box> boxes = answerBoxes([&] { restored->restore(entry); });
    const bool running = on && portsFree;
    QCOMPARE(action(restored.get(), "actLiveView")->isChecked(), running);
    QCOMPARE(panelShown(restored.get()), running);
    QCOMPARE(boxes.size(), on && !portsFree ? 1 : 0);
    if (running)
        QCOMPARE(text(restored.get(), "lblLiveUrl"), liveUrl(port).toString());
    // Standing there, the journal says what the room sees now.
    QCOMPARE(orvandel::readJournal(orvandel::journalPathForCurrentFolder()).entry.liveView,
             running);
}

QTEST_MAIN(TestClockLive)
#include "tst_clocklive.moc"
