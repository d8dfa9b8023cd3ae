#include "live/remotecontrol.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <algorithm>
#include <array>

namespace orvandel {

QByteArray newRemoteSecret() {
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray bytes(reinterpret_cast<const char *>(words.data()), sizeof words);
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

QUrl remoteControlUrl(const QUrl &viewUrl, const QByteArray &secret) {
    QUrl url = viewUrl;
    url.setFragment(QStringLiteral("key=") + QString::fromLatin1(secret));
    return url;
}

bool sameSecret(QByteArrayView given, QByteArrayView secret) {
    if (secret.isEmpty())
        return false;
    // Every byte of the secret is looked at whatever the bytes given, so the
    // time taken tells nothing of how much of it was right.
    unsigned int difference = given.size() == secret.size() ? 0U : 1U;
    for (qsizetype i = 0; i < secret.size(); ++i) {
        const auto mine = static_cast<unsigned char>(secret[i]);
        const auto theirs = i < given.size() ? static_cast<unsigned char>(given[i]) : 0U;
        difference |= mine ^ theirs;
    }
    return difference == 0;
}

namespace {

bool isKeyCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

} // namespace

namespace {

// In the enum's order.
constexpr std::array<const char *, 13> ActionNames{
    "pause", "resume", "next",  "previous", "addMinute", "takeMinute", "restart",
    "undo",  "out",    "entry", "rebuy",    "addOn",     "undoCount",
};

// 1 to MaxKeyLength base64url characters. toLatin1 turns what Latin-1 cannot
// hold into '?', which is no key character, so the length is checked on the
// string.
std::optional<QByteArray> keyIn(const QJsonValue &value) {
    if (!value.isString())
        return std::nullopt;
    const QString text = value.toString();
    const QByteArray key = text.toLatin1();
    if (text.isEmpty() || text.size() > MaxKeyLength ||
        !std::all_of(key.cbegin(), key.cend(), isKeyCharacter))
        return std::nullopt;
    return key;
}

} // namespace

QLatin1String remoteActionName(RemoteAction action) {
    return QLatin1String(ActionNames.at(static_cast<std::size_t>(action)));
}

std::optional<RemoteAction> remoteActionNamed(QStringView name) {
    for (std::size_t n = 0; n < ActionNames.size(); ++n) {
        if (name == QLatin1String(ActionNames.at(n)))
            return static_cast<RemoteAction>(n);
    }
    return std::nullopt;
}

bool isPlayerAction(RemoteAction action) {
    return action >= RemoteAction::Out;
}

std::optional<ControlMessage> decodeControlMessage(QByteArrayView message) {
    if (message.isEmpty() || message.size() > MaxControlMessage)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(message.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    ControlMessage decoded;
    if (object.size() == 1 && object.contains(QLatin1String("pair"))) {
        const std::optional<QByteArray> token = keyIn(object.value(QLatin1String("pair")));
        if (!token)
            return std::nullopt;
        decoded.kind = ControlMessage::Kind::Pair;
        decoded.key = *token;
        return decoded;
    }

    const QJsonValue action = object.value(QLatin1String("action"));
    const std::optional<QByteArray> key = keyIn(object.value(QLatin1String("key")));
    const bool hasId = object.contains(QLatin1String("id"));
    if (object.size() != (hasId ? 3 : 2) || !action.isString() || !key)
        return std::nullopt;
    const std::optional<RemoteAction> named = remoteActionNamed(action.toString());
    if (!named)
        return std::nullopt;
    decoded.action = *named;
    decoded.key = *key;
    if (hasId) {
        const QJsonValue id = object.value(QLatin1String("id"));
        if (!id.isString() || id.toString().isEmpty() || id.toString().size() > MaxPressIdLength)
            return std::nullopt;
        decoded.id = id.toString();
    }
    return decoded;
}

namespace {

// A plain-HTTP address with nothing but a host and a port.
bool isBareAddress(const QUrl &url) {
    return url.isValid() && url.scheme() == QLatin1String("http") && !url.host().isEmpty() &&
           url.userInfo().isEmpty() && url.path().isEmpty() && !url.hasQuery() &&
           !url.hasFragment();
}

} // namespace

bool sameOrigin(QStringView origin, QStringView host) {
    if (origin.isEmpty() || host.isEmpty())
        return false;
    const QUrl from(origin.toString(), QUrl::StrictMode);
    const QUrl to(QStringLiteral("http://") + host.toString(), QUrl::StrictMode);
    // QUrl compares hosts in their normal form: lower case, IPv6 compressed.
    return isBareAddress(from) && isBareAddress(to) && from.host() == to.host() &&
           from.port(80) == to.port(80);
}

WrongSecretLimiter::WrongSecretLimiter(SteadyClock clock) : m_clock(std::move(clock)) {}

bool WrongSecretLimiter::silenced(const QString &address) {
    const auto found = m_records.constFind(address);
    return found != m_records.cend() && m_clock() < found->silencedUntil;
}

void WrongSecretLimiter::wrongSecret(const QString &address) {
    const std::int64_t now = m_clock();
    if (!m_records.contains(address) && m_records.size() >= MaxAddresses)
        forgetStale(now);
    Record &record = m_records[address];
    record.lastSeen = now;
    // A silenced address is not answered, so what it sends is not counted.
    if (now < record.silencedUntil)
        return;
    int kept = 0;
    for (int i = 0; i < record.count; ++i) {
        if (now - record.times[i] < WindowMs)
            record.times[kept++] = record.times[i];
    }
    record.count = kept;
    record.times[record.count++] = now;
    if (record.count == MaxWrong) {
        record.silencedUntil = now + SilenceMs;
        record.count = 0;
    }
}

void WrongSecretLimiter::forgetStale(std::int64_t now) {
    m_records.removeIf([now](const QHash<QString, Record>::iterator &it) {
        const Record &r = it.value();
        return now >= r.silencedUntil && (r.count == 0 || now - r.times[r.count - 1] >= WindowMs);
    });
    if (m_records.size() < MaxAddresses)
        return;
    // A flood of fresh addresses must not free a silenced one: the stalest
    // of the others goes first.
    auto stalest = m_records.end();
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        const bool quiet = now >= it->silencedUntil;
        const bool stalestQuiet = stalest != m_records.end() && now >= stalest->silencedUntil;
        if (stalest == m_records.end() || (quiet && !stalestQuiet) ||
            (quiet == stalestQuiet && it->lastSeen < stalest->lastSeen))
            stalest = it;
    }
    m_records.erase(stalest);
}

} // namespace orvandel
