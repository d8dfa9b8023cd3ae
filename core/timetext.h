#pragma once

#include <QString>
#include <QtGlobal>

namespace orvandel {

// The parts of the clock's time display. Minutes below 10 come as two digits,
// from 10 on preceded by a blank; seconds always as their last two
// characters. Negative values come out as the display has always shown them.
QString minutesText(qint16 minutesLeft);
QString secondsText(qint16 secondsLeft);

// "<minutes>:<seconds>", e.g. " 19:59", "04:59", "00:-1".
QString timeText(qint16 minutesLeft, qint16 secondsLeft);

} // namespace orvandel
