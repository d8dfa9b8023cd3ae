#pragma once

#include <QString>
#include <QStringList>

// The program's typefaces, each named once: Debian's metric twin stands in
// where Arial is missing, so every text keeps its designed width.
namespace orvandel {

// The clock's, as it was drawn: Arial first.
inline QStringList clockFontFamilies() {
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
}

// The forms'.
inline QStringList formFontFamilies() {
    return {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
}

} // namespace orvandel
