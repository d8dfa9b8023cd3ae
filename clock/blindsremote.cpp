// The clock driven from the director's phone: pairing and revoking in the
// menu, the pause gate a press goes through and the notice that tells the
// room.
#include "clock/blinds.h"

#include "clock/clocklabel.h"
#include "clock/frmremote.h"
#include "live/liveview.h"
#include "live/remotecontrol.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <chrono>

using namespace orvandel;
using namespace std::chrono_literals;

namespace {
constexpr auto NoticeShownFor = 5s;
} // namespace

void Blinds::buildRemote() {
    m_remoteSecret = newRemoteSecret();
    mnuClock->addSeparator();
    actRemote = mnuClock->addAction(QStringLiteral("Control from a phone\u2026"));
    actRemote->setObjectName(QStringLiteral("actRemote"));
    connect(actRemote, &QAction::triggered, this, &Blinds::pairRemote);
    // Greyed out while no phone can have the secret.
    actRemoteRevoke = mnuClock->addAction(QStringLiteral("Stop phone control"));
    actRemoteRevoke->setObjectName(QStringLiteral("actRemoteRevoke"));
    actRemoteRevoke->setEnabled(false);
    connect(actRemoteRevoke, &QAction::triggered, this, &Blinds::stopRemote);

    // Bottom left, where nothing else is drawn.
    buildNotice(lblRemoteNotice, QStringLiteral("lblRemoteNotice"), tmrRemoteNotice,
                QStringLiteral("tmrRemoteNotice"), Qt::AlignLeft | Qt::AlignVCenter,
                NoticeShownFor);
    m_design.push_back({lblRemoteNotice, 240, 8400, 3765, 600, 18});
}

bool Blinds::remoteControl(RemoteAction action) {
    // Running: counting, no pause asked for. Paused: the pause has taken
    // effect. A clock that stopped by itself (the untimed final round, the
    // end) is neither. As with a click, a hidden time only resumes.
    const bool counting = Timer1->isActive();
    const bool running = counting && !isPaused() && !lblTime->isHidden();
    const bool paused = !counting && isPaused();
    if (!(action == RemoteAction::Pause ? running : paused))
        return false;
    pauseClick();
    showNotice(lblRemoteNotice, tmrRemoteNotice,
               action == RemoteAction::Pause ? QStringLiteral("Paused from a phone")
                                             : QStringLiteral("Resumed from a phone"));
    return true;
}

void Blinds::pairRemote() {
    if (!liveViewOn())
        setLiveView(true);
    if (!liveViewOn())
        return; // the reason was told
    m_live->setControlKey(m_remoteSecret);
    actRemoteRevoke->setEnabled(true);
    if (!m_remoteWindow)
        m_remoteWindow = new frmRemote(this);
    m_remoteWindow->setAddress(remoteControlUrl(liveUrl(m_live->port()), m_remoteSecret));
    m_remoteWindow->showBesideClock();
}

void Blinds::stopRemote() {
    m_remoteSecret = newRemoteSecret();
    if (m_live)
        m_live->setControlKey({});
    if (m_remoteWindow)
        m_remoteWindow->close();
    actRemoteRevoke->setEnabled(false);
}
