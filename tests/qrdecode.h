#pragma once
// Reads a QR code back with a real decoder: zbarimg, of Debian's zbar-tools.
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace testsupport {

inline bool haveQrDecoder() {
    return !QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty();
}

// What zbarimg reads in `picture`.
inline QByteArray decodeQr(const QImage &picture) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("code.png"));
    QProcess zbar;
    if (picture.save(file))
        zbar.start(QStringLiteral("zbarimg"),
                   {QStringLiteral("--quiet"), QStringLiteral("--raw"), file});
    zbar.waitForFinished(30000);
    return zbar.readAllStandardOutput().trimmed();
}

} // namespace testsupport
