#pragma once

#include "live/clientframes.h"
#include "live/liveview.h"

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <vector>

class QWebSocket;

namespace orvandel::live {

class LiveGate;

// One connection of the live view, from its first byte to its last. The gate
// reads it until its request head is complete; Qt's server reads it from
// there. Once Qt's server has answered it 101 it carries a viewer's
// WebSocket, and every byte the viewer sends is looked at here before Qt's
// WebSocket reads it: a frame without a client's mask, or more than the
// viewer's allowance, closes the connection unread, and so does more than
// maxViewerWaiting waiting to be sent to it.
class LiveConnection final : public QTcpSocket {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LiveConnection)

public:
    // Reading its head; its head read and on to Qt's server or refused;
    // carrying a viewer's WebSocket.
    enum class Stage { Reading, Answered, Viewing };

    LiveConnection(LiveGate *gate, const LiveLimits &limits);

    Stage stage() const { return m_stage; }
    // Bytes the viewer may send beyond its allowance: the answer to a ping,
    // a press that was taken.
    void allow(qint64 bytes) { m_allowance += bytes; }

    // While one lives, what is written to the connection waits, to go out in
    // one piece when it ends: QWebSocket writes a message's head and its
    // payload apart, and the view sends a ping after the face.
    class Batch {
    public:
        explicit Batch(LiveConnection *connection) : m_connection(connection) {
            if (m_connection)
                m_connection->m_held = true;
        }
        ~Batch() {
            if (m_connection)
                m_connection->release();
        }
        Q_DISABLE_COPY_MOVE(Batch)

    private:
        LiveConnection *m_connection;
    };

    // QWebSocket passes its read buffer size down to the connection under
    // it, the one way Qt gives from a WebSocket to its connection: the gate
    // asks through it.
    void setReadBufferSize(qint64 size) override;

protected:
    qint64 writeData(const char *data, qint64 size) override;

private:
    friend class LiveGate;
    void becomeViewer();
    void vet();
    void shut(bool now);
    void release();
    qint64 send(const char *data, qint64 size);

    QPointer<LiveGate> m_gate;
    LiveLimits m_limits;
    QTimer m_deadline; // for its head, and for its answer unless it is a viewer
    Stage m_stage = Stage::Reading;
    qsizetype m_resume = 0; // where the next scan of the head starts
    bool m_written = false; // since its head was read
    bool m_claimed = false; // by its WebSocket's owner
    bool m_closing = false;
    bool m_held = false;
    QByteArray m_batch; // written while held
    qint64 m_allowance = 0;
    qint64 m_unread = 0; // looked at already, waiting for Qt's WebSocket
    ClientFrames m_frames;
};

// The live view's listening socket and doorkeeper. Every connection is read
// here until its request head is complete, within the limits Qt's server
// lacks: so many connections at once, so many bytes of head, so long to send
// it, and no body. Then Qt's server bound to this QTcpServer takes it
// (through addPendingConnection) and answers it, one request a connection,
// or makes it a viewer's WebSocket. Connections that are not viewers make
// room for new ones, the oldest unfinished first.
class LiveGate final : public QTcpServer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LiveGate)

public:
    explicit LiveGate(const LiveLimits &limits, QObject *parent = nullptr);

    // The connection under a WebSocket Qt's server opened on one of this
    // gate's connections; null for any other.
    LiveConnection *connectionOf(QWebSocket *viewer);

protected:
    void incomingConnection(qintptr handle) override;

private:
    friend class LiveConnection;
    void forgetClosed();
    bool makeRoom();
    void inspect(LiveConnection *socket);
    void handOver(LiveConnection *socket);
    void refuse(LiveConnection *socket, int status);

    LiveLimits m_limits;
    std::vector<QPointer<LiveConnection>> m_connections; // oldest first
    bool m_asking = false;
    LiveConnection *m_answering = nullptr;
};

} // namespace orvandel::live
