#include "clock/phonecontrol.h"

#include "clock/blinds.h"
#include "clock/clockmoves.h"
#include "clock/clocknotice.h"
#include "clock/frmremote.h"
#include "clock/liveshare.h"
#include "live/remotecontrol.h"

#include <QAction>
#include <QMenu>

namespace orvandel {

PhoneControl::PhoneControl(Blinds *clock, LiveShare *live, ClockNotice *notice)
    : QObject(clock), m_clock(clock), m_live(live), m_notice(notice) {
    setObjectName(QStringLiteral("phoneControl"));
    QMenu *menu = clock->menu();
    menu->addSeparator();
    actRemote = menu->addAction(QStringLiteral("Control from a phone\u2026"));
    actRemote->setObjectName(QStringLiteral("actRemote"));
    connect(actRemote, &QAction::triggered, this, &PhoneControl::pair);
    // Greyed out while no phone is paired or can pair.
    actRemoteRevoke = menu->addAction(QStringLiteral("Stop phone control"));
    actRemoteRevoke->setObjectName(QStringLiteral("actRemoteRevoke"));
    actRemoteRevoke->setEnabled(false);
    connect(actRemoteRevoke, &QAction::triggered, this, &PhoneControl::stop);

    connect(live, &LiveShare::switched, this, [this](bool on) {
        if (on) {
            LiveView *view = m_live->view();
            view->setControlHandler([this](RemoteAction action) { return answer(action); });
            connect(view, &LiveView::phonePaired, this, &PhoneControl::paired,
                    Qt::UniqueConnection);
        } else if (m_window) {
            // Its address leads nowhere now.
            m_window->close();
        }
    });
}

void PhoneControl::setMoves(ClockMoves *moves) {
    m_moves = moves;
}

void PhoneControl::setPlayerHandler(PlayerHandler handler) {
    m_players = std::move(handler);
}

bool PhoneControl::press(RemoteAction action) {
    switch (action) {
    case RemoteAction::Pause:
    case RemoteAction::Resume: {
        const bool pause = action == RemoteAction::Pause;
        if (!m_clock->command(pause ? ClockCommand::Pause : ClockCommand::Resume))
            return false;
        m_notice->show(pause ? QStringLiteral("Paused from a phone")
                             : QStringLiteral("Resumed from a phone"));
        return true;
    }
    case RemoteAction::Next:
        return m_moves && m_moves->move(ClockCommand::Next);
    case RemoteAction::Previous:
        return m_moves && m_moves->move(ClockCommand::Previous);
    case RemoteAction::AddMinute:
        return m_moves && m_moves->move(ClockCommand::AddMinute);
    case RemoteAction::TakeMinute:
        return m_moves && m_moves->move(ClockCommand::TakeMinute);
    case RemoteAction::Restart:
        return m_moves && m_moves->move(ClockCommand::Restart);
    case RemoteAction::Undo:
        return m_moves && m_moves->undo();
    case RemoteAction::Out:
    case RemoteAction::Entry:
    case RemoteAction::Rebuy:
    case RemoteAction::AddOn:
    case RemoteAction::UndoCount:
        if (!m_players || !m_players(action))
            return false;
        emit playerPressed(action);
        return true;
    }
    return false;
}

bool PhoneControl::answer(RemoteAction action) {
    const bool acted = press(action);
    return acted || !isPlayerAction(action);
}

void PhoneControl::pair() {
    m_live->setOn(true);
    if (!m_live->isOn())
        return; // the reason was told
    LiveView *view = m_live->view();
    // Good for one phone: a photo of the window pairs nothing once it has.
    const QByteArray token = newRemoteSecret();
    view->openPairing(token);
    actRemoteRevoke->setEnabled(true);
    if (!m_window)
        m_window = new frmRemote(m_clock);
    m_window->setAddress(remoteControlUrl(liveUrl(view->port()), token));
    m_window->showBesideClock();
}

void PhoneControl::paired() {
    if (m_window)
        m_window->showPaired();
}

void PhoneControl::stop() {
    if (LiveView *view = m_live->view())
        view->setControlKey({});
    if (m_window)
        m_window->close();
    actRemoteRevoke->setEnabled(false);
}

} // namespace orvandel
