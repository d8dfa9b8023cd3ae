#pragma once

#include <QList>
#include <QRect>

class QScreen;
class QWidget;

namespace orvandel {

// The screen the clock fills, as an index into `screens` (their geometries).
// With more than one screen: the largest by pixel area of those other than
// `openingScreen`, the one showing the opening screen, so a TV shows the
// clock and the laptop keeps its own screen; equal areas go to the earlier
// screen. An `openingScreen` that is none of them (-1) leaves all to choose
// from. One screen: that one. No screens: -1.
qsizetype clockScreen(const QList<QRect> &screens, qsizetype openingScreen);

// The screen for a window of the director's, such as the one that pairs a
// phone, as an index into `screens`: with more than one, one the clock is
// not on (`clockScreen`): the primary (`primary`) when it is free, else the
// smallest of the others, as a laptop's panel is smaller than a TV. One
// screen: that one. None: -1.
qsizetype directorScreen(const QList<QRect> &screens, qsizetype clockScreen, qsizetype primary);

// The screen the clock window opens on, chosen as above among the connected
// screens; nullptr with a single screen, where the clock stays where it is.
QScreen *screenForClock();

// The screen to go to when `gone` goes away: the largest of the others.
QScreen *screenInsteadOf(const QScreen *gone);

// directorScreen() among the connected screens for the clock window `clock`;
// nullptr when there are none.
QScreen *screenForDirector(const QWidget *clock);

// Puts a top-level window on `target` and fills it: full screen if it was,
// otherwise maximized.
void fillScreen(QWidget *window, QScreen *target);

} // namespace orvandel
