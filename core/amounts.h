#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace orvandel {

// A chip amount or a sum of money as the room reads it: grouped in threes
// with the locale's separator ("25,000"; a comma where the locale has none,
// as in the C locale).
QString groupedAmount(qint64 amount, const QLocale &locale = QLocale());

// The whole number in an amount as a clock shows it: "$" and digits with
// blanks or commas anywhere among them, as blinds.dat holds them ("$1,000",
// "$ 1 000"), or digits grouped in threes by commas or `locale`'s separator
// ("1,000"). None for anything else ("$20.50", "Time!", "") and for more
// than eighteen digits.
std::optional<qint64> shownAmount(QStringView text, const QLocale &locale = QLocale());

} // namespace orvandel
