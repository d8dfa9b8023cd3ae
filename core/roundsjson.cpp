#include "core/roundsjson.h"

#include "core/amounts.h"
#include "core/structure.h"
#include "core/tournamentfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace orvandel {

namespace {

constexpr qint64 MsPerMinute = 60'000;

QString anteKey(AnteKind kind) {
    switch (kind) {
    case AnteKind::None:
        break;
    case AnteKind::Ante:
        return QStringLiteral("ante");
    case AnteKind::BigBlind:
        return QStringLiteral("bigBlind");
    }
    return QStringLiteral("none");
}

QJsonObject row(const QString &level, const QString &small, const QString &big, const QString &ante,
                int minutes, const QString &note, qint64 startMs) {
    return {{QStringLiteral("level"), level},
            {QStringLiteral("small"), small},
            {QStringLiteral("big"), big},
            {QStringLiteral("ante"), ante},
            {QStringLiteral("minutes"), minutes},
            {QStringLiteral("note"), note},
            {QStringLiteral("starts"), startText(startMs)}};
}

QByteArray document(const QString &name, AnteKind ante, const QJsonArray &rounds) {
    const QJsonObject root{{QStringLiteral("name"), name},
                           {QStringLiteral("ante"), anteKey(ante)},
                           {QStringLiteral("rounds"), rounds}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace

QByteArray roundsToJson(const Structure &structure) {
    const std::vector<int> numbers = levelNumbers(structure);
    const std::vector<qint64> starts = roundStartsMs(structure);
    // As the editor shows them: a big blind or an ante of 0 is left blank.
    const auto amount = [](qint64 value, bool blankWhenZero) {
        return value == 0 && blankWhenZero ? QString() : groupedAmount(value);
    };
    QJsonArray rounds;
    for (std::size_t i = 0; i < structure.rounds.size(); ++i) {
        const Round &round = structure.rounds[i];
        if (const auto *pause = std::get_if<Break>(&round)) {
            rounds.append(
                row(QStringLiteral("Break"), {}, {}, {}, pause->minutes, pause->note, starts[i]));
            continue;
        }
        const auto &level = std::get<Level>(round);
        const QString ante =
            structure.ante == AnteKind::None ? QString() : amount(level.ante, true);
        rounds.append(row(QString::number(numbers[i]), amount(level.small, false),
                          amount(level.big, true), ante, level.minutes, {}, starts[i]));
    }
    return document(structure.name, structure.ante, rounds);
}

QByteArray roundsToJson(const Tournament &tournament) {
    QJsonArray rounds;
    qint64 at = 0;
    for (std::size_t i = 0; i < tournament.levels.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        // Level 1 is never a break, as the file's reader and the clock have it.
        const bool isBreak = number >= 2 && number == tournament.breakRound;
        const int minutes = isBreak ? tournament.breakMinutes : tournament.levelMinutes;
        const LevelBlinds &blinds = tournament.levels[i];
        rounds.append(
            isBreak ? row(QStringLiteral("Break"), {}, {}, {}, minutes, {}, at)
                    : row(QString::number(number), blinds.small, blinds.big, {}, minutes, {}, at));
        // At most 10 levels of 32767 minutes: far from any overflow.
        at += qint64{minutes} * MsPerMinute;
    }
    return document({}, AnteKind::None, rounds);
}

} // namespace orvandel
