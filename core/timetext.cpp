#include "core/timetext.h"

namespace orvandel {

namespace {
// The number with a leading blank when zero or positive, "-" when negative.
QString signedForm(qint16 n) {
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}
} // namespace

QString minutesText(qint16 minutesLeft) {
    if (minutesLeft < 10)
        return QLatin1Char('0') + QString::number(minutesLeft);
    return signedForm(minutesLeft);
}

QString secondsText(qint16 secondsLeft) {
    const QString text = secondsLeft < 10 ? QStringLiteral(" 0") + QString::number(secondsLeft)
                                          : signedForm(secondsLeft);
    return text.right(2);
}

QString timeText(qint16 minutesLeft, qint16 secondsLeft) {
    return minutesText(minutesLeft) + QLatin1Char(':') + secondsText(secondsLeft);
}

} // namespace orvandel
