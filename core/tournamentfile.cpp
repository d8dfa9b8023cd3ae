#include "core/tournamentfile.h"

#include "core/cp1252.h"
#include "core/numberinput.h"
#include "core/utf8text.h"

#include <limits>
#include <optional>

namespace orvandel {

namespace {

// The clock counts a level down in 16-bit minutes, so longer lengths would
// overflow it even though the file carries 32 bits.
constexpr qint32 LongestLength = 32767;

// What a modern editor puts in front of a UTF-8 file.
constexpr QByteArrayView Utf8Mark("\xEF\xBB\xBF");

// Field text quoted in a message is cut to this many characters.
constexpr qsizetype QuotedFieldLimit = 24;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Hands out the fields of the file in order; a line end ends a field just as
// a comma does. Every access is checked against the end of the bytes.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes) : m_bytes(bytes) {}

    // Nothing when the bytes end before the field starts.
    std::optional<QByteArrayView> text() {
        if (!startField())
            return std::nullopt;
        if (m_bytes[m_pos] == '"') {
            const qsizetype start = ++m_pos;
            while (m_pos < m_bytes.size() && m_bytes[m_pos] != '"')
                ++m_pos;
            const QByteArrayView field = m_bytes.sliced(start, m_pos - start);
            // Whatever stands between the closing quote and the delimiter is
            // dropped.
            while (m_pos < m_bytes.size() && !isDelimiter(m_bytes[m_pos]))
                ++m_pos;
            skipDelimiter();
            return field;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_bytes.size() && !isDelimiter(m_bytes[m_pos]))
            ++m_pos;
        const QByteArrayView field = m_bytes.sliced(start, m_pos - start);
        skipDelimiter();
        return field;
    }

    // A number also ends at a blank; the blanks after it are passed over
    // together with the delimiter that follows them.
    std::optional<QByteArrayView> number() {
        if (!startField())
            return std::nullopt;
        const qsizetype start = m_pos;
        while (m_pos < m_bytes.size() && m_bytes[m_pos] != ' ' && !isDelimiter(m_bytes[m_pos]))
            ++m_pos;
        const QByteArrayView field = m_bytes.sliced(start, m_pos - start);
        skipBlanks();
        skipDelimiter();
        return field;
    }

private:
    static bool isDelimiter(char c) { return c == ',' || isLineEnd(c); }

    bool startField() {
        skipBlanks();
        return m_pos < m_bytes.size();
    }
    void skipBlanks() {
        while (m_pos < m_bytes.size() && m_bytes[m_pos] == ' ')
            ++m_pos;
    }
    // A comma, CR LF, a lone CR or a lone LF.
    void skipDelimiter() {
        // After a number and its blanks the next field may start at once:
        // "1 20" is two numbers.
        if (m_pos >= m_bytes.size() || !isDelimiter(m_bytes[m_pos]))
            return;
        const char c = m_bytes[m_pos++];
        if (c == '\r' && m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
            ++m_pos;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// The fields of a file that starts with the mark are UTF-8, of any other
// Windows-1252. Each field is decoded on its own, and a mark within one is a
// character like any other, not dropped.
class Decoder {
public:
    explicit Decoder(bool utf8) : m_utf8(utf8) {}
    QString operator()(QByteArrayView bytes) const {
        if (!m_utf8)
            return cp1252::decode(bytes);
        return utf8Text(bytes);
    }

private:
    bool m_utf8;
};

// Characters as a reader counts them: a pair of surrogates is one.
qsizetype characterCount(QStringView text) {
    qsizetype count = text.size();
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i].isLowSurrogate() && text[i - 1].isHighSurrogate())
            --count;
    }
    return count;
}

QString quoted(QString text) {
    if (text.size() <= QuotedFieldLimit)
        return text;
    qsizetype cut = QuotedFieldLimit;
    if (text[cut - 1].isHighSurrogate())
        --cut;
    text.truncate(cut);
    return text + QStringLiteral("...");
}

ReadResult failure(ReadError error, QString detail) {
    ReadResult result;
    result.error = error;
    result.detail = std::move(detail);
    return result;
}

QString levelField(const char *which, int level) {
    return QStringLiteral("the %1 of level %2").arg(QLatin1String(which)).arg(level);
}

// Reads the tournament field by field; the first problem ends the reading.
class TournamentParser {
public:
    explicit TournamentParser(QByteArrayView bytes)
        : m_fields(bytes.startsWith(Utf8Mark) ? bytes.sliced(Utf8Mark.size()) : bytes),
          m_decode(bytes.startsWith(Utf8Mark)) {}

    ReadResult parse() {
        Tournament t;
        if (!readLevelCount(t.levelCount) ||
            !readLength(t.levelMinutes, QStringLiteral("the level length"),
                        QStringLiteral("a level length")))
            return m_failure;
        if (t.levelCount < 1 || t.levelCount > MaxLevels)
            return failure(ReadError::LevelCountOutOfRange, QString::number(t.levelCount));

        t.levels.resize(static_cast<std::size_t>(t.levelCount));
        for (int level = 1; level <= t.levelCount; ++level) {
            LevelBlinds &blinds = t.levels[static_cast<std::size_t>(level - 1)];
            if (!readText(blinds.small, levelField("small blind", level)) ||
                !readText(blinds.big, levelField("big blind", level)))
                return m_failure;
        }

        if (!readShort(t.breakRound, QStringLiteral("the break level"),
                       QStringLiteral("a break level")) ||
            !readLength(t.breakMinutes, QStringLiteral("the break length"),
                        QStringLiteral("a break length")))
            return m_failure;

        ReadResult result;
        result.tournament = std::move(t);
        return result;
    }

private:
    bool readText(QString &target, const QString &name) {
        const auto field = m_fields.text();
        if (!field)
            return fail(ReadError::EndsEarly, name);
        target = m_decode(*field);
        if (characterCount(target) > MaxBlindTextLength) {
            return fail(ReadError::BlindTextTooLong,
                        QStringLiteral("%1 (\"%2\")").arg(name, quoted(target)));
        }
        return true;
    }

    // A first field without a number is not a tournament file as the setup
    // forms write it, so it is named as such rather than read as 0 levels.
    bool readLevelCount(qint16 &target) {
        const auto field = m_fields.number();
        if (!field)
            return fail(ReadError::EndsEarly, QStringLiteral("the level count"));
        const QString text = m_decode(*field);
        if (!holdsNumber(text))
            return fail(ReadError::NoLevelCount, QStringLiteral("\"%1\"").arg(quoted(text)));
        return fitShort(target, text, QStringLiteral("a level count"));
    }

    // `name` says which field is missing, `described` introduces its value.
    bool readShort(qint16 &target, const QString &name, const QString &described) {
        const auto field = m_fields.number();
        if (!field)
            return fail(ReadError::EndsEarly, name);
        return fitShort(target, m_decode(*field), described);
    }

    bool fitShort(qint16 &target, const QString &text, const QString &described) {
        const auto whole = toInt16(leadingNumber(text));
        if (!whole) {
            return fail(ReadError::NumberOutOfRange,
                        QStringLiteral("%1 of %2, outside the range %3 to %4")
                            .arg(described, quoted(text))
                            .arg(std::numeric_limits<qint16>::min())
                            .arg(std::numeric_limits<qint16>::max()));
        }
        target = *whole;
        return true;
    }

    bool readLength(qint32 &target, const QString &name, const QString &described) {
        const auto field = m_fields.number();
        if (!field)
            return fail(ReadError::EndsEarly, name);
        const QString text = m_decode(*field);
        const double value = leadingNumber(text);
        const auto minutes = toInt32(value);
        // Judged after rounding: -0.4 minutes is 0.
        if (minutes ? *minutes < 0 : value < 0) {
            return fail(ReadError::NegativeLength,
                        QStringLiteral("%1 of %2").arg(described, quoted(text)));
        }
        if (!minutes || *minutes > LongestLength) {
            return fail(ReadError::NumberOutOfRange,
                        QStringLiteral("%1 of %2 minutes; the clock runs lengths up to %3 minutes")
                            .arg(described, quoted(text))
                            .arg(LongestLength));
        }
        target = *minutes;
        return true;
    }

    bool fail(ReadError error, QString detail) {
        m_failure = failure(error, std::move(detail));
        return false;
    }

    FieldReader m_fields;
    Decoder m_decode;
    ReadResult m_failure;
};

void appendNumber(QByteArray &bytes, qint64 number) {
    bytes += QByteArray::number(number);
}

void appendText(QByteArray &bytes, const QString &text) {
    bytes += '"';
    // Texts are checked with isWritableBlindText before they get here; should
    // one slip through, a stand-in keeps the line layout intact.
    if (const auto encoded = cp1252::encode(text)) {
        bytes += *encoded;
    } else {
        for (const QChar ch : text) {
            const auto single = cp1252::encode(QStringView(&ch, 1));
            bytes += single ? *single : QByteArray(1, '?');
        }
    }
    bytes += '"';
}

constexpr char LineEnd[] = "\r\n";

} // namespace

QString ReadResult::message(const QString &fileName) const {
    switch (error) {
    case ReadError::None:
        return QString();
    case ReadError::NotFound:
        return QStringLiteral("%1 was not found in the working folder.").arg(fileName);
    case ReadError::CannotOpen:
        return QStringLiteral("%1 could not be opened: %2.").arg(fileName, detail);
    case ReadError::TooLarge:
        return QStringLiteral("%1 is larger than %2 MiB, far too large for a tournament file.")
            .arg(fileName)
            .arg(MaxTournamentFileBytes / (qint64{1024} * 1024));
    case ReadError::EndsEarly:
        return QStringLiteral("%1 ends before all of the tournament has been read (%2 is missing).")
            .arg(fileName, detail);
    case ReadError::NoLevelCount:
        return QStringLiteral("%1 does not start with the number of levels").arg(fileName);
    case ReadError::LevelCountOutOfRange:
        return QStringLiteral("%1 declares %2 levels; the clock runs 1 to %3 levels.")
            .arg(fileName, detail)
            .arg(MaxLevels);
    case ReadError::NumberOutOfRange:
        return QStringLiteral("%1 holds %2.").arg(fileName, detail);
    case ReadError::NegativeLength:
        return QStringLiteral("%1 holds %2 minutes; a length cannot be negative.")
            .arg(fileName, detail);
    case ReadError::BlindTextTooLong:
        return QStringLiteral("%1 holds a blind text longer than %2 characters: %3.")
            .arg(fileName)
            .arg(MaxBlindTextLength)
            .arg(detail);
    }
    return QString();
}

ReadResult parseTournament(QByteArrayView bytes) {
    return TournamentParser(bytes).parse();
}

bool isWritableBlindText(QStringView text) {
    for (const QChar ch : text) {
        if (ch == u'"' || ch == u'\r' || ch == u'\n')
            return false;
    }
    return cp1252::encode(text).has_value();
}

QByteArray formatTournament(const Tournament &tournament) {
    QByteArray bytes;
    appendNumber(bytes, tournament.levelCount);
    bytes += ',';
    appendNumber(bytes, tournament.levelMinutes);
    bytes += LineEnd;
    for (const LevelBlinds &level : tournament.levels) {
        appendText(bytes, level.small);
        bytes += ',';
        appendText(bytes, level.big);
        bytes += LineEnd;
    }
    appendNumber(bytes, tournament.breakRound);
    bytes += ',';
    appendNumber(bytes, tournament.breakMinutes);
    bytes += LineEnd;
    return bytes;
}

} // namespace orvandel
