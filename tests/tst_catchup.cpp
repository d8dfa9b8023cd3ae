// The tick's catch-up against the steady clock, without a window.
#include "core/catchup.h"
#include "core/steadyclock.h"

#include <QTest>
#include <chrono>
#include <thread>

using orvandel::CatchUp;

class TestCatchUp : public QObject {
    Q_OBJECT

private slots:
    void timeoutsRunTheTicksThatCameDue_data();
    void timeoutsRunTheTicksThatCameDue();
    void restartCountsFromNow_data();
    void restartCountsFromNow();
    void setClockCountsFromItsReading();
    void realClockAdvancesAndNeverGoesBack();
};

void TestCatchUp::timeoutsRunTheTicksThatCameDue_data() {
    QTest::addColumn<QList<qint64>>("timeouts"); // steady-clock readings, ms
    QTest::addColumn<QList<qint64>>("ticks");    // ticks due at each
    QTest::addColumn<QList<int>>("intervals");   // next interval after each
    QTest::addColumn<QList<bool>>("reaims");     // restart the timer after each
    // clang-format off
    QTest::newRow("on time")            << QList<qint64>{1000, 2000, 3000} << QList<qint64>{1, 1, 1}
                                        << QList<int>{1000, 1000, 1000}    << QList<bool>{false, false, false};
    QTest::newRow("a little late")      << QList<qint64>{1004, 2009}       << QList<qint64>{1, 1}
                                        << QList<int>{1000, 991}           << QList<bool>{false, true};
    QTest::newRow("3.5 intervals late") << QList<qint64>{3500}             << QList<qint64>{3}
                                        << QList<int>{500}                 << QList<bool>{true};
    QTest::newRow("late, then re-aimed")<< QList<qint64>{3500, 4000, 5001} << QList<qint64>{3, 1, 1}
                                        << QList<int>{500, 1000, 1000}     << QList<bool>{true, false, false};
    QTest::newRow("faster than real")   << QList<qint64>{0, 0, 10}         << QList<qint64>{1, 1, 1}
                                        << QList<int>{1000, 1000, 1000}    << QList<bool>{false, false, false};
    QTest::newRow("a minute stalled")   << QList<qint64>{60400}            << QList<qint64>{60}
                                        << QList<int>{600}                 << QList<bool>{true};
    QTest::newRow("three minutes asleep")<< QList<qint64>{1000, 181000, 182000} << QList<qint64>{1, 180, 1}
                                        << QList<int>{1000, 1000, 1000}    << QList<bool>{false, false, false};
    QTest::newRow("999 ms late")        << QList<qint64>{1999}             << QList<qint64>{1}
                                        << QList<int>{1}                   << QList<bool>{true};
    // clang-format on
}

void TestCatchUp::timeoutsRunTheTicksThatCameDue() {
    QFETCH(QList<qint64>, timeouts);
    QFETCH(QList<qint64>, ticks);
    QFETCH(QList<int>, intervals);
    QFETCH(QList<bool>, reaims);
    qint64 now = 0;
    CatchUp catchUp([&now] { return now; });
    for (qsizetype i = 0; i < timeouts.size(); ++i) {
        now = timeouts[i];
        QCOMPARE(catchUp.ticksDue(), ticks[i]);
        const CatchUp::Next next = catchUp.next();
        QCOMPARE(next.interval.count(), intervals[i]);
        QCOMPARE(next.reaim, reaims[i]);
    }
}

void TestCatchUp::restartCountsFromNow_data() {
    QTest::addColumn<qint64>("restartAt");
    QTest::addColumn<qint64>("timeoutAt");
    QTest::addColumn<qint64>("ticks");
    // clang-format off
    QTest::newRow("one interval after")   << qint64{9000} << qint64{10000} << qint64{1};
    QTest::newRow("two intervals after")  << qint64{9000} << qint64{11000} << qint64{2};
    QTest::newRow("early timeout")        << qint64{9000} << qint64{9400}  << qint64{1};
    QTest::newRow("restart at the start") << qint64{0}    << qint64{5000}  << qint64{5};
    // clang-format on
}

void TestCatchUp::restartCountsFromNow() {
    QFETCH(qint64, restartAt);
    QFETCH(qint64, timeoutAt);
    QFETCH(qint64, ticks);
    qint64 now = 0;
    CatchUp catchUp([&now] { return now; });
    // A pause in the middle of a stall: the time before the resume is not owed.
    now = 3500;
    QCOMPARE(catchUp.ticksDue(), qint64{3});
    now = restartAt;
    catchUp.restart();
    now = timeoutAt;
    QCOMPARE(catchUp.ticksDue(), ticks);
}

void TestCatchUp::setClockCountsFromItsReading() {
    qint64 first = 0;
    CatchUp catchUp([&first] { return first; });
    first = 7000;
    qint64 second = 100000;
    catchUp.setClock([&second] { return second; });
    second = 102000;
    QCOMPARE(catchUp.ticksDue(), qint64{2});
}

// The clock the window really uses: steady, and in milliseconds.
void TestCatchUp::realClockAdvancesAndNeverGoesBack() {
    const auto wallStart = std::chrono::steady_clock::now();
    const qint64 start = orvandel::steadyNowMs();
    qint64 last = start;
    for (int i = 0; i < 10000; ++i) {
        const qint64 now = orvandel::steadyNowMs();
        QVERIFY2(now >= last, qPrintable(QStringLiteral("%1 after %2").arg(now).arg(last)));
        last = now;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds{50});
    const qint64 advanced = orvandel::steadyNowMs() - start;
    const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - wallStart)
                          .count();
    QVERIFY2(advanced >= 49, qPrintable(QString::number(advanced)));
    QVERIFY2(advanced <= wall + 20, qPrintable(QStringLiteral("%1 of %2").arg(advanced).arg(wall)));
}

QTEST_APPLESS_MAIN(TestCatchUp)
#include "tst_catchup.moc"
