#pragma once
// The live view suites' clients, every one on loopback: a view started on
// ports found free (other tests on the machine listen too), an HTTP exchange
// of exact bytes, and the page's WebSocket, a viewer's or a phone's, that
// keeps what it hears.
#include "freeports.h"
#include "live/liveview.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>

namespace livetest {

inline quint16 startOnFreePorts(LiveView &view) {
    const quint16 first = testsupport::freePorts(10).first;
    QString error;
    if (!view.start(first, static_cast<quint16>(first + 9), &error))
        qFatal("the live view did not start: %s", qPrintable(error));
    return view.port();
}

// A QTcpSocket's or a QWebSocket's end.
template <typename Socket> bool waitClosed(const Socket &socket, int ms = 5000) {
    return QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, ms);
}

struct Answer {
    int status = 0;
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
    bool closed = false; // by the server, after the answer
};

// Sends `request` as it stands and reads until the server closes.
inline Answer exchange(quint16 port, const QByteArray &request,
                       const QHostAddress &address = QHostAddress::LocalHost) {
    QTcpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    socket.connectToHost(address, port);
    socket.write(request);
    Answer answer;
    answer.closed =
        QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000);
    received += socket.readAll();
    const qsizetype end = received.indexOf("\r\n\r\n");
    const QList<QByteArray> lines = received.first(std::max<qsizetype>(0, end)).split('\n');
    answer.status = lines.value(0).split(' ').value(1).toInt();
    for (const QByteArray &line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            answer.headers.insert(line.first(colon).toLower(), line.sliced(colon + 1).trimmed());
    }
    answer.body = end < 0 ? QByteArray() : received.sliced(end + 4);
    return answer;
}

inline QByteArray get(const QByteArray &target) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

// The Origin a page's WebSocket is opened with.
struct Origin {
    QString value;
};

// The page's WebSocket on /live, as a viewer's or a phone's browser opens it,
// and what it heard, stamped on arrival: every message, and apart the faces
// and the answers to presses.
class Client {
public:
    // A viewer: no Origin, and `host` the loopback address to reach.
    explicit Client(quint16 port, const QString &host = QStringLiteral("127.0.0.1"))
        : Client(port, host, QString()) {}
    // A phone's page from `origin` ("" for none): made once its first face came.
    Client(quint16 port, const Origin &origin)
        : Client(port, QStringLiteral("127.0.0.1"), origin.value) {
        if (!waitForMessages(1))
            qFatal("the phone's WebSocket did not open");
    }

    bool waitForMessages(qsizetype count, int ms = 5000) {
        return QTest::qWaitFor([&] { return messages.size() >= count; }, ms);
    }
    bool waitClosed(int ms = 5000) { return livetest::waitClosed(socket, ms); }
    bool isOpen() const { return socket.state() == QAbstractSocket::ConnectedState; }

    // Sends `text`; its answer, or nothing when none came within `ms`.
    QString ask(const QString &text, int ms = 5000) {
        const qsizetype before = answers.size();
        socket.sendTextMessage(text);
        return QTest::qWaitFor([&] { return answers.size() > before; }, ms) ? answers.constLast()
                                                                            : QString();
    }

    // Pairs with `token`: the key given, or empty when refused.
    QByteArray pair(const QByteArray &token);

    QJsonObject lastFace() const {
        return QJsonDocument::fromJson(faces.constLast().toUtf8()).object();
    }

    QWebSocket socket;
    QStringList messages;
    QList<qint64> arrivals; // ms since the client was made
    QStringList answers, faces;

private:
    Client(quint16 port, const QString &host, const QString &origin) : socket(origin) {
        m_clock.start();
        socket.setProxy(QNetworkProxy::NoProxy);
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString &text) {
            messages.append(text);
            arrivals.append(m_clock.elapsed());
            const bool answer = text.startsWith(QLatin1String(R"({"control")")) ||
                                text.startsWith(QLatin1String(R"({"paired")"));
            (answer ? answers : faces).append(text);
        });
        socket.open(QUrl(QStringLiteral("ws://%1:%2/live").arg(host).arg(port)));
    }

    QElapsedTimer m_clock;
};

// The answers to a press from a phone.
inline const QString Taken = QStringLiteral(R"({"control":true})");
inline const QString Refused = QStringLiteral(R"({"control":false,"status":403})");

// The message of a press of "pause" or "resume" with `key`.
inline QString press(const char *action, const QByteArray &key) {
    return QStringLiteral(R"({"action":"%1","key":"%2"})")
        .arg(QLatin1String(action), QString::fromLatin1(key));
}

// The message of a press with an id of its own.
inline QString press(const char *action, const QByteArray &key, const QString &id) {
    return QStringLiteral(R"({"action":"%1","key":"%2","id":"%3"})")
        .arg(QLatin1String(action), QString::fromLatin1(key), id);
}

inline QString pairWith(const QByteArray &token) {
    return QStringLiteral(R"({"pair":"%1"})").arg(QString::fromLatin1(token));
}

inline QByteArray Client::pair(const QByteArray &token) {
    const QJsonObject answer = QJsonDocument::fromJson(ask(pairWith(token)).toUtf8()).object();
    return answer.value(u"paired").toBool() ? answer.value(u"key").toString().toLatin1()
                                            : QByteArray();
}

} // namespace livetest
