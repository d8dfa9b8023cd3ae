#pragma once

#include "live/liveview.h"

#include <QImage>
#include <QObject>

class Blinds;
class ClockLabel;
class QAction;
class QLabel;
namespace orvandel {
struct Fit;

// The clock on phones and TVs, as the clock's menu switches it: the live
// view's server, fed with every face and sound of the clock, and the
// address panel in the clock's top left.
class LiveShare final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LiveShare)

public:
    explicit LiveShare(Blinds *clock);

    // The ports the live view tries, first to last; tests give their own.
    void setPorts(quint16 first, quint16 last);
    // Starts or stops the view; a start that fails is reported and leaves
    // it off.
    void setOn(bool on);
    bool isOn() const;
    // The server, running or not; null until the view was first turned on.
    LiveView *view() const;

    // Tells every page to play the sound `name` or to say `sentence`.
    void playSound(const QString &name);
    void speak(const QString &sentence);

    // The tournament's rounds the pages list (core/roundsjson.h), passed on
    // to the view now and whenever it is made.
    void setRounds(const QByteArray &json);

signals:
    void switched(bool on);

private:
    // The address panel shows while the view is on, unless the director hid it.
    void showPanel();
    void layoutPanel(const orvandel::Fit &fit);
    // The QR code at the size its control has now, each module sharp.
    void drawQr();
    // The sounds the pages play: the alert the director chose and the warning.
    void shareSounds();

    Blinds *m_clock;
    QAction *actLiveView;
    QAction *actLiveAddress;
    ClockLabel *lblLiveUrl;
    QLabel *picLiveQr;
    LiveView *m_live = nullptr;
    QImage m_qr; // one pixel a module
    QByteArray m_rounds;
    quint16 m_firstPort = orvandel::LiveFirstPort;
    quint16 m_lastPort = orvandel::LiveLastPort;
};

} // namespace orvandel
