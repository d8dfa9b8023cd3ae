#include "live/httpadapter.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtGlobal>

namespace orvandel::live {

namespace {

HttpReply answerTo(const HttpAdapter::Answer &answer, const QHttpServerRequest &request) {
    return answer({request.method() == QHttpServerRequest::Method::Get, request.url().path(),
                   request.value("Host")});
}

QHttpServerResponse responseOf(const HttpReply &reply) {
    QHttpServerResponse response(reply.type, reply.body,
                                 static_cast<QHttpServerResponder::StatusCode>(reply.status));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QHttpHeaders headers = response.headers();
    for (const auto &[name, value] : reply.headers)
        headers.append(QLatin1StringView(name), QLatin1StringView(value));
    headers.append(QHttpHeaders::WellKnownHeader::Connection, "close");
    response.setHeaders(std::move(headers));
#else
    for (const auto &[name, value] : reply.headers)
        response.addHeader(name, value);
    response.addHeader("Connection", "close");
#endif
    return response;
}

} // namespace

HttpAdapter::HttpAdapter(QTcpServer *server, Answer answer, QObject *parent)
    : QObject(parent), m_http(std::make_unique<QHttpServer>()) {
    // No routes: every request comes here, and `answer` alone says what is
    // served, so that the server's own path matching never decides it.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QHttpServer *http = m_http.get();
    m_http->setMissingHandler(this,
                              [http, answer = std::move(answer)](const QHttpServerRequest &request,
                                                                 QHttpServerResponder &responder) {
                                  responder.sendResponse(responseOf(answerTo(answer, request)));
                                  // One request a connection: what comes next is never read. The
                                  // responder no longer names its socket; the server still owns it.
                                  for (QTcpSocket *socket : http->findChildren<QTcpSocket *>()) {
                                      if (socket->peerPort() == request.remotePort() &&
                                          socket->peerAddress() == request.remoteAddress())
                                          socket->disconnectFromHost();
                                  }
                              });
#else
    m_http->setMissingHandler([answer = std::move(answer)](const QHttpServerRequest &request,
                                                           QHttpServerResponder &&responder) {
        QTcpSocket *socket = responder.socket();
        responseOf(answerTo(answer, request)).write(std::move(responder));
        // One request a connection: what comes next is never read.
        socket->disconnectFromHost();
    });
#endif
    m_http->bind(server);
}

HttpAdapter::~HttpAdapter() = default;

} // namespace orvandel::live
