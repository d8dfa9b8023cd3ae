#include "core/journal.h"
#include "core/clockface.h"
#include "core/units.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace orvandel {

namespace {

constexpr QByteArrayView Magic = "Orvandel clock journal\n";
constexpr QByteArrayView VersionKey = "version ";
constexpr QByteArrayView CheckKey = "check ";
constexpr qsizetype HexDigestLength = 64;
constexpr qint64 MsPerTick = MsPerSecond;

// The keys of the fields after the version line, in the order written.
constexpr std::array<QByteArrayView, 7> FieldKeys = {
    "file", "sha256", "level", "remaining-ms", "paused", "untimed-final", "written-ms"};
// After them, only when on; never written as off, so each entry has one encoding.
constexpr QByteArrayView StructureLine = "structure 1\n";
constexpr QByteArrayView LiveViewLine = "live-view 1\n";
// Last, only when something is counted.
constexpr QByteArrayView PlayersKey = "players ";

QByteArray sha256(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QByteArray encodedPath(const QString &path) {
    return QUrl::toPercentEncoding(path, "/");
}

// A decimal number exactly as QByteArray::number writes it: no sign but a
// leading "-", no leading zeros, no blanks.
std::optional<qint64> canonicalInteger(QByteArrayView text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || QByteArray::number(value) != text)
        return std::nullopt;
    return value;
}

std::optional<QByteArray> lowercaseHex(QByteArrayView text, qsizetype digits) {
    if (text.size() != digits)
        return std::nullopt;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return std::nullopt;
    }
    return QByteArray::fromHex(text.toByteArray());
}

// The count's JSON from its field: canonical base64 of a JSON object in its
// compact form, so that each count has one encoding too.
std::optional<QByteArray> playersJson(QByteArrayView base64) {
    const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
        base64.toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty() || decoded.decoded.toBase64() != base64)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(decoded.decoded);
    if (!document.isObject() || document.toJson(QJsonDocument::Compact) != decoded.decoded)
        return std::nullopt;
    return decoded.decoded;
}

JournalRead failed(JournalError error) {
    JournalRead read;
    read.error = error;
    return read;
}

} // namespace

QByteArray tournamentHash(QByteArrayView bytes) {
    return sha256(bytes);
}

QByteArray encodeJournal(const JournalEntry &entry) {
    QByteArray out;
    out.reserve(400);
    out += Magic;
    out += VersionKey;
    out += QByteArray::number(JournalFormatVersion) + '\n';
    auto field = [&out](QByteArrayView key, const QByteArray &value) {
        out += key;
        out += ' ';
        out += value;
        out += '\n';
    };
    field(FieldKeys[0], encodedPath(entry.tournamentPath));
    field(FieldKeys[1], entry.tournamentHash.toHex());
    field(FieldKeys[2], QByteArray::number(entry.level));
    field(FieldKeys[3], QByteArray::number(entry.remainingMs));
    field(FieldKeys[4], entry.paused ? "1" : "0");
    field(FieldKeys[5], entry.untimedFinal ? "1" : "0");
    field(FieldKeys[6], QByteArray::number(entry.writtenMs));
    if (entry.structure)
        out += StructureLine;
    if (entry.liveView)
        out += LiveViewLine;
    if (!entry.players.isEmpty())
        field(PlayersKey.chopped(1), entry.players.toBase64());
    const QByteArray check = sha256(out).toHex();
    out += CheckKey;
    out += check;
    out += '\n';
    return out;
}

JournalRead decodeJournal(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return failed(JournalError::Empty);
    if (!bytes.startsWith(Magic))
        return failed(Magic.startsWith(bytes) ? JournalError::Torn : JournalError::NotAJournal);

    // The version comes before the checksum: a later format may check
    // differently, and must be told apart from a damaged file.
    const qsizetype versionStart = Magic.size();
    const qsizetype versionEnd = bytes.indexOf('\n', versionStart);
    if (versionEnd < 0)
        return failed(JournalError::Torn);
    const QByteArrayView versionLine = bytes.sliced(versionStart, versionEnd - versionStart);
    if (!versionLine.startsWith(VersionKey))
        return failed(JournalError::NotAJournal);
    const std::optional<qint64> version = canonicalInteger(versionLine.sliced(VersionKey.size()));
    if (!version || *version < 1)
        return failed(JournalError::NotAJournal);
    if (*version > JournalFormatVersion)
        return failed(JournalError::NewerFormat);

    // The checksum line is written last; a file cut anywhere lacks it whole.
    if (!bytes.endsWith('\n'))
        return failed(JournalError::Torn);
    const qsizetype checkStart = bytes.lastIndexOf('\n', bytes.size() - 2) + 1;
    if (checkStart <= versionEnd)
        return failed(JournalError::Torn);
    const QByteArrayView checkLine = bytes.sliced(checkStart, bytes.size() - 1 - checkStart);
    if (!checkLine.startsWith(CheckKey) ||
        !lowercaseHex(checkLine.sliced(CheckKey.size()), HexDigestLength))
        return failed(JournalError::Torn);
    const QByteArrayView payload = bytes.first(checkStart);
    if (sha256(payload).toHex() != checkLine.sliced(CheckKey.size()))
        return failed(JournalError::BadChecksum);

    // The fields, each once, in the order written.
    std::array<QByteArrayView, FieldKeys.size()> values;
    qsizetype at = versionEnd + 1;
    for (std::size_t i = 0; i < FieldKeys.size(); ++i) {
        const qsizetype end = payload.indexOf('\n', at);
        if (end < 0)
            return failed(JournalError::Malformed);
        const QByteArrayView line = payload.sliced(at, end - at);
        const QByteArrayView key = FieldKeys[i];
        if (line.size() <= key.size() || !line.startsWith(key) || line[key.size()] != ' ')
            return failed(JournalError::Malformed);
        values[i] = line.sliced(key.size() + 1);
        at = end + 1;
    }
    const bool structure = payload.sliced(at).startsWith(StructureLine);
    if (structure)
        at += StructureLine.size();
    QByteArrayView rest = payload.sliced(at);
    const bool liveView = rest.startsWith(LiveViewLine);
    if (liveView)
        rest = rest.sliced(LiveViewLine.size());
    std::optional<QByteArray> players = QByteArray();
    if (!rest.isEmpty()) {
        // One line, the last.
        if (!rest.startsWith(PlayersKey) || rest.indexOf('\n') != rest.size() - 1)
            return failed(JournalError::Malformed);
        players = playersJson(rest.sliced(PlayersKey.size()).chopped(1));
        if (!players)
            return failed(JournalError::Malformed);
    }

    JournalRead read;
    JournalEntry &entry = read.entry;
    entry.tournamentPath = QUrl::fromPercentEncoding(values[0].toByteArray());
    if (encodedPath(entry.tournamentPath) != values[0])
        return failed(JournalError::Malformed);
    const std::optional<QByteArray> hash = lowercaseHex(values[1], HexDigestLength);
    const std::optional<qint64> level = canonicalInteger(values[2]);
    const std::optional<qint64> remaining = canonicalInteger(values[3]);
    const std::optional<qint64> paused = canonicalInteger(values[4]);
    const std::optional<qint64> untimed = canonicalInteger(values[5]);
    const std::optional<qint64> written = canonicalInteger(values[6]);
    if (!hash || !level || !remaining || !paused || !untimed || !written)
        return failed(JournalError::Malformed);

    if (!QDir::isAbsolutePath(entry.tournamentPath) || *level < 1 ||
        *level > (structure ? MaxRounds : MaxLevels) ||
        *remaining < std::numeric_limits<qint32>::min() ||
        *remaining > std::numeric_limits<qint32>::max() || (*paused != 0 && *paused != 1) ||
        (*untimed != 0 && *untimed != 1) || *written < 0)
        return failed(JournalError::OutOfRange);
    entry.tournamentHash = *hash;
    entry.level = static_cast<qint16>(*level);
    entry.remainingMs = static_cast<qint32>(*remaining);
    entry.paused = *paused == 1;
    entry.untimedFinal = *untimed == 1;
    entry.writtenMs = *written;
    entry.liveView = liveView;
    entry.players = *players;
    entry.structure = structure;
    return read;
}

qint64 levelLengthMs(const Tournament &tournament, qint16 level) {
    // Level 1 is reached by loading, which always gives it the level length.
    const qint64 minutes = level >= 2 && level == tournament.breakRound
                               ? qint64{tournament.breakMinutes}
                               : qint64{tournament.levelMinutes};
    return minutes * MsPerMinute;
}

namespace {

// Whether the clock can stand at `entry` in a tournament of `count` rounds,
// whose round `entry.level` runs `length` milliseconds.
bool fitsRound(const JournalEntry &entry, qint64 count, qint64 length) {
    if (entry.level < 1 || entry.level > count)
        return false;
    // Only a level change makes a final level untimed; a tournament of one
    // level never has one.
    if (entry.untimedFinal && (entry.level != count || count < 2))
        return false;
    if (length < std::numeric_limits<qint32>::min() || length > std::numeric_limits<qint32>::max())
        return false;
    // A level of no time (or less) is left on the tick that starts it.
    if (length <= 0)
        return entry.remainingMs == length;
    // Whole ticks counted from the level's full length, never down to 0: the
    // tick that reaches 0 changes the level. Minutes the director added may
    // reach past the full length, up to what the time can show.
    return entry.remainingMs > 0 && entry.remainingMs <= std::max<qint64>(length, MaxRemainingMs) &&
           (length - entry.remainingMs) % MsPerTick == 0;
}

} // namespace

bool fitsTournament(const JournalEntry &entry, const Tournament &tournament) {
    return !entry.structure &&
           fitsRound(entry, tournament.levelCount, levelLengthMs(tournament, entry.level));
}

bool fitsStructure(const JournalEntry &entry, const Structure &structure) {
    const auto count = static_cast<qint64>(structure.rounds.size());
    if (!entry.structure || entry.level < 1 || entry.level > count)
        return false;
    const Round &round = structure.rounds[static_cast<std::size_t>(entry.level - 1)];
    return fitsRound(entry, count, qint64{roundMinutes(round)} * MsPerMinute);
}

namespace {

QString question(const QString &where, qint32 remainingMs) {
    const qint64 remaining = std::max<qint64>(0, remainingMs);
    const qint64 minutes = remaining / MsPerMinute;
    const qint64 seconds = (remaining % MsPerMinute) / MsPerTick;
    return QStringLiteral("Resume the tournament at %1 with %2:%3 left?")
        .arg(where)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

} // namespace

QString resumeQuestion(const JournalEntry &entry) {
    return question(QStringLiteral("level %1").arg(entry.level), entry.remainingMs);
}

QString resumeQuestion(const JournalEntry &entry, const Structure &structure) {
    const std::vector<int> numbers = levelNumbers(structure);
    const auto at = static_cast<std::size_t>(std::max<qint16>(entry.level, 1) - 1);
    const int number = at < numbers.size() ? numbers[at] : entry.level;
    return question(number == 0 ? QStringLiteral("the break")
                                : QStringLiteral("level %1").arg(number),
                    entry.remainingMs);
}

} // namespace orvandel
