#pragma once

#include "core/structure.h"
#include "core/tournamentfile.h"

#include <QString>
#include <QtGlobal>
#include <vector>

// The rounds as the clock runs them, whichever file they came from: what each
// shows, how long it lasts, whether it is a break. The clock counts rounds
// from 1; the round after the last stands for the end of the tournament.
namespace orvandel {

struct PlanRound {
    QString small; // the blinds as shown: "$25" (blinds.dat), "25,000", or
    QString big;   // "Break" and "Time!" for a structure's break
    QString ante;  // "Ante 25", "BB ante 200"; empty for none
    qint64 anteAmount = 0;
    qint32 lengthMs = 0; // as the clock runs it from its start
    bool isBreak = false;
    qint16 levelNumber = 0; // levels counted without the breaks; 0 for a break
    QString note;           // the break's
    friend bool operator==(const PlanRound &, const PlanRound &) = default;
};

struct ClockPlan {
    std::vector<PlanRound> rounds; // rounds[0] is round 1, the last one the end
    bool structure = false;        // made from a structure file
    AnteKind anteKind = AnteKind::None;

    qint16 roundCount() const { return static_cast<qint16>(rounds.size()) - 1; }
    // Round `number`, the end's for the round after the last, an empty one
    // anywhere else.
    const PlanRound &round(qint32 number) const;
    // Milliseconds from now, in round `current` with `remainingMs` left, to
    // the start of the next break; -1 during a break or when none lies ahead.
    qint64 msToNextBreak(qint16 current, qint32 remainingMs) const;
};

// blinds.dat as its clock has always run it: the break level, reached by a
// level change, runs the break's length; level 1, reached by loading, the
// level length whatever it is.
ClockPlan planOf(const Tournament &tournament);
// Amounts grouped in threes, no "$".
ClockPlan planOf(const Structure &structure);

// "Break in 45:00", "Break in 1:05:00".
QString breakInText(qint64 ms);

} // namespace orvandel
