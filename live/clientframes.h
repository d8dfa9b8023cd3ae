#pragma once

#include <QByteArrayView>
#include <QtGlobal>
#include <array>

namespace orvandel::live {

// What the live view reads of the WebSocket frames a viewer sends, before
// Qt's WebSocket reads them: where each frame ends, and whether it carries the
// mask that every frame from a client must (RFC 6455, section 5.1). Qt's
// WebSocket takes a client's frame without one. Fed the bytes of one
// connection in the pieces they arrive in.
class ClientFrames final {
public:
    // Reads the next bytes; false from the first frame without its mask on,
    // whose first two bytes are the last read.
    bool feed(QByteArrayView bytes);
    // Frames begun so far.
    qint64 frames() const { return m_frames; }

private:
    std::array<unsigned char, 14> m_head{}; // of the frame being read, so far
    int m_headBytes = 0;
    quint64 m_payloadLeft = 0;
    qint64 m_frames = 0;
    bool m_masked = true;
};

// The bytes of a frame a client sends with `payload` bytes in it: the head,
// its mask included, and the payload.
constexpr qint64 clientFrameBytes(qint64 payload) {
    const qint64 length = payload < 126 ? 0 : payload <= 0xffff ? 2 : 8;
    return 2 + length + 4 + payload;
}

} // namespace orvandel::live
