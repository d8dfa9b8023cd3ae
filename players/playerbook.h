#pragma once

#include "core/players.h"

#include <QJsonObject>
#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringView>
#include <optional>

namespace orvandel {

// The director's book of the tournament's players: the counts kept as it
// goes, the chips, prices and payouts typed once, and the figures made from
// them. It knows nothing of the clock: whoever shows the figures listens to
// changed() and reads texts(), and tells it the current big blind.
class PlayerBook final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayerBook)

public:
    enum class Count { Entries, Out, Rebuys, AddOns };
    enum class Setting { StartingChips, RebuyChips, AddOnChips, BuyIn, RebuyPrice, AddOnPrice };

    // Changes of the counts that undo() takes back, the oldest forgotten.
    static constexpr qsizetype UndoDepth = 10;

    explicit PlayerBook(QObject *parent = nullptr);

    const PlayerCounts &counts() const { return m_counts; }
    const PlayerSettings &settings() const { return m_settings; }
    qint64 count(Count which) const;
    qint64 setting(Setting which) const;

    // One more, as a button adds it. Refused (false, nothing changed) for a
    // player out when no one is left, and for a count that would pass 64 bits.
    bool addOne(Count which);
    // A count as typed. Refused below 0, and where more players would be out
    // than there are entries. The same value again is no change.
    bool setCount(Count which, qint64 value);
    // A chip amount or price as typed; refused below 0. Not undone.
    bool setSetting(Setting which, qint64 value);
    // The payouts as typed ("50 30 20"): the problem with them, and then no
    // change, or empty once taken. Not undone.
    QString setPayouts(QStringView text);

    // Takes back the last change of a count, typed or added; false when
    // there is none left to take back.
    bool undo();
    bool canUndo() const { return !m_undo.isEmpty(); }

    // Whether any count or setting holds anything yet: until then the clock
    // shows no figures.
    bool anythingEntered() const;

    // The current level's big blind, where it is a number; the average is
    // also told in big blinds then. Neither kept nor undone.
    void setBigBlind(std::optional<qint64> bigBlind);
    std::optional<qint64> bigBlind() const { return m_bigBlind; }

    PlayerTexts texts(const QLocale &locale = QLocale()) const;

    // The counts and settings for the journal:
    //   {"counts": [entries, out, rebuys, add-ons],
    //    "chips": [starting, rebuy, add-on], "prices": [buy-in, rebuy, add-on],
    //    "payouts": [50, 30, 20]}
    QJsonObject toJson() const;
    // Takes them back from toJson()'s object, forgetting what there was to
    // undo; false, and nothing changed, for an object toJson() would not make.
    bool fromJson(const QJsonObject &json);

signals:
    // After every change of a count, a setting, the payouts or the big blind.
    void changed();
    // True when one player is left of two or more entries; false when a change
    // (an undo, or a count typed) takes that back.
    void lastPlayerStanding(bool standing);

private:
    // The counts from now on, checked, with the present ones kept for undo
    // when `keep`.
    bool changeCounts(const PlayerCounts &next, bool keep);

    PlayerCounts m_counts;
    PlayerSettings m_settings;
    QList<PlayerCounts> m_undo; // the latest last
    std::optional<qint64> m_bigBlind;
};

} // namespace orvandel
