#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringView>
#include <QUrl>
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <optional>

// The director's phone: what a control request from the live view's page must
// carry and pass before it may move the clock or count a player. Plain
// functions and values; the server and the clock window use them.
namespace orvandel {

// The phone's buttons: the clock's (Pause to Undo), then the players' counts.
enum class RemoteAction {
    Pause,
    Resume,
    Next,
    Previous,
    AddMinute,
    TakeMinute,
    Restart,
    Undo,
    Out,
    Entry,
    Rebuy,
    AddOn,
    UndoCount,
};

// The action's name in a message ("addMinute"), and back; nothing for a name
// no action has.
QLatin1String remoteActionName(RemoteAction action);
std::optional<RemoteAction> remoteActionNamed(QStringView name);
// Whether the action is one of the players' counts rather than the clock's.
bool isPlayerAction(RemoteAction action);

// A fresh secret: 128 bits from the system's cryptographic random source,
// base64url without padding (22 characters, safe in a URL fragment). Kept in
// memory only.
QByteArray newRemoteSecret();

// The address the director's phone opens: the live view's address with the
// secret in its fragment, which a browser never sends in a request, a log
// line or a Referer.
QUrl remoteControlUrl(const QUrl &viewUrl, const QByteArray &secret);

// Whether `given` is `secret`, in a time that depends on the lengths alone.
// An empty secret matches nothing.
bool sameSecret(QByteArrayView given, QByteArrayView secret);

// {"action": ACTION, "key": SECRET, "id": ID}, the id optional, or
// {"pair": TOKEN}, a phone asking for a key of its own.
struct ControlMessage {
    enum class Kind { Press, Pair };
    Kind kind = Kind::Press;
    RemoteAction action = RemoteAction::Pause; // a press's
    QByteArray key;                            // a press's secret, a pairing's token
    QString id;                                // a press's; empty when none came
};

// The largest control message read; longer ones are refused unread.
constexpr qsizetype MaxControlMessage = 256;
// The longest key or token read; a secret is 22 characters.
constexpr qsizetype MaxKeyLength = 64;
// The longest id of a press read.
constexpr qsizetype MaxPressIdLength = 64;

// A WebSocket text message as a control request: a JSON object holding
// exactly "action" (a name of remoteActionName) and "key" (1 to MaxKeyLength
// base64url characters), and optionally "id" (a string of 1 to
// MaxPressIdLength characters); or exactly "pair" (a token, as a key).
// Anything else: nothing. A member given twice counts once, with its last
// value, as JSON readers have it.
std::optional<ControlMessage> decodeControlMessage(QByteArrayView message);

// Whether a WebSocket handshake's Origin is the address it was opened on,
// scheme://host:port of its Host header: a page from another site, opened on
// the director's phone, must not drive the clock. Missing or "null" origins
// do not match.
bool sameOrigin(QStringView origin, QStringView host);

// Counts wrong secrets by the address they came from: after MaxWrong within
// a minute, that address gets no answer to control requests for the next
// minute. Viewers are not its business.
class WrongSecretLimiter final {
public:
    using SteadyClock = std::function<std::int64_t()>; // milliseconds

    static constexpr int MaxWrong = 10;
    static constexpr std::int64_t WindowMs = 60'000;
    static constexpr std::int64_t SilenceMs = 60'000;
    // Addresses remembered at once; the stalest is forgotten for a new one.
    static constexpr qsizetype MaxAddresses = 1024;

    explicit WrongSecretLimiter(SteadyClock clock);

    // Whether control requests from `address` go unanswered now.
    bool silenced(const QString &address);
    // A wrong secret came from `address`.
    void wrongSecret(const QString &address);
    // How many addresses are remembered now.
    qsizetype remembered() const { return m_records.size(); }

private:
    struct Record {
        std::int64_t times[MaxWrong] = {}; // of the wrong secrets, oldest first
        int count = 0;
        std::int64_t silencedUntil = 0;
        std::int64_t lastSeen = 0;
    };
    void forgetStale(std::int64_t now);

    SteadyClock m_clock;
    QHash<QString, Record> m_records;
};

} // namespace orvandel
