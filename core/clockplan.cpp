#include "core/clockplan.h"

#include "core/amounts.h"
#include "core/checked.h"
#include "core/units.h"

namespace orvandel {

namespace {

qint32 minutesMs(qint64 minutes) {
    return checked::narrow<qint32>(checked::mul(minutes, qint64{MsPerMinute}));
}

} // namespace

const PlanRound &ClockPlan::round(qint32 number) const {
    static const PlanRound none;
    if (number < 1 || number > static_cast<qint32>(rounds.size()))
        return none;
    return rounds[static_cast<std::size_t>(number - 1)];
}

qint64 ClockPlan::msToNextBreak(qint16 current, qint32 remainingMs) const {
    if (current < 1 || current > roundCount() || round(current).isBreak)
        return -1;
    qint64 ms = remainingMs;
    for (qint32 n = current + 1; n <= roundCount(); ++n) {
        const PlanRound &ahead = round(n);
        if (ahead.isBreak)
            return ms;
        ms += ahead.lengthMs;
    }
    return -1;
}

ClockPlan planOf(const Tournament &tournament) {
    ClockPlan plan;
    const qint32 levelMs = minutesMs(tournament.levelMinutes);
    const qint32 breakMs = minutesMs(tournament.breakMinutes);
    for (qint32 n = 1; n <= tournament.levelCount + 1; ++n) {
        PlanRound round;
        if (n <= tournament.levelCount) {
            const LevelBlinds &blinds = tournament.levels.at(static_cast<std::size_t>(n - 1));
            round.small = blinds.small;
            round.big = blinds.big;
        }
        round.isBreak = n == tournament.breakRound;
        round.lengthMs = n >= 2 && round.isBreak ? breakMs : levelMs;
        round.levelNumber = static_cast<qint16>(n);
        plan.rounds.push_back(round);
    }
    return plan;
}

ClockPlan planOf(const Structure &structure) {
    ClockPlan plan;
    plan.structure = true;
    plan.anteKind = structure.ante;
    const QString antePrefix =
        structure.ante == AnteKind::BigBlind ? QStringLiteral("BB ante ") : QStringLiteral("Ante ");
    qint16 levels = 0;
    for (const Round &from : structure.rounds) {
        PlanRound round;
        round.lengthMs = minutesMs(roundMinutes(from));
        if (const auto *pause = std::get_if<Break>(&from)) {
            round.isBreak = true;
            round.small = QStringLiteral("Break");
            round.big = QStringLiteral("Time!");
            round.note = pause->note;
        } else {
            const auto &level = std::get<Level>(from);
            round.small = groupedAmount(level.small);
            round.big = groupedAmount(level.big);
            round.levelNumber = ++levels;
            // The kind says who pays; without one, no ante is shown at all.
            if (structure.ante != AnteKind::None && level.ante > 0) {
                round.anteAmount = level.ante;
                round.ante = antePrefix + groupedAmount(level.ante);
            }
        }
        plan.rounds.push_back(round);
    }
    // The end: nothing to show, and no break, so the level change to it is
    // that of blinds.dat.
    PlanRound end;
    end.lengthMs = plan.rounds.empty() ? 0 : plan.rounds.back().lengthMs;
    plan.rounds.push_back(end);
    return plan;
}

QString breakInText(qint64 ms) {
    const qint64 seconds = ms / MsPerSecond;
    const qint64 hours = seconds / 3600;
    const auto two = [](qint64 value) {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    };
    const QString clock =
        hours > 0
            ? QStringLiteral("%1:%2:%3").arg(hours).arg(two(seconds / 60 % 60), two(seconds % 60))
            : QStringLiteral("%1:%2").arg(two(seconds / 60), two(seconds % 60));
    return QStringLiteral("Break in ") + clock;
}

} // namespace orvandel
