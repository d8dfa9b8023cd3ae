#include "clock/timetext.h"

namespace orvandel {

namespace {
// The number with a leading blank when zero or positive, "-" when negative.
QString signedForm(qint16 n) {
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}
} // namespace

QString timeText(qint16 minutesLeft, qint16 secondsLeft) {
    QString minutes = signedForm(minutesLeft);
    QString seconds = signedForm(secondsLeft);
    if (minutesLeft < 10)
        minutes = QLatin1Char('0') + QString::number(minutesLeft);
    if (secondsLeft < 10)
        seconds = QStringLiteral(" 0") + QString::number(secondsLeft);
    return minutes + QLatin1Char(':') + seconds.right(2);
}

} // namespace orvandel
