#include "core/roundsjson.h"

#include "core/clockplan.h"
#include "core/structure.h"
#include "core/tournamentfile.h"
#include "core/units.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace orvandel {

namespace {

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
                           {QStringLiteral("ante"), anteKindKey(ante)},
                           {QStringLiteral("rounds"), rounds}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace

QByteArray roundsToJson(const Structure &structure) {
    const std::vector<int> numbers = levelNumbers(structure);
    const std::vector<qint64> starts = roundStartsMs(structure);
    QJsonArray rounds;
    for (std::size_t i = 0; i < structure.rounds.size(); ++i) {
        const RoundTexts texts = roundTexts(structure, i, numbers[i]);
        rounds.append(row(texts.level, texts.small, texts.big, texts.ante,
                          roundMinutes(structure.rounds[i]), texts.note, starts[i]));
    }
    return document(structure.name, structure.ante, rounds);
}

QByteArray roundsToJson(const Tournament &tournament) {
    // The rounds as its clock runs them.
    const ClockPlan plan = planOf(tournament);
    QJsonArray rounds;
    qint64 at = 0;
    for (qint16 n = 1; n <= plan.roundCount(); ++n) {
        const PlanRound &round = plan.round(n);
        const int minutes = round.lengthMs / MsPerMinute;
        // Level 1 is reached by loading: a level, whatever the file says.
        rounds.append(round.isBreak && n >= 2
                          ? row(QStringLiteral("Break"), {}, {}, {}, minutes, {}, at)
                          : row(QString::number(n), round.small, round.big, {}, minutes, {}, at));
        at += round.lengthMs;
    }
    return document({}, AnteKind::None, rounds);
}

} // namespace orvandel
