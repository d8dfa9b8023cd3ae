#include "core/journalfile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace orvandel {

namespace {

// A journal is a few hundred bytes; anything much larger is not one.
constexpr qint64 MaxJournalBytes = 65536;
// A lock file is a few short lines: a process id, names, a time.
constexpr qint64 MaxLockBytes = 4096;

QString journalsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/journals");
}

QString canonicalFolder(const QString &folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : canonical;
}

QString tournamentFilePath(const QString &fileName) {
    const QFileInfo info(fileName);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// Removes a link, not what it leads to; a folder only when empty.
void removeEntry(const QString &name) {
    if (!QFile::remove(name))
        QDir().rmdir(name);
}

QString lockPath(const QString &journal) {
    return journal + QStringLiteral(".lock");
}

// QLockFile reads a lock it finds, line by line: whatever is no small regular
// file there (a named pipe, a link to a device) would stall it, and is no
// lock anyway.
void clearOddLock(const QString &path) {
#ifdef Q_OS_UNIX
    struct stat found {};
    if (::lstat(QFile::encodeName(path).constData(), &found) == 0 &&
        (!S_ISREG(found.st_mode) || found.st_size > MaxLockBytes))
        removeEntry(path);
#else
    Q_UNUSED(path);
#endif
}

// Takes `lock` unless a running program holds it. Only a program that is gone
// lets go of it, however long it has run; a lock whose holder cannot be read
// (its program ended between making it and filling it in) is no one's.
bool takeLock(QLockFile &lock) {
    clearOddLock(lock.fileName());
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    qint64 pid = 0;
    QString host;
    QString program;
    return lock.error() == QLockFile::LockFailedError && !lock.getLockInfo(&pid, &host, &program) &&
           lock.removeStaleLockFile() && lock.tryLock(0);
}

// Where drives are mounted: a working folder missing there may be on a drive
// that is not plugged in now.
bool holdsDrives(const QString &folder) {
    for (const char *place : {"/media", "/run/media", "/mnt", "/Volumes"}) {
        const QLatin1String root(place);
        if (folder == root || QFileInfo(folder).path() == root)
            return true;
    }
    return false;
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
    return journalsFolder() + QLatin1Char('/') + QString::fromLatin1(key) +
           QStringLiteral(".journal");
}

QString journalPathForCurrentFolder() {
    return journalPath(QDir::currentPath());
}

JournalRead readJournal(const QString &path) {
    const FileRead file = readRegularFile(path, MaxJournalBytes);
    JournalRead read;
    switch (file.error) {
    case FileError::None:
        return decodeJournal(file.bytes);
    case FileError::NotFound:
        read.error = JournalError::Missing;
        break;
    case FileError::NotRegular:
    case FileError::Unreadable:
        read.error = JournalError::Unreadable;
        break;
    case FileError::TooLarge:
        read.error = JournalError::NotAJournal;
        break;
    }
    return read;
}

bool writeJournal(const QString &path, const QByteArray &bytes, bool durable) {
#ifdef Q_OS_UNIX
    // Written beside the journal, then renamed over it: a rename replaces the
    // name in one step, so a crash leaves the old entry or the new one.
    const QString temporary = path + QStringLiteral(".tmp");
    const QByteArray name = QFile::encodeName(temporary);
    // Made afresh, never opened where it stands: a named pipe there would
    // stall the write, a link would send it elsewhere.
    ::unlink(name.constData());
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    int fd = ::open(name.constData(), flags, 0600);
    // The first entry on this machine: the folder is not there yet.
    if (fd < 0 && errno == ENOENT && QDir().mkpath(QFileInfo(path).absolutePath()))
        fd = ::open(name.constData(), flags, 0600);
    QFile file;
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
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
    removeEntry(path);
    removeEntry(path + QStringLiteral(".tmp"));
}

namespace {

bool fitsStructureFile(const JournalEntry &entry, const QString &path, const FileRead &file) {
    if (!entry.structure || !file.ok() || entry.tournamentPath != tournamentFilePath(path) ||
        entry.tournamentHash != tournamentHash(file.bytes))
        return false;
    const StructureRead parsed = parseStructure(file.bytes);
    return parsed.ok() && fitsStructure(entry, parsed.structure);
}

} // namespace

std::optional<JournalEntry> resumableJournal(const FileRead &tournament) {
    const QString path = journalPathForCurrentFolder();
    const JournalRead read = readJournal(path);
    if (read.error == JournalError::Missing)
        return std::nullopt;
    if (read.ok() && read.entry.structure) {
        const QString &named = read.entry.tournamentPath;
        if (fitsStructureFile(read.entry, named, readRegularFile(named, MaxStructureFileBytes)))
            return read.entry;
        removeJournal(path);
        return std::nullopt;
    }

    const QString fileName = QString::fromLatin1(TournamentFileName);
    if (read.ok() && tournament.ok() && read.entry.tournamentPath == tournamentFilePath(fileName) &&
        read.entry.tournamentHash == tournamentHash(tournament.bytes)) {
        const ReadResult parsed = parseTournament(tournament.bytes);
        if (parsed.ok() && fitsTournament(read.entry, parsed.tournament))
            return read.entry;
    }
    removeJournal(path);
    return std::nullopt;
}

std::optional<JournalEntry> resumableJournal() {
    return resumableJournal(
        readRegularFile(QString::fromLatin1(TournamentFileName), MaxTournamentFileBytes));
}

std::optional<JournalEntry> resumableStructureJournal(const QString &path,
                                                      const FileRead &structure) {
    const QString journal = journalPathForCurrentFolder();
    const JournalRead read = readJournal(journal);
    if (!read.ok() || !read.entry.structure ||
        read.entry.tournamentPath != tournamentFilePath(path))
        return std::nullopt;
    if (fitsStructureFile(read.entry, path, structure))
        return read.entry;
    removeJournal(journal);
    return std::nullopt;
}

void dropJournalOfCurrentFolder() {
    removeJournal(journalPathForCurrentFolder());
}

void removeLeftoverJournals() {
    const QDir folder(journalsFolder());
    const QStringList names = folder.entryList({QStringLiteral("*.journal")}, QDir::Files);
    for (const QString &name : names) {
        const QString path = folder.filePath(name);
        const JournalRead read = readJournal(path);
        if (!read.ok())
            continue;
        const QString workingFolder = QFileInfo(read.entry.tournamentPath).path();
        const QString parent = QFileInfo(workingFolder).path();
        // The folder is known for certain only when it names the journal.
        if (journalPath(workingFolder) != path || QFileInfo::exists(workingFolder) ||
            !QFileInfo(parent).isDir() || holdsDrives(parent))
            continue;
        QLockFile lock(lockPath(path));
        // A clock still running in the removed folder keeps its journal.
        if (takeLock(lock))
            removeJournal(path);
    }
    // A lock beside no journal tells nothing once its clock is gone (the aces
    // end the program at once, lock and all): taken, it goes on release.
    const QStringList locks =
        folder.entryList({QStringLiteral("*.journal.lock")}, QDir::Files | QDir::System);
    for (const QString &name : locks) {
        QLockFile lock(folder.filePath(name));
        if (!QFileInfo::exists(lock.fileName().chopped(5)))
            takeLock(lock);
    }
}

ClockLock::ClockLock(QObject *parent)
    : QObject(parent), m_file(lockPath(journalPathForCurrentFolder())) {
    QDir().mkpath(QFileInfo(m_file.fileName()).path());
    m_heldElsewhere = !takeLock(m_file) && m_file.error() == QLockFile::LockFailedError;
}

void ClockJournal::open(const QString &fileName) {
    const FileRead file = readRegularFile(fileName, MaxTournamentFileBytes);
    if (file.ok())
        open(fileName, file.bytes);
}

ClockJournal::~ClockJournal() {
    forget();
}

void ClockJournal::forget() {
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
    m_fd = -1;
}

void ClockJournal::keepOpen(qsizetype length) {
    forget();
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(m_path);
    m_fd = ::open(name.constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (m_fd >= 0 && (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)))
        forget();
#endif
    m_length = length;
}

bool ClockJournal::overwrite(const QByteArray &bytes) {
#ifdef Q_OS_UNIX
    // A tick's entry costs one write, where a new file and a rename cost the
    // disk's journal a new inode every second. A crash of the program cannot
    // cut a write in two; the level's first entry went through a rename.
    struct stat status {};
    // A shorter entry would need a second call to cut the old one's tail,
    // and a crash between the two would leave neither: written whole. So is
    // a journal removed or replaced since (another clock on this folder).
    if (m_fd < 0 || bytes.size() < m_length || ::fstat(m_fd, &status) != 0 || status.st_nlink == 0)
        return false;
    const auto size = static_cast<std::size_t>(bytes.size());
    if (::pwrite(m_fd, bytes.constData(), size, 0) != static_cast<ssize_t>(size))
        return false;
    m_length = bytes.size();
    return true;
#else
    Q_UNUSED(bytes);
    return false;
#endif
}

void ClockJournal::open(const QString &fileName, const QByteArray &bytes, bool structure) {
    forget();
    m_tournamentHash = tournamentHash(bytes);
    m_structure = structure;
    m_tournamentPath = tournamentFilePath(fileName);
    m_path = journalPathForCurrentFolder();
    m_lastLevel = 0;
    m_open = true;
}

bool ClockJournal::record(qint16 level, qint32 remainingMs, bool paused, bool untimedFinal,
                          bool liveView, const QByteArray &players) {
    if (!m_open)
        return true;
    JournalEntry entry;
    entry.tournamentPath = m_tournamentPath;
    entry.tournamentHash = m_tournamentHash;
    entry.level = level;
    entry.remainingMs = remainingMs;
    entry.paused = paused;
    entry.untimedFinal = untimedFinal;
    entry.liveView = liveView;
    entry.players = players;
    entry.structure = m_structure;
    entry.writtenMs = QDateTime::currentMSecsSinceEpoch();
    // Until a level's first entry is safely on the disk, every entry tries.
    const bool durable = level != m_lastLevel;
    const QByteArray bytes = encodeJournal(entry);
    if (!durable && overwrite(bytes))
        return true;
    const bool written = writeJournal(m_path, bytes, durable);
    if (written && durable)
        m_lastLevel = level;
    if (written)
        keepOpen(bytes.size());
    else
        forget();
    return written;
}

void ClockJournal::close() {
    if (!m_open)
        return;
    m_open = false;
    forget();
    removeJournal(m_path);
}

} // namespace orvandel
