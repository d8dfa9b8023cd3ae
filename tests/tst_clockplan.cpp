// The rounds as the clock runs them, from blinds.dat and from a structure:
// their texts, lengths and breaks, and the time to the next break.
#include "core/clockplan.h"

#include <QTest>

using namespace orvandel;

Q_DECLARE_METATYPE(orvandel::ClockPlan)

namespace {

// Three levels of 20 minutes, the break at `breakRound` of 15.
ClockPlan tournament(qint16 breakRound) {
    const auto blinds = [](const char *small, const char *big) {
        return LevelBlinds{QString::fromLatin1(small), QString::fromLatin1(big)};
    };
    Tournament t{3,
                 20,
                 {blinds("$5", "$10"), blinds("Break", "Time!"), blinds("$25", "$50")},
                 breakRound,
                 15};
    return planOf(t);
}

// A structure of every kind of round: no ante, an ante, a break with its
// note, a level of big amounts, a long final level.
ClockPlan structure(AnteKind kind) {
    Structure s;
    s.ante = kind;
    s.rounds = {Level{25, 50, 0, 20}, Level{100, 200, 25, 15},
                Break{10, QStringLiteral("Colour up")}, Level{250'000, 500'000, 500'000, 30},
                Level{1'000'000, 2'000'000, 0, 600}};
    return planOf(s);
}

} // namespace

class TestClockPlan : public QObject {
    Q_OBJECT

private slots:
    void rounds_data() {
        QTest::addColumn<ClockPlan>("plan");
        QTest::addColumn<int>("round");
        QTest::addColumn<QString>("blinds");
        QTest::addColumn<QString>("ante");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("isBreak");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("note");
        const ClockPlan ante = structure(AnteKind::Ante);
        const ClockPlan bb = structure(AnteKind::BigBlind);
        // clang-format off
        QTest::newRow("blinds.dat level 1") << tournament(2) << 1 << "$5 $10" << "" << 20 << false << 1 << "";
        QTest::newRow("blinds.dat break") << tournament(2) << 2 << "Break Time!" << "" << 15 << true << 2 << "";
        QTest::newRow("blinds.dat break at 1: loaded, a level's length") << tournament(1) << 1 << "$5 $10" << "" << 20 << true << 1 << "";
        QTest::newRow("blinds.dat final") << tournament(2) << 3 << "$25 $50" << "" << 20 << false << 3 << "";
        QTest::newRow("blinds.dat end, the break after the last") << tournament(4) << 4 << " " << "" << 15 << true << 4 << "";
        QTest::newRow("blinds.dat past the end") << tournament(2) << 5 << " " << "" << 0 << false << 0 << "";
        QTest::newRow("blinds.dat before the start") << tournament(2) << 0 << " " << "" << 0 << false << 0 << "";
        QTest::newRow("no ante") << ante << 1 << "25 50" << "" << 20 << false << 1 << "";
        QTest::newRow("ante") << ante << 2 << "100 200" << "Ante 25" << 15 << false << 2 << "";
        QTest::newRow("big blind ante") << bb << 2 << "100 200" << "BB ante 25" << 15 << false << 2 << "";
        QTest::newRow("break") << bb << 3 << "Break Time!" << "" << 10 << true << 0 << "Colour up";
        QTest::newRow("after the break, grouped") << bb << 4 << "250,000 500,000" << "BB ante 500,000" << 30 << false << 3 << "";
        QTest::newRow("long final") << ante << 5 << "1,000,000 2,000,000" << "" << 600 << false << 4 << "";
        QTest::newRow("end") << ante << 6 << " " << "" << 600 << false << 0 << "";
        // clang-format on
    }
    void rounds() {
        QFETCH(ClockPlan, plan);
        QFETCH(int, round);
        QFETCH(QString, blinds);
        QFETCH(QString, ante);
        QFETCH(int, minutes);
        QFETCH(bool, isBreak);
        QFETCH(int, level);
        QFETCH(QString, note);
        const PlanRound &r = plan.round(round);
        QCOMPARE(r.small + u' ' + r.big, blinds);
        QCOMPARE(r.ante, ante);
        QCOMPARE(r.lengthMs, minutes * 60'000);
        QCOMPARE(r.isBreak, isBreak);
        QCOMPARE(r.levelNumber, level);
        QCOMPARE(r.note, note);
    }

    void nextBreak_data() {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("remainingMs");
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("the round before") << 2 << 61'000 << qint64{61'000} << "Break in 01:01";
        QTest::newRow("two rounds before") << 1 << 1'000 << qint64{901'000} << "Break in 15:01";
        QTest::newRow("an hour and more") << 1 << 3'300'000 << qint64{4'200'000} << "Break in 1:10:00";
        QTest::newRow("minutes added past the round") << 2 << 36'000'000 << qint64{36'000'000} << "Break in 10:00:00";
        QTest::newRow("during the break") << 3 << 1'000 << qint64{-1} << "";
        QTest::newRow("no break ahead") << 4 << 1'000 << qint64{-1} << "";
        QTest::newRow("the end") << 6 << 0 << qint64{-1} << "";
        // clang-format on
    }
    void nextBreak() {
        QFETCH(int, round);
        QFETCH(int, remainingMs);
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        const qint64 found =
            structure(AnteKind::Ante).msToNextBreak(static_cast<qint16>(round), remainingMs);
        QCOMPARE(found, ms);
        if (found >= 0)
            QCOMPARE(breakInText(found), text);
    }
};

QTEST_APPLESS_MAIN(TestClockPlan)

#include "tst_clockplan.moc"
