// Fuzz target for reading numbers from the setup fields.
//
// The bytes are read as UTF-8 and as Latin-1 text. Each text's leading number
// is compared with a model built from other parts: a regular expression for
// the shape of the number and the C library's strtod / strtoull for its value.
// The rounding to 16 and 32 bits is compared with nearbyint, which rounds half
// to even in the default rounding mode the fuzzer runs in. A broken property
// traps, so libFuzzer keeps the input.
#include "core/numberinput.h"

#include <QRegularExpression>
#include <QString>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

using namespace orvandel;

namespace {

void require(bool holds) {
    if (!holds)
        __builtin_trap();
}

constexpr double Infinity = std::numeric_limits<double>::infinity();

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

QString withoutBlanks(const QString &text) {
    QString out;
    for (const QChar c : text) {
        if (!isBlank(c))
            out += c;
    }
    return out;
}

// "&H" and "&O" digits: a 16-bit two's complement value when the digits fit in
// 16 bits, a 32-bit one when they fit in 32, +infinity beyond.
double radixModel(const QString &digits, int radix) {
    QString significant = digits;
    while (significant.startsWith(u'0'))
        significant.remove(0, 1);
    if (significant.isEmpty())
        return 0.0;
    // 17 hexadecimal or octal digits are more than 32 bits either way, and
    // fewer always fit strtoull.
    if (significant.size() > 16)
        return Infinity;
    const std::string ascii = significant.toStdString();
    const unsigned long long value = std::strtoull(ascii.c_str(), nullptr, radix);
    if (value > 0xFFFF'FFFFull)
        return Infinity;
    const auto v = static_cast<double>(value);
    if (value <= 0xFFFFull)
        return value >= 0x8000ull ? v - 65536.0 : v;
    return value >= 0x8000'0000ull ? v - 4294967296.0 : v;
}

// The leading number as the field rules describe it: blanks, tabs and line
// feeds do not count anywhere; a D exponent is an E exponent.
double leadingNumberModel(const QString &text) {
    static const QRegularExpression hex(QStringLiteral("\\A&[Hh]([0-9A-Fa-f]*)"));
    static const QRegularExpression octal(QStringLiteral("\\A&[Oo]([0-7]*)"));
    static const QRegularExpression decimal(
        QStringLiteral("\\A[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[EeDd][+-]?[0-9]+)?"));

    const QString compact = withoutBlanks(text);
    if (compact.startsWith(u'&')) {
        if (const auto m = hex.match(compact); m.hasMatch())
            return radixModel(m.captured(1), 16);
        if (const auto m = octal.match(compact); m.hasMatch())
            return radixModel(m.captured(1), 8);
        return 0.0;
    }
    const auto m = decimal.match(compact);
    if (!m.hasMatch())
        return 0.0;
    std::string literal = m.captured(0).toStdString();
    for (char &c : literal) {
        if (c == 'D' || c == 'd')
            c = 'e';
    }
    return std::strtod(literal.c_str(), nullptr);
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// toInt16 / toInt32 against nearbyint: a value exactly when the rounded value
// is finite and in range, and then that value.
void checkWhole(double value) {
    const bool finite = std::isfinite(value);
    const double rounded = finite ? std::nearbyint(value) : 0.0;

    const auto as16 = toInt16(value);
    require(as16.has_value() == (finite && rounded >= -32768.0 && rounded <= 32767.0));
    if (as16)
        require(static_cast<double>(*as16) == rounded);

    const auto as32 = toInt32(value);
    require(as32.has_value() == (finite && rounded >= -2147483648.0 && rounded <= 2147483647.0));
    if (as32)
        require(static_cast<double>(*as32) == rounded);
}

void checkText(const QString &text, std::uint8_t choice) {
    const double value = leadingNumber(text);
    require(!std::isnan(value));

    // -0 and 0 are the same number to the model (strtod keeps the sign of
    // "-0", the field reader need not).
    require(value == leadingNumberModel(text));
    checkWhole(value);

    // Blanks, tabs and line feeds between any two characters change nothing.
    static constexpr char16_t Blanks[] = {u' ', u'\t', u'\n'};
    QString spaced;
    for (qsizetype i = 0; i < text.size(); ++i) {
        spaced += QChar(Blanks[static_cast<std::size_t>(i) % 3]);
        spaced += text[i];
    }
    require(sameBits(leadingNumber(spaced), value));

    // The number ends at the first character that cannot continue it: what
    // stands after a '#' is never read.
    const qsizetype cut = choice % (text.size() + 1);
    const QString head = text.left(cut);
    require(sameBits(leadingNumber(head + u'#' + text.mid(cut)), leadingNumber(head)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const auto *chars = reinterpret_cast<const char *>(data);
    const auto length = static_cast<qsizetype>(size);
    const std::uint8_t choice = size > 0 ? data[size - 1] : 0;
    checkText(QString::fromUtf8(chars, length), choice);
    checkText(QString::fromLatin1(chars, length), choice);

    // The rounding also meets values no field text produces: NaN, subnormals,
    // halves far from zero.
    if (size >= sizeof(double)) {
        double raw = 0.0;
        std::memcpy(&raw, data, sizeof raw);
        checkWhole(raw);
    }
    return 0;
}
