#include "players/playerbook.h"

#include "core/checked.h"

#include <QJsonArray>
#include <QJsonValue>
#include <array>
#include <limits>

namespace orvandel {

namespace {

// Each count and setting by name, so that one function serves them all; for
// the book's own (const) and for a copy being changed.
template <typename Counts> auto &countIn(Counts &counts, PlayerBook::Count which) {
    switch (which) {
    case PlayerBook::Count::Entries:
        return counts.entries;
    case PlayerBook::Count::Out:
        return counts.out;
    case PlayerBook::Count::Rebuys:
        return counts.rebuys;
    case PlayerBook::Count::AddOns:
        break;
    }
    return counts.addOns;
}

template <typename Settings> auto &settingIn(Settings &settings, PlayerBook::Setting which) {
    switch (which) {
    case PlayerBook::Setting::StartingChips:
        return settings.startingChips;
    case PlayerBook::Setting::RebuyChips:
        return settings.rebuyChips;
    case PlayerBook::Setting::AddOnChips:
        return settings.addOnChips;
    case PlayerBook::Setting::BuyIn:
        return settings.buyIn;
    case PlayerBook::Setting::RebuyPrice:
        return settings.rebuyPrice;
    case PlayerBook::Setting::AddOnPrice:
        break;
    }
    return settings.addOnPrice;
}

// Counts a tournament can have: none below 0, no more out than entered.
bool possible(const PlayerCounts &counts) {
    return counts.entries >= 0 && counts.out >= 0 && counts.rebuys >= 0 && counts.addOns >= 0 &&
           counts.out <= counts.entries;
}

bool lastStanding(const PlayerCounts &counts) {
    return counts.entries >= 2 && playersLeft(counts) == 1;
}

QJsonArray numbers(std::initializer_list<qint64> values) {
    QJsonArray array;
    for (const qint64 value : values)
        array.append(value);
    return array;
}

// N whole numbers from 0 up, exactly as written, or nothing.
template <std::size_t N>
std::optional<std::array<qint64, N>> wholeNumbers(const QJsonValue &value) {
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.size() != static_cast<qsizetype>(N))
        return std::nullopt;
    std::array<qint64, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        // toInteger() gives the default for anything but a whole number
        // that fits 64 bits, and -1 is refused anyway.
        out[i] = array[static_cast<qsizetype>(i)].toInteger(-1);
        if (out[i] < 0)
            return std::nullopt;
    }
    return out;
}

} // namespace

PlayerBook::PlayerBook(QObject *parent) : QObject(parent) {}

qint64 PlayerBook::count(Count which) const {
    return countIn(m_counts, which);
}

qint64 PlayerBook::setting(Setting which) const {
    return settingIn(m_settings, which);
}

bool PlayerBook::addOne(Count which) {
    PlayerCounts next = m_counts;
    qint64 &value = countIn(next, which);
    const std::optional<qint64> more = checked::tryAdd(value, 1);
    if (!more || (which == Count::Out && playersLeft(m_counts) == 0))
        return false;
    value = *more;
    return changeCounts(next, true);
}

bool PlayerBook::setCount(Count which, qint64 value) {
    PlayerCounts next = m_counts;
    countIn(next, which) = value;
    return next == m_counts || changeCounts(next, true);
}

bool PlayerBook::setSetting(Setting which, qint64 value) {
    if (value < 0)
        return false;
    qint64 &setting = settingIn(m_settings, which);
    if (setting != value) {
        setting = value;
        emit changed();
    }
    return true;
}

QString PlayerBook::setPayouts(QStringView text) {
    PayoutsRead read = readPayouts(text);
    if (read.problem.isEmpty() && read.percentages != m_settings.payouts) {
        m_settings.payouts = std::move(read.percentages);
        emit changed();
    }
    return read.problem;
}

bool PlayerBook::undo() {
    if (m_undo.isEmpty())
        return false;
    return changeCounts(m_undo.takeLast(), false);
}

bool PlayerBook::anythingEntered() const {
    return m_counts != PlayerCounts() || m_settings != PlayerSettings();
}

void PlayerBook::setBigBlind(std::optional<qint64> bigBlind) {
    if (bigBlind != m_bigBlind) {
        m_bigBlind = bigBlind;
        emit changed();
    }
}

PlayerTexts PlayerBook::texts(const QLocale &locale) const {
    return playerTexts(m_counts, m_settings, m_bigBlind, locale);
}

QJsonObject PlayerBook::toJson() const {
    const PlayerCounts &c = m_counts;
    const PlayerSettings &s = m_settings;
    QJsonArray payouts;
    for (const int percent : s.payouts)
        payouts.append(percent);
    return {{QStringLiteral("counts"), numbers({c.entries, c.out, c.rebuys, c.addOns})},
            {QStringLiteral("chips"), numbers({s.startingChips, s.rebuyChips, s.addOnChips})},
            {QStringLiteral("prices"), numbers({s.buyIn, s.rebuyPrice, s.addOnPrice})},
            {QStringLiteral("payouts"), payouts}};
}

bool PlayerBook::fromJson(const QJsonObject &json) {
    const auto counts = wholeNumbers<4>(json.value(QStringLiteral("counts")));
    const auto chips = wholeNumbers<3>(json.value(QStringLiteral("chips")));
    const auto prices = wholeNumbers<3>(json.value(QStringLiteral("prices")));
    const QJsonValue payoutsValue = json.value(QStringLiteral("payouts"));
    if (!counts || !chips || !prices || !payoutsValue.isArray())
        return false;
    // The payouts as if typed, so that they meet the same rules.
    QList<int> percentages;
    for (const QJsonValue percent : payoutsValue.toArray()) {
        const qint64 value = percent.toInteger(-1);
        if (value < 1 || value > 100)
            return false;
        percentages.append(static_cast<int>(value));
    }
    const PayoutsRead read = readPayouts(payoutsText(percentages));
    const PlayerCounts next = {(*counts)[0], (*counts)[1], (*counts)[2], (*counts)[3]};
    if (!read.problem.isEmpty() || !possible(next))
        return false;

    m_settings = {(*chips)[0],  (*chips)[1],  (*chips)[2],     (*prices)[0],
                  (*prices)[1], (*prices)[2], read.percentages};
    m_undo.clear();
    if (next != m_counts)
        return changeCounts(next, false);
    emit changed(); // for the settings
    return true;
}

bool PlayerBook::changeCounts(const PlayerCounts &next, bool keep) {
    if (!possible(next))
        return false;
    const bool wasStanding = lastStanding(m_counts);
    if (keep) {
        m_undo.append(m_counts);
        if (m_undo.size() > UndoDepth)
            m_undo.removeFirst();
    }
    m_counts = next;
    emit changed();
    if (const bool standing = lastStanding(m_counts); standing != wasStanding)
        emit lastPlayerStanding(standing);
    return true;
}

} // namespace orvandel
