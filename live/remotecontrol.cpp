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

std::optional<ControlMessage> decodeControlMessage(QByteArrayView message) {
    if (message.isEmpty() || message.size() > MaxControlMessage)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(message.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue action = object.value(QLatin1String("action"));
    const QJsonValue key = object.value(QLatin1String("key"));
    if (object.size() != 2 || !action.isString() || !key.isString())
        return std::nullopt;

    ControlMessage decoded{RemoteAction::Pause, key.toString().toLatin1()};
    if (action.toString() == QLatin1String("resume"))
        decoded.action = RemoteAction::Resume;
    else if (action.toString() != QLatin1String("pause"))
        return std::nullopt;
    // toLatin1 turns what Latin-1 cannot hold into '?', which is no key
    // character, so the length and characters are checked on the string.
    const QString keyText = key.toString();
    if (keyText.isEmpty() || keyText.size() > MaxKeyLength ||
        !std::all_of(decoded.key.cbegin(), decoded.key.cend(), isKeyCharacter))
        return std::nullopt;
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
