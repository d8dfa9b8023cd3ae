// What the live view reads of a request before Qt's server does: where its
// head ends, what becomes of it, the path it names and the policy its answer
// carries; and of a viewer's frames before Qt's WebSocket does.
#include "clientframe.h"
#include "live/clientframes.h"
#include "live/requesthead.h"

#include <QTest>

using namespace orvandel::live;
using testsupport::clientFrame;
using State = HeadScan::State;
using Kind = Admission::Kind;

Q_DECLARE_METATYPE(HeadScan::State)
Q_DECLARE_METATYPE(Admission::Kind)
Q_DECLARE_METATYPE(Resource)

class TestRequestHead : public QObject {
    Q_OBJECT

private slots:
    void headEnds_data();
    void headEnds();
    void admission_data();
    void admission();
    void servedPaths_data();
    void servedPaths();
    void policyNamesOnlyAPlainHost_data();
    void policyNamesOnlyAPlainHost();
    void clientFrames_data();
    void clientFrames();
    void clientFrameBytesAsSent_data();
    void clientFrameBytesAsSent();
};

namespace {

// A head of exactly `size` bytes, its empty line included.
QByteArray headOfSize(qsizetype size) {
    QByteArray head = "GET / HTTP/1.1\r\nX-Pad: ";
    head += QByteArray(size - head.size() - 4, 'a');
    return head + "\r\n\r\n";
}

} // namespace

void TestRequestHead::headEnds_data() {
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<State>("state");
    QTest::addColumn<qsizetype>("length");
    const QByteArray head = "GET / HTTP/1.1\r\nHost: a\r\n\r\n";
    // clang-format off
    QTest::newRow("CRLF") << head + "body" << State::Complete << head.size();
    QTest::newRow("bare LF") << QByteArray("GET / HTTP/1.1\nHost: a\n\nx") << State::Complete << qsizetype(24);
    QTest::newRow("LF then CRLF") << QByteArray("GET / HTTP/1.1\n\r\n") << State::Complete << qsizetype(17);
    QTest::newRow("half a head") << head.first(20) << State::Incomplete << qsizetype(0);
    QTest::newRow("CR alone is no line") << QByteArray("GET / HTTP/1.1\r\r\r\r") << State::Incomplete << qsizetype(0);
    QTest::newRow("exactly 8 KiB") << headOfSize(8192) << State::Complete << qsizetype(8192);
    QTest::newRow("a byte over") << headOfSize(8193) << State::TooLarge << qsizetype(0);
    QTest::newRow("no end past the limit") << QByteArray(8193, 'a') << State::TooLarge << qsizetype(0);
    QTest::newRow("no end up to the limit") << QByteArray(8192, 'a') << State::Incomplete << qsizetype(0);
    // clang-format on
}

void TestRequestHead::headEnds() {
    QFETCH(QByteArray, received);
    QFETCH(State, state);
    QFETCH(qsizetype, length);
    const HeadScan whole = scanHead(received, 0, 8192);
    QCOMPARE(whole.state, state);
    QCOMPARE(whole.length, length);

    // Arriving a byte at a time, each scan resuming the last, it ends at the
    // same place, an end split across two arrivals included.
    HeadScan scan;
    qsizetype arrived = 0;
    while (scan.state == State::Incomplete && arrived < received.size())
        scan = scanHead(QByteArrayView(received).first(++arrived), scan.resume, 8192);
    QCOMPARE(scan.state, state);
    QCOMPARE(scan.length, length);
}

void TestRequestHead::admission_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("status");
    // clang-format off
    QTest::newRow("page") << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\r\n") << Kind::Pass << 0;
    QTest::newRow("live") << QByteArray("GET /live?v=2 HTTP/1.1\nupgrade: websocket\n\n") << Kind::Pass << 0;
    QTest::newRow("POST") << QByteArray("POST /state HTTP/1.1\r\nContent-Length: 2\r\n\r\n") << Kind::Refuse << 405;
    QTest::newRow("POST without a body") << QByteArray("POST /state HTTP/1.1\r\n\r\n") << Kind::Pass << 0;
    QTest::newRow("GET with a body") << QByteArray("GET / HTTP/1.1\r\nContent-Length: 5\r\n\r\n") << Kind::Refuse << 400;
    QTest::newRow("GET, empty body") << QByteArray("GET / HTTP/1.1\r\nContent-Length: 00\r\n\r\n") << Kind::Pass << 0;
    QTest::newRow("chunked GET") << QByteArray("GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n") << Kind::Refuse << 400;
    QTest::newRow("absolute form") << QByteArray("GET http://a/state HTTP/1.1\r\n\r\n") << Kind::Refuse << 400;
    QTest::newRow("no version") << QByteArray("GET /\r\n\r\n") << Kind::Refuse << 400;
    QTest::newRow("bad UTF-8") << QByteArray("GET /%ff HTTP/1.1\r\n\r\n") << Kind::Refuse << 400;
    QTest::newRow("NUL") << QByteArray("GET /state%00.js HTTP/1.1\r\n\r\n") << Kind::Refuse << 400;
    // clang-format on
}

void TestRequestHead::admission() {
    QFETCH(QByteArray, head);
    QFETCH(Kind, kind);
    QFETCH(int, status);
    const Admission admission = admit(readHead(head));
    QCOMPARE(admission.kind, kind);
    QCOMPARE(admission.status, status);
}

void TestRequestHead::servedPaths_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<Resource>("resource");
    // clang-format off
    QTest::newRow("page") << QByteArray("/") << Resource::Page;
    QTest::newRow("state with a query") << QByteArray("/state?t=1") << Resource::State;
    QTest::newRow("encoded letter") << QByteArray("/st%61te") << Resource::State;
    QTest::newRow("script") << QByteArray("/live.js") << Resource::Script;
    QTest::newRow("rounds") << QByteArray("/structure") << Resource::Structure;
    QTest::newRow("rounds, a file's name") << QByteArray("/structure.json") << Resource::None;
    QTest::newRow("up and out") << QByteArray("/../blinds.dat") << Resource::None;
    QTest::newRow("encoded dots") << QByteArray("/%2e%2e/blinds.dat") << Resource::None;
    QTest::newRow("encoded slash") << QByteArray("/%2e%2e%2fblinds.dat") << Resource::None;
    QTest::newRow("double slash") << QByteArray("//etc/passwd") << Resource::None;
    QTest::newRow("round trip to a name") << QByteArray("/x/../state") << Resource::None;
    QTest::newRow("trailing slash") << QByteArray("/state/") << Resource::None;
    // clang-format on
}

void TestRequestHead::servedPaths() {
    QFETCH(QByteArray, target);
    QFETCH(Resource, resource);
    QCOMPARE(resourceAt(targetPath(target)), resource);
}

void TestRequestHead::policyNamesOnlyAPlainHost_data() {
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QByteArray>("connect");
    const QByteArray self = "connect-src 'self';";
    // clang-format off
    QTest::newRow("address and port") << QByteArray("192.168.1.20:8088") << QByteArray("connect-src 'self' ws://192.168.1.20:8088;");
    QTest::newRow("IPv6") << QByteArray("[::1]:8090") << QByteArray("connect-src 'self' ws://[::1]:8090;");
    QTest::newRow("none") << QByteArray() << self;
    QTest::newRow("a directive smuggled in") << QByteArray("a; script-src *") << self;
    QTest::newRow("a source smuggled in") << QByteArray("a *") << self;
    QTest::newRow("long port") << QByteArray("a:123456") << self;
    QTest::newRow("after the brackets") << QByteArray("[::1]x") << self;
    // clang-format on
}

void TestRequestHead::policyNamesOnlyAPlainHost() {
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, connect);
    QByteArray policy;
    for (const auto &[name, value] : answerHeaders(host)) {
        if (name == "Content-Security-Policy")
            policy = value;
    }
    QVERIFY2(policy.contains(connect), policy.constData());
    QVERIFY(policy.startsWith("default-src 'none';"));
}

void TestRequestHead::clientFrames_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<bool>("masked");
    QTest::addColumn<qint64>("frames");
    const QByteArray ping = clientFrame(0x9, {});
    const QByteArray text = clientFrame(0x1, "hello");
    // clang-format off
    QTest::newRow("pings") << ping + ping + ping << true << qint64(3);
    QTest::newRow("largest short length") << clientFrame(0x1, QByteArray(125, 'a')) + ping << true << qint64(2);
    QTest::newRow("16-bit length") << clientFrame(0x2, QByteArray(126, 'a')) + ping << true << qint64(2);
    QTest::newRow("largest 16-bit length") << clientFrame(0x2, QByteArray(65535, 'a')) + ping << true << qint64(2);
    QTest::newRow("64-bit length") << clientFrame(0x2, QByteArray(65536, 'a')) + ping << true << qint64(2);
    QTest::newRow("a fragment and its continuation") << clientFrame(0x1, "he").replace(0, 1, "\x01") + clientFrame(0x0, "llo") << true << qint64(2);
    QTest::newRow("unmasked first") << clientFrame(0x1, "hello", false) + text << false << qint64(1);
    QTest::newRow("unmasked after a masked one") << text + clientFrame(0x9, {}, false) + text << false << qint64(2);
    QTest::newRow("an unmasked frame's payload is not read") << clientFrame(0xa, QByteArray(4, '\x80'), false) << false << qint64(1);
    QTest::newRow("half a head") << text.first(3) << true << qint64(1);
    // clang-format on
}

void TestRequestHead::clientFrames() {
    QFETCH(QByteArray, stream);
    QFETCH(bool, masked);
    QFETCH(qint64, frames);
    ClientFrames whole;
    QCOMPARE(whole.feed(stream), masked);
    QCOMPARE(whole.frames(), frames);

    // A byte at a time, the same frames.
    ClientFrames bytes;
    bool fine = true;
    for (const char c : std::as_const(stream))
        fine = bytes.feed(QByteArrayView(&c, 1)) && fine;
    QCOMPARE(fine, masked);
    QCOMPARE(bytes.frames(), frames);
}

void TestRequestHead::clientFrameBytesAsSent_data() {
    QTest::addColumn<int>("payload");
    for (const int size : {0, 125, 126, 65535, 65536})
        QTest::addRow("%d", size) << size;
}

void TestRequestHead::clientFrameBytesAsSent() {
    QFETCH(int, payload);
    QCOMPARE(clientFrameBytes(payload), clientFrame(0x1, QByteArray(payload, 'x')).size());
}

QTEST_APPLESS_MAIN(TestRequestHead)
#include "tst_requesthead.moc"
