// The director's phone in a real browser: Debian's headless Chromium opens
// the control address of a clock paired from its menu, on loopback, and its
// Pause and Resume buttons are pressed as a finger would, through the
// DevTools protocol. The window's pause state follows, and the page shows
// what the clock then shows; "Stop phone control" shows on the page; the same
// page without the secret in its address has no buttons and changes nothing. Skipped
// without Chromium. With ORVANDEL_PICTURES set to a folder, the control page
// is drawn there at 390x844 as live-remote-phone.png.
#include "clocktest.h"
#include "remotetest.h"

#include "live/liveview.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QWebSocket>
#include <optional>

using namespace testsupport;

namespace {

// Just enough of the DevTools protocol: commands to one page and their results.
class DevTools {
public:
    explicit DevTools(const QUrl &page) {
        m_socket.setProxy(QNetworkProxy::NoProxy);
        QObject::connect(&m_socket, &QWebSocket::textMessageReceived, [this](const QString &text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.contains(u"id"))
                m_results.insert(message.value(u"id").toInt(), message);
        });
        m_socket.open(page);
    }

    bool connected(int ms) {
        return QTest::qWaitFor(
            [this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, ms);
    }

    // The command's result; nothing when the browser gave none in time.
    std::optional<QJsonObject> call(const QString &method, const QJsonObject &params = {}) {
        const int id = ++m_lastId;
        const QJsonObject command{{QStringLiteral("id"), id},
                                  {QStringLiteral("method"), method},
                                  {QStringLiteral("params"), params}};
        m_socket.sendTextMessage(QString::fromUtf8(QJsonDocument(command).toJson()));
        if (!QTest::qWaitFor([&] { return m_results.contains(id); }, 15000))
            return std::nullopt;
        return m_results.take(id).value(u"result").toObject();
    }

    // The value of a JavaScript expression in the page.
    QJsonValue evaluate(const QString &expression) {
        const auto result =
            call(QStringLiteral("Runtime.evaluate"), {{QStringLiteral("expression"), expression},
                                                      {QStringLiteral("returnByValue"), true}});
        return result ? result->value(u"result").toObject().value(u"value") : QJsonValue();
    }

    // Waits until `expression` is true in the page.
    bool until(const QString &expression, int ms = 20000) {
        return QTest::qWaitFor([&] { return evaluate(expression).toBool(); }, ms);
    }

    bool open(const QUrl &url) {
        return call(QStringLiteral("Page.navigate"),
                    {{QStringLiteral("url"), url.toString(QUrl::FullyEncoded)}})
            .has_value();
    }

private:
    QWebSocket m_socket;
    QMap<int, QJsonObject> m_results;
    int m_lastId = 0;
};

const QString PageLive =
    QStringLiteral("document.readyState === 'complete' && document.body.dataset.state === 'live'");

} // namespace

class TestRemoteBrowser : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { setUpClock(); }
    void cleanup();

    void pauseAndResumeFromThePhone();

private:
    // Starts the browser on a fresh profile; the DevTools address of its page.
    QUrl startBrowser();

    QString m_browser;
    QTemporaryDir m_profile;
    QProcess m_process;
};

void TestRemoteBrowser::initTestCase() {
    for (const char *name : {"chromium", "chromium-browser"}) {
        m_browser = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!m_browser.isEmpty())
            break;
    }
    if (m_browser.isEmpty())
        QSKIP("chromium is not installed");
}

void TestRemoteBrowser::cleanup() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    tearDownClock();
}

QUrl TestRemoteBrowser::startBrowser() {
    // The DevTools port is chosen by the browser, on loopback, and written
    // into the profile.
    m_process.start(m_browser,
                    {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                     QStringLiteral("--disable-gpu"), QStringLiteral("--disable-quic"),
                     QStringLiteral("--no-first-run"),
                     QStringLiteral("--disable-background-networking"),
                     QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                     QStringLiteral("--user-data-dir=") + m_profile.path(),
                     QStringLiteral("--remote-debugging-address=127.0.0.1"),
                     QStringLiteral("--remote-debugging-port=0"), QStringLiteral("about:blank")});
    QFile active(m_profile.filePath(QStringLiteral("DevToolsActivePort")));
    if (!QTest::qWaitFor([&] { return active.exists() && active.size() > 0; }, 30000))
        return {};
    if (!active.open(QIODevice::ReadOnly))
        return {};
    const int port = active.readLine().trimmed().toInt();

    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    for (int attempt = 0; attempt < 50; ++attempt) {
        QNetworkReply *reply = network.get(
            QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/json/list").arg(port))));
        if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 5000))
            continue;
        const QJsonArray targets = QJsonDocument::fromJson(reply->readAll()).array();
        reply->deleteLater();
        for (const QJsonValue &target : targets) {
            if (target[u"type"].toString() == QLatin1String("page"))
                return QUrl(target[u"webSocketDebuggerUrl"].toString());
        }
        QTest::qWait(100);
    }
    return {};
}

void TestRemoteBrowser::pauseAndResumeFromThePhone() {
    Blinds *clock = start(ExampleTournament);
    // The address on the pairing window, reached through loopback.
    QUrl control = pairFromTheMenu(clock);
    control.setHost(QStringLiteral("127.0.0.1"));
    QVERIFY(control.fragment().startsWith(QLatin1String("key=")));
    auto *cmdPause = child<QPushButton>(clock, "cmdPause");
    QSignalSpy presses(clock->findChild<LiveView *>(), &LiveView::controlRequested);

    const QUrl page = startBrowser();
    QVERIFY2(page.isValid(), "the browser did not start");
    DevTools browser(page);
    QVERIFY(browser.connected(10000));
    // A phone held upright.
    QVERIFY(browser.call(QStringLiteral("Emulation.setDeviceMetricsOverride"),
                         {{QStringLiteral("width"), 390},
                          {QStringLiteral("height"), 844},
                          {QStringLiteral("deviceScaleFactor"), 1},
                          {QStringLiteral("mobile"), true}}));

    QVERIFY(browser.open(control));
    QVERIFY(
        browser.until(PageLive + QStringLiteral(" && !document.getElementById('remote').hidden")));
    QVERIFY(browser.until(QStringLiteral(
        "document.getElementById('remoteStatus').textContent === 'The clock is running.'")));
    browser.evaluate(QStringLiteral("document.getElementById('pause').click()"));
    QTRY_COMPARE_WITH_TIMEOUT(cmdPause->text(), QStringLiteral("Resume"), 10000);
    // The page tells it from the face it is sent, and the room from the clock.
    QVERIFY(browser.until(QStringLiteral(
        "document.getElementById('remoteStatus').textContent === 'The clock is paused.'")));
    QCOMPARE(text(clock, "lblRemoteNotice"), QStringLiteral("Paused from a phone"));
    // A pause takes effect on the next second; the page shows it then.
    QVERIFY(browser.until(QStringLiteral(
        "document.querySelector('[data-name=\"lblTime\"]').textContent === 'Paused'")));
    if (const QByteArray folder = qgetenv("ORVANDEL_PICTURES"); !folder.isEmpty()) {
        const auto shot = browser.call(QStringLiteral("Page.captureScreenshot"));
        QVERIFY(shot);
        QFile file(QString::fromLocal8Bit(folder) + QStringLiteral("/live-remote-phone.png"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromBase64(shot->value(u"data").toString().toLatin1()));
    }
    browser.evaluate(QStringLiteral("document.getElementById('resume').click()"));
    QTRY_COMPARE_WITH_TIMEOUT(cmdPause->text(), QStringLiteral("Pause"), 10000);
    QCOMPARE(presses.size(), 2);
    QVERIFY(browser.until(QStringLiteral(
        "document.getElementById('remoteStatus').textContent === 'The clock is running.'")));

    // "Stop phone control": the phone says so and its buttons go grey.
    child<QAction>(clock, "actRemoteRevoke")->trigger();
    QVERIFY(browser.until(QStringLiteral("document.getElementById('remoteStatus').textContent === "
                                         "'This phone no longer controls the clock.' && "
                                         "document.getElementById('pause').disabled")));

    // Without the secret: no buttons, and a press of the hidden one sends
    // nothing.
    QVERIFY(browser.open(QUrl(QStringLiteral("about:blank"))));
    QVERIFY(browser.until(QStringLiteral("location.href === 'about:blank'")));
    QVERIFY(browser.open(control.adjusted(QUrl::RemoveFragment)));
    QVERIFY(browser.until(PageLive));
    QCOMPARE(browser.evaluate(QStringLiteral("document.getElementById('remote').hidden")),
             QJsonValue(true));
    browser.evaluate(QStringLiteral("document.getElementById('pause').click()"));
    QTest::qWait(1000);
    QCOMPARE(cmdPause->text(), QStringLiteral("Pause"));
    QCOMPARE(presses.size(), 2);
    browser.call(QStringLiteral("Browser.close"));
}

QTEST_MAIN(TestRemoteBrowser)

#include "tst_remotebrowser.moc"
