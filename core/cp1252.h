#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// The 8-bit Windows-1252 code page, in which tournament files are stored so
// that files made on Windows read back unchanged.
namespace orvandel::cp1252 {

// Every byte decodes to one character (the five unassigned bytes 0x81, 0x8D,
// 0x8F, 0x90 and 0x9D map to the control characters of the same value).
QString decode(QByteArrayView bytes);

// Nothing when the text holds a character the code page cannot carry.
std::optional<QByteArray> encode(QStringView text);

} // namespace orvandel::cp1252
