// Fuzz target for reading a control message from the director's phone: any
// bytes a WebSocket brings. An accepted message holds one of the two actions
// and a key of key characters, fits the size limit, says the same when
// written out afresh and padded, and stops being accepted when its key gets a
// character that no key holds. A broken property traps, so libFuzzer keeps
// the input.
#include "live/remotecontrol.h"

#include <QByteArray>
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

QByteArray written(RemoteAction action, const QByteArray &key) {
    const QByteArray name = action == RemoteAction::Pause ? "pause" : "resume";
    return R"({"key":")" + key + R"(","action":")" + name + R"("})";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<ControlMessage> decoded = decodeControlMessage(bytes);
    if (!decoded)
        return 0;

    require(bytes.size() <= MaxControlMessage);
    require(decoded->action == RemoteAction::Pause || decoded->action == RemoteAction::Resume);
    require(!decoded->key.isEmpty() && decoded->key.size() <= MaxKeyLength);
    for (const char c : decoded->key)
        require(isKeyCharacter(c));

    const QByteArray again = written(decoded->action, decoded->key);
    const std::optional<ControlMessage> reread = decodeControlMessage(again);
    require(reread && reread->action == decoded->action && reread->key == decoded->key);

    const QByteArray padded = " \t" + bytes + "\r\n";
    const std::optional<ControlMessage> paddedRead = decodeControlMessage(padded);
    require(
        padded.size() > MaxControlMessage ||
        (paddedRead && paddedRead->action == decoded->action && paddedRead->key == decoded->key));

    // A key character turned into one of the base64 characters that a
    // base64url key never holds.
    const qsizetype at =
        static_cast<qsizetype>(static_cast<std::uint8_t>(bytes.back())) % decoded->key.size();
    for (const char *wrong : {"+", "/", "=", " ", "%2B"}) {
        QByteArray key = decoded->key;
        key.replace(at, 1, wrong);
        require(!decodeControlMessage(written(decoded->action, key)));
    }
    return 0;
}
