// The rounds as the clock runs them, from blinds.dat and from a structure,
// the time to the next break, and the rounds as the live pages list them.
#include "core/clockplan.h"
#include "core/roundsjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace orvandel;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(orvandel::ClockPlan)

namespace {

// Three levels of 20 minutes, the break at `breakRound` of 15.
Tournament levels(qint16 breakRound) {
    Tournament t;
    t.levelCount = 3;
    t.levelMinutes = 20;
    t.levels.assign(3, {QStringLiteral("$5"), QStringLiteral("$10")});
    t.breakRound = breakRound;
    t.breakMinutes = 15;
    return t;
}
ClockPlan tournament(qint16 breakRound) {
    return planOf(levels(breakRound));
}

// "name|ante", then "level|small|big|ante|minutes|note|starts" of each round.
QString listed(const QByteArray &json) {
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    QStringList all = {root[u"name"].toString() + u'|' + root[u"ante"].toString()};
    for (const QJsonValue round : root[u"rounds"].toArray()) {
        QStringList fields;
        for (const char16_t *key : {u"level", u"small", u"big", u"ante"})
            fields << round[key].toString();
        fields << QString::number(round[u"minutes"].toInt()) << round[u"note"].toString()
               << round[u"starts"].toString();
        all << fields.join(u'|');
    }
    return all.join(u"; "_s);
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

    void listedRounds_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");
        QLocale::setDefault(QLocale::c());
        const std::vector<Round> antes = {
            Level{25, 50, 0, 20}, Level{100, 200, 25, 20}, Break{15, u"Colour up the 25s"_s},
            Level{25'000, 50'000, 5'000, 30}, Level{1'000'000, 2'000'000, 0, 45}};
        // clang-format off
        QTest::newRow("antes") << roundsToJson({u"Sunday"_s, AnteKind::Ante, antes})
            << u"Sunday|ante; 1|25|50||20||0:00; 2|100|200|25|20||0:20; Break||||15|Colour up the 25s|0:40; "
               "3|25,000|50,000|5,000|30||0:55; 4|1,000,000|2,000,000||45||1:25"_s;
        QTest::newRow("an ante kept, not played") << roundsToJson({{}, AnteKind::None, {Level{100, 200, 25, 20}}})
            << u"|none; 1|100|200||20||0:00"_s;
        // Breaks in a row, the first round a break, starts past ten hours.
        QTest::newRow("big blind ante, long rounds") << roundsToJson({u"Main"_s, AnteKind::BigBlind,
                {Break{5, u"Seat draw"_s}, Level{500, 1'000, 1'000, 600}, Break{600, {}}, Level{7, 14, 14, 1}}})
            << u"Main|bigBlind; Break||||5|Seat draw|0:00; 1|500|1,000|1,000|600||0:05; Break||||600||10:05; "
               "2|7|14|14|1||20:05"_s;
        QTest::newRow("blinds.dat, break at 2") << roundsToJson(levels(2))
            << u"|none; 1|$5|$10||20||0:00; Break||||15||0:20; 3|$5|$10||20||0:35"_s;
        // Level 1 is never a break, as the clock runs it.
        QTest::newRow("blinds.dat, break at 1") << roundsToJson(levels(1))
            << u"|none; 1|$5|$10||20||0:00; 2|$5|$10||20||0:20; 3|$5|$10||20||0:40"_s;
        // clang-format on
    }
    void listedRounds() {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        QCOMPARE(listed(json), expected);
    }
};

QTEST_APPLESS_MAIN(TestClockPlan)

#include "tst_clockplan.moc"
