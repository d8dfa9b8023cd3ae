#include "live/httpadapter.h"

#include <QAbstractHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QTcpServer>
#include <QWebSocket>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QHttpServerWebSocketUpgradeResponse>
#endif

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

bool asksForLive(const QHttpServerRequest &request) {
    return resourceAt(request.url().path()) == Resource::Live;
}

// No routes: `answer` alone says what is served, so that the server's own
// path matching never decides it. The gate closes each connection once it
// has its answer.
class Server final : public QAbstractHttpServer {
public:
    explicit Server(HttpAdapter::Answer answer) : m_answer(std::move(answer)) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        addWebSocketUpgradeVerifier(this, [](const QHttpServerRequest &request) {
            // Any other upgrade goes to missingHandler, and is closed.
            return asksForLive(request) ? QHttpServerWebSocketUpgradeResponse::accept()
                                        : QHttpServerWebSocketUpgradeResponse::passToNext();
        });
#endif
    }

protected:
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    bool handleRequest(const QHttpServerRequest &request,
                       QHttpServerResponder &responder) override {
        missingHandler(request, responder);
        return true;
    }
    void missingHandler(const QHttpServerRequest &request,
                        QHttpServerResponder &responder) override {
        responder.sendResponse(responseOf(answerTo(m_answer, request)));
    }
#else
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override {
        // An upgrade to a WebSocket asks here first: true gives it to Qt's
        // WebSocket server, false to missingHandler, after which it closes.
        if (request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0)
            return asksForLive(request);
        missingHandler(request, socket);
        return true;
    }
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override {
        responseOf(answerTo(m_answer, request)).write(makeResponder(request, socket));
    }
#endif

private:
    HttpAdapter::Answer m_answer;
};

} // namespace

HttpAdapter::HttpAdapter(QTcpServer *server, Answer answer, Viewer viewer, QObject *parent)
    : QObject(parent), m_http(std::make_unique<Server>(std::move(answer))) {
    QAbstractHttpServer *http = m_http.get();
    connect(http, &QAbstractHttpServer::newWebSocketConnection, this,
            [http, viewer = std::move(viewer)] {
                while (http->hasPendingWebSocketConnections())
                    viewer(http->nextPendingWebSocketConnection());
            });
    m_http->bind(server);
}

HttpAdapter::~HttpAdapter() = default;

} // namespace orvandel::live
