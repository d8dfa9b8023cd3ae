#include "core/amounts.h"

namespace orvandel {

QString groupedAmount(qint64 amount, const QLocale &locale) {
    QLocale grouped = locale;
    grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    if (!grouped.groupSeparator().isEmpty())
        return grouped.toString(amount);
    // No separator of its own: group with commas, digit by digit.
    QString digits = QString::number(amount < 0 ? -(amount + 1) + 1ULL : amount);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return amount < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace orvandel
