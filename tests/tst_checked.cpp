#include "core/checked.h"
#include "core/errors.h"

#include <QTest>
#include <type_traits>

using namespace orvandel;
using namespace Qt::StringLiterals;

namespace {

const QString Overflow = u"Overflow"_s;
const QString Subscript = u"Subscript out of range"_s;

// One checked operation on T; narrow stores a value of the next wider type.
template <typename T> qint64 apply(const QString &op, qint64 a, qint64 b) {
    const auto x = static_cast<T>(a);
    const auto y = static_cast<T>(b);
    static_assert(std::is_same_v<decltype(checked::add(x, y)), T>);
    if (op == u"add")
        return checked::add(x, y);
    if constexpr (sizeof(T) < sizeof(qint64)) {
        using Wider = std::conditional_t<sizeof(T) == sizeof(qint16), qint32, qint64>;
        if (op == u"sub")
            return checked::sub(x, y);
        if (op == u"narrow")
            return checked::narrow<T>(static_cast<Wider>(a));
    }
    if (op == u"mul")
        return checked::mul(x, y);
    qFatal("no operation %s", qPrintable(op));
}

template <typename T> bool fits(qint64 value) {
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

// The text of the error thrown, or nothing.
template <typename F> QString thrownBy(F &&run) {
    try {
        run();
    } catch (const RuntimeError &error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

} // namespace

class TestChecked : public QObject {
    Q_OBJECT

private slots:
    void arithmetic_data();
    void arithmetic();
    void index_data();
    void index();
};

void TestChecked::arithmetic_data() {
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("bits");
    QTest::addColumn<qint64>("a"); // for narrow: the wider value
    QTest::addColumn<qint64>("b"); // unused by narrow
    QTest::addColumn<qint64>("result");
    QTest::addColumn<QString>("error"); // empty when the result fits

    const qint64 min16 = -32768;
    const qint64 max16 = 32767;
    const qint64 min32 = -2147483648LL;
    const qint64 max32 = 2147483647LL;
    const QString none;

    // clang-format off
    QTest::newRow("add16 up to the largest") << u"add"_s << 16 << max16 - 1 << qint64(1) << max16 << none;
    QTest::newRow("add16 past the largest") << u"add"_s << 16 << max16 << qint64(1) << qint64(0) << Overflow;
    QTest::newRow("add16 down to the smallest") << u"add"_s << 16 << min16 + 1 << qint64(-1) << min16 << none;
    QTest::newRow("add16 past the smallest") << u"add"_s << 16 << min16 << qint64(-1) << qint64(0) << Overflow;
    QTest::newRow("add32 up to the largest") << u"add"_s << 32 << max32 - 1 << qint64(1) << max32 << none;
    QTest::newRow("add32 past the largest") << u"add"_s << 32 << max32 << qint64(1) << qint64(0) << Overflow;
    QTest::newRow("add32 down to the smallest") << u"add"_s << 32 << min32 + 1 << qint64(-1) << min32 << none;
    QTest::newRow("add32 past the smallest") << u"add"_s << 32 << min32 << qint64(-1) << qint64(0) << Overflow;

    QTest::newRow("sub16 down to the smallest") << u"sub"_s << 16 << qint64(-1) << max16 << min16 << none;
    QTest::newRow("sub16 past the smallest") << u"sub"_s << 16 << min16 << qint64(1) << qint64(0) << Overflow;
    QTest::newRow("sub16 up to the largest") << u"sub"_s << 16 << max16 - 1 << qint64(-1) << max16 << none;
    QTest::newRow("sub16 past the largest") << u"sub"_s << 16 << max16 << qint64(-1) << qint64(0) << Overflow;
    QTest::newRow("sub16 negating the smallest") << u"sub"_s << 16 << qint64(0) << min16 << qint64(0) << Overflow;
    QTest::newRow("sub32 down to the smallest") << u"sub"_s << 32 << min32 + 1 << qint64(1) << min32 << none;
    QTest::newRow("sub32 past the smallest") << u"sub"_s << 32 << min32 << qint64(1) << qint64(0) << Overflow;
    QTest::newRow("sub32 a second below the smallest") << u"sub"_s << 32 << min32 << qint64(1000) << qint64(0) << Overflow;
    QTest::newRow("sub32 up to the largest") << u"sub"_s << 32 << max32 - 1 << qint64(-1) << max32 << none;
    QTest::newRow("sub32 past the largest") << u"sub"_s << 32 << max32 << qint64(-1) << qint64(0) << Overflow;
    QTest::newRow("sub32 negating the smallest") << u"sub"_s << 32 << qint64(0) << min32 << qint64(0) << Overflow;

    QTest::newRow("mul16 just below the largest") << u"mul"_s << 16 << qint64(181) << qint64(181) << qint64(32761) << none;
    QTest::newRow("mul16 past the largest") << u"mul"_s << 16 << qint64(16384) << qint64(2) << qint64(0) << Overflow;
    QTest::newRow("mul16 down to the smallest") << u"mul"_s << 16 << qint64(-16384) << qint64(2) << min16 << none;
    QTest::newRow("mul16 past the smallest") << u"mul"_s << 16 << qint64(-182) << qint64(181) << qint64(0) << Overflow;
    QTest::newRow("mul16 negating the smallest") << u"mul"_s << 16 << min16 << qint64(-1) << qint64(0) << Overflow;
    QTest::newRow("mul32 longest level in milliseconds") << u"mul"_s << 32 << qint64(35791) << qint64(60000) << qint64(2147460000) << none;
    QTest::newRow("mul32 a minute too long") << u"mul"_s << 32 << qint64(35792) << qint64(60000) << qint64(0) << Overflow;
    QTest::newRow("mul32 past the largest") << u"mul"_s << 32 << qint64(1073741824) << qint64(2) << qint64(0) << Overflow;
    QTest::newRow("mul32 down to the smallest") << u"mul"_s << 32 << qint64(-1073741824) << qint64(2) << min32 << none;
    QTest::newRow("mul32 past the smallest") << u"mul"_s << 32 << qint64(-46341) << qint64(46341) << qint64(0) << Overflow;
    QTest::newRow("mul32 negating the smallest") << u"mul"_s << 32 << min32 << qint64(-1) << qint64(0) << Overflow;

    QTest::newRow("narrow16 the largest") << u"narrow"_s << 16 << max16 << qint64(0) << max16 << none;
    QTest::newRow("narrow16 past the largest") << u"narrow"_s << 16 << max16 + 1 << qint64(0) << qint64(0) << Overflow;
    QTest::newRow("narrow16 the smallest") << u"narrow"_s << 16 << min16 << qint64(0) << min16 << none;
    QTest::newRow("narrow16 past the smallest") << u"narrow"_s << 16 << min16 - 1 << qint64(0) << qint64(0) << Overflow;
    QTest::newRow("narrow32 the largest") << u"narrow"_s << 32 << max32 << qint64(0) << max32 << none;
    QTest::newRow("narrow32 past the largest") << u"narrow"_s << 32 << max32 + 1 << qint64(0) << qint64(0) << Overflow;
    QTest::newRow("narrow32 the smallest") << u"narrow"_s << 32 << min32 << qint64(0) << min32 << none;
    QTest::newRow("narrow32 past the smallest") << u"narrow"_s << 32 << min32 - 1 << qint64(0) << qint64(0) << Overflow;

    const qint64 max64 = std::numeric_limits<qint64>::max();
    const qint64 min64 = std::numeric_limits<qint64>::min();
    QTest::newRow("add64 up to the largest") << u"add"_s << 64 << max64 - 1 << qint64(1) << max64 << none;
    QTest::newRow("add64 past the largest") << u"add"_s << 64 << max64 << qint64(1) << qint64(0) << Overflow;
    QTest::newRow("add64 down to the smallest") << u"add"_s << 64 << min64 + 1 << qint64(-1) << min64 << none;
    QTest::newRow("add64 past the smallest") << u"add"_s << 64 << min64 << qint64(-1) << qint64(0) << Overflow;
    QTest::newRow("mul64 up to the largest") << u"mul"_s << 64 << max64 / 7 << qint64(7) << max64 / 7 * 7 << none;
    QTest::newRow("mul64 past the largest") << u"mul"_s << 64 << max64 / 7 + 1 << qint64(7) << qint64(0) << Overflow;
    QTest::newRow("mul64 both negative past the largest") << u"mul"_s << 64 << -(max64 / 7 + 1) << qint64(-7) << qint64(0) << Overflow;
    QTest::newRow("mul64 down to the smallest") << u"mul"_s << 64 << min64 / 2 << qint64(2) << min64 << none;
    QTest::newRow("mul64 past the smallest") << u"mul"_s << 64 << qint64(2) << min64 / 2 - 1 << qint64(0) << Overflow;
    QTest::newRow("mul64 negating the smallest") << u"mul"_s << 64 << min64 << qint64(-1) << qint64(0) << Overflow;
    QTest::newRow("mul64 by zero") << u"mul"_s << 64 << min64 << qint64(0) << qint64(0) << none;
    // clang-format on
}

void TestChecked::arithmetic() {
    QFETCH(QString, op);
    QFETCH(int, bits);
    QFETCH(qint64, a);
    QFETCH(qint64, b);
    QFETCH(qint64, result);
    QFETCH(QString, error);

    // A row whose operands do not fit the type would test something else.
    if (op == u"narrow")
        QVERIFY(bits == 16 ? fits<qint32>(a) : true);
    else if (bits < 64)
        QVERIFY(bits == 16 ? fits<qint16>(a) && fits<qint16>(b)
                           : fits<qint32>(a) && fits<qint32>(b));

    qint64 actual = 0;
    const QString thrown = thrownBy([&] {
        actual = bits == 16   ? apply<qint16>(op, a, b)
                 : bits == 32 ? apply<qint32>(op, a, b)
                              : apply<qint64>(op, a, b);
    });
    QCOMPARE(thrown, error);
    if (error.isEmpty())
        QCOMPARE(actual, result);
}

void TestChecked::index_data() {
    QTest::addColumn<int>("i");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("error"); // empty when i lies within the table

    // clang-format off
    QTest::newRow("first entry") << 0 << 11 << QString();
    QTest::newRow("last entry") << 10 << 11 << QString();
    QTest::newRow("one past the end") << 11 << 11 << Subscript;
    QTest::newRow("one before the start") << -1 << 11 << Subscript;
    QTest::newRow("largest 16-bit index") << 32767 << 11 << Subscript;
    QTest::newRow("smallest 16-bit index") << -32768 << 11 << Subscript;
    QTest::newRow("empty table") << 0 << 0 << Subscript;
    // clang-format on
}

void TestChecked::index() {
    QFETCH(int, i);
    QFETCH(int, size);
    QFETCH(QString, error);
    std::size_t actual = 0;
    const QString thrown = thrownBy(
        [&] { actual = checked::index(static_cast<qint16>(i), static_cast<std::size_t>(size)); });
    QCOMPARE(thrown, error);
    if (error.isEmpty())
        QCOMPARE(actual, static_cast<std::size_t>(i));
}

QTEST_APPLESS_MAIN(TestChecked)
#include "tst_checked.moc"
