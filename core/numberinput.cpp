#include "core/numberinput.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace orvandel {

namespace {

// Walks the text, stepping over the characters a number may be broken by.
class Scanner {
public:
    explicit Scanner(QStringView text) : m_text(text) {}

    // The next character that counts, or 0 at the end (a NUL cannot continue a
    // number either).
    char16_t peek() {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos].unicode()))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos].unicode() : char16_t{0};
    }
    void advance() { ++m_pos; }

private:
    static bool isSkipped(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

    QStringView m_text;
    qsizetype m_pos = 0;
};

int digitValue(char16_t c, unsigned radix) {
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < radix ? value : -1;
}

constexpr double Infinity = std::numeric_limits<double>::infinity();

// "&H"/"&O" numbers: the narrowest of 16 or 32 bits that holds the digits,
// read as two's complement, as the old BASIC dialects do. Nothing without a
// digit.
std::optional<double> radixNumber(Scanner &scanner, unsigned radix) {
    quint64 value = 0;
    bool anyDigit = false;
    bool tooWide = false;
    for (int digit = digitValue(scanner.peek(), radix); digit >= 0;
         digit = digitValue(scanner.peek(), radix)) {
        scanner.advance();
        anyDigit = true;
        if (!tooWide) {
            value = value * radix + static_cast<unsigned>(digit);
            tooWide = value > 0xFFFFFFFFu;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (tooWide)
        return Infinity;
    if (value <= 0xFFFFu)
        return static_cast<qint16>(static_cast<quint16>(value));
    return static_cast<qint32>(static_cast<quint32>(value));
}

// A decimal exponent beyond this makes any mantissa overflow or vanish, so the
// exponent digits can be capped without changing the result.
constexpr long long ExponentCap = 1'000'000'000'000LL;
constexpr long long BeyondDouble = 400;

// Nothing without a digit before the exponent.
std::optional<double> decimalNumber(Scanner &scanner) {
    bool negative = false;
    if (const char16_t c = scanner.peek(); c == u'+' || c == u'-') {
        negative = c == u'-';
        scanner.advance();
    }

    // The value is significant x 10^scale; leading zeros are dropped so that
    // long runs of them cost nothing and the exponent stays small.
    std::string significant;
    long long scale = 0;
    bool anyDigit = false;
    bool seenPoint = false;
    for (char16_t c = scanner.peek();; c = scanner.peek()) {
        if (c >= u'0' && c <= u'9') {
            anyDigit = true;
            if (c != u'0' || !significant.empty())
                significant.push_back(static_cast<char>(c));
            if (seenPoint)
                --scale;
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        scanner.advance();
    }
    if (!anyDigit)
        return std::nullopt;

    // An exponent marker without digits after it adds nothing.
    if (const char16_t c = scanner.peek(); c == u'E' || c == u'e' || c == u'D' || c == u'd') {
        scanner.advance();
        bool negativeExponent = false;
        if (const char16_t s = scanner.peek(); s == u'+' || s == u'-') {
            negativeExponent = s == u'-';
            scanner.advance();
        }
        long long exponent = 0;
        for (char16_t d = scanner.peek(); d >= u'0' && d <= u'9'; d = scanner.peek()) {
            scanner.advance();
            exponent = std::min(exponent * 10 + (d - u'0'), ExponentCap);
        }
        scale += negativeExponent ? -exponent : exponent;
    }

    if (significant.empty())
        return 0.0;

    // Decimal position of the first significant digit, to settle overflow and
    // underflow without asking the converter about absurd exponents.
    const long long magnitude = static_cast<long long>(significant.size()) + scale;
    double value = 0.0;
    if (magnitude > BeyondDouble) {
        value = Infinity;
    } else if (magnitude < -BeyondDouble) {
        value = 0.0;
    } else {
        std::string literal = significant;
        literal += 'e';
        literal += std::to_string(scale);
        const auto [end, error] =
            std::from_chars(literal.data(), literal.data() + literal.size(), value);
        if (error == std::errc::result_out_of_range)
            value = magnitude > 0 ? Infinity : 0.0;
    }
    return negative ? -value : value;
}

// Round half to even regardless of the floating-point environment.
std::optional<double> roundHalfEven(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    double whole = std::floor(value);
    const double fraction = value - whole; // exact for every finite double
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return whole;
}

template <typename T> std::optional<T> fit(double value) {
    const auto whole = roundHalfEven(value);
    if (!whole || *whole < static_cast<double>(std::numeric_limits<T>::min()) ||
        *whole > static_cast<double>(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(*whole);
}

// The leading number, or nothing when the text holds none.
std::optional<double> scanNumber(QStringView text) {
    Scanner scanner(text);
    if (scanner.peek() == u'&') {
        scanner.advance();
        const char16_t kind = scanner.peek();
        if (kind == u'H' || kind == u'h') {
            scanner.advance();
            return radixNumber(scanner, 16);
        }
        if (kind == u'O' || kind == u'o') {
            scanner.advance();
            return radixNumber(scanner, 8);
        }
        return std::nullopt;
    }
    return decimalNumber(scanner);
}

} // namespace

double leadingNumber(QStringView text) {
    return scanNumber(text).value_or(0.0);
}

bool holdsNumber(QStringView text) {
    return scanNumber(text).has_value();
}

std::optional<qint16> toInt16(double value) {
    return fit<qint16>(value);
}

std::optional<qint32> toInt32(double value) {
    return fit<qint32>(value);
}

} // namespace orvandel
