#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// The tournament's players, chips and money: what the director counts, what
// is typed once, and the figures made from them for the room. Every figure is
// worked out in 64 bits; one that does not fit, or that has nothing to divide
// by, is unavailable (nothing), never a wrapped or made-up number.
namespace orvandel {

// What the director counts as the tournament goes.
struct PlayerCounts {
    qint64 entries = 0;
    qint64 out = 0; // players out
    qint64 rebuys = 0;
    qint64 addOns = 0;
    friend bool operator==(const PlayerCounts &, const PlayerCounts &) = default;
};

// What is typed once: chips and prices as whole numbers, and the payouts as
// whole percentages of the pool, first place first.
struct PlayerSettings {
    qint64 startingChips = 0;
    qint64 rebuyChips = 0;
    qint64 addOnChips = 0;
    qint64 buyIn = 0;
    qint64 rebuyPrice = 0;
    qint64 addOnPrice = 0;
    QList<int> payouts;
    friend bool operator==(const PlayerSettings &, const PlayerSettings &) = default;
};

// Entries less players out, never below 0.
qint64 playersLeft(const PlayerCounts &counts);

// entries × starting chips + rebuys × rebuy chips + add-ons × add-on chips.
std::optional<qint64> chipsInPlay(const PlayerCounts &counts, const PlayerSettings &settings);

// Chips in play ÷ players left, rounded half up to a whole chip; nothing when
// no one is left.
std::optional<qint64> averageStack(const PlayerCounts &counts, const PlayerSettings &settings);

// The average stack as shown, in tenths of `bigBlind`, rounded half up;
// nothing without a big blind above 0.
std::optional<qint64> averageTenthsOfBigBlind(const PlayerCounts &counts,
                                              const PlayerSettings &settings,
                                              std::optional<qint64> bigBlind);

// entries × buy-in + rebuys × rebuy price + add-ons × add-on price.
std::optional<qint64> prizePool(const PlayerCounts &counts, const PlayerSettings &settings);

// Each place's share of `pool`: its percentage rounded down to a whole unit,
// what the rounding leaves over added to first place. `percentages` add up to
// 100; an empty list pays no one.
QList<qint64> placePayouts(qint64 pool, const QList<int> &percentages);

// The payouts as typed: whole percentages from 1 to 100, first place first,
// each one perhaps followed by '%', with blanks or commas between them. They
// add up to 100, or there are none at all (nothing typed: no places shown).
struct PayoutsRead {
    QList<int> percentages; // valid only without a problem
    QString problem;        // empty when read
};
PayoutsRead readPayouts(QStringView text);

// The percentages as the director would type them: "50 30 20".
QString payoutsText(const QList<int> &percentages);

// "1st", "2nd", "3rd", "4th", … "11th", "12th", "13th", … "21st", …
QString ordinal(qint64 place);

// The figures as the room reads them, each amount grouped in threes:
//   "Players 23 of 40"
//   "Average 26,087 (65.2 BB)", without the big blinds where there is no
//     big blind; "Average —" when there is no average
//   "Prize pool 4,000" ("Prize pool —" when it does not fit)
//   "1st 2,000 · 2nd 1,200 · 3rd 800", empty without payouts or a pool
struct PlayerTexts {
    QString players;
    QString average;
    QString prizePool;
    QString payouts;
    friend bool operator==(const PlayerTexts &, const PlayerTexts &) = default;
};
PlayerTexts playerTexts(const PlayerCounts &counts, const PlayerSettings &settings,
                        std::optional<qint64> bigBlind, const QLocale &locale = QLocale());

} // namespace orvandel
