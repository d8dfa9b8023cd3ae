// A tournament structure's arithmetic and rules: what the clock, the editor
// and the printed sheet all read the same way.
#include "core/structure.h"

#include "core/amounts.h"
#include "core/checked.h"
#include "core/units.h"

#include <algorithm>
#include <cmath>

namespace orvandel {

namespace {

// 1, 2, 3, 4, 5, 6, 8, 10, 15, 20, 25, 30, 40, 50, 60, 75, 80, 100, 150, ...:
// the amounts a card room's chips make without odd change. The first value
// of the scale at or above `least`; MaxAmount when the scale ends below it.
qint64 roundAmountAtLeast(qint64 least) {
    static constexpr int tenths[] = {10, 15, 20, 25, 30, 40, 50, 60, 75, 80};
    for (qint64 decade = 1; decade <= MaxAmount; decade *= 10) {
        for (const int m : tenths) {
            if (decade == 1 && m % 10 != 0)
                continue;
            const qint64 value = decade == 1 ? m / 10 : m * (decade / 10);
            if (value >= least)
                return std::min(value, MaxAmount);
        }
    }
    return MaxAmount;
}

// `amount` grown in the proportion `to` / `from`, never below itself and not
// above MaxAmount by the growth.
qint64 inProportion(qint64 amount, qint64 from, qint64 to) {
    if (amount <= 0 || from <= 0)
        return amount;
    const double grown = std::round(static_cast<double>(amount) * static_cast<double>(to) /
                                    static_cast<double>(from));
    const qint64 capped =
        grown >= static_cast<double>(MaxAmount) ? MaxAmount : static_cast<qint64>(grown);
    return std::max(amount, capped);
}

QString roundMessage(int index, const QString &what) {
    return QStringLiteral("Round %1: %2").arg(index + 1).arg(what);
}

} // namespace

int roundMinutes(const Round &round) {
    return std::visit([](const auto &r) { return r.minutes; }, round);
}

QString anteKindName(AnteKind kind) {
    switch (kind) {
    case AnteKind::None:
        break;
    case AnteKind::Ante:
        return QStringLiteral("Ante");
    case AnteKind::BigBlind:
        return QStringLiteral("Big blind ante");
    }
    return QStringLiteral("No ante");
}

std::vector<int> levelNumbers(const Structure &structure) {
    std::vector<int> numbers;
    numbers.reserve(structure.rounds.size());
    int level = 0;
    for (const Round &round : structure.rounds)
        numbers.push_back(isBreak(round) ? 0 : ++level);
    return numbers;
}

std::vector<qint64> roundStartsMs(const Structure &structure) {
    std::vector<qint64> starts;
    starts.reserve(structure.rounds.size());
    qint64 at = 0;
    for (const Round &round : structure.rounds) {
        starts.push_back(at);
        at = checked::add(at, checked::mul(qint64{roundMinutes(round)}, qint64{MsPerMinute}));
    }
    return starts;
}

QString startText(qint64 ms) {
    const qint64 minutes = ms / MsPerMinute;
    return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

RoundTexts roundTexts(const Structure &structure, std::size_t index, int levelNumber,
                      bool forEditing) {
    const Round &round = structure.rounds.at(index);
    const int minutes = roundMinutes(round);
    RoundTexts texts;
    texts.minutes = minutes == 0 ? QString() : QString::number(minutes);
    if (const auto *pause = std::get_if<Break>(&round)) {
        texts.level = QStringLiteral("Break");
        texts.note = pause->note;
        return texts;
    }
    const auto amount = [forEditing](qint64 value, bool blankWhenZero) {
        if (value == 0 && blankWhenZero)
            return QString();
        return forEditing ? QString::number(value) : groupedAmount(value);
    };
    const auto &level = std::get<Level>(round);
    texts.level = QString::number(levelNumber);
    texts.small = amount(level.small, false);
    texts.big = amount(level.big, true);
    if (structure.ante != AnteKind::None)
        texts.ante = amount(level.ante, true);
    return texts;
}

Structure startingStructure() {
    Structure structure;
    structure.name = QStringLiteral("Orvandel starting structure");
    structure.ante = AnteKind::BigBlind;
    // Small and big blind; from level 7 the big blind pays an ante of its size.
    constexpr std::pair<qint64, qint64> before[] = {{25, 50},   {50, 100},  {75, 150},
                                                    {100, 200}, {150, 300}, {200, 400}};
    constexpr std::pair<qint64, qint64> middle[] = {{300, 600},  {400, 800},  {500, 1000},
                                                    {600, 1200}, {800, 1600}, {1000, 2000}};
    constexpr std::pair<qint64, qint64> after[] = {{1500, 3000},  {2000, 4000}, {2500, 5000},
                                                   {3000, 6000},  {4000, 8000}, {5000, 10000},
                                                   {6000, 12000}, {8000, 16000}};
    for (const auto &[small, big] : before)
        structure.rounds.emplace_back(Level{small, big, 0, 20});
    structure.rounds.emplace_back(Break{15, QStringLiteral("Colour up the 25s")});
    for (const auto &[small, big] : middle)
        structure.rounds.emplace_back(Level{small, big, big, 20});
    structure.rounds.emplace_back(Break{15, QStringLiteral("Colour up the 100s")});
    for (const auto &[small, big] : after)
        structure.rounds.emplace_back(Level{small, big, big, 20});
    return structure;
}

Level proposedLevelAfter(const Level &before) {
    Level next;
    const qint64 step = std::max<qint64>(1, before.big / 5);
    next.big = before.big >= MaxAmount ? before.big
                                       : roundAmountAtLeast(std::max<qint64>(before.big, 0) + step);
    next.small = inProportion(before.small, before.big, next.big);
    next.ante = inProportion(before.ante, before.big, next.big);
    next.minutes = before.minutes;
    return next;
}

std::vector<Problem> problems(const Structure &structure) {
    std::vector<Problem> found;
    const auto add = [&found](int index, Field field, const QString &what) {
        found.push_back({index, field, index < 0 ? what : roundMessage(index, what)});
    };
    const auto amount = [](qint64 value) { return groupedAmount(value); };
    const auto length = [](const char *what, int minutes) {
        return QStringLiteral("the %1 lasts %2 minutes; a round lasts %3 to %4 minutes.")
            .arg(QLatin1String(what))
            .arg(minutes)
            .arg(MinRoundMinutes)
            .arg(MaxRoundMinutes);
    };

    const int count = static_cast<int>(structure.rounds.size());
    if (count == 0)
        add(-1, Field::Whole, QStringLiteral("The structure has no rounds."));
    if (count > MaxRounds)
        add(-1, Field::Whole,
            QStringLiteral("The structure has %1 rounds; it can have at most %2.")
                .arg(count)
                .arg(MaxRounds));

    for (int i = 0; i < count; ++i) {
        const Round &round = structure.rounds[static_cast<std::size_t>(i)];
        if (const auto *pause = std::get_if<Break>(&round)) {
            if (i == 0)
                add(i, Field::Whole,
                    QStringLiteral("the first round is a break; a structure starts with a level."));
            else if (i == count - 1)
                add(i, Field::Whole,
                    QStringLiteral("the last round is a break; a structure ends with a level."));
            if (pause->minutes < MinRoundMinutes || pause->minutes > MaxRoundMinutes)
                add(i, Field::Minutes, length("break", pause->minutes));
            if (const qsizetype characters = pause->note.toUcs4().size();
                characters > MaxNoteLength)
                add(i, Field::Note,
                    QStringLiteral("the note has %1 characters; a note has at most %2.")
                        .arg(characters)
                        .arg(MaxNoteLength));
            continue;
        }
        const auto &level = std::get<Level>(round);
        if (level.small < 0)
            add(i, Field::Small,
                QStringLiteral("the small blind %1 is below 0.").arg(amount(level.small)));
        if (level.big < 1)
            add(i, Field::Big, QStringLiteral("the big blind must be at least 1."));
        else if (level.big > MaxAmount)
            add(i, Field::Big,
                QStringLiteral("the big blind %1 is above %2.")
                    .arg(amount(level.big), amount(MaxAmount)));
        if (level.big >= 1 && level.small > level.big)
            add(i, Field::Small,
                QStringLiteral("the small blind %1 is above the big blind %2.")
                    .arg(amount(level.small), amount(level.big)));
        if (level.ante < 0)
            add(i, Field::Ante, QStringLiteral("the ante %1 is below 0.").arg(amount(level.ante)));
        else if (level.ante > MaxAmount)
            add(i, Field::Ante,
                QStringLiteral("the ante %1 is above %2.")
                    .arg(amount(level.ante), amount(MaxAmount)));
        else if (level.ante > 0 && structure.ante == AnteKind::None)
            add(i, Field::Ante,
                QStringLiteral("there is an ante of %1, but the structure has no ante.")
                    .arg(amount(level.ante)));
        if (level.minutes < MinRoundMinutes || level.minutes > MaxRoundMinutes)
            add(i, Field::Minutes, length("level", level.minutes));
    }
    return found;
}

std::vector<Problem> warnings(const Structure &structure) {
    std::vector<Problem> found;
    const Level *previous = nullptr;
    for (std::size_t i = 0; i < structure.rounds.size(); ++i) {
        const auto *level = std::get_if<Level>(&structure.rounds[i]);
        if (!level)
            continue;
        if (previous && level->big >= 1 && level->big < previous->big) {
            const int index = static_cast<int>(i);
            found.push_back(
                {index, Field::Big,
                 roundMessage(index,
                              QStringLiteral("the big blind %1 is below the %2 of the "
                                             "level before.")
                                  .arg(groupedAmount(level->big), groupedAmount(previous->big)))});
        }
        previous = level;
    }
    return found;
}

} // namespace orvandel
