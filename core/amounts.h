#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

namespace orvandel {

// A chip amount or a sum of money as the room reads it: grouped in threes
// with the locale's separator ("25,000"; a comma where the locale has none,
// as in the C locale).
QString groupedAmount(qint64 amount, const QLocale &locale = QLocale());

} // namespace orvandel
