#include "live/liveview.h"

#include "core/steadyclock.h"
#include "live/clientframes.h"
#include "live/httpadapter.h"
#include "live/livegate.h"
#include "live/remotecontrol.h"
#include "live/requesthead.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>
#include <QTimer>
#include <QWebSocket>
#include <algorithm>
#include <deque>
#include <vector>

using namespace orvandel;
using namespace orvandel::live;

namespace {

// The last message of every page when the view is turned off.
const QString NotShared = QStringLiteral(R"({"shared":false})");
// The answers to a press from a phone, and what every page hears when the
// director stops phone control. The face that follows a taken press shows
// what it did.
const QString ControlTaken = QStringLiteral(R"({"control":true})");
const QString ControlRefused = QStringLiteral(R"({"control":false,"status":403})");
const QString ControlStopped = QStringLiteral(R"({"control":false})");
// The answer to a pairing that found no open token: spent, or never given.
const QString NotPaired = QStringLiteral(R"({"paired":false})");

// One name for an address however it came: an IPv4 client of a dual-stack
// socket shows as ::ffff:a.b.c.d.
QString addressName(const QHostAddress &address) {
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip).toString() : address.toString();
}

QByteArray embedded(const char *name) {
    QFile file(QStringLiteral(":/live/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the live view's %s is not built in", name);
    return file.readAll();
}

} // namespace

struct LiveView::Server {
    struct Viewer {
        QWebSocket *socket;
        QPointer<LiveConnection> connection; // under it
        qint64 lastPongMs;
        qint64 nextPingMs;
    };

    explicit Server(LiveView *view) : owner(view) {
        setFace(faceToJson({}));
        clock.start();
        heartbeat.callOnTimeout(owner, [this] { serveViewers(); });
    }

    Viewer *find(const QWebSocket *socket) {
        const auto found = std::find_if(viewers.begin(), viewers.end(),
                                        [socket](const Viewer &v) { return v.socket == socket; });
        return found == viewers.end() ? nullptr : &*found;
    }

    void admit(std::unique_ptr<QWebSocket> owned);
    void send(const Viewer &viewer, bool ping) const {
        const LiveConnection::Batch batch(viewer.connection);
        viewer.socket->sendTextMessage(text);
        if (ping && viewer.connection) {
            // Its answer, an empty frame, is the view's, not the viewer's.
            viewer.connection->allow(clientFrameBytes(0));
            viewer.socket->ping();
        }
    }
    void setFace(QByteArray faceJson) {
        json = std::move(faceJson);
        text = QString::fromUtf8(json);
    }
    // One message to every page now open.
    void broadcast(const QJsonObject &message) const {
        const QString said =
            QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
        for (const Viewer &viewer : viewers) {
            const LiveConnection::Batch batch(viewer.connection);
            viewer.socket->sendTextMessage(said);
        }
    }
    void pressed(QWebSocket *socket, const QString &message);
    // A press with every check passed.
    void take(QWebSocket *socket, const ControlMessage &press);
    void pair(QWebSocket *socket, const QString &address, const QByteArray &token, qsizetype bytes);
    bool keyTaken(const QByteArray &given) const {
        // Every key is looked at, so that the time tells nothing of which.
        bool taken = false;
        for (const QByteArray &key : keys)
            taken = sameSecret(given, key) || taken;
        return taken;
    }
    void allowPress(QWebSocket *socket, qsizetype bytes) {
        // The director's presses are not a viewer's chatter: they do not use
        // up the allowance.
        if (Viewer *viewer = find(socket); viewer && viewer->connection)
            viewer->connection->allow(clientFrameBytes(bytes));
    }
    void serveViewers();
    HttpReply answer(const HttpAsk &ask) const;

    LiveView *owner;
    LiveLimits limits;
    QByteArray json;
    QString text; // the same, as a WebSocket sends it
    const QByteArray page = embedded("index.html");
    const QByteArray script = embedded("live.js");
    const QByteArray style = embedded("live.css");
    QByteArray design; // {"design": ...}, sent to each page first
    QByteArray rounds; // the tournament's rounds, at /structure
    QByteArray alertSound;
    QByteArray warningSound;
    QElapsedTimer clock;
    QTimer heartbeat;                  // restarted by every change of the face
    std::unique_ptr<HttpAdapter> http; // owns the gate; null while stopped
    LiveGate *gate = nullptr;
    quint16 port = 0;
    std::vector<Viewer> viewers;
    QList<QByteArray> keys;  // the paired phones', the oldest first
    QByteArray pairingToken; // empty when none is open
    std::function<bool(RemoteAction)> handler;
    QSet<QString> doneIds;
    std::deque<QString> doneOrder; // the same, the oldest first
    WrongSecretLimiter wrongSecrets{&steadyNowMs};
};

void LiveView::Server::admit(std::unique_ptr<QWebSocket> owned) {
    // Deleted when it closes, or with the view.
    QWebSocket *socket = owned.release();
    socket->setParent(owner);
    QObject::connect(socket, &QWebSocket::disconnected, owner, [this, socket] {
        std::erase_if(viewers, [socket](const Viewer &v) { return v.socket == socket; });
        socket->deleteLater();
    });
    LiveConnection *connection = gate->connectionOf(socket);
    if (!connection) {
        socket->abort();
        return;
    }
    // The connection goes with its WebSocket, whichever Qt leaves it to.
    connection->setParent(socket);
    socket->setMaxAllowedIncomingFrameSize(static_cast<quint64>(limits.maxViewerBytes));
    socket->setMaxAllowedIncomingMessageSize(static_cast<quint64>(limits.maxViewerBytes));
    // Viewers that came together would otherwise be asked together, ever
    // after: each gets a first ping of its own time.
    const qint64 pingEvery = limits.pongTimeout.count() / 3;
    viewers.push_back({socket, connection, clock.elapsed(),
                       clock.elapsed() + QRandomGenerator::global()->bounded(pingEvery + 1)});
    QObject::connect(socket, &QWebSocket::textMessageReceived, owner,
                     [this, socket](const QString &message) { pressed(socket, message); });
    QObject::connect(socket, &QWebSocket::pong, owner, [this, socket] {
        if (Viewer *viewer = find(socket))
            viewer->lastPongMs = clock.elapsed();
    });
    if (!design.isEmpty())
        socket->sendTextMessage(QString::fromUtf8(design));
    send(viewers.back(), false);
}

void LiveView::Server::pressed(QWebSocket *socket, const QString &message) {
    // An address that sent too many wrong secrets hears nothing, so that it
    // cannot even tell a right one.
    const QString address = addressName(socket->peerAddress());
    if (wrongSecrets.silenced(address))
        return;
    const QByteArray bytes = message.toUtf8();
    const std::optional<ControlMessage> press = decodeControlMessage(bytes);
    // A page of another site opened on the director's phone can open this
    // WebSocket too; its browser names that site as the Origin.
    const bool ownPage =
        sameOrigin(socket->origin(), QString::fromLatin1(socket->request().rawHeader("Host")));
    if (!press || !ownPage) {
        socket->sendTextMessage(ControlRefused);
        return;
    }
    if (press->kind == ControlMessage::Kind::Pair) {
        pair(socket, address, press->key, bytes.size());
        return;
    }
    if (!keyTaken(press->key)) {
        wrongSecrets.wrongSecret(address);
        socket->sendTextMessage(ControlRefused);
        return;
    }
    allowPress(socket, bytes.size());
    // Sent again because its answer was lost: answered as before, not done
    // again.
    if (!press->id.isEmpty() && doneIds.contains(press->id)) {
        socket->sendTextMessage(ControlTaken);
        return;
    }
    take(socket, *press);
}

void LiveView::Server::take(QWebSocket *socket, const ControlMessage &press) {
    // The handler may act on the clock and so publish a face: a QPointer
    // tells whether the socket outlived it.
    const QPointer<QWebSocket> guard(socket);
    if (handler && !handler(press.action)) {
        if (guard)
            guard->sendTextMessage(ControlRefused);
        return;
    }
    if (!press.id.isEmpty()) {
        doneIds.insert(press.id);
        doneOrder.push_back(press.id);
        if (std::ssize(doneOrder) > RememberedPresses) {
            doneIds.remove(doneOrder.front());
            doneOrder.pop_front();
        }
    }
    if (guard)
        guard->sendTextMessage(ControlTaken);
    emit owner->controlRequested(press.action);
}

void LiveView::Server::pair(QWebSocket *socket, const QString &address, const QByteArray &token,
                            qsizetype bytes) {
    if (!sameSecret(token, pairingToken)) {
        // A spent token is as wrong as a guessed one.
        wrongSecrets.wrongSecret(address);
        socket->sendTextMessage(NotPaired);
        return;
    }
    pairingToken.clear();
    const QByteArray key = newRemoteSecret();
    keys.append(key);
    if (keys.size() > MaxPhones)
        keys.removeFirst();
    allowPress(socket, bytes);
    // Written by hand for "paired" to come first, as a reader expects; a key
    // is base64url, which needs no escape.
    socket->sendTextMessage(
        QStringLiteral(R"({"paired":true,"key":"%1"})").arg(QString::fromLatin1(key)));
    emit owner->phonePaired();
}

void LiveView::Server::serveViewers() {
    // On every change of the face and, while it does not change, on the
    // heartbeat, so that a page can tell a paused clock from a lost one. A
    // ping follows the face now and then, so that the answers come while the
    // tick's work is being done anyway, not in the middle of the next second.
    const qint64 now = clock.elapsed();
    std::vector<QWebSocket *> silent;
    for (Viewer &viewer : viewers) {
        if (now - viewer.lastPongMs > limits.pongTimeout.count()) {
            silent.push_back(viewer.socket);
            continue;
        }
        // Three pings in the time allowed for an answer.
        const bool ping = now >= viewer.nextPingMs;
        if (ping)
            viewer.nextPingMs = now + limits.pongTimeout.count() / 3;
        send(viewer, ping);
    }
    for (QWebSocket *socket : silent)
        socket->abort();
    heartbeat.start();
}

HttpReply LiveView::Server::answer(const HttpAsk &ask) const {
    HttpReply reply{200, {}, {}, answerHeaders(ask.host)};
    if (!ask.get) { // the gate refuses these before they come here
        reply.status = 405;
        reply.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET")));
        return reply;
    }
    const struct {
        Resource resource;
        const char *type;
        const QByteArray &body;
    } served[] = {
        {Resource::Page, "text/html; charset=utf-8", page},
        {Resource::Script, "text/javascript; charset=utf-8", script},
        {Resource::Style, "text/css; charset=utf-8", style},
        {Resource::State, "application/json", json},
        {Resource::Structure, "application/json", rounds},
        {Resource::AlertSound, "audio/wav", alertSound},
        {Resource::WarningSound, "audio/wav", warningSound},
    };
    const Resource asked = resourceAt(ask.path);
    for (const auto &[resource, type, body] : served) {
        if (resource == asked && !body.isEmpty()) {
            reply.type = type;
            reply.body = body;
            return reply;
        }
    }
    // Nothing else, /live without its upgrade included.
    reply.status = 404;
    reply.type = "text/plain; charset=utf-8";
    reply.body = "Not found\n";
    return reply;
}

LiveView::LiveView(QObject *parent) : QObject(parent), m_server(std::make_unique<Server>(this)) {}

LiveView::~LiveView() {
    stop();
}

bool LiveView::start(quint16 first, quint16 last, QString *error) {
    Server &d = *m_server;
    if (d.http)
        return true;
    auto gate = std::make_unique<LiveGate>(d.limits);
    QString reason = QStringLiteral("no port to try");
    for (quint32 port = first; port <= last; ++port) {
        if (gate->listen(QHostAddress::Any, static_cast<quint16>(port)))
            break;
        reason = gate->errorString();
    }
    if (!gate->isListening()) {
        if (error)
            *error = QStringLiteral("No port from %1 to %2 could be opened: %3")
                         .arg(first)
                         .arg(last)
                         .arg(reason);
        return false;
    }
    d.port = gate->serverPort();
    d.gate = gate.get();
    d.http = std::make_unique<HttpAdapter>(
        gate.release(), [&d](const HttpAsk &ask) { return d.answer(ask); },
        [&d](std::unique_ptr<QWebSocket> viewer) { d.admit(std::move(viewer)); });
    // Three quarters: a late timer still beats within the heartbeat.
    d.heartbeat.setInterval(d.limits.heartbeat * 3 / 4);
    d.heartbeat.start();
    return true;
}

void LiveView::stop() {
    Server &d = *m_server;
    if (!d.http)
        return;
    // The port closes, and with it every connection that is not a viewer.
    d.http.reset();
    d.gate = nullptr;
    d.port = 0;
    d.heartbeat.stop();
    const std::vector<Server::Viewer> leaving = std::exchange(d.viewers, {});
    for (const Server::Viewer &viewer : leaving) {
        viewer.socket->sendTextMessage(NotShared);
        viewer.socket->close(QWebSocketProtocol::CloseCodeGoingAway);
        // On its way now, in case the program ends before the event loop
        // runs again.
        viewer.socket->flush();
    }
}

bool LiveView::isRunning() const {
    return m_server->http != nullptr;
}

quint16 LiveView::port() const {
    return m_server->port;
}

int LiveView::viewerCount() const {
    return static_cast<int>(m_server->viewers.size());
}

void LiveView::setLimits(const LiveLimits &limits) {
    m_server->limits = limits;
}

void LiveView::publish(const ClockFace &face) {
    Server &d = *m_server;
    QByteArray json = faceToJson(face);
    if (json == d.json)
        return;
    d.setFace(std::move(json));
    if (d.http)
        d.serveViewers();
}

void LiveView::setDesign(const QByteArray &json) {
    m_server->design = "{\"design\":" + json + '}';
}

void LiveView::setRounds(const QByteArray &json) {
    m_server->rounds = json;
}

void LiveView::setSounds(const QByteArray &alert, const QByteArray &warning) {
    m_server->alertSound = alert;
    m_server->warningSound = warning;
}

void LiveView::playSound(const QString &name) {
    m_server->broadcast({{QStringLiteral("sound"), name}});
}

void LiveView::speak(const QString &sentence) {
    m_server->broadcast({{QStringLiteral("say"), sentence}});
}

void LiveView::setControlKey(const QByteArray &key) {
    Server &d = *m_server;
    d.pairingToken.clear();
    const QList<QByteArray> keys = key.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{key};
    if (keys == d.keys)
        return;
    const bool dropped = !d.keys.isEmpty();
    d.keys = keys;
    if (!dropped)
        return;
    for (Server::Viewer &viewer : d.viewers)
        viewer.socket->sendTextMessage(ControlStopped);
}

void LiveView::openPairing(const QByteArray &token) {
    m_server->pairingToken = token;
}

int LiveView::pairedPhones() const {
    return static_cast<int>(m_server->keys.size());
}

void LiveView::setControlHandler(std::function<bool(RemoteAction)> handler) {
    m_server->handler = std::move(handler);
}

void LiveView::setSteadyClock(std::function<std::int64_t()> clock) {
    m_server->wrongSecrets = WrongSecretLimiter(std::move(clock));
}

QUrl liveUrl(quint16 port) {
    QString host = QStringLiteral("127.0.0.1");
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> entries = interface.addressEntries();
        // A link-local address (169.254.x.x) is what a machine gives itself
        // when no network answered; phones cannot reach it.
        const auto usable = std::find_if(entries.begin(), entries.end(), [](const auto &entry) {
            const QHostAddress ip = entry.ip();
            return ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback() &&
                   !ip.isLinkLocal();
        });
        if (usable != entries.end()) {
            host = usable->ip().toString();
            break;
        }
    }
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    url.setPort(port);
    url.setPath(QStringLiteral("/"));
    return url;
}
