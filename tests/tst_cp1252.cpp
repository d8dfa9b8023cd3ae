// Windows-1252, the encoding of tournament files: every byte to its
// character and back, and the characters it cannot hold.
#include "core/cp1252.h"

#include <QTest>
#include <optional>

using namespace orvandel;
using namespace Qt::StringLiterals;

class TestCp1252 : public QObject {
    Q_OBJECT

private slots:
    void cp1252Decode_data();
    void cp1252Decode();
    void cp1252EveryByteRoundTrips();
    void cp1252Encode_data();
    void cp1252Encode();
};

void TestCp1252::cp1252Decode_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");

    // clang-format off
    QTest::newRow("ASCII") << 0x41 << 0x41;
    QTest::newRow("NUL") << 0x00 << 0x00;
    QTest::newRow("DEL") << 0x7F << 0x7F;
    QTest::newRow("euro sign") << 0x80 << 0x20AC;
    QTest::newRow("unassigned 0x81") << 0x81 << 0x81;
    QTest::newRow("low quotation mark") << 0x82 << 0x201A;
    QTest::newRow("caron S") << 0x8A << 0x0160;
    QTest::newRow("unassigned 0x8D") << 0x8D << 0x8D;
    QTest::newRow("caron Z") << 0x8E << 0x017D;
    QTest::newRow("unassigned 0x8F") << 0x8F << 0x8F;
    QTest::newRow("unassigned 0x90") << 0x90 << 0x90;
    QTest::newRow("left double quotation mark") << 0x93 << 0x201C;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("unassigned 0x9D") << 0x9D << 0x9D;
    QTest::newRow("diaeresis Y") << 0x9F << 0x0178;
    QTest::newRow("no-break space") << 0xA0 << 0xA0;
    QTest::newRow("pound sign") << 0xA3 << 0xA3;
    QTest::newRow("y with diaeresis") << 0xFF << 0xFF;
    // clang-format on
}

void TestCp1252::cp1252Decode() {
    QFETCH(int, byte);
    QFETCH(int, unicode);
    const QByteArray bytes(1, static_cast<char>(byte));
    const QString text = cp1252::decode(bytes);
    QCOMPARE(text.size(), 1);
    QCOMPARE(int(text.at(0).unicode()), unicode);
    QCOMPARE(cp1252::encode(text), std::optional<QByteArray>(bytes));
}

void TestCp1252::cp1252EveryByteRoundTrips() {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const QString text = cp1252::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(cp1252::encode(text), std::optional<QByteArray>(all));
}

void TestCp1252::cp1252Encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("encodable");

    // clang-format off
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("ASCII") << u"$1,000"_s << true;
    QTest::newRow("euro and pound") << u"\u20AC5 \u00A33"_s << true;
    QTest::newRow("A with macron") << u"\u0100"_s << false;
    QTest::newRow("o with double acute") << u"\u0151"_s << false;
    QTest::newRow("line separator") << u"a\u2028b"_s << false;
    QTest::newRow("emoji") << u"$\U0001F0A1"_s << false;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << false;
    QTest::newRow("last character refused") << u"$100\u4E00"_s << false;
    // clang-format on
}

void TestCp1252::cp1252Encode() {
    QFETCH(QString, text);
    QFETCH(bool, encodable);
    const std::optional<QByteArray> bytes = cp1252::encode(text);
    QCOMPARE(bytes.has_value(), encodable);
    if (bytes)
        QCOMPARE(cp1252::decode(*bytes), text);
}

QTEST_APPLESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
