#pragma once

#include "core/clockface.h"

#include <QObject>
#include <QString>
#include <array>
#include <deque>

class Blinds;
class QAction;

namespace orvandel {

class ClockNotice;

// The director moves the clock: the next or the previous level, a minute
// more or less, the level afresh, and undo, each an action of the clock's
// menu with a key of its own. The room is told on the clock what changed.
class ClockMoves final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockMoves)

public:
    // Moves so many back can be undone.
    static constexpr std::size_t UndoDepth = 10;

    ClockMoves(Blinds *clock, ClockNotice *notice);

    // Next, Previous, AddMinute, TakeMinute or Restart, from the menu, a key
    // or a phone. True when the clock moved; its window then says so.
    bool move(orvandel::ClockCommand command);
    // The clock back where it stood before the last move not yet undone.
    bool undo();

private:
    struct Done {
        orvandel::ClockStand before;
        QString name; // "next level"
    };
    void faceChanged(const orvandel::ClockFace &face);
    static QString told(orvandel::ClockCommand command, const orvandel::ClockFace &face);

    Blinds *m_clock;
    ClockNotice *m_notice;
    std::array<QAction *, 5> m_actions{};
    QAction *actUndoMove;
    std::deque<Done> m_done; // the latest last
};

} // namespace orvandel
