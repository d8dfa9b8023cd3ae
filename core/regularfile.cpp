#include "core/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvandel {

namespace {

FileRead failure(FileError error, QString detail = QString()) {
    FileRead read;
    read.error = error;
    read.detail = std::move(detail);
    return read;
}

QString itIs(const char *kind) {
    return QStringLiteral("it is %1, not a file").arg(QLatin1String(kind));
}

#ifdef Q_OS_UNIX
QString notARegularFile(mode_t mode) {
    if (S_ISDIR(mode))
        return itIs("a folder");
    if (S_ISFIFO(mode))
        return itIs("a named pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return itIs("a device");
    if (S_ISSOCK(mode))
        return itIs("a socket");
    return QStringLiteral("it is not a regular file");
}
#endif

QString notARegularFile([[maybe_unused]] const QString &path, const QFileInfo &info) {
    if (info.isDir())
        return itIs("a folder");
#ifdef Q_OS_UNIX
    struct stat found {};
    if (::stat(QFile::encodeName(path).constData(), &found) == 0)
        return notARegularFile(found.st_mode);
#endif
    return QStringLiteral("it is not a regular file");
}

} // namespace

FileRead readRegularFile(const QString &path, qint64 maxBytes) {
    // Links are followed: a link to a file is read, a link to a device is
    // refused like the device.
    const QFileInfo info(path);
    if (!info.exists())
        return failure(FileError::NotFound);
    if (!info.isFile())
        return failure(FileError::NotRegular, notARegularFile(path, info));
    if (info.size() > maxBytes)
        return failure(FileError::TooLarge);

    QFile file;
#ifdef Q_OS_UNIX
    // The file may be replaced between the look above and the open, so the
    // open must not wait for a writer on a named pipe, and what was opened is
    // looked at again.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            return failure(FileError::NotFound);
        return failure(FileError::Unreadable,
                       QString::fromStdString(std::generic_category().message(error)));
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return failure(FileError::NotRegular, notARegularFile(opened.st_mode));
    }
    if (opened.st_size > maxBytes) {
        ::close(fd);
        return failure(FileError::TooLarge);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(FileError::Unreadable, file.errorString());
    }
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(FileError::Unreadable, file.errorString());
#endif
    // One byte more than the limit tells a file that grew since the look, or
    // one whose size the system does not report, from one that fits.
    FileRead read;
    read.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(FileError::Unreadable, file.errorString());
    if (read.bytes.size() > maxBytes)
        return failure(FileError::TooLarge);
    return read;
}

} // namespace orvandel
