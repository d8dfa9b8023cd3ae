#include "core/strictjson.h"

#include "core/utf8text.h"

#include <QSet>
#include <limits>

namespace orvandel::strictjson {

namespace {

// The offset of the first byte that does not start a well-formed UTF-8
// sequence (overlong forms, surrogates and code points past U+10FFFF are
// not), or -1 when there is none.
qsizetype invalidUtf8At(QByteArrayView bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype at = 0; at < size;) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        int follow = 0;
        char32_t code = 0;
        char32_t least = 0;
        if ((lead & 0xE0) == 0xC0) {
            follow = 1, code = lead & 0x1Fu, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            follow = 2, code = lead & 0x0Fu, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            follow = 3, code = lead & 0x07u, least = 0x10000;
        } else {
            return at;
        }
        if (size - at <= follow)
            return at;
        for (int k = 1; k <= follow; ++k) {
            const auto next = static_cast<unsigned char>(bytes[at + k]);
            if ((next & 0xC0) != 0x80)
                return at;
            code = code << 6 | (next & 0x3Fu);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return at;
        at += follow + 1;
    }
    return -1;
}

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_in(bytes) {}

    Parsed run() {
        Parsed parsed;
        if (m_in.startsWith("\xEF\xBB\xBF"))
            m_at = 3;
        if (const qsizetype bad = invalidUtf8At(m_in); bad >= 0) {
            m_at = bad;
            fail(QStringLiteral("a byte that is not UTF-8 text"));
        } else if (value(parsed.value)) {
            skipBlanks();
            if (m_at < m_in.size())
                fail(QStringLiteral("more text after the end"));
        }
        parsed.error = m_error;
        return parsed;
    }

private:
    bool fail(const QString &what) {
        if (!m_error.isEmpty())
            return false;
        int line = 1;
        int column = 1;
        for (qsizetype i = 0; i < m_at && i < m_in.size(); ++i) {
            const auto c = static_cast<unsigned char>(m_in[i]);
            if (c == '\n') {
                ++line;
                column = 1;
            } else if ((c & 0xC0) != 0x80) { // a character, not a byte of one
                ++column;
            }
        }
        m_error = QStringLiteral("The file is not valid JSON: %1 at line %2, column %3.")
                      .arg(what)
                      .arg(line)
                      .arg(column);
        return false;
    }

    bool atEnd() const { return m_at >= m_in.size(); }
    char peek() const { return atEnd() ? '\0' : m_in[m_at]; }

    void skipBlanks() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_at;
    }

    bool unexpected() {
        return fail(atEnd() ? QStringLiteral("the text ends early")
                            : QStringLiteral("an unexpected character"));
    }

    bool value(Value &out) {
        skipBlanks();
        switch (peek()) {
        case '{':
            return nested(out, &Reader::object);
        case '[':
            return nested(out, &Reader::array);
        case '"':
            out.kind = Value::Kind::String;
            return string(out.text);
        case 't':
            out.kind = Value::Kind::Boolean;
            out.boolean = true;
            return word("true");
        case 'f':
            out.kind = Value::Kind::Boolean;
            return word("false");
        case 'n':
            return word("null");
        default:
            if (peek() == '-' || (peek() >= '0' && peek() <= '9'))
                return number(out);
            return unexpected();
        }
    }

    bool nested(Value &out, bool (Reader::*read)(Value &)) {
        if (m_depth >= MaxDepth)
            return fail(QStringLiteral("lists and objects nested too deeply"));
        ++m_depth;
        const bool done = (this->*read)(out);
        --m_depth;
        return done;
    }

    bool word(QByteArrayView expected) {
        if (!m_in.sliced(m_at).startsWith(expected))
            return unexpected();
        m_at += expected.size();
        return true;
    }

    bool object(Value &out) {
        out.kind = Value::Kind::Object;
        ++m_at; // {
        skipBlanks();
        if (peek() == '}') {
            ++m_at;
            return true;
        }
        QSet<QString> keys;
        for (;;) {
            skipBlanks();
            if (peek() != '"')
                return unexpected();
            const qsizetype keyAt = m_at;
            QString key;
            if (!string(key))
                return false;
            if (keys.contains(key)) {
                m_at = keyAt;
                return fail(
                    QStringLiteral("the key %1 given twice").arg(QString::fromUtf8(quoted(key))));
            }
            keys.insert(key);
            skipBlanks();
            if (peek() != ':')
                return unexpected();
            ++m_at;
            out.keys.push_back(key);
            out.values.emplace_back();
            if (!value(out.values.back()))
                return false;
            skipBlanks();
            if (peek() == '}') {
                ++m_at;
                return true;
            }
            if (peek() != ',')
                return unexpected();
            ++m_at;
        }
    }

    bool array(Value &out) {
        out.kind = Value::Kind::Array;
        ++m_at; // [
        skipBlanks();
        if (peek() == ']') {
            ++m_at;
            return true;
        }
        for (;;) {
            out.items.emplace_back();
            if (!value(out.items.back()))
                return false;
            skipBlanks();
            if (peek() == ']') {
                ++m_at;
                return true;
            }
            if (peek() != ',')
                return unexpected();
            ++m_at;
        }
    }

    // Four hexadecimal digits after "\u".
    bool hex4(char16_t &unit) {
        unit = 0;
        for (int k = 0; k < 4; ++k, ++m_at) {
            const char c = peek();
            int digit = 0;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                return fail(QStringLiteral("a \\u escape without four hexadecimal digits"));
            unit = static_cast<char16_t>(unit * 16 + digit);
        }
        return true;
    }

    bool escape(QString &out) {
        const qsizetype start = m_at;
        const auto halfPair = [this, start] {
            m_at = start;
            return fail(QStringLiteral("half a surrogate pair"));
        };
        ++m_at; // backslash
        const char c = peek();
        ++m_at;
        switch (c) {
        case '"':
        case '\\':
        case '/':
            out += QLatin1Char(c);
            return true;
        case 'b':
            out += u'\b';
            return true;
        case 'f':
            out += u'\f';
            return true;
        case 'n':
            out += u'\n';
            return true;
        case 'r':
            out += u'\r';
            return true;
        case 't':
            out += u'\t';
            return true;
        case 'u':
            break;
        default:
            --m_at;
            return fail(QStringLiteral("an unknown escape"));
        }
        char16_t unit = 0;
        if (!hex4(unit))
            return false;
        if (QChar::isLowSurrogate(unit))
            return halfPair();
        if (QChar::isHighSurrogate(unit)) {
            char16_t low = 0;
            if (!m_in.sliced(m_at).startsWith("\\u"))
                return halfPair();
            m_at += 2;
            if (!hex4(low))
                return false;
            if (!QChar::isLowSurrogate(low))
                return halfPair();
            out += QChar(unit);
            out += QChar(low);
            return true;
        }
        out += QChar(unit);
        return true;
    }

    bool string(QString &out) {
        ++m_at; // opening quote
        // Runs of plain bytes are decoded at once; the whole input is known
        // to be UTF-8, so every run is too.
        qsizetype run = m_at;
        for (;;) {
            if (atEnd())
                return fail(QStringLiteral("a string without its closing quote"));
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"' || c == '\\') {
                // A run starts after the quote or an escape: a mark there is text.
                out += utf8Text(m_in.sliced(run, m_at - run));
                if (c == '"') {
                    ++m_at;
                    return true;
                }
                if (!escape(out))
                    return false;
                run = m_at;
            } else if (c < 0x20) {
                return fail(QStringLiteral("a control character inside a string"));
            } else {
                ++m_at;
            }
        }
    }

    bool digits() {
        if (!(peek() >= '0' && peek() <= '9'))
            return unexpected();
        while (peek() >= '0' && peek() <= '9')
            ++m_at;
        return true;
    }

    bool number(Value &out) {
        const qsizetype start = m_at;
        const bool negative = peek() == '-';
        if (negative)
            ++m_at;
        if (peek() == '0') {
            ++m_at;
            if (peek() >= '0' && peek() <= '9') {
                m_at = start;
                return fail(QStringLiteral("a number with a leading zero"));
            }
        } else if (!digits()) {
            return false;
        }
        const qsizetype integerEnd = m_at;
        bool whole = true;
        if (peek() == '.') {
            ++m_at;
            whole = false;
            if (!digits())
                return false;
        }
        if (peek() == 'e' || peek() == 'E') {
            ++m_at;
            whole = false;
            if (peek() == '+' || peek() == '-')
                ++m_at;
            if (!digits())
                return false;
        }
        out.text = QString::fromLatin1(m_in.sliced(start, m_at - start));
        if (!whole) {
            out.kind = Value::Kind::Number;
            return true;
        }
        out.kind = Value::Kind::Integer;
        // Built towards the sign so that the most negative value fits too.
        constexpr qint64 top = std::numeric_limits<qint64>::max();
        constexpr qint64 bottom = std::numeric_limits<qint64>::min();
        qint64 value = 0;
        for (qsizetype i = negative ? start + 1 : start; i < integerEnd; ++i) {
            const int digit = m_in[i] - '0';
            if (negative ? value < (bottom + digit) / 10 : value > (top - digit) / 10) {
                out.tooLarge = true;
                value = negative ? bottom : top;
                break;
            }
            value = value * 10 + (negative ? -digit : digit);
        }
        out.integer = value;
        return true;
    }

    QByteArrayView m_in;
    qsizetype m_at = 0;
    int m_depth = 0;
    QString m_error;
};

} // namespace

const Value *Value::member(QAnyStringView key) const {
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (QAnyStringView::equal(keys[i], key))
            return &values[i];
    return nullptr;
}

QString Value::describe() const {
    switch (kind) {
    case Kind::Null:
        return QStringLiteral("null");
    case Kind::Boolean:
        return boolean ? QStringLiteral("true") : QStringLiteral("false");
    case Kind::Integer:
    case Kind::Number:
        return text;
    case Kind::String: {
        // Enough to find it in the file; a message box takes no whole page.
        constexpr qsizetype shown = 40;
        if (text.size() <= shown)
            return QString::fromUtf8(quoted(text));
        return QString::fromUtf8(quoted(text.left(shown))).chopped(1) + QStringLiteral("…\"");
    }
    case Kind::Array:
        return QStringLiteral("a list");
    case Kind::Object:
        return QStringLiteral("an object");
    }
    return {};
}

Parsed parse(QByteArrayView bytes) {
    return Reader(bytes).run();
}

QByteArray quoted(QStringView text) {
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "\\u00";
                out += "0123456789abcdef"[(c >> 4) & 0xF];
                out += "0123456789abcdef"[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

} // namespace orvandel::strictjson
