#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

class Blinds;
class QAction;
class frmRemote;
namespace orvandel {
class ClockNotice;
class LiveShare;
enum class RemoteAction;

// The clock driven from the director's phone: pairing and revoking in the
// clock's menu, the presses passed on to the clock, and the notice that
// tells the room what a press did.
class PhoneControl final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneControl)

public:
    // `notice`: where the room is told what a press did.
    PhoneControl(Blinds *clock, LiveShare *live, ClockNotice *notice);

    // A press of Pause or Resume on the phone. True when the clock acted;
    // its window then says so for a few seconds.
    bool press(orvandel::RemoteAction action);

private:
    // "Control from a phone…": the live view on, the secret taken by it, and
    // the pairing window with the control address.
    void pair();
    // "Stop phone control": a new secret, which no phone has, and none
    // taken until the next pairing.
    void stop();

    Blinds *m_clock;
    LiveShare *m_live;
    QAction *actRemote;
    QAction *actRemoteRevoke;
    ClockNotice *m_notice;
    QPointer<frmRemote> m_window;
    // The secret: new at every start and on "Stop phone control", in memory
    // only.
    QByteArray m_secret;
};

} // namespace orvandel
