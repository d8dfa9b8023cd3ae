#pragma once

#include "core/structure.h"
#include "core/tournamentfile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// The journal of a running clock: where the tournament stood at the last tick,
// so that a crash, a power cut or a stray click on the aces does not send the
// director back to level 1.
//
// One entry is a short text file, one field a line, ending in a checksum over
// everything before it:
//   Orvandel clock journal
//   version 1
//   file <absolute path of the tournament file, UTF-8, percent-encoded>
//   sha256 <SHA-256 of the tournament file's bytes, hex>
//   level <current level>
//   remaining-ms <time left in the level>
//   paused <0 or 1>
//   untimed-final <0 or 1: the untimed final level has begun>
//   written-ms <wall-clock time of the entry, milliseconds since 1970 UTC>
//   structure 1     (only when the file is a structure file; `level` then
//                    counts its rounds, breaks too)
//   live-view 1     (only while the clock is shown on phones and TVs; an
//                    entry without it was written with the view off, or by a
//                    program that had no live view)
//   players <base64 of the director's count as compact JSON>
//                   (only once the director has counted anything; an entry
//                    without it has nothing counted)
//   check <SHA-256 of all the lines above, hex>
namespace orvandel {

inline constexpr int JournalFormatVersion = 1;

struct JournalEntry {
    QString tournamentPath;
    QByteArray tournamentHash; // 32 bytes
    qint16 level = 0;
    qint32 remainingMs = 0;
    bool paused = false;
    bool untimedFinal = false;
    qint64 writtenMs = 0;
    bool liveView = false;
    bool structure = false; // the file is a structure file
    // The players' count as compact JSON (a PlayerBook's), empty for none.
    QByteArray players;
    friend bool operator==(const JournalEntry &, const JournalEntry &) = default;
};

enum class JournalError {
    None,
    Missing,     // no journal file
    Unreadable,  // exists but cannot be read
    Empty,       // no bytes at all
    NotAJournal, // does not begin like a journal
    Torn,        // ends before its checksum line is complete
    NewerFormat, // written by a later version of the program
    BadChecksum, // the checksum does not match the lines
    Malformed,   // the checksum matches but the fields are not as written
    OutOfRange,  // a field holds a value no clock can have
};

struct JournalRead {
    JournalEntry entry; // valid only when error is None
    JournalError error = JournalError::None;
    bool ok() const { return error == JournalError::None; }
};

QByteArray encodeJournal(const JournalEntry &entry);

// Never reads outside `bytes`; a prefix of a valid journal never decodes.
JournalRead decodeJournal(QByteArrayView bytes);

// The fingerprint of a tournament file's bytes kept in the journal.
QByteArray tournamentHash(QByteArrayView bytes);

// Length of a level in milliseconds as the clock runs it: the break length for
// the break level reached by a level change, the level length otherwise.
qint64 levelLengthMs(const Tournament &tournament, qint16 level);

// True when the clock running `tournament` can stand where `entry` says: a
// level of the tournament, not past its end, a time left that the countdown
// of that level reaches, and the untimed final only on the final level.
bool fitsTournament(const JournalEntry &entry, const Tournament &tournament);

// The same for a clock running `structure`: a round of it, `level` counting
// its breaks too.
bool fitsStructure(const JournalEntry &entry, const Structure &structure);

// "Resume the tournament at level 6 with 12:34 left?"
QString resumeQuestion(const JournalEntry &entry);
// For a structure, whose levels are counted without its breaks: the same,
// or "Resume the tournament at the break with 04:12 left?".
QString resumeQuestion(const JournalEntry &entry, const Structure &structure);

} // namespace orvandel
