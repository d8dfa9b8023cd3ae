// Fuzz target for the clock's journal decoder.
//
// Whatever the bytes, decodeJournal either names what is wrong with them or
// returns an entry within the ranges any clock can have; an entry that decodes
// is the one encoding of itself, so encoding it gives back the same bytes; the
// players' count in it is a JSON object written compactly. No
// entry makes fitting it to a tournament or asking about it go wrong. A
// broken property traps, so libFuzzer keeps the input.
#include "core/clockface.h"
#include "core/journal.h"

#include <QDir>
#include <QJsonDocument>
#include <cstddef>
#include <cstdint>
#include <utility>

using namespace orvandel;

namespace {

void require(bool holds) {
    if (!holds)
        __builtin_trap();
}

Tournament sampleTournament(int levels, qint32 minutes, qint16 breakRound, qint32 breakMinutes) {
    Tournament tournament;
    tournament.levelCount = static_cast<qint16>(levels);
    tournament.levelMinutes = minutes;
    tournament.breakRound = breakRound;
    tournament.breakMinutes = breakMinutes;
    for (int n = 0; n < levels; ++n)
        tournament.levels.push_back({QStringLiteral("$1"), QStringLiteral("$2")});
    return tournament;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const JournalRead read = decodeJournal(bytes);

    if (!read.ok()) {
        // Missing and unreadable belong to the file, not to bytes in memory.
        require(read.error != JournalError::Missing && read.error != JournalError::Unreadable);
        require(read.error != JournalError::Empty || size == 0);
        return 0;
    }

    const JournalEntry &entry = read.entry;
    require(entry.level >= 1 && entry.level <= (entry.structure ? MaxRounds : MaxLevels));
    require(entry.tournamentHash.size() == 32);
    require(QDir::isAbsolutePath(entry.tournamentPath));
    require(entry.writtenMs >= 0);
    require(encodeJournal(entry) == bytes);
    if (!entry.players.isEmpty()) {
        const QJsonDocument players = QJsonDocument::fromJson(entry.players);
        require(players.isObject() && players.toJson(QJsonDocument::Compact) == entry.players);
    }

    // Any cut of a good entry is torn, never another entry.
    if (size > 1) {
        const JournalRead cut = decodeJournal(bytes.first(static_cast<qsizetype>(size) - 1));
        require(cut.error == JournalError::Torn);
    }

    for (const Tournament &tournament :
         {sampleTournament(MaxLevels, 20, 3, 15), sampleTournament(1, 0, 0, 0),
          sampleTournament(entry.level, -32768, entry.level, 32767)}) {
        if (fitsTournament(entry, tournament)) {
            require(entry.level <= tournament.levelCount);
            require(entry.remainingMs <= MaxRemainingMs);
        }
    }
    require(resumeQuestion(entry).startsWith(QStringLiteral("Resume the tournament at level ")));
    // A structure's entry fits only a structure, one round of it.
    const Structure structure = startingStructure();
    if (fitsStructure(entry, structure))
        require(entry.structure && std::cmp_less_equal(entry.level, structure.rounds.size()));
    require(
        resumeQuestion(entry, structure).startsWith(QStringLiteral("Resume the tournament at ")));
    return 0;
}
