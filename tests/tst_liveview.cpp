// The live view's server against real clients on loopback: what it serves,
// what it pushes, every limit that keeps it from being hurt, and turning off.
#include "clientframe.h"
#include "livetest.h"
#include "trywait.h"

#include "core/clockface.h"

#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <memory>
#include <vector>

using namespace livetest;
using orvandel::ClockFace;
using testsupport::clientFrame;

namespace {

ClockFace faceShowing(const QString &time, const QColor &colour = Qt::yellow) {
    ClockFace face;
    face.controls = {{QStringLiteral("lblTime"), time, colour, true},
                     {QStringLiteral("lblCurrentSmall"), QStringLiteral("$10"), Qt::cyan, true}};
    face.level = 1;
    face.levelCount = 4;
    face.remainingMs = 1'199'000;
    return face;
}

// A WebSocket upgrade made by hand, by a client that then never answers.
const QByteArray HandMadeUpgrade = "GET /live HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                   "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                                   "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                                   "Sec-WebSocket-Version: 13\r\n\r\n";

} // namespace

class TestLiveView : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_view.reset(); }

    void servesThePageAndTheFace_data();
    void servesThePageAndTheFace();
    void refusesWhatItDoesNotServe_data();
    void refusesWhatItDoesNotServe();
    void pushesEveryChangeOnce();
    void heartbeatWhileNothingChanges();
    void slowRequestClosedViewerKept();
    void viewerLimits_data();
    void viewerLimits();
    void hostileViewers_data();
    void hostileViewers();
    void halfOpenConnectionsNeverLockViewersOut();
    void viewerBeyondTheLimitRefused();
    void turningOffTellsEveryPage();

private:
    void startWith(const LiveLimits &limits) {
        m_view = std::make_unique<LiveView>();
        m_view->setLimits(limits);
        m_view->publish(faceShowing(QStringLiteral("20:00")));
        m_port = startOnFreePorts(*m_view);
    }

    std::unique_ptr<LiveView> m_view;
    quint16 m_port = 0;
};

void TestLiveView::init() {
    startWith({});
}

void TestLiveView::servesThePageAndTheFace_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("contains");
    const QByteArray json = orvandel::faceToJson(faceShowing(QStringLiteral("20:00")));
    // clang-format off
    QTest::newRow("page") << "127.0.0.1" << "/" << QByteArray("text/html") << QByteArray("/live.js");
    QTest::newRow("script") << "127.0.0.1" << "/live.js" << QByteArray("text/javascript") << QByteArray("WebSocket");
    QTest::newRow("style") << "127.0.0.1" << "/live.css" << QByteArray("text/css") << QByteArray("#0000ff");
    QTest::newRow("face") << "127.0.0.1" << "/state" << QByteArray("application/json") << json;
    if (QNetworkInterface::allAddresses().contains(QHostAddress::LocalHostIPv6))
        QTest::newRow("face over IPv6") << "[::1]" << "/state" << QByteArray("application/json") << json;
    // clang-format on
}

void TestLiveView::servesThePageAndTheFace() {
    QFETCH(QString, host);
    QFETCH(QString, path);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, contains);
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    const QUrl url(QStringLiteral("http://%1:%2%3").arg(host).arg(m_port).arg(path));
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(url)));
    TRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QVERIFY(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray().startsWith(type));
    const QByteArray body = reply->readAll();
    QVERIFY2(body.contains(contains), body.left(200).constData());
    QCOMPARE(reply->rawHeader("Cache-Control"), QByteArray("no-store"));
    QCOMPARE(reply->rawHeader("X-Content-Type-Options"), QByteArray("nosniff"));
    QVERIFY(reply->rawHeader("Content-Security-Policy").contains("connect-src 'self' ws://"));
}

void TestLiveView::refusesWhatItDoesNotServe_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    // clang-format off
    QTest::newRow("POST") << QByteArray("POST /state HTTP/1.1\r\nHost: a\r\nContent-Length: 4\r\n\r\nplay") << 405;
    QTest::newRow("PUT") << QByteArray("PUT / HTTP/1.1\r\nHost: a\r\nContent-Length: 0\r\n\r\n") << 405;
    QTest::newRow("HEAD") << QByteArray("HEAD / HTTP/1.1\r\nHost: a\r\n\r\n") << 405;
    QTest::newRow("up and out") << get("/../blinds.dat") << 404;
    QTest::newRow("encoded dots") << get("/%2e%2e/blinds.dat") << 404;
    QTest::newRow("encoded dots and slash") << get("/%2e%2e%2fblinds.dat") << 404;
    QTest::newRow("double slash") << get("//etc/passwd") << 404;
    QTest::newRow("a file next to the program") << get("/blinds.dat") << 404;
    QTest::newRow("live without the upgrade") << get("/live") << 404;
    QTest::newRow("GET with a body") << QByteArray("GET / HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc") << 400;
    QTest::newRow("absolute form") << get("http://elsewhere/state") << 400;
    QTest::newRow("9 KiB head") << "GET / HTTP/1.1\r\nX-Pad: " + QByteArray(qsizetype{9} * 1024, 'a') + "\r\n\r\n" << 431;
    QTest::newRow("9 KiB without an end") << QByteArray(qsizetype{9} * 1024, 'a') << 431;
    // clang-format on
}

void TestLiveView::refusesWhatItDoesNotServe() {
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    const Answer answer = exchange(m_port, request);
    QCOMPARE(answer.status, status);
    QVERIFY(answer.closed);
    QCOMPARE(answer.headers.value("cache-control"), QByteArray("no-store"));
    QCOMPARE(answer.headers.value("x-content-type-options"), QByteArray("nosniff"));
    QVERIFY(answer.headers.value("content-security-policy").startsWith("default-src 'none'"));
    QVERIFY(!answer.body.contains("20:00")); // nothing served
}

void TestLiveView::pushesEveryChangeOnce() {
    Client viewer(m_port);
    QVERIFY(viewer.waitForMessages(1));
    QCOMPARE(viewer.messages[0].toUtf8(),
             orvandel::faceToJson(faceShowing(QStringLiteral("20:00"))));

    m_view->publish(faceShowing(QStringLiteral("19:59")));
    m_view->publish(faceShowing(QStringLiteral("19:59"))); // the same again: nothing sent
    m_view->publish(faceShowing(QStringLiteral("19:59"), Qt::red));
    QVERIFY(viewer.waitForMessages(3));
    QTest::qWait(100);
    QCOMPARE(viewer.messages.size(), 3);
    QCOMPARE(viewer.messages[1].toUtf8(),
             orvandel::faceToJson(faceShowing(QStringLiteral("19:59"))));
    QVERIFY(viewer.messages[2].contains(QStringLiteral("#ff0000")));
    QCOMPARE(exchange(m_port, get("/state")).body, viewer.messages[2].toUtf8());
}

void TestLiveView::heartbeatWhileNothingChanges() {
    LiveLimits limits;
    limits.heartbeat = std::chrono::milliseconds(200);
    startWith(limits);
    Client viewer(m_port);
    QVERIFY(viewer.waitForMessages(6, 3000));
    for (qsizetype i = 1; i < viewer.arrivals.size(); ++i) {
        QCOMPARE_LE(viewer.arrivals[i] - viewer.arrivals[i - 1], 200 + 100);
        QCOMPARE(viewer.messages[i], viewer.messages[0]);
    }
}

void TestLiveView::slowRequestClosedViewerKept() {
    LiveLimits limits;
    limits.requestTimeout = std::chrono::milliseconds(300);
    startWith(limits);
    Client viewer(m_port);
    QVERIFY(viewer.waitForMessages(1));
    QTcpSocket slow;
    QElapsedTimer elapsed;
    elapsed.start();
    slow.connectToHost(QHostAddress::LocalHost, m_port);
    slow.write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    QVERIFY(waitClosed(slow, 3000));
    QCOMPARE_GE(elapsed.elapsed(), 250);
    QVERIFY(viewer.isOpen());
    QCOMPARE(m_view->viewerCount(), 1);
}

void TestLiveView::viewerLimits_data() {
    QTest::addColumn<QList<int>>("messageSizes");
    QTest::addColumn<bool>("answersPings");
    QTest::addColumn<bool>("closed");
    QTest::newRow("quiet") << QList<int>{} << true << false;
    // A client's frame of 126 bytes or more adds 8 of its own.
    QTest::newRow("1 KiB in all") << QList<int>{400, 400, 200} << true << false;
    QTest::newRow("a byte more") << QList<int>{400, 400, 201} << true << true;
    QTest::newRow("one large message") << QList<int>{5000} << true << true;
    QTest::newRow("deaf to pings") << QList<int>{} << false << true;
}

void TestLiveView::viewerLimits() {
    QFETCH(QList<int>, messageSizes);
    QFETCH(bool, answersPings);
    QFETCH(bool, closed);
    LiveLimits limits;
    limits.heartbeat = std::chrono::milliseconds(100);
    limits.pongTimeout = std::chrono::milliseconds(400);
    startWith(limits);
    const ClockFace before = faceShowing(QStringLiteral("20:00"));

    if (!answersPings) {
        const Answer answer = exchange(m_port, HandMadeUpgrade);
        QVERIFY(answer.closed);
        QCOMPARE(answer.status, 101);
        return;
    }
    Client viewer(m_port);
    QVERIFY(viewer.waitForMessages(1));
    for (const int size : messageSizes)
        viewer.socket.sendTextMessage(QString(size, QLatin1Char('p')));
    // Long past the pong timeout: a viewer that keeps its side stays.
    QCOMPARE(viewer.waitClosed(1000), closed);
    QCOMPARE(m_view->viewerCount(), closed ? 0 : 1);
    QCOMPARE(exchange(m_port, get("/state")).body, orvandel::faceToJson(before));
}

void TestLiveView::hostileViewers_data() {
    QTest::addColumn<QByteArray>("sent"); // frames, once the WebSocket is open
    QTest::addColumn<bool>("reads");
    QTest::addColumn<int>("faces"); // of 60 kB each, published meanwhile
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("taken"); // presses
    const QByteArray ping = clientFrame(0x9, {});
    const QByteArray pong = clientFrame(0xa, {});
    const QByteArray pause = press("pause", "k3y").toUtf8();
    // clang-format off
    QTest::newRow("pings within the allowance") << ping.repeated(100) << true << 0 << false << 0;
    QTest::newRow("a ping flood, never read") << ping.repeated(100'000) << false << 0 << true << 0;
    QTest::newRow("unasked pongs within the allowance") << pong.repeated(100) << true << 0 << false << 0;
    QTest::newRow("unasked pongs past it, never read") << pong.repeated(200) << false << 0 << true << 0;
    QTest::newRow("a press") << clientFrame(0x1, pause) << true << 0 << false << 1;
    QTest::newRow("a press without the mask") << clientFrame(0x1, pause, false) << true << 0 << true << 0;
    QTest::newRow("a ping without the mask") << clientFrame(0x9, {}, false) << true << 0 << true << 0;
    QTest::newRow("reads every face") << QByteArray() << true << 300 << false << 0;
    QTest::newRow("never reads") << QByteArray() << false << 1000 << true << 0;
    // clang-format on
}

void TestLiveView::hostileViewers() {
    QFETCH(QByteArray, sent);
    QFETCH(bool, reads);
    QFETCH(int, faces);
    QFETCH(bool, closed);
    QFETCH(int, taken);
    LiveLimits limits;
    limits.pongTimeout = std::chrono::minutes(10); // none is closed for its silence
    startWith(limits);
    m_view->setControlKey("k3y");
    QSignalSpy presses(m_view.get(), &LiveView::controlRequested);

    QTcpSocket client;
    QByteArray heard;
    client.connectToHost(QHostAddress::LocalHost, m_port);
    client.write(
        QByteArray(HandMadeUpgrade).replace("\r\n\r\n", "\r\nOrigin: http://127.0.0.1\r\n\r\n"));
    QVERIFY(QTest::qWaitFor([&] {
        heard += client.readAll();
        return heard.contains("\r\n\r\n");
    }));
    QVERIFY(heard.startsWith("HTTP/1.1 101 "));
    if (reads)
        QObject::connect(&client, &QTcpSocket::readyRead, [&] { client.readAll(); });
    else
        client.setReadBufferSize(1);
    client.write(sent);
    for (int i = 0; i < faces && m_view->viewerCount() == 1; ++i) {
        m_view->publish(faceShowing(QString(60'000, QLatin1Char(static_cast<char>('0' + i % 10)))));
        QCoreApplication::processEvents();
    }
    if (closed) {
        TRY_COMPARE(m_view->viewerCount(), 0);
    } else {
        QTest::qWait(300);
        QCOMPARE(m_view->viewerCount(), 1);
    }
    QCOMPARE(presses.count(), taken);
}

void TestLiveView::halfOpenConnectionsNeverLockViewersOut() {
    std::vector<std::unique_ptr<QTcpSocket>> halfOpen;
    for (int i = 0; i < 300; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, m_port);
        socket->write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        halfOpen.push_back(std::move(socket));
        // Taken by the server one by one, so that "oldest" means something.
        QTest::qWait(1);
    }
    auto gone = [](const auto &s) { return s->state() == QAbstractSocket::UnconnectedState; };
    auto closedCount = [&] { return std::count_if(halfOpen.begin(), halfOpen.end(), gone); };
    TRY_VERIFY(closedCount() >= 44);

    QElapsedTimer served;
    served.start();
    const Answer page = exchange(m_port, get("/"));
    QCOMPARE(page.status, 200);
    Client viewer(m_port);
    QVERIFY(viewer.waitForMessages(1));
    QCOMPARE_LT(served.elapsed(), 1000);
    // The oldest went first.
    const auto closed = closedCount();
    QCOMPARE_GE(closed, 45);
    for (qsizetype i = 0; i < closed; ++i)
        QVERIFY(gone(halfOpen[static_cast<std::size_t>(i)]));
}

void TestLiveView::viewerBeyondTheLimitRefused() {
    std::vector<std::unique_ptr<Client>> viewers;
    viewers.reserve(256);
    for (int i = 0; i < 256; ++i)
        viewers.push_back(std::make_unique<Client>(m_port));
    TRY_COMPARE_WITH_TIMEOUT(m_view->viewerCount(), 256, std::chrono::seconds(20));
    Client refused(m_port);
    QVERIFY(refused.waitClosed());
    QVERIFY(refused.messages.isEmpty());
    QCOMPARE(m_view->viewerCount(), 256);

    // One leaves: there is room again.
    viewers.pop_back();
    TRY_COMPARE(m_view->viewerCount(), 255);
    Client next(m_port);
    QVERIFY(next.waitForMessages(1));
}

void TestLiveView::turningOffTellsEveryPage() {
    Client first(m_port);
    Client second(m_port);
    QVERIFY(first.waitForMessages(1) && second.waitForMessages(1));
    m_view->stop();
    QVERIFY(!m_view->isRunning());
    QCOMPARE(m_view->port(), quint16(0));
    for (Client *viewer : {&first, &second}) {
        QVERIFY(viewer->waitClosed());
        QCOMPARE(viewer->messages.last(), QStringLiteral(R"({"shared":false})"));
    }
    QTcpSocket late;
    late.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(waitClosed(late));
    QCOMPARE(late.error(), QAbstractSocket::ConnectionRefusedError);

    // And on again, with the face published meanwhile.
    m_view->publish(faceShowing(QStringLiteral("18:00")));
    m_port = startOnFreePorts(*m_view);
    Client again(m_port);
    QVERIFY(again.waitForMessages(1));
    QVERIFY(again.messages[0].contains(QStringLiteral("18:00")));
}

QTEST_MAIN(TestLiveView)
#include "tst_liveview.moc"
