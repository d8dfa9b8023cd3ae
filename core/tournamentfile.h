#pragma once

#include "core/regularfile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <vector>

// The tournament file "blinds.dat": the structure of one tournament, carried
// from the setup forms to the clock and from one run to the next.
//
// Layout (every line ends with CR LF, text in Windows-1252; the reader also
// takes UTF-8 from a file that starts with a UTF-8 byte-order mark):
//   <level count>,<level length in minutes>
//   "<small blind text>","<big blind text>"      one line per level
//   <break level>,<break length in minutes>
namespace orvandel {

inline constexpr auto TournamentFileName = "blinds.dat";

// The clock has room for this many levels.
inline constexpr int MaxLevels = 10;

struct LevelBlinds {
    QString small;
    QString big;
    friend bool operator==(const LevelBlinds &, const LevelBlinds &) = default;
};

struct Tournament {
    qint16 levelCount = 0;
    qint32 levelMinutes = 0;         // written from a 16-bit value, read as 32-bit
    std::vector<LevelBlinds> levels; // levels[0] is level 1; levelCount entries
    qint16 breakRound = 0;           // no level is a break unless 2..levelCount
    qint32 breakMinutes = 0;
    friend bool operator==(const Tournament &, const Tournament &) = default;
};

enum class ReadError {
    None,
    NotFound,             // no file in the working folder
    CannotOpen,           // exists but cannot be read, or is no regular file
                          // (a folder, a named pipe, a device)
    TooLarge,             // more than MaxTournamentFileBytes
    EndsEarly,            // the file ends before all fields have been read
    NoLevelCount,         // the first field holds no number
    LevelCountOutOfRange, // the clock runs 1 to MaxLevels levels
    NumberOutOfRange,     // a number does not fit its type, or a length
                          // above 32767 minutes
    NegativeLength,       // a level or break length below 0 minutes
    BlindTextTooLong,     // a blind text of more than MaxBlindTextLength
};

// A real tournament file is well under a kilobyte; anything larger than this
// is not one, and is refused without being read whole.
inline constexpr qint64 MaxTournamentFileBytes = qint64{1024} * 1024;

// The longest blind text the reader accepts, in characters.
inline constexpr qsizetype MaxBlindTextLength = 64;

struct ReadResult {
    Tournament tournament; // valid only when error is None
    ReadError error = ReadError::None;
    QString detail; // what exactly was wrong, for the message

    bool ok() const { return error == ReadError::None; }
    // One sentence naming the file and the problem, for a message box.
    QString message(const QString &fileName = QString::fromLatin1(TournamentFileName)) const;
};

// Reads the fields in order; a line end ends a field just as a comma does.
// Never reads outside `bytes`.
ReadResult parseTournament(QByteArrayView bytes);
// The tournament in a file read by readRegularFile (regularfile.h), or why
// there is none.
ReadResult parseTournamentFile(const FileRead &file);
// Reads only a regular file (links followed) of at most
// MaxTournamentFileBytes; never waits on a named pipe or reads a device.
ReadResult readTournamentFile(const QString &path);

// True when the text can be written as a blind text and read back unchanged:
// no double quote, no line break, only characters Windows-1252 can carry.
bool isWritableBlindText(QStringView text);

// The bytes of the file. Every text must be writable (see above).
QByteArray formatTournament(const Tournament &tournament);

struct WriteResult {
    bool ok = false;
    QString reason; // why it failed, for a message box
};

// Replaces the file atomically: a failure leaves the previous file unchanged.
WriteResult writeTournamentFile(const QString &path, const Tournament &tournament);

// Writes `bytes` beside `path` and renames them over it; `inPlaceFallback`:
// in a folder that takes no new file, the existing file is written in place.
WriteResult replaceFile(const QString &path, const QByteArray &bytes, bool inPlaceFallback);

} // namespace orvandel
