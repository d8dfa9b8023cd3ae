// What a control request from the director's phone must carry and pass: the
// secret, the address that carries it, the message, its origin and the
// limit on wrong secrets.
#include "live/remotecontrol.h"

#include <QSet>
#include <QTest>

using namespace orvandel;

class TestRemoteControl : public QObject {
    Q_OBJECT

private slots:
    void secretsAre128RandomBits();
    void controlUrl_data();
    void controlUrl();
    void secretComparison_data();
    void secretComparison();
    void decoding_data();
    void decoding();
    void origin_data();
    void origin();
    void wrongSecrets_data();
    void wrongSecrets();
    void addressesAreCountedApart();
    void rememberedAddressesAreBounded();
};

void TestRemoteControl::secretsAre128RandomBits() {
    QSet<QByteArray> seen;
    for (int i = 0; i < 1000; ++i) {
        const QByteArray secret = newRemoteSecret();
        const auto decoded = QByteArray::fromBase64Encoding(
            secret, QByteArray::Base64UrlEncoding | QByteArray::AbortOnBase64DecodingErrors);
        QVERIFY(decoded);
        QCOMPARE(decoded.decoded.size(), 16);
        // Fit for a control message as it stands.
        const QByteArray message = R"({"action":"pause","key":")" + secret + R"("})";
        QVERIFY2(decodeControlMessage(message), secret.constData());
        seen.insert(secret);
    }
    QCOMPARE(seen.size(), 1000);
}

void TestRemoteControl::controlUrl_data() {
    QTest::addColumn<QUrl>("view");
    QTest::addColumn<QString>("control");
    // clang-format off
    QTest::newRow("room's network") << QUrl(QStringLiteral("http://192.168.1.20:8088/")) << "http://192.168.1.20:8088/#key=AbC-_9";
    QTest::newRow("next port")      << QUrl(QStringLiteral("http://10.0.0.5:8090/"))     << "http://10.0.0.5:8090/#key=AbC-_9";
    QTest::newRow("loopback")       << QUrl(QStringLiteral("http://127.0.0.1:8108/"))    << "http://127.0.0.1:8108/#key=AbC-_9";
    // clang-format on
}

void TestRemoteControl::controlUrl() {
    QFETCH(QUrl, view);
    QFETCH(QString, control);
    const QUrl url = remoteControlUrl(view, "AbC-_9");
    QCOMPARE(url.toString(QUrl::FullyEncoded), control);
    // What a browser sends for it leaves the secret out.
    QCOMPARE(url.adjusted(QUrl::RemoveFragment), view);
}

void TestRemoteControl::secretComparison_data() {
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QByteArray>("secret");
    QTest::addColumn<bool>("same");
    const QByteArray s = "q2Zc9Xw-hT0_bLm4Rk7aYe";
    // clang-format off
    QTest::newRow("the secret")        << s                          << s            << true;
    QTest::newRow("last differs")      << QByteArray(s).replace(21, 1, "f") << s     << false;
    QTest::newRow("first differs")     << QByteArray(s).replace(0, 1, "Q")  << s     << false;
    QTest::newRow("a prefix")          << s.left(21)                 << s            << false;
    QTest::newRow("longer")            << s + "A"                    << s            << false;
    QTest::newRow("nul bytes after")   << s + QByteArray(1, '\0')    << s            << false;
    QTest::newRow("nothing given")     << QByteArray()               << s            << false;
    QTest::newRow("no secret")         << QByteArray()               << QByteArray() << false;
    QTest::newRow("no secret, given")  << s                          << QByteArray() << false;
    // clang-format on
}

void TestRemoteControl::secretComparison() {
    QFETCH(QByteArray, given);
    QFETCH(QByteArray, secret);
    QFETCH(bool, same);
    QCOMPARE(sameSecret(given, secret), same);
}

void TestRemoteControl::decoding_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("action"); // -1: refused
    QTest::addColumn<QByteArray>("key");
    const int pause = int(RemoteAction::Pause), resume = int(RemoteAction::Resume), no = -1;
    const QByteArray longest(MaxKeyLength, 'k');
    // clang-format off
    QTest::newRow("pause")             << QByteArray(R"({"action":"pause","key":"Ab-_9"})")       << pause  << QByteArray("Ab-_9");
    QTest::newRow("resume")            << QByteArray(R"({"action":"resume","key":"Ab-_9"})")      << resume << QByteArray("Ab-_9");
    QTest::newRow("key first, spaced") << QByteArray(" {\n\"key\" : \"x\",\t\"action\":\"pause\"} ") << pause << QByteArray("x");
    QTest::newRow("longest key")       << R"({"action":"pause","key":")" + longest + R"("})"   << pause  << longest;
    QTest::newRow("key too long")      << R"({"action":"pause","key":")" + longest + R"(k"})"  << no     << QByteArray();
    QTest::newRow("over the size")     << R"({"action":"pause","key":"x"})" + QByteArray(MaxControlMessage, ' ') << no << QByteArray();
    QTest::newRow("empty key")         << QByteArray(R"({"action":"pause","key":""})")            << no     << QByteArray();
    QTest::newRow("no key")            << QByteArray(R"({"action":"pause"})")                     << no     << QByteArray();
    QTest::newRow("no action")         << QByteArray(R"({"key":"x"})")                            << no     << QByteArray();
    QTest::newRow("key as number")     << QByteArray(R"({"action":"pause","key":12345})")         << no     << QByteArray();
    QTest::newRow("key as list")       << QByteArray(R"({"action":"pause","key":["x"]})")         << no     << QByteArray();
    QTest::newRow("other action")      << QByteArray(R"({"action":"stop","key":"x"})")            << no     << QByteArray();
    QTest::newRow("action's case")     << QByteArray(R"({"action":"Pause","key":"x"})")           << no     << QByteArray();
    QTest::newRow("action padded")     << QByteArray(R"({"action":"pause ","key":"x"})")          << no     << QByteArray();
    QTest::newRow("a third member")    << QByteArray(R"({"action":"pause","key":"x","level":3})") << no     << QByteArray();
    QTest::newRow("base64 plus")       << QByteArray(R"({"action":"pause","key":"a+b"})")         << no     << QByteArray();
    QTest::newRow("base64 padding")    << QByteArray(R"({"action":"pause","key":"ab=="})")        << no     << QByteArray();
    QTest::newRow("escaped quote")     << QByteArray(R"({"action":"pause","key":"a\"b"})")        << no     << QByteArray();
    QTest::newRow("beyond Latin-1")    << QByteArray(R"({"action":"pause","key":"a\u0100b"})")    << no     << QByteArray();
    QTest::newRow("Latin-1 letter")    << QByteArray(R"({"action":"pause","key":"a\u00e9b"})")    << no     << QByteArray();
    QTest::newRow("escaped nul")       << QByteArray(R"({"action":"pause","key":"a\u0000b"})")    << no     << QByteArray();
    QTest::newRow("a list")            << QByteArray(R"([{"action":"pause","key":"x"}])")         << no     << QByteArray();
    QTest::newRow("trailing bytes")    << QByteArray(R"({"action":"pause","key":"x"}x)")          << no     << QByteArray();
    QTest::newRow("cut short")         << QByteArray(R"({"action":"pause","key":"x")")            << no     << QByteArray();
    QTest::newRow("a bare word")       << QByteArray("pause")                                     << no     << QByteArray();
    QTest::newRow("empty")             << QByteArray()                                            << no     << QByteArray();
    // clang-format on
}

void TestRemoteControl::decoding() {
    QFETCH(QByteArray, message);
    QFETCH(int, action);
    QFETCH(QByteArray, key);
    const std::optional<ControlMessage> decoded = decodeControlMessage(message);
    QCOMPARE(decoded.has_value(), action >= 0);
    if (decoded) {
        QCOMPARE(int(decoded->action), action);
        QCOMPARE(decoded->key, key);
    }
}

void TestRemoteControl::origin_data() {
    QTest::addColumn<QString>("origin");
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("same");
    // clang-format off
    QTest::newRow("the page's own")       << "http://192.168.1.20:8088" << "192.168.1.20:8088" << true;
    QTest::newRow("host's case")          << "http://Laptop.local:8088" << "laptop.LOCAL:8088" << true;
    QTest::newRow("IPv6")                 << "http://[::1]:8090"        << "[0:0::1]:8090"     << true;
    QTest::newRow("port 80 either way")   << "http://10.0.0.1"          << "10.0.0.1:80"       << true;
    QTest::newRow("another port")         << "http://192.168.1.20:8089" << "192.168.1.20:8088" << false;
    QTest::newRow("another site")         << "http://evil.example"      << "192.168.1.20:8088" << false;
    QTest::newRow("another address")      << "http://192.168.1.21:8088" << "192.168.1.20:8088" << false;
    QTest::newRow("https")                << "https://192.168.1.20:8088" << "192.168.1.20:8088" << false;
    QTest::newRow("no port, host has one") << "http://192.168.1.20"     << "192.168.1.20:8088" << false;
    QTest::newRow("opaque origin")        << "null"                     << "192.168.1.20:8088" << false;
    QTest::newRow("no origin")            << ""                         << "192.168.1.20:8088" << false;
    QTest::newRow("no host")              << "http://192.168.1.20:8088" << ""                  << false;
    QTest::newRow("origin with a path")   << "http://192.168.1.20:8088/x" << "192.168.1.20:8088" << false;
    QTest::newRow("host with user")       << "http://192.168.1.20:8088" << "evil@192.168.1.20:8088" << false;
    QTest::newRow("host with a path")     << "http://192.168.1.20:8088" << "192.168.1.20:8088/" << false;
    QTest::newRow("host names a file")    << "file://"                  << ""                  << false;
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
    // control requests are answered at `askAt`.
    QTest::addColumn<QList<double>>("wrongAt");
    QTest::addColumn<double>("askAt");
    QTest::addColumn<bool>("silenced");
    QList<double> tenQuick;
    for (int i = 0; i < 10; ++i)
        tenQuick << i * 0.5;
    QList<double> tenSpread;
    for (int i = 0; i < 10; ++i)
        tenSpread << i * 6.6; // the tenth 59.4 s after the first
    QList<double> tenSlow;
    for (int i = 0; i < 10; ++i)
        tenSlow << i * 6.7; // the tenth 60.3 s after the first
    // clang-format off
    QTest::newRow("nine")                      << tenQuick.mid(0, 9)            << 5.0   << false;
    QTest::newRow("ten in five seconds")       << tenQuick                      << 4.5   << true;
    QTest::newRow("ten within a minute")       << tenSpread                     << 59.4  << true;
    QTest::newRow("ten in over a minute")      << tenSlow                       << 60.3  << false;
    QTest::newRow("still within the minute")   << tenQuick                      << 64.4  << true;
    QTest::newRow("the minute after is over")  << tenQuick                      << 64.5  << false;
    // Those sent while silenced go unread and do not lengthen the silence.
    QTest::newRow("tries while silenced")      << tenQuick + QList<double>{10, 20, 30, 40, 50, 60, 61, 62, 63, 64} << 64.5 << false;
    QTest::newRow("counting starts afresh")    << tenQuick + QList<double>{65, 66, 67, 68, 69, 70, 71, 72, 73} << 73.0 << false;
    QTest::newRow("and silences again")        << tenQuick + QList<double>{65, 66, 67, 68, 69, 70, 71, 72, 73, 74} << 74.0 << true;
    // clang-format on
}

void TestRemoteControl::wrongSecrets() {
    QFETCH(QList<double>, wrongAt);
    QFETCH(double, askAt);
    QFETCH(bool, silenced);
    std::int64_t now = 1'000'000;
    const std::int64_t start = now;
    WrongSecretLimiter limiter([&now] { return now; });
    const QString phone = QStringLiteral("192.168.1.30");
    for (const double at : wrongAt) {
        now = start + std::llround(at * 1000);
        limiter.wrongSecret(phone);
    }
    now = start + std::llround(askAt * 1000);
    QCOMPARE(limiter.silenced(phone), silenced);
}

void TestRemoteControl::addressesAreCountedApart() {
    std::int64_t now = 0;
    WrongSecretLimiter limiter([&now] { return now; });
    for (int i = 0; i < 10; ++i) {
        limiter.wrongSecret(QStringLiteral("10.0.0.%1").arg(i));
        limiter.wrongSecret(QStringLiteral("::1"));
    }
    QVERIFY(limiter.silenced(QStringLiteral("::1")));
    for (int i = 0; i < 10; ++i)
        QVERIFY(!limiter.silenced(QStringLiteral("10.0.0.%1").arg(i)));
}

void TestRemoteControl::rememberedAddressesAreBounded() {
    // A flood of addresses that each send one wrong secret neither grows the
    // table without end nor frees a silenced address.
    std::int64_t now = 0;
    WrongSecretLimiter limiter([&now] { return now; });
    for (int i = 0; i < 10; ++i)
        limiter.wrongSecret(QStringLiteral("attacker"));
    for (int i = 0; i < WrongSecretLimiter::MaxAddresses * 3; ++i) {
        now = 1 + i;
        limiter.wrongSecret(QString::number(i));
    }
    QCOMPARE(limiter.remembered(), WrongSecretLimiter::MaxAddresses);
    QVERIFY(limiter.silenced(QStringLiteral("attacker")));
    now = WrongSecretLimiter::SilenceMs;
    QVERIFY(!limiter.silenced(QStringLiteral("attacker")));
}

QTEST_APPLESS_MAIN(TestRemoteControl)

#include "tst_remotecontrol.moc"
