// Fuzz target for the tournament file reader.
//
// Whatever the bytes (Windows-1252, or UTF-8 behind a byte-order mark),
// parseTournament either names what is wrong with them or returns a tournament
// the clock can run; a tournament whose texts the format can carry must come
// back unchanged from formatTournament and a second parseTournament. A broken
// property traps, so libFuzzer keeps the input.
#include "core/tournamentfile.h"

#include <QList>

#include <cstddef>
#include <cstdint>

using namespace orvandel;

namespace {

void require(bool holds) {
    if (!holds)
        __builtin_trap();
}

bool allTextsWritable(const Tournament &tournament) {
    for (const LevelBlinds &level : tournament.levels) {
        if (!isWritableBlindText(level.small) || !isWritableBlindText(level.big))
            return false;
    }
    return true;
}

bool isRunnableLength(qint32 minutes) {
    return minutes >= 0 && minutes <= 32767;
}

bool textsFit(const Tournament &tournament) {
    for (const LevelBlinds &level : tournament.levels) {
        if (level.small.toUcs4().size() > MaxBlindTextLength ||
            level.big.toUcs4().size() > MaxBlindTextLength)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ReadResult read = parseTournament(bytes);

    if (!read.ok()) {
        // Only the errors about the contents can come from bytes in memory;
        // not-found, cannot-open and too-large belong to the file, and every
        // error says what was wrong in the message box.
        require(read.error == ReadError::EndsEarly || read.error == ReadError::NoLevelCount ||
                read.error == ReadError::LevelCountOutOfRange ||
                read.error == ReadError::NumberOutOfRange ||
                read.error == ReadError::NegativeLength ||
                read.error == ReadError::BlindTextTooLong);
        require(!read.detail.isEmpty());
        require(read.message(QStringLiteral("blinds.dat")).contains(QStringLiteral("blinds.dat")));
        return 0;
    }

    // What the clock relies on once a file has been read.
    const Tournament &tournament = read.tournament;
    require(tournament.levelCount >= 1 && tournament.levelCount <= MaxLevels);
    require(tournament.levels.size() == static_cast<std::size_t>(tournament.levelCount));
    require(isRunnableLength(tournament.levelMinutes));
    require(isRunnableLength(tournament.breakMinutes));
    require(textsFit(tournament));

    // A double quote or a line break cannot be written inside a blind text, so
    // such a tournament has no file that reads back as itself.
    if (!allTextsWritable(tournament))
        return 0;

    const QByteArray written = formatTournament(tournament);
    const ReadResult again = parseTournament(written);
    require(again.ok());
    require(again.tournament == tournament);
    return 0;
}
