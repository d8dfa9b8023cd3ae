// The clock window's side of the live view: its switches and the server they
// start, the address panel and its QR code read back by a real decoder, and
// the journal that turns the view on again after a crash.
#include "clocktest.h"
#include "livetest.h"
#include "qrdecode.h"
#include "trywait.h"

#include "core/journalfile.h"
#include "core/roundsjson.h"
#include "live/qrcode.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QJsonDocument>
#include <QMenu>

using namespace testsupport;
using namespace livetest;

namespace {

QList<Box> trigger(const Blinds *clock, const char *action) {
    return answerBoxes([&] { child<QAction>(clock, action)->trigger(); });
}

bool checked(const Blinds *clock, const char *action) {
    return child<QAction>(clock, action)->isChecked();
}

QJsonDocument json(const QByteArray &bytes) {
    return QJsonDocument::fromJson(bytes);
}

} // namespace

class TestClockLive : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup() { tearDownClock(); }

    void switches_data();
    void switches();
    void portsTaken_data();
    void portsTaken();
    void panelCoversNothingAndScans_data();
    void panelCoversNothingAndScans();
    void qrCode_data();
    void qrCode();
    void journalTurnsTheViewOnAgain_data();
    void journalTurnsTheViewOnAgain();
};

void TestClockLive::switches_data() {
    QTest::addColumn<QByteArrayList>("steps"); // the actions triggered, in turn
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("panel");
    const QByteArray view = "actLiveView", address = "actLiveAddress";
    QTest::newRow("on") << QByteArrayList{view} << true << true;
    QTest::newRow("address hidden") << QByteArrayList{view, address} << true << false;
    QTest::newRow("hidden, shown") << QByteArrayList{view, address, address} << true << true;
    QTest::newRow("off") << QByteArrayList{view, view} << false << false;
    QTest::newRow("hidden stays hidden")
        << QByteArrayList{view, address, view, view} << true << false;
}

void TestClockLive::switches() {
    QFETCH(QByteArrayList, steps);
    QFETCH(bool, running);
    QFETCH(bool, panel);
    const Ports ports = freePorts(1, 0);
    Blinds *clock = start(ExampleTournament);
    liveShare(clock)->setPorts(ports.first, ports.first);
    ticks(clock, 2);
    for (const QByteArray &step : steps)
        QVERIFY(trigger(clock, step.constData()).isEmpty());

    QCOMPARE(checked(clock, "actLiveView"), running);
    QCOMPARE(child<QAction>(clock, "actLiveAddress")->isEnabled(), running);
    QCOMPARE(shown(clock, "picLiveQr"), panel);
    QCOMPARE(shown(clock, "lblLiveUrl"), panel);
    const Answer state = exchange(ports.first, get("/state"));
    QCOMPARE(state.status == 200, running);
    if (!running)
        return;
    // The face of the moment the view started, then each change.
    QCOMPARE(json(state.body), json(orvandel::faceToJson(clock->face())));
    // The rounds of the blinds.dat the clock runs, kept while the view was off.
    const Answer rounds = exchange(ports.first, get("/structure"));
    QCOMPARE(rounds.headers.value("content-type"), QByteArray("application/json"));
    QCOMPARE(rounds.body,
             orvandel::roundsToJson(orvandel::parseTournament(ExampleTournament).tournament));
    QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    QCOMPARE(json(exchange(ports.first, get("/state")).body),
             json(orvandel::faceToJson(clock->face())));
}

void TestClockLive::portsTaken_data() {
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("taken");
    QTest::newRow("the only port taken") << 1 << 1;
    QTest::newRow("every port taken") << 3 << 3;
    QTest::newRow("the first taken: the next one") << 3 << 1;
    QTest::newRow("two taken: the third") << 3 << 2;
}

void TestClockLive::portsTaken() {
    QFETCH(int, range);
    QFETCH(int, taken);
    const Ports ports = freePorts(range, taken);
    Blinds *clock = start(ExampleTournament);
    liveShare(clock)->setPorts(ports.first, static_cast<quint16>(ports.first + range - 1));
    const QList<Box> boxes = trigger(clock, "actLiveView");
    const bool started = taken < range;
    QCOMPARE(checked(clock, "actLiveView"), started);
    QCOMPARE(shown(clock, "picLiveQr"), started);
    QCOMPARE(boxes.size(), started ? 0 : 1);
    if (started)
        QCOMPARE(text(clock, "lblLiveUrl"),
                 liveUrl(static_cast<quint16>(ports.first + taken)).toString());
    else
        QVERIFY(boxes[0].icon == QMessageBox::Warning &&
                boxes[0].text.contains(QString::number(ports.first)));
}

void TestClockLive::panelCoversNothingAndScans_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<qreal>("share"); // the least of the height the code takes
    QTest::newRow("1920x1080 TV") << QSize(1920, 1080) << 0.2;
    QTest::newRow("1366x768 laptop") << QSize(1366, 768) << 0.2;
    QTest::newRow("4:3 projector") << QSize(1024, 768) << 0.125;
}

void TestClockLive::panelCoversNothingAndScans() {
    QFETCH(QSize, screen);
    QFETCH(qreal, share);
    // Blinds as wide as their labels, beside "Blinds Have Increased!!!".
    const QByteArray wide = "\"$1,000,000\",\"$2,000,000\"\r\n";
    Blinds *clock = start("3,1\r\n" + wide + wide + wide + "0,0\r\n");
    const Ports ports = freePorts(1, 0);
    liveShare(clock)->setPorts(ports.first, ports.first);
    clock->setWindowState(Qt::WindowNoState);
    clock->show();
    clock->resize(screen);
    QVERIFY(QTest::qWaitForWindowExposed(clock));
    ticks(clock, 61);
    QVERIFY(trigger(clock, "actLiveView").isEmpty());

    auto *qr = child<QLabel>(clock, "picLiveQr");
    const auto *url = child<QLabel>(clock, "lblLiveUrl");
    const QRect panel = qr->geometry() | url->geometry();
    QVERIFY(clock->rect().contains(panel));
    for (const orvandel::FaceControl &control : clock->face().controls)
        QVERIFY2(!child(clock, control.name)->geometry().intersects(panel),
                 qPrintable(control.name));
    QVERIFY(qr->width() == qr->height() && qr->height() >= share * screen.height());
    QVERIFY(QFontMetrics(url->font()).horizontalAdvance(url->text()) <= url->width());

    // Clicks on the panel, the right button's menu included, never pause.
    const orvandel::ClockFace before = clock->face();
    QTest::mouseClick(qr, Qt::LeftButton);
    QContextMenuEvent asked(QContextMenuEvent::Mouse, QPoint(1, 1), qr->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(qr, &asked);
    TRY_VERIFY(child<QMenu>(clock, "mnuClock")->isVisible());
    child<QMenu>(clock, "mnuClock")->close();
    QCOMPARE(clock->face(), before);

    if (!haveQrDecoder())
        QSKIP("zbarimg (zbar-tools) is not installed");
    QCOMPARE(decodeQr(clock->grab(qr->geometry()).toImage()), url->text().toUtf8());
}

void TestClockLive::qrCode_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("encoded");
    QTest::newRow("the longest address") << QByteArray("http://255.255.255.255:8108/") << true;
    QTest::newRow("nothing") << QByteArray() << false;
    QTest::newRow("a NUL byte") << QByteArray("http://a/\0b", 11) << false;
    QTest::newRow("beyond any code") << QByteArray(2400, 'x') << false;
}

void TestClockLive::qrCode() {
    QFETCH(QByteArray, text);
    QFETCH(bool, encoded);
    const QImage code = orvandel::qrImage(text);
    QCOMPARE(!code.isNull(), encoded);
    if (encoded && haveQrDecoder())
        QCOMPARE(decodeQr(code.scaled(code.size() * 4)), text);
}

void TestClockLive::journalTurnsTheViewOnAgain_data() {
    QTest::addColumn<int>("switched");  // how often the view was switched
    QTest::addColumn<bool>("portFree"); // when the clock is brought back
    QTest::newRow("never on") << 0 << true;
    QTest::newRow("on") << 1 << true;
    QTest::newRow("on, then off") << 2 << true;
    QTest::newRow("on, no port now") << 1 << false;
}

void TestClockLive::journalTurnsTheViewOnAgain() {
    QFETCH(int, switched);
    QFETCH(bool, portFree);
    const bool on = switched % 2 == 1;
    const Ports ports = freePorts(2, 0);
    Blinds *clock = start(ExampleTournament);
    liveShare(clock)->setPorts(ports.first, ports.first);
    clock->setSteadyClock([] { return qint64{0}; });
    for (int n = 0; n < switched; ++n)
        trigger(clock, "actLiveView");
    clock->Timer1_Elapsed();
    const orvandel::JournalRead read =
        orvandel::readJournal(orvandel::journalPathForCurrentFolder());
    QCOMPARE(read.entry.liveView, on);

    // Started afresh after a crash: the old port free, or still held (by the
    // old clock, as another program would hold it).
    const auto port = static_cast<quint16>(portFree ? ports.first + 1 : ports.first);
    auto restored = std::unique_ptr<Blinds>(orvandel::openClock());
    liveShare(restored.get())->setPorts(port, port);
    const QList<Box> boxes =
        answerBoxes([&] { orvandel::resumeClock(restored.get(), read.entry); });
    QCOMPARE(checked(restored.get(), "actLiveView"), on && portFree);
    QCOMPARE(boxes.size(), on && !portFree ? 1 : 0);
    QCOMPARE(orvandel::readJournal(orvandel::journalPathForCurrentFolder()).entry.liveView,
             on && portFree);
}

QTEST_MAIN(TestClockLive)
#include "tst_clocklive.moc"
