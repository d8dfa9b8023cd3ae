#include "clock/phonecontrol.h"

#include "clock/blinds.h"
#include "clock/clocknotice.h"
#include "clock/frmremote.h"
#include "clock/liveshare.h"
#include "live/remotecontrol.h"

#include <QAction>
#include <QMenu>

namespace orvandel {

PhoneControl::PhoneControl(Blinds *clock, LiveShare *live, ClockNotice *notice)
    : QObject(clock), m_clock(clock), m_live(live), m_notice(notice), m_secret(newRemoteSecret()) {
    setObjectName(QStringLiteral("phoneControl"));
    QMenu *menu = clock->menu();
    menu->addSeparator();
    actRemote = menu->addAction(QStringLiteral("Control from a phone\u2026"));
    actRemote->setObjectName(QStringLiteral("actRemote"));
    connect(actRemote, &QAction::triggered, this, &PhoneControl::pair);
    // Greyed out while no phone can have the secret.
    actRemoteRevoke = menu->addAction(QStringLiteral("Stop phone control"));
    actRemoteRevoke->setObjectName(QStringLiteral("actRemoteRevoke"));
    actRemoteRevoke->setEnabled(false);
    connect(actRemoteRevoke, &QAction::triggered, this, &PhoneControl::stop);

    connect(live, &LiveShare::switched, this, [this](bool on) {
        if (on) {
            connect(m_live->view(), &LiveView::controlRequested, this, &PhoneControl::press,
                    Qt::UniqueConnection);
        } else if (m_window) {
            // Its address leads nowhere now.
            m_window->close();
        }
    });
}

bool PhoneControl::press(RemoteAction action) {
    const bool pause = action == RemoteAction::Pause;
    if (!m_clock->command(pause ? ClockCommand::Pause : ClockCommand::Resume))
        return false;
    m_notice->show(pause ? QStringLiteral("Paused from a phone")
                         : QStringLiteral("Resumed from a phone"));
    return true;
}

void PhoneControl::pair() {
    m_live->setOn(true);
    if (!m_live->isOn())
        return; // the reason was told
    LiveView *view = m_live->view();
    view->setControlKey(m_secret);
    actRemoteRevoke->setEnabled(true);
    if (!m_window)
        m_window = new frmRemote(m_clock);
    m_window->setAddress(remoteControlUrl(liveUrl(view->port()), m_secret));
    m_window->showBesideClock();
}

void PhoneControl::stop() {
    m_secret = newRemoteSecret();
    if (LiveView *view = m_live->view())
        view->setControlKey({});
    if (m_window)
        m_window->close();
    actRemoteRevoke->setEnabled(false);
}

} // namespace orvandel
