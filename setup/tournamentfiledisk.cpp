// The tournament file on disk: read only when it is a regular file of a
// sensible size, written whole or not at all.
#include "setup/tournamentfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvandel {

namespace {

ReadResult failure(ReadError error, QString detail) {
    ReadResult result;
    result.error = error;
    result.detail = std::move(detail);
    return result;
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

ReadResult readTournamentFile(const QString &path) {
    // Links are followed: a link to a tournament file is read, a link to a
    // device is refused like the device.
    const QFileInfo info(path);
    if (!info.exists())
        return failure(ReadError::NotFound, QString());
    if (!info.isFile())
        return failure(ReadError::CannotOpen, notARegularFile(path, info));
    if (info.size() > MaxTournamentFileBytes)
        return failure(ReadError::TooLarge, QString());

    QFile file;
#ifdef Q_OS_UNIX
    // The file may be replaced between the look above and the open, so the
    // open must not wait for a writer on a named pipe, and what was opened is
    // looked at again.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            return failure(ReadError::NotFound, QString());
        return failure(ReadError::CannotOpen,
                       QString::fromStdString(std::generic_category().message(error)));
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return failure(ReadError::CannotOpen, notARegularFile(opened.st_mode));
    }
    if (opened.st_size > MaxTournamentFileBytes) {
        ::close(fd);
        return failure(ReadError::TooLarge, QString());
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(ReadError::CannotOpen, file.errorString());
    }
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(ReadError::CannotOpen, file.errorString());
#endif
    // One byte more than the limit tells a file that grew since the look, or
    // one whose size the system does not report, from one that fits.
    const QByteArray bytes = file.read(MaxTournamentFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(ReadError::CannotOpen, file.errorString());
    file.close();
    if (bytes.size() > MaxTournamentFileBytes)
        return failure(ReadError::TooLarge, QString());
    return parseTournament(bytes);
}

WriteResult writeTournamentFile(const QString &path, const Tournament &tournament) {
    for (const LevelBlinds &level : tournament.levels) {
        for (const QString *text : {&level.small, &level.big}) {
            if (!isWritableBlindText(*text)) {
                return {false, QStringLiteral("The blind text \"%1\" cannot be stored in the "
                                              "tournament file.")
                                   .arg(*text)};
            }
        }
    }

    // QSaveFile writes beside the target and renames on commit, so the old
    // file stays whole until the new one is complete. Unbuffered, because a
    // buffered QSaveFile (Qt 6.4) commits a short write, such as on a full
    // disk, as if it were whole; written directly, a short write shows and
    // the next attempt reports why.
    QSaveFile file(path);
    // In a folder that takes no new files, write the existing file in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    const QByteArray bytes = formatTournament(tournament);
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return {false, reason};
        }
        done += written;
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, QString()};
}

} // namespace orvandel
