#pragma once

#include "live/liveview.h"

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <vector>

class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

namespace orvandel::live {

// The live view's listening socket and doorkeeper. Every connection is read
// here until its request head is complete, within the limits: so many
// connections at once, so many bytes of head, so long to send it. Then it goes
// on: a viewer's WebSocket to `viewers`, a request for a page to the web
// server bound to this QTcpServer (through addPendingConnection), anything
// else answered with a refusal here. Connections that are not viewers make
// room for new ones, the oldest unfinished first.
class LiveGate final : public QTcpServer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LiveGate)

public:
    LiveGate(const LiveLimits &limits, QWebSocketServer *viewers, QObject *parent = nullptr);

    // The WebSocket handed over from here has become a viewer: it stays open
    // for as long as it keeps its side of the bargain. Its connection, for
    // frames written straight to it.
    QTcpSocket *admitViewer(const QWebSocket *viewer);
    int connectionCount();

protected:
    void incomingConnection(qintptr handle) override;

private:
    enum class Stage { Reading, Answered, Upgrading, Viewing };
    struct Connection {
        QPointer<QTcpSocket> socket;
        Stage stage = Stage::Reading;
        qsizetype resume = 0;
    };

    void forgetClosed();
    bool makeRoom();
    void inspect(QTcpSocket *socket);
    void refuse(Connection &connection, int status);
    void expire(QTcpSocket *socket);
    Connection *find(const QTcpSocket *socket);

    LiveLimits m_limits;
    QWebSocketServer *m_viewers;
    std::vector<Connection> m_connections; // oldest first
};

} // namespace orvandel::live
