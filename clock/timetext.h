#pragma once

#include <QString>
#include <QtGlobal>

namespace orvandel {

// The clock's time display for the minutes and seconds left: two-digit
// seconds; minutes below 10 as two digits, from 10 on preceded by a blank.
// Negative values come out as the display has always shown them (00:-1).
QString timeText(qint16 minutesLeft, qint16 secondsLeft);

} // namespace orvandel
