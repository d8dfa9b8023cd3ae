#pragma once

#include <QStringView>
#include <QtGlobal>
#include <optional>

// Reading a number from a text field of the setup form.
namespace orvandel {

// The leading number of the text as a double. Blanks, tabs and line feeds are
// skipped wherever they stand; then an optional sign, digits, at most one '.',
// and an exponent introduced by E or D (either case) with an optional sign are
// taken up to the first character that cannot continue the number. "&H" or
// "&O" (either case) followed by hexadecimal or octal digits is a whole number:
// up to 16 bits it is read as a signed 16-bit value (&HFFFF is -1), up to 32
// bits as a signed 32-bit value (&HFFFFFFFF is -1). Text without a number
// gives 0. A number too large for a double gives +/-infinity; a hexadecimal or
// octal number wider than 32 bits gives +infinity.
double leadingNumber(QStringView text);

// True when leadingNumber finds a number in the text rather than reading 0 for
// the lack of one.
bool holdsNumber(QStringView text);

// Round half to even, then fit the type; nothing when it does not fit or the
// value is not finite.
std::optional<qint16> toInt16(double value);
std::optional<qint32> toInt32(double value);

} // namespace orvandel
