#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;
class QUrl;

// Pairs the director's phone with the clock: the control address as a QR
// code and as text. It stays up for two minutes at most, for a secret on a
// screen is a secret shown to the room.
class frmRemote final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmRemote)

public:
    // A window in front of `parent`, the clock.
    explicit frmRemote(QWidget *parent);

    // Shows `address`, the control address with its secret, and starts the
    // two minutes afresh.
    void setAddress(const QUrl &address);

    // Shows the window on the director's screen: one the clock is not on
    // when there are two, else in front of the clock.
    void showBesideClock();

private:
    QLabel *Label1;
    QLabel *picRemoteQr;
    QLabel *lblRemoteUrl;
    QLabel *Label2;
    QPushButton *cmdClose;
    QTimer *tmrClose;
};
