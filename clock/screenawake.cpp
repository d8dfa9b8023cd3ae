#include "clock/screenawake.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QThread>

namespace orvandel {

#endif

#ifdef Q_OS_WIN

// The execution state belongs to the calling thread, so the clock window's
// thread both sets and clears it.
ScreenAwake::ScreenAwake(QObject *parent) : QObject(parent) {
    const EXECUTION_STATE previous =
        SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
    setInhibited(previous != 0);
}

ScreenAwake::~ScreenAwake() {
    release();
}

void ScreenAwake::release() {
    if (m_released)
        return;
    m_released = true;
    if (m_inhibited) {
        SetThreadExecutionState(ES_CONTINUOUS);
        setInhibited(false);
    }
}

bool ScreenAwake::isPending() const {
    return false;
}

#else

namespace {

const QString Service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString Interface = QStringLiteral("org.freedesktop.ScreenSaver");
// Most desktops serve the first path; some only the second.
const QString MainPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString OldPath = QStringLiteral("/ScreenSaver");

// Hands a cookie back. Nobody waits for the answer: if the service has gone
// away there is nothing left to give back, and a failure changes nothing the
// user could act on.
void unInhibit(const QString &path, uint cookie) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, path, Interface, QStringLiteral("UnInhibit"));
    call << cookie;
    call.setAutoStartService(false);
    QDBusConnection::sessionBus().asyncCall(call);
}

} // namespace

ScreenAwake::ScreenAwake(QObject *parent) : QObject(parent) {
    // Connecting to the session bus is a local socket handshake; when there is
    // no bus it fails at once and the clock simply runs without this.
    if (!QDBusConnection::sessionBus().isConnected())
        return;
    ask(MainPath);
}

ScreenAwake::~ScreenAwake() {
    if (m_pending) {
        // Destroyed before the desktop answered. Waiting here would stall the
        // window's closing on a slow or stuck service, so the pending answer
        // is handed to a small keeper instead, which gives the cookie back
        // when it arrives. If the program ends first, its bus connection
        // closes and the desktop drops the request on its own.
        m_pending->disconnect(this);
        QObject *keeper = QCoreApplication::instance();
        m_pending->setParent(keeper && keeper->thread() == thread() ? keeper : nullptr);
        QDBusPendingCallWatcher *watcher = m_pending;
        const QString path = m_pending->property("path").toString();
        connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                [path](QDBusPendingCallWatcher *finished) {
                    const QDBusPendingReply<uint> reply = *finished;
                    if (reply.isValid())
                        unInhibit(path, reply.value());
                    finished->deleteLater();
                });
        m_pending = nullptr;
    }
    m_released = true;
    if (m_inhibited)
        unInhibit(m_path, m_cookie);
}

void ScreenAwake::release() {
    if (m_released)
        return;
    m_released = true;
    // A request still on its way is given back in answered().
    if (m_inhibited) {
        unInhibit(m_path, m_cookie);
        setInhibited(false);
    }
}

bool ScreenAwake::isPending() const {
    return m_pending != nullptr;
}

void ScreenAwake::ask(const QString &path) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, path, Interface, QStringLiteral("Inhibit"));
    call << QStringLiteral("Orvandel") << QStringLiteral("A tournament clock is running");
    // Asynchronous: a desktop that is slow to answer must not freeze the clock.
    m_pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    m_pending->setProperty("path", path);
    connect(m_pending, &QDBusPendingCallWatcher::finished, this,
            [this, path](QDBusPendingCallWatcher *watcher) { answered(watcher, path); });
}

void ScreenAwake::answered(QDBusPendingCallWatcher *watcher, const QString &path) {
    watcher->deleteLater();
    if (watcher != m_pending)
        return;
    m_pending = nullptr;
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        const QDBusError::ErrorType type = reply.error().type();
        const bool notServedHere = type == QDBusError::UnknownObject ||
                                   type == QDBusError::UnknownMethod ||
                                   type == QDBusError::UnknownInterface;
        if (notServedHere && path == MainPath && !m_released)
            ask(OldPath);
        // Any other failure means the desktop will not help; the clock runs
        // regardless, so it is not worth a message.
        return;
    }
    if (m_released) {
        unInhibit(path, reply.value());
        return;
    }
    m_path = path;
    m_cookie = reply.value();
    setInhibited(true);
}

#endif

void ScreenAwake::setInhibited(bool inhibited) {
    if (m_inhibited == inhibited)
        return;
    m_inhibited = inhibited;
    emit inhibitedChanged(inhibited);
}

} // namespace orvandel
