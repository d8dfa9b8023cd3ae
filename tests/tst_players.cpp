// The players, chips and prize pool figures over their edges, and the payouts
// as typed.
#include "core/players.h"

#include <QTest>
#include <limits>
#include <optional>

using namespace orvandel;
using namespace Qt::StringLiterals;
using Counts = QList<qint64>;   // entries, out, rebuys, add-ons
using Settings = QList<qint64>; // starting, rebuy, add-on chips; buy-in, rebuy, add-on price
using Percentages = QList<int>;
using BigBlind = std::optional<qint64>;

class TestPlayers : public QObject {
    Q_OBJECT

private slots:
    void figures_data();
    void figures();
    void payouts_data();
    void payouts();
};

void TestPlayers::figures_data() {
    QTest::addColumn<Counts>("counts");
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<Percentages>("payouts");
    QTest::addColumn<BigBlind>("bigBlind");
    QTest::addColumn<QStringList>("texts"); // players, average, prize pool, places

    constexpr qint64 Max = std::numeric_limits<qint64>::max();
    const Percentages p532 = {50, 30, 20};
    const Percentages p23 = {12, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
    // clang-format off
    QTest::newRow("forty entries, seventeen out") << Counts{40, 17, 0, 0} << Settings{15000, 0, 0, 100, 0, 0} << p532 << BigBlind(400)
        << QStringList{u"Players 23 of 40"_s, u"Average 26,087 (65.2 BB)"_s, u"Prize pool 4,000"_s, u"1st 2,000 · 2nd 1,200 · 3rd 800"_s};
    QTest::newRow("rebuys and add-ons") << Counts{40, 17, 12, 8} << Settings{10000, 10000, 15000, 100, 100, 50} << p532 << BigBlind(400)
        << QStringList{u"Players 23 of 40"_s, u"Average 27,826 (69.6 BB)"_s, u"Prize pool 5,600"_s, u"1st 2,800 · 2nd 1,680 · 3rd 1,120"_s};
    QTest::newRow("half a chip and half a tenth round up") << Counts{3, 1, 0, 0} << Settings{5, 0, 0, 0, 0, 0} << p532 << BigBlind(32)
        << QStringList{u"Players 2 of 3"_s, u"Average 8 (0.3 BB)"_s, u"Prize pool 0"_s, u"1st 0 · 2nd 0 · 3rd 0"_s};
    QTest::newRow("a third of a chip rounds down") << Counts{4, 1, 0, 0} << Settings{4, 0, 0, 0, 0, 0} << Percentages{} << BigBlind(3)
        << QStringList{u"Players 3 of 4"_s, u"Average 5 (1.7 BB)"_s, u"Prize pool 0"_s, u""_s};
    QTest::newRow("no one left") << Counts{40, 40, 3, 2} << Settings{15000, 1, 1, 100, 10, 10} << Percentages{100} << BigBlind(400)
        << QStringList{u"Players 0 of 40"_s, u"Average —"_s, u"Prize pool 4,050"_s, u"1st 4,050"_s};
    QTest::newRow("more out than entries") << Counts{5, 7, 0, 0} << Settings{100, 0, 0, 0, 0, 0} << Percentages{} << BigBlind(400)
        << QStringList{u"Players 0 of 5"_s, u"Average —"_s, u"Prize pool 0"_s, u""_s};
    QTest::newRow("nothing entered") << Counts{0, 0, 0, 0} << Settings{0, 0, 0, 0, 0, 0} << Percentages{} << BigBlind()
        << QStringList{u"Players 0 of 0"_s, u"Average —"_s, u"Prize pool 0"_s, u""_s};
    QTest::newRow("a zero big blind") << Counts{2, 0, 0, 0} << Settings{1000, 0, 0, 0, 0, 0} << Percentages{} << BigBlind(0)
        << QStringList{u"Players 2 of 2"_s, u"Average 1,000"_s, u"Prize pool 0"_s, u""_s};
    QTest::newRow("no big blind") << Counts{2, 0, 0, 0} << Settings{1000, 0, 0, 0, 0, 0} << Percentages{} << BigBlind()
        << QStringList{u"Players 2 of 2"_s, u"Average 1,000"_s, u"Prize pool 0"_s, u""_s};
    QTest::newRow("remainder to first") << Counts{1, 0, 0, 0} << Settings{0, 0, 0, 10, 0, 0} << Percentages{33, 33, 34} << BigBlind()
        << QStringList{u"Players 1 of 1"_s, u"Average 0"_s, u"Prize pool 10"_s, u"1st 4 · 2nd 3 · 3rd 3"_s};
    QTest::newRow("a unit for two places") << Counts{1, 0, 0, 0} << Settings{0, 0, 0, 1, 0, 0} << Percentages{50, 50} << BigBlind()
        << QStringList{u"Players 1 of 1"_s, u"Average 0"_s, u"Prize pool 1"_s, u"1st 1 · 2nd 0"_s};
    QTest::newRow("twenty-three places") << Counts{1, 0, 0, 0} << Settings{0, 0, 0, 100, 0, 0} << p23 << BigBlind()
        << QStringList{u"Players 1 of 1"_s, u"Average 0"_s, u"Prize pool 100"_s,
                       u"1st 12 · 2nd 4 · 3rd 4 · 4th 4 · 5th 4 · 6th 4 · 7th 4 · 8th 4 · 9th 4 · 10th 4 · 11th 4 · 12th 4 · "_s
                       u"13th 4 · 14th 4 · 15th 4 · 16th 4 · 17th 4 · 18th 4 · 19th 4 · 20th 4 · 21st 4 · 22nd 4 · 23rd 4"_s};
    QTest::newRow("chips and pool fill 64 bits") << Counts{Max, 0, 0, 0} << Settings{1, 0, 0, 1, 0, 0} << p532 << BigBlind(1)
        << QStringList{u"Players 9,223,372,036,854,775,807 of 9,223,372,036,854,775,807"_s, u"Average 1 (1.0 BB)"_s,
                       u"Prize pool 9,223,372,036,854,775,807"_s,
                       u"1st 4,611,686,018,427,387,904 · 2nd 2,767,011,611,056,432,742 · 3rd 1,844,674,407,370,955,161"_s};
    QTest::newRow("a sum one past 64 bits") << Counts{Max, 0, 1, 0} << Settings{1, 1, 0, 1, 1, 0} << p532 << BigBlind(1)
        << QStringList{u"Players 9,223,372,036,854,775,807 of 9,223,372,036,854,775,807"_s, u"Average —"_s, u"Prize pool —"_s, u""_s};
    QTest::newRow("a product past 64 bits") << Counts{4294967296, 0, 0, 0} << Settings{2147483648, 0, 0, 2147483647, 0, 0} << Percentages{} << BigBlind(1)
        << QStringList{u"Players 4,294,967,296 of 4,294,967,296"_s, u"Average —"_s, u"Prize pool 9,223,372,032,559,808,512"_s, u""_s};
    QTest::newRow("an add-on product past 64 bits") << Counts{1, 0, 0, 3} << Settings{0, 0, Max / 2, 0, 0, Max / 3 + 1} << Percentages{} << BigBlind(1)
        << QStringList{u"Players 1 of 1"_s, u"Average —"_s, u"Prize pool —"_s, u""_s};
    QTest::newRow("big blinds in tenths past 64 bits") << Counts{1, 0, 0, 0} << Settings{Max, 0, 0, 0, 0, 0} << Percentages{} << BigBlind(1)
        << QStringList{u"Players 1 of 1"_s, u"Average 9,223,372,036,854,775,807"_s, u"Prize pool 0"_s, u""_s};
    QTest::newRow("big blinds in tenths just within") << Counts{1, 0, 0, 0} << Settings{Max, 0, 0, 0, 0, 0} << Percentages{} << BigBlind(10)
        << QStringList{u"Players 1 of 1"_s, u"Average 9,223,372,036,854,775,807 (922,337,203,685,477,580.7 BB)"_s, u"Prize pool 0"_s, u""_s};
    QTest::newRow("a half of a huge big blind") << Counts{1, 0, 0, 0} << Settings{5764607523034234880, 0, 0, 0, 0, 0} << Percentages{} << BigBlind(4611686018427387904)
        << QStringList{u"Players 1 of 1"_s, u"Average 5,764,607,523,034,234,880 (1.3 BB)"_s, u"Prize pool 0"_s, u""_s};
    QTest::newRow("nearly two huge big blinds") << Counts{1, 0, 0, 0} << Settings{Max, 0, 0, 0, 0, 0} << Percentages{} << BigBlind(Max / 2 + 1)
        << QStringList{u"Players 1 of 1"_s, u"Average 9,223,372,036,854,775,807 (2.0 BB)"_s, u"Prize pool 0"_s, u""_s};
    QTest::newRow("a chip over many players") << Counts{Max, 1, 0, 0} << Settings{1, 0, 0, 0, 0, 0} << Percentages{} << BigBlind(2)
        << QStringList{u"Players 9,223,372,036,854,775,806 of 9,223,372,036,854,775,807"_s, u"Average 1 (0.5 BB)"_s, u"Prize pool 0"_s, u""_s};
    // clang-format on
}

void TestPlayers::figures() {
    QFETCH(Counts, counts);
    QFETCH(Settings, settings);
    QFETCH(Percentages, payouts);
    QFETCH(BigBlind, bigBlind);
    QFETCH(QStringList, texts);

    const PlayerCounts c{counts[0], counts[1], counts[2], counts[3]};
    const PlayerSettings s{settings[0], settings[1], settings[2], settings[3],
                           settings[4], settings[5], payouts};
    const PlayerTexts shown = playerTexts(c, s, bigBlind, QLocale::c());
    QCOMPARE(shown.players, texts[0]);
    QCOMPARE(shown.average, texts[1]);
    QCOMPARE(shown.prizePool, texts[2]);
    QCOMPARE(shown.payouts, texts[3]);
}

void TestPlayers::payouts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Percentages>("read");
    QTest::addColumn<QString>("problem");

    const Percentages p532 = {50, 30, 20};
    const QString none;
    // clang-format off
    QTest::newRow("blanks") << "50 30 20" << p532 << none;
    QTest::newRow("commas") << "50,30,20" << p532 << none;
    QTest::newRow("both, tabs and lines, around too") << " ,50,\t30 ,\n20, " << p532 << none;
    QTest::newRow("percent signs") << "50% 30% 20%" << p532 << none;
    QTest::newRow("leading zeros") << "050 0050" << Percentages{50, 50} << none;
    QTest::newRow("all to one") << "100" << Percentages{100} << none;
    QTest::newRow("a hundred places") << QString(QStringLiteral("1 ").repeated(100)) << Percentages(100, 1) << none;
    QTest::newRow("nothing typed") << "" << Percentages{} << none;
    QTest::newRow("only separators") << " , " << Percentages{} << none;
    QTest::newRow("short of 100") << "50 30 10" << Percentages{} << "The payouts add up to 90 %, not 100 %.";
    QTest::newRow("over 100") << "60 30 20" << Percentages{} << "The payouts add up to 110 %, not 100 %.";
    QTest::newRow("a hundred and one places") << QString(QStringLiteral("1,").repeated(101)) << Percentages{} << "The payouts add up to 101 %, not 100 %.";
    QTest::newRow("zero") << "0 50 50" << Percentages{} << "“0” is not a whole percentage from 1 to 100.";
    QTest::newRow("101") << "101" << Percentages{} << "“101” is not a whole percentage from 1 to 100.";
    QTest::newRow("a fraction") << "50.5 49.5" << Percentages{} << "“50.5” is not a whole percentage from 1 to 100.";
    QTest::newRow("a sign") << "-50 150" << Percentages{} << "“-50” is not a whole percentage from 1 to 100.";
    QTest::newRow("letters after") << "50 30 20x" << Percentages{} << "“20x” is not a whole percentage from 1 to 100.";
    QTest::newRow("a percent sign alone") << "50 % 50" << Percentages{} << "“%” is not a whole percentage from 1 to 100.";
    QTest::newRow("two percent signs") << "50%% 50" << Percentages{} << "“50%%” is not a whole percentage from 1 to 100.";
    QTest::newRow("wide digits") << "５０ ５０" << Percentages{} << "“５０” is not a whole percentage from 1 to 100.";
    QTest::newRow("past 64 bits, cut short") << "99999999999999999999 1" << Percentages{} << "“99999999999…” is not a whole percentage from 1 to 100.";
    // clang-format on
}

void TestPlayers::payouts() {
    QFETCH(QString, text);
    QFETCH(Percentages, read);
    QFETCH(QString, problem);

    const PayoutsRead got = readPayouts(text);
    QCOMPARE(got.problem, problem);
    QCOMPARE(got.percentages, read);
}

QTEST_APPLESS_MAIN(TestPlayers)
#include "tst_players.moc"
