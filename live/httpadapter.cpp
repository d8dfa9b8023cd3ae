#include "live/httpadapter.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QTcpServer>
#include <QTcpSocket>

namespace orvandel::live {

HttpAdapter::HttpAdapter(QTcpServer *server, Answer answer, QObject *parent)
    : QObject(parent), m_http(std::make_unique<QHttpServer>()) {
    // No routes: every request comes here, and `answer` alone says what is
    // served, so that the server's own path matching never decides it.
    m_http->setMissingHandler([answer = std::move(answer)](const QHttpServerRequest &request,
                                                           QHttpServerResponder &&responder) {
        QTcpSocket *socket = responder.socket();
        const HttpReply reply = answer({request.method() == QHttpServerRequest::Method::Get,
                                        request.url().path(), request.value("Host")});
        QHttpServerResponse response(reply.type, reply.body,
                                     static_cast<QHttpServerResponder::StatusCode>(reply.status));
        for (const auto &[name, value] : reply.headers)
            response.addHeader(name, value);
        response.addHeader("Connection", "close");
        response.write(std::move(responder));
        // One request a connection: what comes next is never read.
        socket->disconnectFromHost();
    });
    m_http->bind(server);
}

HttpAdapter::~HttpAdapter() = default;

} // namespace orvandel::live
