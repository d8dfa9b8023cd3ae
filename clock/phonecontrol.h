#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class Blinds;
class QAction;
class frmRemote;
namespace orvandel {
class ClockMoves;
class ClockNotice;
class LiveShare;
enum class RemoteAction;

// The clock driven from the director's phone: pairing and revoking in the
// clock's menu, the presses passed on to the clock, its moves and whoever
// keeps the players' counts, and the notice that tells the room what a
// press did.
class PhoneControl final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneControl)

public:
    // `notice`: where the room is told what a press did.
    PhoneControl(Blinds *clock, LiveShare *live, ClockNotice *notice);

    // The director's moves, which the phone's level and minute buttons and
    // its Undo make, sharing the laptop's list of what to undo.
    void setMoves(ClockMoves *moves);
    // Who counts the phone's players' presses (a player out, an entry, a
    // rebuy, an add-on, undoing a count): true when it counted. Without one,
    // such presses are refused.
    using PlayerHandler = std::function<bool(orvandel::RemoteAction)>;
    void setPlayerHandler(PlayerHandler handler);

    // A press on the phone. True when the clock, its moves or the players'
    // handler acted; for Pause and Resume the window then says so for a few
    // seconds.
    bool press(orvandel::RemoteAction action);

signals:
    // A players' press that the handler counted.
    void playerPressed(orvandel::RemoteAction action);

private:
    // "Control from a phone…": the live view on, a new one-time token taken
    // by it, and the pairing window with its address.
    void pair();
    // A phone took the token: the window says so and goes.
    void paired();
    // "Stop phone control": every phone's key and the open token dropped.
    void stop();
    // The server's question about a press that passed its checks: the
    // clock's are always taken (a second Pause is no error); the players'
    // only when counted.
    bool answer(orvandel::RemoteAction action);

    Blinds *m_clock;
    LiveShare *m_live;
    QAction *actRemote;
    QAction *actRemoteRevoke;
    ClockNotice *m_notice;
    ClockMoves *m_moves = nullptr;
    PlayerHandler m_players;
    QPointer<frmRemote> m_window;
};

} // namespace orvandel
