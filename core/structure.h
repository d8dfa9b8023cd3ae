#pragma once

#include "core/tournamentfile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <variant>
#include <vector>

// A tournament structure: levels of their own lengths with their own antes,
// and breaks wherever the director wants them. Kept in a JSON file of its own
// beside blinds.dat (which stays as it is), made in the structure editor,
// printed as a sheet for the tables.
//
// The file, UTF-8 JSON, keys always in this order:
//   {"orvandel": "structure", "version": 1, "name": "...", "ante": "bigBlind",
//    "rounds": [{"small": 25, "big": 50, "minutes": 20},
//               {"small": 100, "big": 200, "ante": 200, "minutes": 20},
//               {"break": 15, "note": "Colour up the 25s"}]}
namespace orvandel {

inline constexpr auto StructureFileName = "structure.json";
inline constexpr int StructureFileVersion = 1;
inline constexpr qint64 MaxStructureFileBytes = qint64{1024} * 1024;

inline constexpr int MaxRounds = 200;
inline constexpr qint64 MaxAmount = 1'000'000'000'000;
inline constexpr int MinRoundMinutes = 1;
inline constexpr int MaxRoundMinutes = 600;
inline constexpr qsizetype MaxNoteLength = 120; // characters

// Who pays the ante: nobody, every player, or the big blind for the table.
enum class AnteKind { None, Ante, BigBlind };

struct Level {
    qint64 small = 0;
    qint64 big = 0;
    qint64 ante = 0;
    int minutes = 0;
    friend bool operator==(const Level &, const Level &) = default;
};

struct Break {
    int minutes = 0;
    QString note; // "Colour up the 25s"
    friend bool operator==(const Break &, const Break &) = default;
};

using Round = std::variant<Level, Break>;

struct Structure {
    QString name;
    AnteKind ante = AnteKind::None;
    std::vector<Round> rounds; // in the order they are played
    friend bool operator==(const Structure &, const Structure &) = default;
};

inline bool isBreak(const Round &round) {
    return std::holds_alternative<Break>(round);
}
int roundMinutes(const Round &round);

// "No ante", "Ante", "Big blind ante".
QString anteKindName(AnteKind kind);
// As the file names it: "none", "ante", "bigBlind".
QString anteKindKey(AnteKind kind);

// --- What the clock, the editor and the sheet share ---------------------

// The number of each round's level, counting levels only; 0 for a break.
std::vector<int> levelNumbers(const Structure &structure);

// When each round begins, in milliseconds from the start of the tournament.
// Checked: a sum that does not fit stops the program with an overflow error
// (a structure that keeps the rules is far from it).
std::vector<qint64> roundStartsMs(const Structure &structure);

// Hours and minutes of a time from the start: "0:00", "1:35", "26:40".
QString startText(qint64 ms);

// What a table of the rounds shows of one round, the editor's and the
// pages' alike: its level number or "Break"; the amounts grouped in threes,
// or as typed when `forEditing`, a big blind or an ante of 0 blank and no
// ante at all without an ante kind; minutes (blank for 0); a break's note.
struct RoundTexts {
    QString level, small, big, ante, minutes, note;
};
RoundTexts roundTexts(const Structure &structure, std::size_t index, int levelNumber,
                      bool forEditing = false);

// What a new structure starts from: 20 levels of 20 minutes from 25/50, the
// big blind ante from level 7, a break after levels 6 and 12 to colour up.
Structure startingStructure();

// The level the editor proposes after `before`: the big blind a step of
// about a fifth or more up a scale of round numbers, the small blind and the
// ante in the same proportion, the same minutes; no amount below `before`'s,
// none above MaxAmount unless `before`'s already is.
Level proposedLevelAfter(const Level &before);

// --- The rules -----------------------------------------------------------

// Which part of a round a problem lies in; Whole: the round itself (a break
// where none may be), or the structure when no round is named.
enum class Field { Whole, Small, Big, Ante, Minutes, Note };

struct Problem {
    int round = -1; // from 0; -1 for the structure as a whole
    Field field = Field::Whole;
    QString message; // "Round 4: the small blind 300 is above the big blind 200."
    friend bool operator==(const Problem &, const Problem &) = default;
};

// Every rule the structure breaks, in the order of the rounds; empty when
// the clock can run it. Amounts in messages are grouped in the locale's way.
std::vector<Problem> problems(const Structure &structure);

// What looks wrong but may be meant: a big blind below the level before.
std::vector<Problem> warnings(const Structure &structure);

// --- The file ------------------------------------------------------------

struct StructureRead {
    Structure structure; // valid only when ok()
    QString error;       // one or two sentences saying what is wrong
    bool ok() const { return error.isEmpty(); }
};

// A structure that keeps every rule, or the first rule broken. Never reads
// outside `bytes`.
StructureRead parseStructure(QByteArrayView bytes);

// The file's bytes, stable: the same structure always gives the same bytes.
QByteArray formatStructure(const Structure &structure);

// Read through readRegularFile: only a regular file of at most
// MaxStructureFileBytes.
StructureRead readStructureFile(const QString &path);

// Replaces the file atomically; a failure leaves the previous file whole.
WriteResult saveStructureFile(const QString &path, const Structure &structure);

// The levels of a blinds.dat as a structure: a blind text of "$" and a whole
// number (blanks and commas allowed) becomes that number, the break level a
// break of its length. Any other blind text refuses it, naming the level.
StructureRead importTournament(const Tournament &tournament);
StructureRead importTournamentFile(const QString &path);

// A name ending in ".json" is read as a structure, any other as a blinds.dat.
StructureRead openStructureOrTournament(const QString &path);

} // namespace orvandel
