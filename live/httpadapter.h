#pragma once

#include "live/requesthead.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QAbstractHttpServer;
class QTcpServer;
class QWebSocket;

namespace orvandel::live {

struct HttpAsk {
    bool get = false;
    QString path; // decoded, without the query
    QByteArray host;
};

struct HttpReply {
    int status = 404;
    QByteArray type; // Content-Type
    QByteArray body;
    Headers headers;
};

// All the program asks of Qt's HTTP server, in the one file that names it:
// Qt HTTP Server is a technology preview whose API changes between Qt
// versions (6.4 here, 6.8 on Debian 13), so moving Qt touches this file alone.
// The server reads the connections `server` hands over through
// QTcpServer::addPendingConnection. It gives a WebSocket upgrade of /live to
// Qt's WebSocket server and what that opens to `viewer`; `answer` makes the
// reply to every other request.
class HttpAdapter final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HttpAdapter)

public:
    using Answer = std::function<HttpReply(const HttpAsk &)>;
    using Viewer = std::function<void(std::unique_ptr<QWebSocket>)>;
    // Takes `server` (listening) for its own.
    HttpAdapter(QTcpServer *server, Answer answer, Viewer viewer, QObject *parent = nullptr);
    ~HttpAdapter() override;

private:
    std::unique_ptr<QAbstractHttpServer> m_http;
};

} // namespace orvandel::live
