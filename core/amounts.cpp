#include "core/amounts.h"

namespace orvandel {

namespace {

// Eighteen digits always fit 64 bits.
constexpr qsizetype MaxDigits = 18;

std::optional<qint64> wholeNumber(const QString &digits) {
    if (digits.isEmpty() || digits.size() > MaxDigits)
        return std::nullopt;
    return digits.toLongLong();
}

} // namespace

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

std::optional<qint64> shownAmount(QStringView text, const QLocale &locale) {
    const QStringView shown = text.trimmed();
    QString digits;
    if (shown.startsWith(u'$')) {
        // As blinds.dat holds an amount: blanks and commas anywhere.
        for (const QChar c : shown.sliced(1)) {
            if (c.isDigit() && c.unicode() <= u'9')
                digits += c;
            else if (c != u' ' && c != u',')
                return std::nullopt;
        }
        return wholeNumber(digits);
    }
    // As a structure's amount is shown: "25", "1,000", "12,500,000".
    const QString separator = locale.groupSeparator();
    qsizetype group = 0;
    bool firstGroup = true;
    for (const QChar c : shown) {
        if (c.isDigit() && c.unicode() <= u'9') {
            digits += c;
            ++group;
        } else if (c == u',' || QStringView(&c, 1) == separator) {
            if (group < 1 || group > 3 || (!firstGroup && group != 3))
                return std::nullopt;
            firstGroup = false;
            group = 0;
        } else {
            return std::nullopt;
        }
    }
    if (group < 1 || group > 3 || (!firstGroup && group != 3))
        return std::nullopt;
    return wholeNumber(digits);
}

} // namespace orvandel
