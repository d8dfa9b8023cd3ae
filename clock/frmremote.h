#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;
class QUrl;

// Pairs the director's phone with the clock: the one-time pairing address as
// a QR code and as text. It stays up for two minutes at most, and goes once a
// phone has paired.
class frmRemote final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmRemote)

public:
    // A window in front of `parent`, the clock.
    explicit frmRemote(QWidget *parent);

    // Shows `address`, the pairing address with its token, and starts the
    // two minutes afresh.
    void setAddress(const QUrl &address);
    // A phone has paired: says so, and closes a moment later.
    void showPaired();

    // Shows the window on the director's screen: one the clock is not on
    // when there are two, else in front of the clock.
    void showBesideClock();

private:
    QLabel *Label1;
    QLabel *picRemoteQr;
    QLabel *lblRemoteUrl;
    QLabel *lblPaired;
    QLabel *Label2;
    QPushButton *cmdClose;
    QTimer *tmrClose;
};
