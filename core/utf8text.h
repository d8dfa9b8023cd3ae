#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

namespace orvandel {

// UTF-8 bytes as text, a byte-order mark at their start kept as a character.
// QString::fromUtf8 drops that mark; where the bytes are a field or a run of
// a string, the mark is text, and dropped it would be lost at every save.
inline QString utf8Text(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace orvandel
