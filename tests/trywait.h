#pragma once

// Waiting for what comes through the event loop. From Qt 6.7 on, Qt's QTRY_*
// macros narrow their timeout to int inside the macro, which -Wconversion
// reports at every use; these wait through QTest::qWaitFor instead, the
// timeout a std::chrono duration handed to it as each Qt takes it.

#include <QTest>
#include <chrono>

namespace testsupport {

template <typename Predicate>
[[nodiscard]] bool waitFor(Predicate predicate,
                           std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    return QTest::qWaitFor(predicate, QDeadlineTimer(timeout));
#else
    return QTest::qWaitFor(predicate, static_cast<int>(timeout.count()));
#endif
}

} // namespace testsupport

// QTRY_VERIFY and QTRY_COMPARE: wait up to five seconds (or the timeout
// given), then check, so that a failed comparison shows both values.
#define TRY_VERIFY(expr) QVERIFY(testsupport::waitFor([&] { return static_cast<bool>(expr); }))
#define TRY_COMPARE_WITH_TIMEOUT(actual, expected, timeout)                                        \
    do {                                                                                           \
        static_cast<void>(testsupport::waitFor([&] { return (actual) == (expected); }, timeout));  \
        QCOMPARE(actual, expected);                                                                \
    } while (false)
#define TRY_COMPARE(actual, expected)                                                              \
    TRY_COMPARE_WITH_TIMEOUT(actual, expected, std::chrono::seconds(5))
