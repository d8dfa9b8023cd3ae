#pragma once
// What the tournament file suites share: readable failure output for a
// Tournament, and builders for tournaments and the files that hold them.
#include "core/tournamentfile.h"
#include "testsupport.h"

#include <QTest>
#include <utility>
#include <vector>

Q_DECLARE_METATYPE(orvandel::Tournament)
Q_DECLARE_METATYPE(orvandel::ReadError)

namespace orvandel {
// Readable failure output for QCOMPARE.
inline char *toString(const Tournament &t) {
    using namespace Qt::StringLiterals;
    QString text = u"count %1, minutes %2, levels ["_s.arg(t.levelCount).arg(t.levelMinutes);
    for (const LevelBlinds &level : t.levels)
        text += u" {%1|%2}"_s.arg(level.small, level.big);
    text += u" ], break %1 for %2"_s.arg(t.breakRound).arg(t.breakMinutes);
    return QTest::toString(text);
}
} // namespace orvandel

namespace testsupport {

using Pairs = std::vector<std::pair<QString, QString>>;

inline orvandel::Tournament make(qint32 levelMinutes, const Pairs &levels, qint16 breakRound,
                                 qint32 breakMinutes) {
    orvandel::Tournament t;
    t.levelCount = static_cast<qint16>(levels.size());
    t.levelMinutes = levelMinutes;
    for (const auto &[small, big] : levels)
        t.levels.push_back({small, big});
    t.breakRound = breakRound;
    t.breakMinutes = breakMinutes;
    return t;
}

// The tournament in testsupport::ExampleTournament.
inline orvandel::Tournament example() {
    using namespace Qt::StringLiterals;
    return make(20,
                {{u"$10"_s, u"$20"_s},
                 {u"$20"_s, u"$40"_s},
                 {u"Break"_s, u"Time!"_s},
                 {u"$50"_s, u"$100"_s}},
                3, 15);
}

// A file of `count` levels of 5 minutes, level 2 a break of 10 minutes, and
// the tournament it holds.
inline QByteArray countedFile(int count) {
    return tournamentFile(count, 5, 2, 10);
}

inline orvandel::Tournament countedTournament(int count) {
    using namespace Qt::StringLiterals;
    Pairs levels;
    for (int n = 1; n <= count; ++n) {
        if (n == 2)
            levels.emplace_back(u"Break"_s, u"Time!"_s);
        else
            levels.emplace_back(u"$"_s + QString::number(n) + u"0"_s,
                                u"$"_s + QString::number(n) + u"00"_s);
    }
    return make(5, levels, 2, 10);
}

// One level "$1"/"$2" with the given first and last lines.
inline QByteArray oneLevelFile(const QByteArray &first, const QByteArray &last) {
    return first + "\r\n\"$1\",\"$2\"\r\n" + last + "\r\n";
}

// One level with the given blind texts, as bytes, then "0,0".
inline QByteArray blindsFile(const QByteArray &small, const QByteArray &big) {
    return "1,5\r\n\"" + small + "\",\"" + big + "\"\r\n0,0\r\n";
}

} // namespace testsupport
