#include "core/cp1252.h"

#include <array>

namespace orvandel::cp1252 {

namespace {

// The bytes 0x80 to 0x9F, where Windows-1252 departs from Latin-1. The five
// bytes Windows leaves unassigned keep the control character of their value,
// so every byte survives a decode and encode unchanged.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

constexpr unsigned TableStart = 0x80;

std::optional<unsigned char> encodeUnit(char16_t unit) {
    if (unit < TableStart || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<unsigned char>(unit);
    for (unsigned i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == unit)
            return static_cast<unsigned char>(TableStart + i);
    }
    return std::nullopt;
}

} // namespace

QString decode(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= TableStart && byte < TableStart + HighControls.size())
            text.append(QChar(HighControls[byte - TableStart]));
        else
            text.append(QChar(char16_t{byte}));
    }
    return text;
}

std::optional<QByteArray> encode(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    // Surrogates are never in the table, so characters outside the BMP are
    // refused through either half.
    for (const QChar ch : text) {
        const auto byte = encodeUnit(ch.unicode());
        if (!byte)
            return std::nullopt;
        bytes.append(static_cast<char>(*byte));
    }
    return bytes;
}

} // namespace orvandel::cp1252
