#include "core/numberinput.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace orvandel;
using namespace Qt::StringLiterals;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

QByteArray exact(double value) {
    return QByteArray::number(value, 'g', 17);
}

} // namespace

class TestNumberInput : public QObject {
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void holdsNumber_data();
    void holdsNumber();
    void toInt16_data();
    void toInt16();
    void toInt32_data();
    void toInt32();
};

void TestNumberInput::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    // clang-format off
    // Nothing to read.
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("blanks only") << QStringLiteral("   ") << 0.0;
    QTest::newRow("word") << QStringLiteral("abc") << 0.0;
    QTest::newRow("dollar before digits") << QStringLiteral("$10") << 0.0;
    QTest::newRow("sign alone") << QStringLiteral("-") << 0.0;
    QTest::newRow("two signs") << QStringLiteral("+-5") << 0.0;
    QTest::newRow("point alone") << QStringLiteral(".") << 0.0;
    QTest::newRow("exponent without mantissa") << QStringLiteral("e5") << 0.0;

    // Digits, and where they stop.
    QTest::newRow("whole number") << QStringLiteral("42") << 42.0;
    QTest::newRow("leading zeros") << QStringLiteral("007") << 7.0;
    QTest::newRow("digits then text") << QStringLiteral("12abc") << 12.0;
    QTest::newRow("comma is no point") << QStringLiteral("1,5") << 1.0;
    QTest::newRow("sign after digits") << QStringLiteral("5-3") << 5.0;

    // Blanks, tabs and line feeds do not break a number; other spacing does.
    QTest::newRow("leading blanks") << QStringLiteral("   42") << 42.0;
    QTest::newRow("blank between digits") << QStringLiteral(" 1 2") << 12.0;
    QTest::newRow("tab and line feed between digits") << QStringLiteral("1\t2\n3") << 123.0;
    QTest::newRow("carriage return stops") << QStringLiteral("1\r2") << 1.0;
    QTest::newRow("no-break space stops") << QStringLiteral("1\u00A02") << 1.0;

    // Signs.
    QTest::newRow("minus") << QStringLiteral("-5") << -5.0;
    QTest::newRow("blank after minus") << QStringLiteral("- 5") << -5.0;
    QTest::newRow("plus") << QStringLiteral("+7") << 7.0;

    // Decimal point.
    QTest::newRow("fraction") << QStringLiteral("2.5") << 2.5;
    QTest::newRow("point first") << QStringLiteral(".5") << 0.5;
    QTest::newRow("negative point first") << QStringLiteral("-.25") << -0.25;
    QTest::newRow("trailing point") << QStringLiteral("7.") << 7.0;
    QTest::newRow("second point stops") << QStringLiteral("1.2.3") << 1.2;
    QTest::newRow("blank around point") << QStringLiteral("1 . 5") << 1.5;

    // Exponents.
    QTest::newRow("E") << QStringLiteral("1E3") << 1000.0;
    QTest::newRow("e with fraction") << QStringLiteral("2.5e2") << 250.0;
    QTest::newRow("D") << QStringLiteral("1D2") << 100.0;
    QTest::newRow("d with minus") << QStringLiteral("5d-1") << 0.5;
    QTest::newRow("E with plus") << QStringLiteral("3E+2") << 300.0;
    QTest::newRow("blanks in exponent") << QStringLiteral("1 e - 2") << 0.01;
    QTest::newRow("exponent without digits") << QStringLiteral("1e") << 1.0;
    QTest::newRow("exponent sign without digits") << QStringLiteral("1e+") << 1.0;
    QTest::newRow("exponent then letter") << QStringLiteral("4ex") << 4.0;
    QTest::newRow("second exponent stops") << QStringLiteral("1e2e3") << 100.0;
    QTest::newRow("point in exponent stops") << QStringLiteral("1e2.5") << 100.0;
    QTest::newRow("zero with huge exponent") << QStringLiteral("0e99999") << 0.0;

    // Conversion is correctly rounded, not accumulated digit by digit.
    QTest::newRow("one tenth") << QStringLiteral("0.1") << 0.1;
    QTest::newRow("2^53 + 1 ties to even") << QStringLiteral("9007199254740993") << 9007199254740992.0;
    QTest::newRow("largest double") << QStringLiteral("1.7976931348623157e308") << std::numeric_limits<double>::max();
    QTest::newRow("smallest denormal") << QStringLiteral("4.9406564584124654e-324") << std::numeric_limits<double>::denorm_min();
    QTest::newRow("long mantissa scaled back") << QStringLiteral("1") + QString(400, u'0') + QStringLiteral("e-400") << 1.0;
    QTest::newRow("many leading fraction zeros") << QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("5e401") << 5.0;

    // Beyond a double.
    QTest::newRow("huge") << QStringLiteral("1e999") << Inf;
    QTest::newRow("huge negative") << QStringLiteral("-1e999") << -Inf;
    QTest::newRow("just above the largest double") << QStringLiteral("1.8e308") << Inf;
    QTest::newRow("exponent with many digits") << QStringLiteral("1e99999999999999999999999") << Inf;
    QTest::newRow("tiny") << QStringLiteral("1e-999") << 0.0;
    QTest::newRow("just below the smallest denormal") << QStringLiteral("1e-330") << 0.0;

    // Hexadecimal and octal whole numbers.
    QTest::newRow("&H") << QStringLiteral("&H10") << 16.0;
    QTest::newRow("&h lower case digits") << QStringLiteral("&h1f") << 31.0;
    QTest::newRow("&H largest 16-bit") << QStringLiteral("&H7FFF") << 32767.0;
    QTest::newRow("&H 16-bit sign bit") << QStringLiteral("&H8000") << -32768.0;
    QTest::newRow("&HFFFF") << QStringLiteral("&HFFFF") << -1.0;
    QTest::newRow("&H 17 bits") << QStringLiteral("&H10000") << 65536.0;
    QTest::newRow("&H 32-bit sign bit") << QStringLiteral("&H80000000") << -2147483648.0;
    QTest::newRow("&HFFFFFFFF") << QStringLiteral("&HFFFFFFFF") << -1.0;
    QTest::newRow("&H 33 bits") << QStringLiteral("&H100000000") << Inf;
    QTest::newRow("&H very wide") << QStringLiteral("&H") + QString(40, u'F') << Inf;
    QTest::newRow("&H blanks inside") << QStringLiteral(" & H 1 0") << 16.0;
    QTest::newRow("&H stops at non-digit") << QStringLiteral("&HFFg") << 255.0;
    QTest::newRow("&H no fraction") << QStringLiteral("&H1.5") << 1.0;
    QTest::newRow("&H without digits") << QStringLiteral("&H") << 0.0;
    QTest::newRow("&O") << QStringLiteral("&O17") << 15.0;
    QTest::newRow("&o lower case") << QStringLiteral("&o777") << 511.0;
    QTest::newRow("&O 16-bit all ones") << QStringLiteral("&O177777") << -1.0;
    QTest::newRow("&O 17 bits") << QStringLiteral("&O200000") << 65536.0;
    QTest::newRow("&O 32-bit all ones") << QStringLiteral("&O37777777777") << -1.0;
    QTest::newRow("&O 33 bits") << QStringLiteral("&O40000000000") << Inf;
    QTest::newRow("&O stops at 8") << QStringLiteral("&O78") << 7.0;
    QTest::newRow("&O without octal digits") << QStringLiteral("&O8") << 0.0;
    QTest::newRow("& with other letter") << QStringLiteral("&Z") << 0.0;
    QTest::newRow("& alone") << QStringLiteral("&") << 0.0;
    QTest::newRow("sign before &H") << QStringLiteral("-&H10") << 0.0;
    // clang-format on
}

void TestNumberInput::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double actual = orvandel::leadingNumber(text);
    // Exact, not fuzzy: the last bit of the conversion is what is tested.
    const QByteArray why = "got " + exact(actual) + ", expected " + exact(expected);
    QVERIFY2(actual == expected, why.constData());
}

// Whether a number was found, as opposed to 0 for the lack of one: the
// reader of the tournament file tells a missing level count by it.
void TestNumberInput::holdsNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("holds");

    // clang-format off
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks only") << u"   "_s << false;
    QTest::newRow("word") << u"levels"_s << false;
    QTest::newRow("dollar before digits") << u"$4"_s << false;
    QTest::newRow("sign alone") << u"-"_s << false;
    QTest::newRow("point alone") << u"."_s << false;
    QTest::newRow("exponent without mantissa") << u"e5"_s << false;
    QTest::newRow("&H without digits") << u"&H"_s << false;
    QTest::newRow("&O without octal digits") << u"&O8"_s << false;
    QTest::newRow("& alone") << u"&"_s << false;
    QTest::newRow("sign before &H") << u"-&H10"_s << false;
    QTest::newRow("byte-order mark first") << u"\uFEFF4"_s << false;
    QTest::newRow("zero") << u"0"_s << true;
    QTest::newRow("zeros with huge exponent") << u"000e99999"_s << true;
    QTest::newRow("point first") << u".5"_s << true;
    QTest::newRow("trailing point") << u"7."_s << true;
    QTest::newRow("digits then text") << u"4 levels"_s << true;
    QTest::newRow("blanks and tabs first") << u" \t\n4"_s << true;
    QTest::newRow("blank after minus") << u"- 5"_s << true;
    QTest::newRow("exponent without digits") << u"1e"_s << true;
    QTest::newRow("&H") << u"&H0"_s << true;
    QTest::newRow("&O") << u"&O7"_s << true;
    QTest::newRow("huge") << u"1e999"_s << true;
    QTest::newRow("tiny") << u"1e-999"_s << true;
    // clang-format on
}

void TestNumberInput::holdsNumber() {
    QFETCH(QString, text);
    QFETCH(bool, holds);
    QCOMPARE(orvandel::holdsNumber(text), holds);
    // Text without a number still reads as 0.
    if (!holds)
        QCOMPARE(orvandel::leadingNumber(text), 0.0);
}

void TestNumberInput::toInt16_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("expected");

    // clang-format off
    QTest::newRow("zero") << 0.0 << true << 0;
    QTest::newRow("below half") << 2.4 << true << 2;
    QTest::newRow("above half") << 2.6 << true << 3;
    QTest::newRow("negative above half") << -2.6 << true << -3;
    QTest::newRow("half to even zero") << 0.5 << true << 0;
    QTest::newRow("half to even two") << 1.5 << true << 2;
    QTest::newRow("4.5 to 4") << 4.5 << true << 4;
    QTest::newRow("5.5 to 6") << 5.5 << true << 6;
    QTest::newRow("-0.5 to 0") << -0.5 << true << 0;
    QTest::newRow("-4.5 to -4") << -4.5 << true << -4;
    QTest::newRow("-5.5 to -6") << -5.5 << true << -6;
    QTest::newRow("just below half") << 0.49999999999999994 << true << 0;
    QTest::newRow("largest") << 32767.0 << true << 32767;
    QTest::newRow("rounds down to largest") << 32767.4 << true << 32767;
    QTest::newRow("half above largest") << 32767.5 << false << 0;
    QTest::newRow("one above largest") << 32768.0 << false << 0;
    QTest::newRow("smallest") << -32768.0 << true << -32768;
    QTest::newRow("half below smallest, to even") << -32768.5 << true << -32768;
    QTest::newRow("rounds below smallest") << -32768.6 << false << 0;
    QTest::newRow("one below smallest") << -32769.0 << false << 0;
    QTest::newRow("far too large") << 1e300 << false << 0;
    QTest::newRow("infinity") << Inf << false << 0;
    QTest::newRow("minus infinity") << -Inf << false << 0;
    QTest::newRow("NaN") << NaN << false << 0;
    // clang-format on
}

void TestNumberInput::toInt16() {
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(int, expected);
    const std::optional<qint16> result = orvandel::toInt16(value);
    QCOMPARE(result.has_value(), fits);
    if (result)
        QCOMPARE(int(*result), expected);
}

void TestNumberInput::toInt32_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<qint64>("expected");

    // clang-format off
    QTest::newRow("beyond 16 bits") << 70000.0 << true << qint64(70000);
    QTest::newRow("4.5 to 4") << 4.5 << true << qint64(4);
    QTest::newRow("-5.5 to -6") << -5.5 << true << qint64(-6);
    QTest::newRow("largest") << 2147483647.0 << true << qint64(2147483647);
    QTest::newRow("half below largest, to even") << 2147483646.5 << true << qint64(2147483646);
    QTest::newRow("half above largest") << 2147483647.5 << false << qint64(0);
    QTest::newRow("one above largest") << 2147483648.0 << false << qint64(0);
    QTest::newRow("smallest") << -2147483648.0 << true << qint64(-2147483648LL);
    QTest::newRow("half below smallest, to even") << -2147483648.5 << true << qint64(-2147483648LL);
    QTest::newRow("one below smallest") << -2147483649.0 << false << qint64(0);
    QTest::newRow("far too large") << 1e10 << false << qint64(0);
    QTest::newRow("infinity") << Inf << false << qint64(0);
    QTest::newRow("NaN") << NaN << false << qint64(0);
    // clang-format on
}

void TestNumberInput::toInt32() {
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(qint64, expected);
    const std::optional<qint32> result = orvandel::toInt32(value);
    QCOMPARE(result.has_value(), fits);
    if (result)
        QCOMPARE(qint64(*result), expected);
}

QTEST_APPLESS_MAIN(TestNumberInput)
#include "tst_numberinput.moc"
