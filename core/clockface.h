#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>

// What the clock shows, as a value: every label of the clock window under its
// objectName, with its text, colour and whether it is shown, and where the
// tournament stands. The clock window publishes it whenever it changes; the
// live view, the journal and tests read this value, never the window.
namespace orvandel {

struct FaceControl {
    QString name; // the label's objectName, e.g. "lblTime" or "Label2(1)"
    QString text;
    QColor colour;
    bool visible = true;
    friend bool operator==(const FaceControl &, const FaceControl &) = default;
};

struct ClockFace {
    QList<FaceControl> controls; // in the window's order
    qint16 level = 0;
    qint16 levelCount = 0;
    qint32 remainingMs = 0;
    bool paused = false;
    bool ended = false;
    bool onBreak = false;      // the level is the break
    bool untimedFinal = false; // the untimed final level has begun: no time shown
    qint32 roundLengthMs = 0;  // the full length of the level now running
    qint16 levelNumber = 0;    // the level as the room counts it; 0 for a
                               // structure's break
    qint64 ante = 0;           // the level's ante, 0 for none
    bool bigBlindAnte = false; // the big blind pays it for the table
    QString note;              // a structure's break's, "Colour up the 25s"
    // Counts the clock's jumps (a restore, a move by the director): two
    // faces of the same count are one countdown apart, so what happened
    // between them can be read from their difference.
    quint32 jumps = 0;

    // The control of that name, or nullptr.
    const FaceControl *control(QStringView name) const;
    friend bool operator==(const ClockFace &, const ClockFace &) = default;
};

// Where a clock stands within its tournament.
struct ClockPoint {
    qint16 level = 0;
    qint32 remainingMs = 0;
    bool untimedFinal = false; // the untimed final level has begun
};

// Where a clock stands and how: what undoing a move of the director's brings
// back.
struct ClockStand {
    ClockPoint point;
    bool paused = false;     // a pause asked for or in effect
    bool announcing = false; // "Blinds Have Increased!!!" still runs
};

// What the clock is asked to do from outside its window: the pause and the
// resume a phone sends, and the director's moves: the next or the previous
// round from its full length, a minute more or less, this round afresh; and
// the end of the tournament, when one player is left before its levels are.
enum class ClockCommand { Pause, Resume, Next, Previous, AddMinute, TakeMinute, Restart, End };

// The most a round can have left: the time shows its minutes in 16 bits.
inline constexpr qint32 MaxRemainingMs = 32767 * 60 * 1000;

// Whether the move `command` acts on a clock that shows `face`. Nothing moves
// an ended tournament, a hidden time (the untimed final level) takes no
// minutes and no restart, a minute taken off leaves at least a second, the
// end ends any tournament not ended yet, and Pause and Resume are no moves.
bool moveApplies(const ClockFace &face, ClockCommand command);

// {"controls": {NAME: {"text": ..., "color": "#rrggbb", "visible": bool}, ...},
//  "level": N, "levelCount": N, "remainingMs": N, "paused": bool, "ended": bool}
QByteArray faceToJson(const ClockFace &face);

} // namespace orvandel
