#pragma once

#include "core/clockface.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace orvandel {
enum class RemoteAction;
// The ports the view tries, first to last, unless told others.
inline constexpr quint16 LiveFirstPort = 8088;
inline constexpr quint16 LiveLastPort = 8108;
} // namespace orvandel

// What keeps the view from being hurt by what the network sends it. Tests and
// the bench make the times shorter.
struct LiveLimits {
    int maxConnections = 256;
    qsizetype maxHeadBytes = qsizetype{8} * 1024;
    // To send a whole request head; a connection that is not a viewer by
    // then is closed.
    std::chrono::milliseconds requestTimeout{10'000};
    // All a viewer may send on its WebSocket, every frame whole, pings and
    // pongs included; the answers to the view's pings and the director's
    // presses that were taken are not counted.
    qint64 maxViewerBytes = 1024;
    // What may wait to be sent to a viewer that does not read.
    qint64 maxViewerWaiting = qint64{64} * 1024;
    // A viewer that answers no ping for this long is closed.
    std::chrono::milliseconds pongTimeout{30'000};
    // The face is sent to every viewer at least this often.
    std::chrono::milliseconds heartbeat{2'000};
};

// The clock shown on every phone and TV of the room's network: a small web
// server of the program's own, read-only, that serves a page mirroring the
// clock's face, the face as JSON at /state, and a WebSocket at /live that
// pushes every change. It reads the face it is given, never the window.
class LiveView final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LiveView)

public:
    explicit LiveView(QObject *parent = nullptr);
    ~LiveView() override;

    // Listens on every address of the machine, on the first free port from
    // `first` to `last`. False when none could be opened, with the reason in
    // `error`.
    bool start(quint16 first = orvandel::LiveFirstPort, quint16 last = orvandel::LiveLastPort,
               QString *error = nullptr);
    // Closes the port; every open page is told that the clock is no longer
    // shared before its connection closes.
    void stop();
    bool isRunning() const;
    // The port listened on; 0 while stopped.
    quint16 port() const;
    // The WebSockets open now.
    int viewerCount() const;

    // Taken at the next start().
    void setLimits(const LiveLimits &limits);

    // The face every viewer sees from now on; sent at once to every open
    // WebSocket when it differs from the last.
    void publish(const orvandel::ClockFace &face);

    // The clock's design (core/clockdesign.h designToJson()), which every
    // page is sent first and lays itself out from.
    void setDesign(const QByteArray &json);

    // The tournament's rounds (core/roundsjson.h roundsToJson()), which the
    // pages list in their Levels view; served at /structure (404 while
    // empty) and kept when the view is stopped and started again.
    void setRounds(const QByteArray &json);

    // The sounds the pages play when told to, served at /alert.wav and
    // /warning.wav (404 while empty).
    void setSounds(const QByteArray &alert, const QByteArray &warning);
    // Tells every open page to play a sound ("alert" or "warning") or to
    // say a sentence; a page whose sound is on does it at once.
    void playSound(const QString &name);
    void speak(const QString &sentence);

    // Phones paired at once; pairing one more drops the oldest one's key.
    static constexpr int MaxPhones = 16;
    // Ids of presses done that are remembered, so that a press sent again
    // (a retry over a poor network) is answered but not done twice.
    static constexpr qsizetype RememberedPresses = 256;

    // The one secret a press from the director's phone must carry from now
    // on, in place of every phone's key and of an open pairing; empty: no
    // press is taken. Dropping a key tells every open page that presses from
    // it are no longer taken.
    void setControlKey(const QByteArray &key);
    // `token` pairs one phone, once: the first page that sends it is given a
    // new key of its own, which its presses carry from then on. Keys given
    // before stay taken; a token opened before is no longer.
    void openPairing(const QByteArray &token);
    // The phones paired and not revoked.
    int pairedPhones() const;
    // Asked about every press that passed the checks: true when it was done,
    // false to refuse it. Without one, every such press counts as done.
    void setControlHandler(std::function<bool(orvandel::RemoteAction)> handler);
    // Milliseconds of a steady clock, for the limit on wrong secrets; tests
    // put in their own.
    void setSteadyClock(std::function<std::int64_t()> clock);

signals:
    // A press passed every check and was done: an address not silenced for
    // wrong secrets, a WebSocket opened by the page's own origin, a
    // well-formed message, a key taken, an id not seen before, and the
    // handler's yes.
    void controlRequested(orvandel::RemoteAction action);
    // A phone was given its key; the pairing's token is spent.
    void phonePaired();

private:
    struct Server;
    std::unique_ptr<Server> m_server;
};

// The address a viewer on the room's network opens:
// http://<the machine's first non-loopback IPv4 address that is up>:<port>/,
// or http://127.0.0.1:<port>/ when there is none.
QUrl liveUrl(quint16 port);
