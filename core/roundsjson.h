#pragma once

#include <QByteArray>

// The rounds of a tournament as the live pages list them, one row a round as
// the structure editor shows it:
//   {"name": "...", "ante": "none" | "ante" | "bigBlind",
//    "rounds": [{"level": "1" | "Break", "small": "25", "big": "50",
//                "ante": "" | "200", "minutes": 20, "note": "", "starts": "0:00"}]}
// A clock's face counts its rounds from 1, breaks included, so the round
// shown is rounds[face.level - 1].
namespace orvandel {

struct Structure;
struct Tournament;

// Amounts grouped in threes (groupedAmount), an ante only where the structure
// has antes; a break's small, big and ante empty.
QByteArray roundsToJson(const Structure &structure);

// A blinds.dat: its blind texts as typed, the break level as "Break" with the
// break's minutes, every other level numbered as the clock counts it (the
// break among them) with the level's minutes; no name, no ante.
QByteArray roundsToJson(const Tournament &tournament);

} // namespace orvandel
