#include "live/livegate.h"

#include "live/requesthead.h"

#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#endif

namespace orvandel::live {

namespace {

// A connection that writes straight to the system when nothing waits in its
// buffer: a tick's frame reaches every viewer with one system call each,
// without arming and disarming a write notifier per viewer, which wakes the
// event loop every time. What the system does not take at once is buffered
// as usual, and whatever follows waits behind it.
class GateSocket final : public QTcpSocket {
public:
    using QTcpSocket::QTcpSocket;

protected:
#ifdef Q_OS_LINUX
    qint64 writeData(const char *data, qint64 size) override {
        qint64 sent = 0;
        if (bytesToWrite() == 0 && state() == QAbstractSocket::ConnectedState)
            sent = std::max<qint64>(0, ::send(static_cast<int>(socketDescriptor()), data,
                                              static_cast<std::size_t>(size),
                                              MSG_DONTWAIT | MSG_NOSIGNAL));
        if (sent == size)
            return size;
        const qint64 buffered = QTcpSocket::writeData(data + sent, size - sent);
        return buffered < 0 ? buffered : sent + buffered;
    }
#endif
};

} // namespace

LiveGate::LiveGate(const LiveLimits &limits, QWebSocketServer *viewers, QObject *parent)
    : QTcpServer(parent), m_limits(limits), m_viewers(viewers) {
    // A burst of connections must not fill the kernel's queue before they
    // are taken: a refused SYN costs a fresh viewer a second or more.
    setListenBacklogSize(1024);
    m_connections.reserve(static_cast<std::size_t>(m_limits.maxConnections) + 1);
}

void LiveGate::incomingConnection(qintptr handle) {
    auto *socket = new GateSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    forgetClosed();
    if (!makeRoom()) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    m_connections.push_back({socket, Stage::Reading, 0});
    // The head is peeked, not read, so that whoever takes the connection
    // reads it whole; the buffer holds no more than a head may be.
    socket->setReadBufferSize(m_limits.maxHeadBytes + 1);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { inspect(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(m_limits.requestTimeout, this,
                       [this, watched = QPointer(socket)] { expire(watched); });
}

void LiveGate::forgetClosed() {
    // A closed socket may wait for its deletion; it holds no room meanwhile.
    std::erase_if(m_connections, [](const Connection &c) {
        return c.socket.isNull() || c.socket->state() == QAbstractSocket::UnconnectedState;
    });
}

int LiveGate::connectionCount() {
    forgetClosed();
    return static_cast<int>(m_connections.size());
}

bool LiveGate::makeRoom() {
    if (static_cast<int>(m_connections.size()) < m_limits.maxConnections)
        return true;
    // The oldest that has not finished its request; failing that, the oldest
    // that is not a viewer.
    auto victim = std::find_if(m_connections.begin(), m_connections.end(),
                               [](const Connection &c) { return c.stage == Stage::Reading; });
    if (victim == m_connections.end())
        victim = std::find_if(m_connections.begin(), m_connections.end(),
                              [](const Connection &c) { return c.stage != Stage::Viewing; });
    if (victim == m_connections.end())
        return false;
    const QPointer<QTcpSocket> socket = victim->socket;
    m_connections.erase(victim);
    socket->abort();
    return true;
}

LiveGate::Connection *LiveGate::find(const QTcpSocket *socket) {
    const auto found = std::find_if(m_connections.begin(), m_connections.end(),
                                    [socket](const Connection &c) { return c.socket == socket; });
    return found == m_connections.end() ? nullptr : &*found;
}

void LiveGate::inspect(QTcpSocket *socket) {
    Connection *connection = find(socket);
    if (!connection || connection->stage != Stage::Reading)
        return;
    const QByteArray seen = socket->peek(m_limits.maxHeadBytes + 1);
    const HeadScan scan = scanHead(seen, connection->resume, m_limits.maxHeadBytes);
    if (scan.state == HeadScan::State::Incomplete) {
        connection->resume = scan.resume;
        return;
    }
    if (scan.state == HeadScan::State::TooLarge) {
        refuse(*connection, 431);
        return;
    }
    const Admission admission = admit(readHead(QByteArrayView(seen).first(scan.length)));
    if (admission.kind == Admission::Kind::Refuse) {
        refuse(*connection, admission.status);
        return;
    }
    // From here the connection belongs to whoever reads it next.
    disconnect(socket, nullptr, this, nullptr);
    disconnect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->setReadBufferSize(0);
    if (admission.kind == Admission::Kind::Live) {
        connection->stage = Stage::Upgrading;
        // The WebSocket it becomes owns it.
        socket->setParent(nullptr);
        m_viewers->handleConnection(socket);
    } else {
        connection->stage = Stage::Answered;
        addPendingConnection(socket);
        // The web server reads on its next readyRead, and the head is in.
        QMetaObject::invokeMethod(socket, &QTcpSocket::readyRead, Qt::QueuedConnection);
    }
}

void LiveGate::refuse(Connection &connection, int status) {
    QTcpSocket *socket = connection.socket;
    connection.stage = Stage::Answered;
    // Whatever else the client sent is read and dropped, so that closing
    // does not reset the connection before it has the answer.
    socket->setReadBufferSize(0);
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    connect(socket, &QTcpSocket::readyRead, socket,
            [socket] { socket->skip(socket->bytesAvailable()); });
    socket->skip(socket->bytesAvailable());
    socket->write(refusal(status));
    socket->disconnectFromHost();
}

void LiveGate::expire(QTcpSocket *socket) {
    const Connection *connection = socket ? find(socket) : nullptr;
    if (connection && connection->stage != Stage::Viewing)
        socket->abort();
}

QTcpSocket *LiveGate::admitViewer(const QWebSocket *viewer) {
    for (Connection &c : m_connections) {
        if (c.stage == Stage::Upgrading && c.socket && c.socket->peerPort() == viewer->peerPort() &&
            c.socket->peerAddress() == viewer->peerAddress()) {
            c.stage = Stage::Viewing;
            return c.socket;
        }
    }
    return nullptr;
}

} // namespace orvandel::live
