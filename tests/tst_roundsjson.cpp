// The rounds the live pages list: a structure's amounts grouped, antes where
// the structure has them, breaks with their notes, the times from the start;
// a blinds.dat's texts as typed and its break level.
#include "core/roundsjson.h"
#include "core/structure.h"
#include "core/tournamentfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace orvandel;
using namespace Qt::StringLiterals;

namespace {

Tournament tournament(qint16 breakRound) {
    const std::vector<LevelBlinds> levels = {
        {u"$10"_s, u"$20"_s}, {u"$25"_s, u"$50"_s}, {u"1,000 + 25K BBA"_s, u"2000"_s}};
    return {3, 20, levels, breakRound, 10};
}

// "name|ante", then "level|small|big|ante|minutes|note|starts" of each round.
QString shown(const QByteArray &json) {
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

} // namespace

class TestRoundsJson : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void rounds_data();
    void rounds() {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        QCOMPARE(shown(json), expected);
    }
};

void TestRoundsJson::rounds_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected");
    const std::vector<Round> antes = {
        Level{25, 50, 0, 20}, Level{100, 200, 25, 20}, Break{15, u"Colour up the 25s"_s},
        Level{25'000, 50'000, 5'000, 30}, Level{1'000'000, 2'000'000, 0, 45}};
    QTest::newRow("antes") << roundsToJson({u"Sunday"_s, AnteKind::Ante, antes})
                           << u"Sunday|ante; 1|25|50||20||0:00; 2|100|200|25|20||0:20; "
                              "Break||||15|Colour up the 25s|0:40; 3|25,000|50,000|5,000|30||0:55; "
                              "4|1,000,000|2,000,000||45||1:25"_s;
    QTest::newRow("an ante kept, not played")
        << roundsToJson({{}, AnteKind::None, {Level{100, 200, 25, 20}}})
        << u"|none; 1|100|200||20||0:00"_s;
    // Breaks in a row, the first round a break, starts past ten hours.
    QTest::newRow("big blind ante, long rounds")
        << roundsToJson({u"Main"_s,
                         AnteKind::BigBlind,
                         {Break{5, u"Seat draw"_s}, Level{500, 1'000, 1'000, 600},
                          Break{600, u"Dinner, chips bagged"_s}, Break{1, {}},
                          Level{123'456, 246'912, 246'912, 1}}})
        << u"Main|bigBlind; Break||||5|Seat draw|0:00; 1|500|1,000|1,000|600||0:05; "
           "Break||||600|Dinner, chips bagged|10:05; Break||||1||20:05; "
           "2|123,456|246,912|246,912|1||20:06"_s;
    QTest::newRow("blinds.dat, break at 2")
        << roundsToJson(tournament(2))
        << u"|none; 1|$10|$20||20||0:00; Break||||10||0:20; 3|1,000 + 25K BBA|2000||20||0:30"_s;
    // Level 1 is never a break, nor a level past the last.
    for (const qint16 none : {qint16{0}, qint16{1}, qint16{4}}) {
        QTest::addRow("blinds.dat, break at %d: none", none)
            << roundsToJson(tournament(none))
            << u"|none; 1|$10|$20||20||0:00; 2|$25|$50||20||0:20; 3|1,000 + 25K BBA|2000||20||0:40"_s;
    }
}

QTEST_GUILESS_MAIN(TestRoundsJson)

#include "tst_roundsjson.moc"
