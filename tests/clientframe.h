#pragma once
// A WebSocket frame as a client sends it, or as a hostile one might: FIN and
// `opcode`, the length in its shortest form, the mask 01 02 03 04 unless
// `masked` is false, and the payload, masked.
#include <QByteArray>

namespace testsupport {

inline QByteArray clientFrame(int opcode, const QByteArray &payload, bool masked = true) {
    QByteArray frame(1, char(0x80 | opcode));
    const auto size = static_cast<quint64>(payload.size());
    const int lengthBytes = size < 126 ? 0 : size <= 0xffff ? 2 : 8;
    const int lengthCode = lengthBytes == 0 ? int(size) : lengthBytes == 2 ? 126 : 127;
    frame += char((masked ? 0x80 : 0) | lengthCode);
    for (int shift = 8 * (lengthBytes - 1); shift >= 0; shift -= 8)
        frame += char((size >> shift) & 0xff);
    const QByteArray key = masked ? QByteArray("\x01\x02\x03\x04") : QByteArray(4, '\0');
    if (masked)
        frame += key;
    for (qsizetype i = 0; i < payload.size(); ++i)
        frame += char(payload[i] ^ key[i % 4]);
    return frame;
}

} // namespace testsupport
