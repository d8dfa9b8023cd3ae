#pragma once
// Reads a QR code back with a real decoder: zbarimg, from Debian's
// zbar-tools, on a PNG file of the picture.
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

namespace testsupport {

inline bool haveQrDecoder() {
    return !QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty();
}

// What the decoder read in `picture`, the text of every code found one a
// line; nullopt when the picture could not be handed to it.
inline std::optional<QByteArray> decodeQr(const QImage &picture) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("code.png"));
    if (!dir.isValid() || !picture.save(file))
        return std::nullopt;
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"),
               {QStringLiteral("--quiet"), QStringLiteral("--raw"), QStringLiteral("-Sdisable"),
                QStringLiteral("-Sqrcode.enable"), file});
    if (!zbar.waitForFinished(30000))
        return std::nullopt;
    return zbar.readAllStandardOutput();
}

} // namespace testsupport
