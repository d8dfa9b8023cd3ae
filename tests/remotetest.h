#pragma once
// The phone-control suites' pairing: "Control from a phone…" on a clock whose
// live view tries ports that were free a moment ago (other tests on the
// machine listen too), and what the pairing window then shows.
#include "clock/blinds.h"
#include "clock/frmremote.h"
#include "clock/liveshare.h"
#include "freeports.h"
#include "testsupport.h"

#include <QAction>
#include <QUrl>

namespace testsupport {

inline frmRemote *pairingWindow(const Blinds *clock) {
    return clock->findChild<frmRemote *>();
}

// Pairs from the clock's menu; the control address on the pairing window.
inline QUrl pairFromTheMenu(Blinds *clock) {
    const quint16 first = freePorts(10).first;
    clock->findChild<orvandel::LiveShare *>()->setPorts(first, static_cast<quint16>(first + 9));
    child<QAction>(clock, "actRemote")->trigger();
    if (!pairingWindow(clock))
        qFatal("no pairing window");
    return QUrl(text(pairingWindow(clock), "lblRemoteUrl"));
}

} // namespace testsupport
