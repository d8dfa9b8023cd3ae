#include "core/errors.h"

namespace orvandel {

void throwOverflow() {
    throw RuntimeError("Overflow");
}

void throwSubscriptOutOfRange() {
    throw RuntimeError("Subscript out of range");
}

QString fatalErrorMessage(const std::exception &error) {
    return QStringLiteral("Orvandel has to stop because of an error:\n\n%1")
        .arg(QString::fromUtf8(error.what()));
}

} // namespace orvandel
