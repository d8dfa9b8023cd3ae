// Fuzz target for reading a control message from the director's phone: any
// bytes a WebSocket brings. An accepted message is a press of a named action
// with a key of key characters and an id of the allowed length, or a pairing
// with such a token; it fits the size limit, says the same when written out
// afresh and padded, and stops being accepted when its key gets a character
// that no key holds. A broken property traps, so libFuzzer keeps the input.
#include "live/remotecontrol.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstddef>
#include <cstdint>

using namespace orvandel;

namespace {

void require(bool holds) {
    if (!holds)
        __builtin_trap();
}

bool isKeyCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

QByteArray written(const ControlMessage &message, const QByteArray &key) {
    QJsonObject object;
    if (message.kind == ControlMessage::Kind::Pair) {
        object.insert(QStringLiteral("pair"), QString::fromLatin1(key));
    } else {
        object.insert(QStringLiteral("action"), remoteActionName(message.action));
        object.insert(QStringLiteral("key"), QString::fromLatin1(key));
        if (!message.id.isEmpty())
            object.insert(QStringLiteral("id"), message.id);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool same(const std::optional<ControlMessage> &a, const ControlMessage &b) {
    return a && a->kind == b.kind && a->action == b.action && a->key == b.key && a->id == b.id;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<ControlMessage> decoded = decodeControlMessage(bytes);
    if (!decoded)
        return 0;

    require(bytes.size() <= MaxControlMessage);
    const bool pair = decoded->kind == ControlMessage::Kind::Pair;
    require(remoteActionNamed(QString(remoteActionName(decoded->action))) == decoded->action);
    require(!decoded->key.isEmpty() && decoded->key.size() <= MaxKeyLength);
    require(decoded->id.size() <= MaxPressIdLength && (!pair || decoded->id.isEmpty()));
    for (const char c : decoded->key)
        require(isKeyCharacter(c));

    // Written afresh it may grow past the limit (escapes in the id), and is
    // then refused; read back otherwise.
    const QByteArray again = written(*decoded, decoded->key);
    require(again.size() > MaxControlMessage || same(decodeControlMessage(again), *decoded));

    const QByteArray padded = " \t" + bytes + "\r\n";
    require(padded.size() > MaxControlMessage || same(decodeControlMessage(padded), *decoded));

    // A key character turned into one of the base64 characters that a
    // base64url key never holds.
    const qsizetype at =
        static_cast<qsizetype>(static_cast<std::uint8_t>(bytes.back())) % decoded->key.size();
    for (const char *wrong : {"+", "/", "=", " ", "%2B"}) {
        QByteArray key = decoded->key;
        key.replace(at, 1, wrong);
        require(!decodeControlMessage(written(*decoded, key)));
    }
    return 0;
}
