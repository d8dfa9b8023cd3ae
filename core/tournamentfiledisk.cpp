// The tournament file on disk: read through the one reader of regular files,
// written whole or not at all.
#include "core/tournamentfile.h"

#include "core/regularfile.h"

#include <QSaveFile>

namespace orvandel {

ReadResult parseTournamentFile(const FileRead &file) {
    if (file.ok())
        return parseTournament(file.bytes);
    ReadResult result;
    result.detail = file.detail;
    switch (file.error) {
    case FileError::NotFound:
        result.error = ReadError::NotFound;
        break;
    case FileError::TooLarge:
        result.error = ReadError::TooLarge;
        break;
    default: // no regular file, or one that cannot be read
        result.error = ReadError::CannotOpen;
        break;
    }
    return result;
}

ReadResult readTournamentFile(const QString &path) {
    return parseTournamentFile(readRegularFile(path, MaxTournamentFileBytes));
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

    // In a folder that takes no new files, write the existing file in place.
    return replaceFile(path, formatTournament(tournament), true);
}

WriteResult replaceFile(const QString &path, const QByteArray &bytes, bool inPlaceFallback) {
    // QSaveFile writes beside the target and renames on commit, so the old
    // file stays whole until the new one is complete. Unbuffered, because a
    // buffered QSaveFile (Qt 6.4) commits a short write, such as on a full
    // disk, as if it were whole; written directly, a short write shows and
    // the next attempt reports why.
    QSaveFile file(path);
    file.setDirectWriteFallback(inPlaceFallback);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
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
