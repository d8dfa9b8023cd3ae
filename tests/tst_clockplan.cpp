// The rounds as the clock runs them, from blinds.dat and from a structure,
// and the time to the next break.
#include "core/clockplan.h"

#include <QTest>

using namespace orvandel;

Q_DECLARE_METATYPE(orvandel::ClockPlan)

namespace {

// Three levels of 20 minutes, the break at `breakRound` of 15.
ClockPlan tournament(qint16 breakRound) {
    Tournament t;
    t.levelCount = 3;
    t.levelMinutes = 20;
    t.levels.assign(3, {QStringLiteral("$5"), QStringLiteral("$10")});
    t.breakRound = breakRound;
    t.breakMinutes = 15;
    return planOf(t);
}

// No ante, an ante, a break with its note, big amounts, a long final level.
ClockPlan structure(AnteKind kind) {
    Structure s;
    s.ante = kind;
    s.rounds = {Level{25, 50, 0, 20}, Level{100, 200, 25, 15}, Break{10, QStringLiteral("Up")},
                Level{250'000, 500'000, 500'000, 30}, Level{1'000'000, 2'000'000, 0, 600}};
    return planOf(s);
}

} // namespace

class TestClockPlan : public QObject {
    Q_OBJECT

private slots:
    void rounds_data() {
        QTest::addColumn<ClockPlan>("plan");
        QTest::addColumn<int>("round");
        QTest::addColumn<QString>("want"); // "blinds|ante|minutes|break or level N|note"
        const ClockPlan ante = structure(AnteKind::Ante);
        const ClockPlan bb = structure(AnteKind::BigBlind);
        // clang-format off
        QTest::newRow("blinds.dat break") << tournament(2) << 2 << "$5 $10||15|break 2|";
        QTest::newRow("blinds.dat break at 1: loaded, a level's length") << tournament(1) << 1 << "$5 $10||20|break 1|";
        QTest::newRow("blinds.dat end, the break after the last") << tournament(4) << 4 << " ||15|break 4|";
        QTest::newRow("blinds.dat past the end") << tournament(2) << 5 << " ||0|level 0|";
        QTest::newRow("ante") << ante << 2 << "100 200|Ante 25|15|level 2|";
        QTest::newRow("big blind ante") << bb << 2 << "100 200|BB ante 25|15|level 2|";
        QTest::newRow("break") << bb << 3 << "Break Time!||10|break 0|Up";
        QTest::newRow("after the break, grouped") << bb << 4 << "250,000 500,000|BB ante 500,000|30|level 3|";
        QTest::newRow("end") << ante << 6 << " ||600|level 0|";
        // clang-format on
    }
    void rounds() {
        QFETCH(ClockPlan, plan);
        QFETCH(int, round);
        QFETCH(QString, want);
        const PlanRound &r = plan.round(round);
        const QString kind = r.isBreak ? QStringLiteral("break") : QStringLiteral("level");
        QCOMPARE(QStringLiteral("%1 %2|%3|%4|%5 %6|%7")
                     .arg(r.small, r.big, r.ante)
                     .arg(r.lengthMs / 60'000.0)
                     .arg(kind)
                     .arg(r.levelNumber)
                     .arg(r.note),
                 want);
    }

    void nextBreak_data() {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("remainingMs");
        QTest::addColumn<QString>("text"); // empty for none
        QTest::newRow("two rounds before") << 1 << 1'000 << "Break in 15:01";
        QTest::newRow("an hour and more") << 1 << 3'300'000 << "Break in 1:10:00";
        QTest::newRow("no break ahead") << 4 << 1'000 << "";
    }
    void nextBreak() {
        QFETCH(int, round);
        QFETCH(int, remainingMs);
        QFETCH(QString, text);
        const qint64 ms =
            structure(AnteKind::Ante).msToNextBreak(static_cast<qint16>(round), remainingMs);
        QCOMPARE(ms < 0 ? QString() : breakInText(ms), text);
    }
};

QTEST_APPLESS_MAIN(TestClockPlan)

#include "tst_clockplan.moc"
