#include "live/livegate.h"

#include "live/requesthead.h"

#include <QWebSocket>
#include <algorithm>
#include <utility>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#endif

namespace orvandel::live {

LiveConnection::LiveConnection(LiveGate *gate, const LiveLimits &limits)
    : QTcpSocket(gate), m_gate(gate), m_limits(limits) {
    // Its own, so that it goes with the connection, not ten seconds later.
    m_deadline.setSingleShot(true);
    m_deadline.callOnTimeout(this, &QAbstractSocket::abort);
    m_deadline.start(m_limits.requestTimeout);
}

qint64 LiveConnection::writeData(const char *data, qint64 size) {
    // Qt's WebSocket is made right after its server writes this answer, and
    // before it reads a frame.
    if (m_stage == Stage::Answered && !m_written &&
        QByteArrayView(data, size).startsWith("HTTP/1.1 101 "))
        becomeViewer();
    m_written = true;
    if (m_held) {
        m_batch.append(data, size);
        return size;
    }
    return send(data, size);
}

qint64 LiveConnection::send(const char *data, qint64 size) {
    qint64 written = 0;
#ifdef Q_OS_LINUX
    // Straight to the system when nothing waits in the buffer: a tick's face
    // reaches every viewer without arming and disarming a write notifier per
    // viewer, which wakes the event loop every time. What the system does
    // not take at once is buffered as usual, and whatever follows waits
    // behind it.
    if (bytesToWrite() == 0 && state() == QAbstractSocket::ConnectedState)
        written = std::max<qint64>(0, ::send(static_cast<int>(socketDescriptor()), data,
                                             static_cast<std::size_t>(size),
                                             MSG_DONTWAIT | MSG_NOSIGNAL));
#endif
    if (written < size) {
        const qint64 buffered = QTcpSocket::writeData(data + written, size - written);
        written = buffered < 0 ? buffered : written + buffered;
    }
    // A viewer that does not read: its faces would pile up here.
    if (m_stage == Stage::Viewing && bytesToWrite() > m_limits.maxViewerWaiting)
        shut(false);
    return written;
}

void LiveConnection::release() {
    m_held = false;
    if (!m_batch.isEmpty())
        send(m_batch.constData(), m_batch.size());
    m_batch.resize(0); // its room kept for the next
}

void LiveConnection::becomeViewer() {
    m_stage = Stage::Viewing;
    m_deadline.stop();
    m_allowance = m_limits.maxViewerBytes;
    m_unread = 0;
    // Connected before Qt's WebSocket is, and Qt's server has dropped every
    // earlier connection: this comes first on every arrival.
    connect(this, &QIODevice::readyRead, this, &LiveConnection::vet);
}

void LiveConnection::vet() {
    const qint64 available = bytesAvailable();
    const qint64 fresh = available - m_unread;
    // Until the WebSocket has read, all of it has been seen.
    m_unread = available;
    if (fresh <= 0 || m_closing)
        return;
    m_allowance -= fresh;
    const QByteArray seen = peek(available);
    if (m_allowance < 0 || !m_frames.feed(QByteArrayView(seen).last(fresh)))
        shut(true); // before the WebSocket reads any of it
}

void LiveConnection::setReadBufferSize(qint64 size) {
    QTcpSocket::setReadBufferSize(size);
    if (m_stage != Stage::Viewing || m_claimed || !m_gate || !m_gate->m_asking)
        return;
    m_claimed = true;
    m_gate->m_answering = this;
    // After the WebSocket's own: what it left unread is no arrival.
    connect(this, &QIODevice::readyRead, this, [this] { m_unread = bytesAvailable(); });
    m_unread = bytesAvailable();
}

void LiveConnection::shut(bool now) {
    if (std::exchange(m_closing, true))
        return;
    if (now)
        abort();
    else // not under Qt's WebSocket while it writes
        QMetaObject::invokeMethod(this, &QAbstractSocket::abort, Qt::QueuedConnection);
}

LiveGate::LiveGate(const LiveLimits &limits, QObject *parent)
    : QTcpServer(parent), m_limits(limits) {
    // A burst of connections must not fill the kernel's queue before they
    // are taken: a refused SYN costs a fresh viewer a second or more.
    setListenBacklogSize(1024);
    m_connections.reserve(static_cast<std::size_t>(m_limits.maxConnections) + 1);
}

void LiveGate::incomingConnection(qintptr handle) {
    auto *socket = new LiveConnection(this, m_limits);
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
    m_connections.emplace_back(socket);
    // The head is peeked, not read, so that Qt's server reads it whole; the
    // buffer holds no more than a head may be, and later no more than that
    // of a viewer's frames.
    socket->setReadBufferSize(m_limits.maxHeadBytes + 1);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { inspect(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void LiveGate::forgetClosed() {
    // A closed socket may wait for its deletion; it holds no room meanwhile.
    std::erase_if(m_connections, [](const QPointer<LiveConnection> &c) {
        return c.isNull() || c->state() == QAbstractSocket::UnconnectedState;
    });
}

bool LiveGate::makeRoom() {
    if (static_cast<int>(m_connections.size()) < m_limits.maxConnections)
        return true;
    // The oldest that has not finished its request; failing that, the oldest
    // that is not a viewer.
    using Stage = LiveConnection::Stage;
    auto victim = std::find_if(m_connections.begin(), m_connections.end(),
                               [](const auto &c) { return c->stage() == Stage::Reading; });
    if (victim == m_connections.end())
        victim = std::find_if(m_connections.begin(), m_connections.end(),
                              [](const auto &c) { return c->stage() != Stage::Viewing; });
    if (victim == m_connections.end())
        return false;
    const QPointer<LiveConnection> socket = *victim;
    m_connections.erase(victim);
    socket->abort();
    return true;
}

void LiveGate::inspect(LiveConnection *socket) {
    if (socket->stage() != LiveConnection::Stage::Reading)
        return;
    const QByteArray seen = socket->peek(m_limits.maxHeadBytes + 1);
    const HeadScan scan = scanHead(seen, socket->m_resume, m_limits.maxHeadBytes);
    if (scan.state == HeadScan::State::Incomplete) {
        socket->m_resume = scan.resume;
        return;
    }
    if (scan.state == HeadScan::State::TooLarge) {
        refuse(socket, 431);
        return;
    }
    const Admission admission = admit(readHead(QByteArrayView(seen).first(scan.length)));
    if (admission.kind == Admission::Kind::Refuse)
        refuse(socket, admission.status);
    else
        handOver(socket);
}

void LiveGate::handOver(LiveConnection *socket) {
    socket->m_stage = LiveConnection::Stage::Answered;
    // From here the connection is Qt's server's to read and to delete.
    disconnect(socket, nullptr, this, nullptr);
    disconnect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    addPendingConnection(socket);
    // The server reads on the next readyRead, and the head is in. It answers
    // a request at once; one request a connection, so the connection closes
    // once it has its answer, unless that made it a viewer.
    QMetaObject::invokeMethod(
        this,
        [watched = QPointer(socket)] {
            if (!watched || watched->state() != QAbstractSocket::ConnectedState)
                return;
            emit watched->readyRead();
            if (watched && watched->m_written && watched->stage() != LiveConnection::Stage::Viewing)
                watched->disconnectFromHost();
        },
        Qt::QueuedConnection);
}

void LiveGate::refuse(LiveConnection *socket, int status) {
    socket->m_stage = LiveConnection::Stage::Answered;
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

LiveConnection *LiveGate::connectionOf(QWebSocket *viewer) {
    m_asking = true;
    viewer->setReadBufferSize(m_limits.maxHeadBytes + 1);
    m_asking = false;
    return std::exchange(m_answering, nullptr);
}

} // namespace orvandel::live
