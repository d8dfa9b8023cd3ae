// What a press from the director's phone must carry and pass: the secret, the
// message, its origin and the limit on wrong secrets. The comparison of
// secrets is checked through the server.
#include "live/remotecontrol.h"

#include <QSet>
#include <QTest>

using namespace orvandel;

class TestRemoteControl : public QObject {
    Q_OBJECT

private slots:
    void secretsAre128RandomBits();
    void decoding_data();
    void decoding();
    void origin_data();
    void origin();
    void wrongSecrets_data();
    void wrongSecrets();
    void rememberedAddressesAreBounded();
};

void TestRemoteControl::secretsAre128RandomBits() {
    QSet<QByteArray> seen;
    for (int i = 0; i < 1000; ++i) {
        const QByteArray secret = newRemoteSecret();
        const auto bits = QByteArray::fromBase64Encoding(
            secret, QByteArray::Base64UrlEncoding | QByteArray::AbortOnBase64DecodingErrors);
        QVERIFY(bits && bits.decoded.size() == 16);
        QVERIFY(decodeControlMessage(R"({"action":"pause","key":")" + secret + R"("})"));
        seen.insert(secret);
    }
    QCOMPARE(seen.size(), 1000);
}

void TestRemoteControl::decoding_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("action"); // -1: refused; -2: a pairing
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QString>("id");
    const int pause = int(RemoteAction::Pause), resume = int(RemoteAction::Resume), no = -1;
    const int pair = -2;
    const QByteArray longest(MaxKeyLength, 'k');
    const QByteArray id64(MaxPressIdLength, 'i');
    const auto withId = [](const QByteArray &id) {
        return R"({"action":"next","key":"x","id":)" + id + '}';
    };
    // clang-format off
    QTest::newRow("pause")             << QByteArray(R"({"action":"pause","key":"Ab-_9"})")       << pause  << QByteArray("Ab-_9") << QString();
    QTest::newRow("resume, spaced")    << QByteArray(" {\"key\" : \"x\",\n\"action\":\"resume\"} ") << resume << QByteArray("x") << QString();
    QTest::newRow("key too long")      << R"({"action":"pause","key":")" + longest + R"(k"})"  << no     << QByteArray() << QString();
    QTest::newRow("over the size")     << R"({"action":"pause","key":"x"})" + QByteArray(MaxControlMessage, ' ') << no << QByteArray() << QString();
    QTest::newRow("empty key")         << QByteArray(R"({"action":"pause","key":""})")            << no     << QByteArray() << QString();
    QTest::newRow("no key")            << QByteArray(R"({"action":"pause"})")                     << no     << QByteArray() << QString();
    QTest::newRow("a third member")    << QByteArray(R"({"action":"pause","key":"x","level":3})") << no     << QByteArray() << QString();
    QTest::newRow("base64 plus")       << QByteArray(R"({"action":"pause","key":"a+b"})")         << no     << QByteArray() << QString();
    QTest::newRow("beyond Latin-1")    << QByteArray(R"({"action":"pause","key":"a\u0100b"})")    << no     << QByteArray() << QString();
    QTest::newRow("trailing bytes")    << QByteArray(R"({"action":"pause","key":"x"}x)")          << no     << QByteArray() << QString();
    QTest::newRow("action's case")     << QByteArray(R"({"action":"addminute","key":"x"})")       << no     << QByteArray() << QString();
    QTest::newRow("action not text")   << QByteArray(R"({"action":2,"key":"x"})")                 << no     << QByteArray() << QString();
    QTest::newRow("id")                << withId(R"("a-1 é")")                 << int(RemoteAction::Next) << QByteArray("x") << QStringLiteral("a-1 \u00e9");
    QTest::newRow("id of 64")          << withId('"' + id64 + '"')             << int(RemoteAction::Next) << QByteArray("x") << QString::fromLatin1(id64);
    QTest::newRow("id of 65")          << withId('"' + id64 + R"(i")")         << no     << QByteArray() << QString();
    QTest::newRow("empty id")          << withId(R"("")")                      << no     << QByteArray() << QString();
    QTest::newRow("id a number")       << withId("7")                          << no     << QByteArray() << QString();
    QTest::newRow("id null")           << withId("null")                       << no     << QByteArray() << QString();
    QTest::newRow("id and a fourth")   << QByteArray(R"({"action":"out","key":"x","id":"1","x":1})") << no << QByteArray() << QString();
    QTest::newRow("pair")              << QByteArray(R"({"pair":"T0k-_"})")                       << pair   << QByteArray("T0k-_") << QString();
    QTest::newRow("pair, empty")       << QByteArray(R"({"pair":""})")                            << no     << QByteArray() << QString();
    QTest::newRow("pair, a number")    << QByteArray(R"({"pair":12})")                            << no     << QByteArray() << QString();
    QTest::newRow("pair, slash")       << QByteArray(R"({"pair":"a/b"})")                         << no     << QByteArray() << QString();
    QTest::newRow("pair too long")     << R"({"pair":")" + longest + R"(k"})"                  << no     << QByteArray() << QString();
    QTest::newRow("pair with a key")   << QByteArray(R"({"pair":"t","key":"x"})")                 << no     << QByteArray() << QString();
    QTest::newRow("pair with an id")   << QByteArray(R"({"pair":"t","id":"1"})")                  << no     << QByteArray() << QString();
    // clang-format on
    // Every button of the phone, by the name its page sends.
    const char *names[] = {"pause",      "resume",  "next",     "previous", "addMinute",
                           "takeMinute", "restart", "undo",     "out",      "entry",
                           "rebuy",      "addOn",   "undoCount"};
    for (int n = 0; n < int(std::size(names)); ++n)
        QTest::addRow("action %s", names[n])
            << R"({"key":"k","action":")" + QByteArray(names[n]) + R"("})" << n << QByteArray("k")
            << QString();
}

void TestRemoteControl::decoding() {
    QFETCH(QByteArray, message);
    QFETCH(int, action);
    QFETCH(QByteArray, key);
    QFETCH(QString, id);
    const std::optional<ControlMessage> decoded = decodeControlMessage(message);
    const bool pairing = decoded && decoded->kind == ControlMessage::Kind::Pair;
    QCOMPARE(!decoded ? -1 : pairing ? -2 : int(decoded->action), action);
    QCOMPARE(decoded ? decoded->key : QByteArray(), key);
    QCOMPARE(decoded ? decoded->id : QString(), id);
}

void TestRemoteControl::origin_data() {
    QTest::addColumn<QString>("origin");
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("same");
    // clang-format off
    QTest::newRow("the page's own")     << "http://192.168.1.20:8088"   << "192.168.1.20:8088"      << true;
    QTest::newRow("host's case")        << "http://Laptop.local:8088"   << "laptop.LOCAL:8088"      << true;
    QTest::newRow("IPv6")               << "http://[::1]:8090"          << "[0:0::1]:8090"          << true;
    QTest::newRow("port 80 either way") << "http://10.0.0.1"            << "10.0.0.1:80"            << true;
    QTest::newRow("another port")       << "http://192.168.1.20:8089"   << "192.168.1.20:8088"      << false;
    QTest::newRow("another site")       << "http://evil.example"        << "192.168.1.20:8088"      << false;
    QTest::newRow("host with a user")   << "http://192.168.1.20:8088"   << "evil@192.168.1.20:8088" << false;
    QTest::newRow("host with a path")   << "http://192.168.1.20:8088"   << "192.168.1.20:8088/"     << false;
    // clang-format on
}

void TestRemoteControl::origin() {
    QFETCH(QString, origin);
    QFETCH(QString, host);
    QFETCH(bool, same);
    QCOMPARE(sameOrigin(origin, host), same);
}

void TestRemoteControl::wrongSecrets_data() {
    // Wrong secrets from one address at these seconds; then whether its
    // presses are answered at `askAt`.
    QTest::addColumn<QList<double>>("wrongAt");
    QTest::addColumn<double>("askAt");
    QTest::addColumn<bool>("silenced");
    auto ten = [](double step, double from = 0) {
        QList<double> at;
        for (int i = 0; i < 10; ++i)
            at << from + i * step;
        return at;
    };
    // clang-format off
    QTest::newRow("nine")                     << ten(0.5).mid(0, 9)     << 5.0  << false;
    QTest::newRow("ten within a minute")      << ten(6.6)               << 59.4 << true;
    QTest::newRow("ten in over a minute")     << ten(6.7)               << 60.3 << false;
    QTest::newRow("still within the minute")  << ten(0.5)               << 64.4 << true;
    QTest::newRow("the minute after is over") << ten(0.5)               << 64.5 << false;
    // Those sent while silenced go unread and do not lengthen the silence.
    QTest::newRow("tries while silenced")     << ten(0.5) + ten(6, 10)  << 64.5 << false;
    QTest::newRow("and silences again")       << ten(0.5) + ten(1, 65)  << 74.0 << true;
    // clang-format on
}

void TestRemoteControl::wrongSecrets() {
    QFETCH(QList<double>, wrongAt);
    QFETCH(double, askAt);
    QFETCH(bool, silenced);
    std::int64_t now = 0;
    WrongSecretLimiter limiter([&now] { return now; });
    for (const double at : wrongAt) {
        now = std::llround(at * 1000);
        limiter.wrongSecret(QStringLiteral("192.168.1.30"));
    }
    now = std::llround(askAt * 1000);
    QCOMPARE(limiter.silenced(QStringLiteral("192.168.1.30")), silenced);
    QVERIFY(!limiter.silenced(QStringLiteral("192.168.1.31")));
}

void TestRemoteControl::rememberedAddressesAreBounded() {
    // A flood of addresses that each send one wrong secret neither grows the
    // table without end nor frees a silenced address.
    std::int64_t now = 0;
    WrongSecretLimiter limiter([&now] { return now; });
    for (int i = 0; i < 10; ++i)
        limiter.wrongSecret(QStringLiteral("attacker"));
    for (now = 1; now <= WrongSecretLimiter::MaxAddresses * 3; ++now)
        limiter.wrongSecret(QString::number(now));
    QCOMPARE(limiter.remembered(), WrongSecretLimiter::MaxAddresses);
    QVERIFY(limiter.silenced(QStringLiteral("attacker")));
}

QTEST_APPLESS_MAIN(TestRemoteControl)

#include "tst_remotecontrol.moc"
