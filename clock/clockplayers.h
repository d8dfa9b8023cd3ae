#pragma once

#include "core/clockface.h"
#include "players/playerbook.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <array>
#include <optional>

class Blinds;
class ClockLabel;
class QAction;
class frmPlayers;

namespace orvandel {

// The director's count of players, chips and the prize pool on the clock:
// the counting window from the clock's menu, an entry and a player out on
// Ctrl keys, the figures on the clock once anything is counted, and the end
// of the tournament when one player is left.
class ClockPlayers final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockPlayers)

public:
    explicit ClockPlayers(Blinds *clock);

    PlayerBook *book() const { return m_book; }

    // One more of `which`, as a button adds it (from a phone); false when the
    // book refuses it.
    bool count(orvandel::PlayerBook::Count which);
    // Takes back the last change of a count; false when there is none.
    bool undoCount();

    // The count for the journal: compact JSON, empty while nothing is entered.
    QByteArray journalJson() const;
    // Takes the count back from journalJson()'s text after a crash, without
    // ending the clock again; false, and nothing changed, for another text.
    bool restore(const QByteArray &json);

signals:
    // journalJson() after every change of the count, the chips, prices or
    // payouts.
    void journalChanged(const QByteArray &json);

private:
    // "Players and prizes…": the counting window on the director's screen.
    void showWindow();
    void faceChanged(const orvandel::ClockFace &face);
    void bookChanged();
    void lastPlayerStanding(bool standing);
    // The clock's face with the new figures, once for changes that come
    // together, and never from within the face's own signal.
    void publishLater();

    Blinds *m_clock;
    PlayerBook *m_book;
    QAction *actPlayers;
    QAction *actEntry;
    QAction *actPlayerOut;
    QPointer<frmPlayers> m_window;
    // lblPlayers, lblAverage, lblPrizePool, lblPayouts: none until needed.
    std::array<ClockLabel *, 4> m_labels{};
    QString m_bigBlindText;
    // Where the clock stood before the last player ended it.
    std::optional<orvandel::ClockStand> m_beforeEnd;
    bool m_restoring = false;
    bool m_publishing = false; // publishLater() is on its way
};

} // namespace orvandel
