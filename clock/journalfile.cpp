#include "clock/journalfile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace orvandel {

namespace {

// A journal is a few hundred bytes; anything much larger is not one.
constexpr qint64 MaxJournalBytes = 65536;

QString canonicalFolder(const QString &folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : canonical;
}

QString tournamentFilePath(const QString &fileName) {
    const QFileInfo info(fileName);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

#ifdef Q_OS_UNIX
// After the rename, the folder's entry must reach the disk too.
void syncFolder(const QString &folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
#endif

} // namespace

QString journalPath(const QString &workingFolder) {
    const QByteArray key = QCryptographicHash::hash(canonicalFolder(workingFolder).toUtf8(),
                                                    QCryptographicHash::Sha256)
                               .toHex();
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/journals/") + QString::fromLatin1(key) + QStringLiteral(".journal");
}

QString journalPathForCurrentFolder() {
    return journalPath(QDir::currentPath());
}

JournalRead readJournal(const QString &path) {
    QFile file(path);
    if (!file.exists()) {
        JournalRead read;
        read.error = JournalError::Missing;
        return read;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        JournalRead read;
        read.error = JournalError::Unreadable;
        return read;
    }
    const QByteArray bytes = file.read(MaxJournalBytes + 1);
    if (bytes.size() > MaxJournalBytes) {
        JournalRead read;
        read.error = JournalError::NotAJournal;
        return read;
    }
    return decodeJournal(bytes);
}

bool writeJournal(const QString &path, const QByteArray &bytes, bool durable) {
#ifdef Q_OS_UNIX
    // Written beside the journal, then renamed over it: a rename replaces the
    // name in one step, so a crash leaves the old entry or the new one.
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        // The first entry on this machine: the folder is not there yet.
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) ||
            !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush() &&
                         (!durable || ::fsync(file.handle()) == 0);
    file.close();
    if (!written || std::rename(QFile::encodeName(temporary).constData(),
                                QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    if (durable)
        syncFolder(QFileInfo(path).absolutePath());
    return true;
#else
    // Elsewhere a plain rename does not replace a file; QSaveFile does, and
    // flushes every entry to the disk on the way.
    Q_UNUSED(durable);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly))
            return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
#endif
}

void removeJournal(const QString &path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".tmp"));
}

std::optional<JournalEntry> resumableJournal() {
    const QString path = journalPathForCurrentFolder();
    const JournalRead read = readJournal(path);
    if (read.error == JournalError::Missing)
        return std::nullopt;

    const QString fileName = QString::fromLatin1(TournamentFileName);
    QFile file(fileName);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (read.ok() && file.isOpen() && read.entry.tournamentPath == tournamentFilePath(fileName) &&
        read.entry.tournamentHash == tournamentHash(bytes)) {
        const ReadResult tournament = parseTournament(bytes);
        if (tournament.ok() && fitsTournament(read.entry, tournament.tournament))
            return read.entry;
    }
    removeJournal(path);
    return std::nullopt;
}

void dropJournalOfCurrentFolder() {
    removeJournal(journalPathForCurrentFolder());
}

void ClockJournal::open(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    m_tournamentHash = tournamentHash(file.readAll());
    m_tournamentPath = tournamentFilePath(fileName);
    m_path = journalPathForCurrentFolder();
    m_lastLevel = 0;
    m_open = true;
}

void ClockJournal::record(qint16 level, qint32 remainingMs, bool paused, bool untimedFinal,
                          bool liveView) {
    if (!m_open)
        return;
    JournalEntry entry;
    entry.tournamentPath = m_tournamentPath;
    entry.tournamentHash = m_tournamentHash;
    entry.level = level;
    entry.remainingMs = remainingMs;
    entry.paused = paused;
    entry.untimedFinal = untimedFinal;
    entry.liveView = liveView;
    entry.writtenMs = QDateTime::currentMSecsSinceEpoch();
    // Until a level's first entry is safely on the disk, every entry tries.
    const bool durable = level != m_lastLevel;
    if (writeJournal(m_path, encodeJournal(entry), durable) && durable)
        m_lastLevel = level;
}

void ClockJournal::close() {
    if (!m_open)
        return;
    m_open = false;
    removeJournal(m_path);
}

} // namespace orvandel
