#pragma once

#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

namespace orvandel {

// Keeps the screen from blanking or locking while it lives: a tournament clock
// is watched, not typed at, so the desktop would otherwise think nobody is
// there. Asks on construction and gives the request back in the destructor or
// in release(), whichever comes first.
//
// On Windows this is the thread's execution state; elsewhere it is the
// freedesktop ScreenSaver service on the session bus. Without a session bus
// or without that service nothing happens and nothing is reported: a clock
// that cannot keep the screen on is still a clock.
class ScreenAwake final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScreenAwake)

public:
    explicit ScreenAwake(QObject *parent);
    ~ScreenAwake() override;

    // Gives the request back. Safe to call more than once; later calls do
    // nothing. If the desktop has not answered yet, the request is given back
    // as soon as it does.
    void release();

    // True while the desktop has granted the request and it is still held.
    bool isInhibited() const { return m_inhibited; }
    // True while the desktop's answer to the request is still awaited.
    bool isPending() const;

signals:
    void inhibitedChanged(bool inhibited);

private:
    void setInhibited(bool inhibited);
#ifndef Q_OS_WIN
    void ask(const QString &path);
    void answered(QDBusPendingCallWatcher *watcher, const QString &path);

    QDBusPendingCallWatcher *m_pending = nullptr;
    QString m_path; // object path that granted m_cookie
    uint m_cookie = 0;
#endif
    bool m_inhibited = false;
    bool m_released = false;
};

} // namespace orvandel
