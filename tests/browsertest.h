#pragma once
// Debian's headless Chromium driven through just enough of the DevTools
// protocol, for the suites that check a live page in a real browser. The
// browser listens for the DevTools on loopback, on a port of its choosing.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>
#include <memory>
#include <optional>

namespace testsupport {

// JavaScript in one page.
class DevTools {
public:
    explicit DevTools(const QUrl &page) {
        m_socket.setProxy(QNetworkProxy::NoProxy);
        QObject::connect(&m_socket, &QWebSocket::textMessageReceived, [this](const QString &text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            m_results.insert(message.value(u"id").toInt(), message.value(u"result").toObject());
        });
        m_socket.open(page);
        // A command sent before the socket is open would be lost.
        static_cast<void>(QTest::qWaitFor(
            [this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, 15000));
    }

    // The command's result; an empty one when the browser gave none in time.
    QJsonObject call(const QString &method, const QJsonObject &params = {}) {
        const int id = ++m_lastId;
        const QJsonObject command{{QStringLiteral("id"), id},
                                  {QStringLiteral("method"), method},
                                  {QStringLiteral("params"), params}};
        m_socket.sendTextMessage(QString::fromUtf8(QJsonDocument(command).toJson()));
        return QTest::qWaitFor([&] { return m_results.contains(id); }, 15000) ? m_results.take(id)
                                                                              : QJsonObject();
    }

    QJsonValue evaluate(const QString &expression) {
        return call(QStringLiteral("Runtime.evaluate"),
                    {{QStringLiteral("expression"), expression},
                     {QStringLiteral("returnByValue"), true}})[u"result"][u"value"];
    }

    // Whether `expression` came true in the page within 20 s.
    bool until(const QString &expression) {
        return QTest::qWaitFor([&] { return evaluate(expression).toBool(); }, 20000);
    }

    void open(const QUrl &url) {
        call(QStringLiteral("Page.navigate"),
             {{QStringLiteral("url"), url.toString(QUrl::FullyEncoded)}});
    }

    // The page as a screen of `width` by `height` CSS pixels shows it.
    void resize(int width, int height, bool mobile) {
        call(QStringLiteral("Emulation.setDeviceMetricsOverride"),
             {{QStringLiteral("width"), width},
              {QStringLiteral("height"), height},
              {QStringLiteral("deviceScaleFactor"), 1},
              {QStringLiteral("mobile"), mobile}});
    }

    // A PNG of what the page shows now.
    QByteArray screenshot() {
        return QByteArray::fromBase64(call(QStringLiteral("Page.captureScreenshot"),
                                           {{QStringLiteral("format"), QStringLiteral("png")}})
                                          .value(u"data")
                                          .toString()
                                          .toLatin1());
    }

private:
    QWebSocket m_socket;
    QMap<int, QJsonObject> m_results;
    int m_lastId = 0;
};

// The browser, once, on a fresh profile, ended with the object.
class Browser {
public:
    ~Browser() {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    // The DevTools address of its page, or an invalid one when it did not
    // start.
    QUrl start(const QString &browser) {
        m_process.start(
            browser,
            {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
             QStringLiteral("--disable-gpu"), QStringLiteral("--disable-quic"),
             QStringLiteral("--no-first-run"), QStringLiteral("--disable-background-networking"),
             QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
             // The switch is pressed by the DevTools, not a finger.
             QStringLiteral("--autoplay-policy=no-user-gesture-required"),
             QStringLiteral("--user-data-dir=") + m_profile.path(),
             QStringLiteral("--remote-debugging-address=127.0.0.1"),
             QStringLiteral("--remote-debugging-port=0"), QStringLiteral("about:blank")});
        QFile active(m_profile.filePath(QStringLiteral("DevToolsActivePort")));
        if (!QTest::qWaitFor([&] { return active.size() > 0; }, 30000) ||
            !active.open(QIODevice::ReadOnly))
            return {};
        const QUrl list(QStringLiteral("http://127.0.0.1:%1/json/list")
                            .arg(active.readLine().trimmed().toInt()));
        QNetworkAccessManager network;
        network.setProxy(QNetworkProxy::NoProxy);
        for (int attempt = 0; attempt < 50; ++attempt) {
            std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(list)));
            if (QTest::qWaitFor([&] { return reply->isFinished(); }, 5000)) {
                for (const QJsonValue target : QJsonDocument::fromJson(reply->readAll()).array()) {
                    if (target[u"type"] == QLatin1String("page"))
                        return QUrl(target[u"webSocketDebuggerUrl"].toString());
                }
            }
            QTest::qWait(100);
        }
        return {};
    }

private:
    QTemporaryDir m_profile;
    QProcess m_process;
};

} // namespace testsupport
