#pragma once

#include <QByteArray>
#include <QImage>

namespace orvandel {

// `text` as a QR code, black on white, one pixel a module, with the white
// quiet zone of four modules around it that scanners need to find it on a
// dark screen. Medium error correction: every address of the live view fits
// a code of 25 modules, so each module is drawn as large as the space allows.
// A null image when there is nothing to encode, the text holds a NUL byte or
// it does not fit any QR code.
QImage qrImage(const QByteArray &text);

} // namespace orvandel
