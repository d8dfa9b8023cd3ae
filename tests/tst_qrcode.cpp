// The QR code of the live view's address, read back by a real decoder.
#include "qrdecode.h"

#include "live/qrcode.h"

#include <QtTest>

using namespace testsupport;

class TestQrCode : public QObject {
    Q_OBJECT

private slots:
    void decodesBack_data();
    void decodesBack();
};

void TestQrCode::decodesBack_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("encoded");
    // clang-format off
    QTest::newRow("an address") << QByteArray("http://192.168.1.20:8088/") << true;
    QTest::newRow("the longest address") << QByteArray("http://255.255.255.255:8108/") << true;
    QTest::newRow("loopback") << QByteArray("http://127.0.0.1:8088/") << true;
    QTest::newRow("capitals and digits alone") << QByteArray("HTTP://10.0.0.5:8100/") << true;
    QTest::newRow("a long text") << QByteArray(1500, 'x') << true;
    QTest::newRow("nothing") << QByteArray() << false;
    QTest::newRow("a NUL byte") << QByteArray("http://a/\0b", 11) << false;
    QTest::newRow("beyond any code") << QByteArray(2400, 'x') << false;
    // clang-format on
}

void TestQrCode::decodesBack() {
    QFETCH(QByteArray, text);
    QFETCH(bool, encoded);
    const QImage code = orvandel::qrImage(text);
    QCOMPARE(!code.isNull(), encoded);
    if (!encoded)
        return;

    // Square, black on white, a white quiet zone of four modules all round
    // and the dark corners of the three finder patterns just inside it.
    QCOMPARE(code.width(), code.height());
    for (int y = 0; y < code.height(); ++y) {
        for (int x = 0; x < code.width(); ++x) {
            const int grey = qGray(code.pixel(x, y));
            QVERIFY2(grey == 0 || grey == 255,
                     qPrintable(QStringLiteral("grey at %1,%2").arg(x).arg(y)));
            const bool quiet = std::min({x, y, code.width() - 1 - x, code.height() - 1 - y}) < 4;
            if (quiet)
                QVERIFY2(grey == 255,
                         qPrintable(QStringLiteral("quiet zone dark at %1,%2").arg(x).arg(y)));
        }
    }
    const int last = code.width() - 5;
    for (const QPoint corner : {QPoint(4, 4), QPoint(last, 4), QPoint(4, last)})
        QCOMPARE(qGray(code.pixel(corner)), 0);

    if (!haveQrDecoder())
        QSKIP("zbarimg (zbar-tools) is not installed");
    const QImage large =
        code.scaled(code.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QCOMPARE(decodeQr(large), std::optional<QByteArray>(text + '\n'));
}

QTEST_GUILESS_MAIN(TestQrCode)
#include "tst_qrcode.moc"
