#include "core/players.h"

#include "core/amounts.h"
#include "core/checked.h"

#include <QStringList>
#include <algorithm>
#include <initializer_list>
#include <utility>

namespace orvandel {

namespace {

using checked::tryAdd;
using checked::tryMul;

// a × b + c × d + e × f, or nothing when any step does not fit.
std::optional<qint64> sumOfProducts(std::initializer_list<std::pair<qint64, qint64>> terms) {
    std::optional<qint64> sum = 0;
    for (const auto &[count, each] : terms) {
        const std::optional<qint64> product = tryMul(count, each);
        if (!product)
            return std::nullopt;
        sum = tryAdd(*sum, *product);
        if (!sum)
            return std::nullopt;
    }
    return sum;
}

// num ÷ den in units of 10^-decimals, rounded half up; num >= 0, den > 0.
// Long division, a decimal at a time, so that no step needs more than 64 bits
// even where num × 10 would not fit.
std::optional<qint64> roundedQuotient(qint64 num, qint64 den, int decimals) {
    std::optional<qint64> result = num / den;
    qint64 rest = num % den;
    for (int i = 0; i < decimals && result; ++i) {
        // rest × 10 ÷ den as ten additions of rest, taking den away whenever
        // it is reached: the running value stays below den throughout.
        qint64 digit = 0;
        qint64 running = 0;
        for (int k = 0; k < 10; ++k) {
            if (running >= den - rest) {
                running -= den - rest;
                ++digit;
            } else {
                running += rest;
            }
        }
        rest = running;
        result = tryMul(*result, 10);
        if (result)
            result = tryAdd(*result, digit);
    }
    // Half up: what is left is at least half the divisor.
    if (result && rest >= den - rest)
        result = tryAdd(*result, 1);
    return result;
}

// ASCII blanks and commas; anything else belongs to a percentage.
bool separatesPayouts(QChar c) {
    return c == u',' || c == u' ' || (c >= u'\t' && c <= u'\r');
}

// One typed percentage, "50" or "50%": its value, or nothing. Leading zeros
// are allowed; any value over 100 reads as 101.
std::optional<int> percentage(QStringView word) {
    if (word.endsWith(u'%'))
        word.chop(1);
    if (word.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : word) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(101, value * 10 + (c.unicode() - u'0'));
    }
    if (value < 1 || value > 100)
        return std::nullopt;
    return value;
}

// A word of the director's quoted in a message, cut short when long.
QString quoted(QStringView word) {
    constexpr qsizetype Longest = 12;
    const QString shown = word.size() > Longest
                              ? word.left(Longest - 1).toString() + QStringLiteral("…")
                              : word.toString();
    return QStringLiteral("\u201c%1\u201d").arg(shown);
}

} // namespace

qint64 playersLeft(const PlayerCounts &counts) {
    // Both counts are at least 0, so the difference always fits.
    return std::max<qint64>(0, counts.entries - counts.out);
}

std::optional<qint64> chipsInPlay(const PlayerCounts &counts, const PlayerSettings &settings) {
    return sumOfProducts({{counts.entries, settings.startingChips},
                          {counts.rebuys, settings.rebuyChips},
                          {counts.addOns, settings.addOnChips}});
}

std::optional<qint64> averageStack(const PlayerCounts &counts, const PlayerSettings &settings) {
    const qint64 left = playersLeft(counts);
    const std::optional<qint64> chips = chipsInPlay(counts, settings);
    if (left <= 0 || !chips)
        return std::nullopt;
    return roundedQuotient(*chips, left, 0);
}

std::optional<qint64> averageTenthsOfBigBlind(const PlayerCounts &counts,
                                              const PlayerSettings &settings,
                                              std::optional<qint64> bigBlind) {
    // From the average as the room sees it, so that the two figures agree.
    const std::optional<qint64> average = averageStack(counts, settings);
    if (!average || !bigBlind || *bigBlind <= 0)
        return std::nullopt;
    return roundedQuotient(*average, *bigBlind, 1);
}

std::optional<qint64> prizePool(const PlayerCounts &counts, const PlayerSettings &settings) {
    return sumOfProducts({{counts.entries, settings.buyIn},
                          {counts.rebuys, settings.rebuyPrice},
                          {counts.addOns, settings.addOnPrice}});
}

QList<qint64> placePayouts(qint64 pool, const QList<int> &percentages) {
    QList<qint64> shares;
    shares.reserve(percentages.size());
    qint64 paid = 0;
    for (const int percent : percentages) {
        // pool × percent ÷ 100 without forming pool × percent: the hundreds
        // and the rest apart, each product no larger than the pool.
        const qint64 share = pool / 100 * percent + pool % 100 * percent / 100;
        shares.append(share);
        paid += share; // at most the pool, for the percentages add up to 100
    }
    if (!shares.isEmpty())
        shares.first() += pool - paid;
    return shares;
}

PayoutsRead readPayouts(QStringView text) {
    PayoutsRead read;
    qint64 total = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        if (separatesPayouts(text[at])) {
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < text.size() && !separatesPayouts(text[end]))
            ++end;
        const QStringView word = text.sliced(at, end - at);
        const std::optional<int> percent = percentage(word);
        if (!percent)
            return {
                {},
                QStringLiteral("%1 is not a whole percentage from 1 to 100.").arg(quoted(word))};
        read.percentages.append(*percent);
        total += *percent;
        at = end;
    }
    if (!read.percentages.isEmpty() && total != 100)
        return {{}, QStringLiteral("The payouts add up to %1 %, not 100 %.").arg(total)};
    return read;
}

QString payoutsText(const QList<int> &percentages) {
    QStringList words;
    for (const int percent : percentages)
        words.append(QString::number(percent));
    return words.join(u' ');
}

QString ordinal(qint64 place) {
    const qint64 lastTwo = place % 100;
    const char *suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        switch (place % 10) {
        case 1:
            suffix = "st";
            break;
        case 2:
            suffix = "nd";
            break;
        case 3:
            suffix = "rd";
            break;
        default:
            break;
        }
    }
    return QString::number(place) + QLatin1String(suffix);
}

PlayerTexts playerTexts(const PlayerCounts &counts, const PlayerSettings &settings,
                        std::optional<qint64> bigBlind, const QLocale &locale) {
    const QString none = QStringLiteral("—");
    PlayerTexts texts;
    texts.players =
        QStringLiteral("Players %1 of %2")
            .arg(groupedAmount(playersLeft(counts), locale), groupedAmount(counts.entries, locale));

    if (const std::optional<qint64> average = averageStack(counts, settings)) {
        texts.average = QStringLiteral("Average ") + groupedAmount(*average, locale);
        if (const std::optional<qint64> tenths =
                averageTenthsOfBigBlind(counts, settings, bigBlind))
            texts.average += QStringLiteral(" (%1%2%3 BB)")
                                 .arg(groupedAmount(*tenths / 10, locale), locale.decimalPoint(),
                                      QString::number(*tenths % 10));
    } else {
        texts.average = QStringLiteral("Average ") + none;
    }

    const std::optional<qint64> pool = prizePool(counts, settings);
    texts.prizePool = QStringLiteral("Prize pool ") + (pool ? groupedAmount(*pool, locale) : none);
    if (pool) {
        const QList<qint64> shares = placePayouts(*pool, settings.payouts);
        QStringList places;
        for (qsizetype i = 0; i < shares.size(); ++i)
            places.append(ordinal(i + 1) + u' ' + groupedAmount(shares[i], locale));
        texts.payouts = places.join(QStringLiteral(" · "));
    }
    return texts;
}

} // namespace orvandel
