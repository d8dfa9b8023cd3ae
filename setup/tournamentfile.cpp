#include "setup/tournamentfile.h"

#include "setup/cp1252.h"
#include "setup/numberinput.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <limits>
#include <optional>

namespace orvandel {

namespace {

// The clock counts a level down in 16-bit minutes, so longer lengths would
// overflow it even though the file carries 32 bits.
constexpr qint32 ShortestLength = -32768;
constexpr qint32 LongestLength = 32767;

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

QString quotedField(QByteArrayView field) {
    QString text = cp1252::decode(field.first(std::min(field.size(), QuotedFieldLimit)));
    if (field.size() > QuotedFieldLimit)
        text += QStringLiteral("...");
    return text;
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
    explicit TournamentParser(QByteArrayView bytes) : m_fields(bytes) {}

    ReadResult parse() {
        Tournament t;
        if (!readShort(t.levelCount, QStringLiteral("the level count"),
                       QStringLiteral("a level count")) ||
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
        target = cp1252::decode(*field);
        return true;
    }

    // `name` says which field is missing, `described` introduces its value.
    bool readShort(qint16 &target, const QString &name, const QString &described) {
        const auto field = m_fields.number();
        if (!field)
            return fail(ReadError::EndsEarly, name);
        const auto whole = toInt16(leadingNumber(cp1252::decode(*field)));
        if (!whole) {
            return fail(ReadError::NumberOutOfRange,
                        QStringLiteral("%1 of %2, outside the range %3 to %4")
                            .arg(described, quotedField(*field))
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
        const double value = leadingNumber(cp1252::decode(*field));
        const auto minutes = toInt32(value);
        if (!minutes || *minutes < ShortestLength || *minutes > LongestLength) {
            const QString limit = value > 0 ? QStringLiteral("up to %1").arg(LongestLength)
                                            : QStringLiteral("down to %1").arg(ShortestLength);
            return fail(ReadError::NumberOutOfRange,
                        QStringLiteral("%1 of %2 minutes; the clock runs lengths %3 minutes")
                            .arg(described, quotedField(*field), limit));
        }
        target = *minutes;
        return true;
    }

    bool fail(ReadError error, QString detail) {
        m_failure = failure(error, std::move(detail));
        return false;
    }

    FieldReader m_fields;
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
    case ReadError::EndsEarly:
        return QStringLiteral("%1 ends before all of the tournament has been read (%2 is missing).")
            .arg(fileName, detail);
    case ReadError::LevelCountOutOfRange:
        return QStringLiteral("%1 declares %2 levels; the clock runs 1 to %3 levels.")
            .arg(fileName, detail)
            .arg(MaxLevels);
    case ReadError::NumberOutOfRange:
        return QStringLiteral("%1 holds %2.").arg(fileName, detail);
    }
    return QString();
}

ReadResult parseTournament(QByteArrayView bytes) {
    return TournamentParser(bytes).parse();
}

ReadResult readTournamentFile(const QString &path) {
    if (!QFileInfo::exists(path))
        return failure(ReadError::NotFound, QString());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(ReadError::CannotOpen, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(ReadError::CannotOpen, file.errorString());
    file.close();
    return parseTournament(bytes);
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

WriteResult writeTournamentFile(const QString &path, const Tournament &tournament) {
    for (const LevelBlinds &level : tournament.levels) {
        for (const QString *text : {&level.small, &level.big}) {
            if (!isWritableBlindText(*text)) {
                return {false, QStringLiteral("The blind text \"%1\" cannot be stored in the "
                                              "tournament file.")
                                   .arg(*text)};
            }
        }
    }

    // QSaveFile writes beside the target and renames on commit, so the old
    // file stays whole until the new one is complete. Unbuffered, because a
    // buffered QSaveFile (Qt 6.4) commits a short write, such as on a full
    // disk, as if it were whole; written directly, a short write shows and
    // the next attempt reports why.
    QSaveFile file(path);
    // In a folder that takes no new files, write the existing file in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    const QByteArray bytes = formatTournament(tournament);
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return {false, reason};
        }
        done += written;
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, QString()};
}

} // namespace orvandel
