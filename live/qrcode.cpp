#include "live/qrcode.h"

#include <memory>
#include <qrencode.h>

namespace orvandel {

namespace {
constexpr int QuietModules = 4;
} // namespace

QImage qrImage(const QByteArray &text) {
    // libqrencode reads a C string: a NUL would end the code early.
    if (text.isEmpty() || text.contains('\0'))
        return {};
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return {};
    const int side = code->width + 2 * QuietModules;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < code->width; ++y) {
        uchar *line = image.scanLine(y + QuietModules) + QuietModules;
        for (int x = 0; x < code->width; ++x) {
            // The lowest bit of each module's byte: 1 is dark.
            if (code->data[y * code->width + x] & 1)
                line[x] = 0;
        }
    }
    return image;
}

} // namespace orvandel
