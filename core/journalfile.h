#pragma once

#include "core/journal.h"
#include "core/regularfile.h"

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <optional>

// Where the clock's journal lives and how it gets there. It lives outside the
// working folder, in the program's local data folder, one file for each
// working folder, so a tournament file copied elsewhere starts afresh.
namespace orvandel {

// The journal of the clock run in `workingFolder` (a path to an existing
// folder): named by a hash of the folder's canonical path.
QString journalPath(const QString &workingFolder);
QString journalPathForCurrentFolder();

// Goes through readRegularFile: a journal that is no regular file reads as
// Unreadable.
JournalRead readJournal(const QString &path);

// Replaces the journal atomically: a reader finds the previous entry or this
// one, never a mix. `durable` waits until the entry is on the disk; without it
// the entry may be lost in a power cut, but never half written. False when
// the entry could not be written; the previous one then stays.
bool writeJournal(const QString &path, const QByteArray &bytes, bool durable);

// Removes the journal and its temporary, whatever they are: a file, a link,
// a named pipe, an empty folder.
void removeJournal(const QString &path);

// The journal of the current working folder when the clock can resume from
// it: written for the tournament file there, with the same bytes as
// `tournament` (blinds.dat as read at Start), standing within that
// tournament. Any other journal is removed.
std::optional<JournalEntry> resumableJournal(const FileRead &tournament);
// The same, reading blinds.dat of the current working folder. A journal of
// a structure is resumable when it stands within the structure file it names,
// with the same bytes as when it was written.
std::optional<JournalEntry> resumableJournal();

// The journal of the current working folder when it names the structure file
// at `path`, whose bytes are `structure`, and stands within it. A journal of
// this structure that does not fit is removed; any other stays.
std::optional<JournalEntry> resumableStructureJournal(const QString &path,
                                                      const FileRead &structure);

// Drops the journal of the current working folder: its tournament was
// replaced.
void dropJournalOfCurrentFolder();

// Removes the journals of working folders that were removed, so that none
// stays behind for ever. Run at start. A journal stays when its folder is
// there, when it cannot tell its folder (a damaged one: its own folder's next
// Start drops it), and when the folder's parent is gone too or is where
// drives are mounted: the folder may be on a drive that is not plugged in.
// Locks that no running program holds go too when no journal is beside them.
void removeLeftoverJournals();

// The lock a running clock holds beside the journal of its working folder, so
// that a second copy of the program there neither offers to resume the same
// tournament nor writes its journal. A lock left by a program that was killed
// is stale and taken over. Made when Start is chosen, then a child of the
// clock, whose end releases it.
class ClockLock final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockLock)

public:
    // Tries to take the lock of the current working folder's clock.
    explicit ClockLock(QObject *parent = nullptr);

    // A clock of another running program holds it. A lock that cannot be
    // made at all (a read-only data folder) holds nothing back: the clock
    // then says that it cannot keep its journal.
    bool heldElsewhere() const { return m_heldElsewhere; }

private:
    QLockFile m_file;
    bool m_heldElsewhere = false;
};

// The journal one running clock keeps. Writing never fails loudly: an entry
// that cannot be written is skipped and the next one tries again.
class ClockJournal final {
public:
    ClockJournal() = default;
    ~ClockJournal();
    Q_DISABLE_COPY_MOVE(ClockJournal)

    // Starts the journal of a clock running the tournament file `fileName`
    // in the current working folder, whose bytes are `bytes`.
    void open(const QString &fileName, const QByteArray &bytes, bool structure = false);
    // The same, reading the file.
    void open(const QString &fileName);
    bool isOpen() const { return m_open; }

    // Writes where the clock stands now, with the players' count as JSON
    // (empty for none); the first entry of each level is written whole
    // beside the journal, renamed over it and flushed to the disk, the
    // others over it in place. False when the entry could not be written.
    bool record(qint16 level, qint32 remainingMs, bool paused, bool untimedFinal,
                bool liveView = false, const QByteArray &players = {});

    // The tournament is over: removes the journal and writes no more.
    void close();

    QString path() const { return m_path; }

private:
    // The entry over the one in the journal kept open; false when there is
    // none open, or it is no longer the journal.
    bool overwrite(const QByteArray &bytes);
    // Keeps the journal just written whole open for the next entries.
    void keepOpen(qsizetype length);
    void forget();

    QString m_path;
    int m_fd = -1;          // the journal, open between entries
    qsizetype m_length = 0; // of the entry in it
    QString m_tournamentPath;
    QByteArray m_tournamentHash;
    bool m_structure = false;
    qint16 m_lastLevel = 0;
    bool m_open = false;
};

} // namespace orvandel
