#include "live/clientframes.h"

#include <algorithm>

namespace orvandel::live {

bool ClientFrames::feed(QByteArrayView bytes) {
    while (m_masked && !bytes.isEmpty()) {
        if (m_payloadLeft > 0) {
            const auto skipped =
                static_cast<qsizetype>(std::min<quint64>(m_payloadLeft, quint64(bytes.size())));
            m_payloadLeft -= quint64(skipped);
            bytes = bytes.sliced(skipped);
            continue;
        }
        // A head: two bytes, then 0, 2 or 8 of length, then the 4 of the mask.
        if (m_headBytes == 0)
            ++m_frames;
        m_head[std::size_t(m_headBytes++)] = static_cast<unsigned char>(bytes.front());
        bytes = bytes.sliced(1);
        if (m_headBytes < 2)
            continue;
        if ((m_head[1] & 0x80) == 0) {
            m_masked = false;
            break;
        }
        const unsigned lengthCode = m_head[1] & 0x7fU;
        const int lengthBytes = lengthCode == 127 ? 8 : lengthCode == 126 ? 2 : 0;
        if (m_headBytes < 2 + lengthBytes + 4)
            continue;
        quint64 length = lengthBytes == 0 ? lengthCode : 0;
        for (int i = 0; i < lengthBytes; ++i)
            length = length << 8 | m_head[static_cast<std::size_t>(i) + 2];
        m_payloadLeft = length;
        m_headBytes = 0;
    }
    return m_masked;
}

} // namespace orvandel::live
