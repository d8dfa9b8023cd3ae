// The structure file: read strictly, written in a fixed order so that shared
// files compare line by line, saved whole or not at all; and the levels of a
// blinds.dat taken over as a structure.
#include "core/structure.h"

#include "core/amounts.h"
#include "core/regularfile.h"
#include "core/strictjson.h"

#include <QFileInfo>
#include <limits>
#include <tuple>

namespace orvandel {

namespace {

using strictjson::Value;
using Kind = Value::Kind;

struct AnteKey {
    AnteKind kind;
    const char *key;
};
constexpr AnteKey AnteKeys[] = {
    {AnteKind::None, "none"}, {AnteKind::Ante, "ante"}, {AnteKind::BigBlind, "bigBlind"}};

StructureRead refused(const QString &error) {
    StructureRead read;
    read.error = error;
    return read;
}

QString key(const char *name) {
    return QStringLiteral("\"%1\"").arg(QLatin1String(name));
}

// A whole number of round `index` under `name`, or why there is none.
// `optional`: a missing key reads as 0.
bool wholeNumber(const Value &round, int index, const char *name, bool optional, qint64 &out,
                 QString &error) {
    const Value *value = round.member(QLatin1String(name));
    const QString where = QStringLiteral("Round %1: %2").arg(index + 1).arg(key(name));
    out = 0;
    if (!value) {
        if (!optional)
            error = where + QStringLiteral(" is missing.");
        return optional;
    }
    if (!value->is(Kind::Integer)) {
        error = where + QStringLiteral(" must be a whole number, not %1.").arg(value->describe());
        return false;
    }
    if (value->tooLarge) {
        error = where + QStringLiteral(" %1 is far outside its range.").arg(value->text);
        return false;
    }
    out = value->integer;
    return true;
}

// Minutes as the structure holds them; the rules check the range after.
bool minutes(const Value &round, int index, const char *name, int &out, QString &error) {
    qint64 value = 0;
    if (!wholeNumber(round, index, name, false, value, error))
        return false;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        error = QStringLiteral("Round %1: %2 %3 is far outside its range.")
                    .arg(index + 1)
                    .arg(key(name))
                    .arg(value);
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool readRound(const Value &value, int index, Round &round, QString &error) {
    if (!value.is(Kind::Object)) {
        error = QStringLiteral("Round %1 is neither a level nor a break: it is %2.")
                    .arg(index + 1)
                    .arg(value.describe());
        return false;
    }
    if (value.member(u"break")) {
        for (const char *blind : {"small", "big", "ante"}) {
            if (value.member(QLatin1String(blind))) {
                error = QStringLiteral("Round %1 has both \"break\" and %2; it is either a level "
                                       "or a break.")
                            .arg(index + 1)
                            .arg(key(blind));
                return false;
            }
        }
        Break pause;
        if (!minutes(value, index, "break", pause.minutes, error))
            return false;
        if (const Value *note = value.member(u"note")) {
            if (!note->is(Kind::String)) {
                error = QStringLiteral("Round %1: \"note\" must be text, not %2.")
                            .arg(index + 1)
                            .arg(note->describe());
                return false;
            }
            pause.note = note->text;
        }
        round = pause;
        return true;
    }
    Level level;
    if (!wholeNumber(value, index, "small", false, level.small, error) ||
        !wholeNumber(value, index, "big", false, level.big, error) ||
        !wholeNumber(value, index, "ante", true, level.ante, error) ||
        !minutes(value, index, "minutes", level.minutes, error))
        return false;
    round = level;
    return true;
}

} // namespace

StructureRead parseStructure(QByteArrayView bytes) {
    const strictjson::Parsed parsed = strictjson::parse(bytes);
    if (!parsed.ok())
        return refused(parsed.error);
    const Value &top = parsed.value;
    const Value *mark = top.member(u"orvandel");
    if (!mark || !mark->is(Kind::String) || mark->text != u"structure")
        return refused(QStringLiteral("The file is not an Orvandel structure: it does not say "
                                      "\"orvandel\": \"structure\"."));

    const Value *version = top.member(u"version");
    if (!version || !version->is(Kind::Integer) || version->integer < 1)
        return refused(QStringLiteral("The structure has no valid \"version\"; it must be %1.")
                           .arg(StructureFileVersion));
    if (version->integer > StructureFileVersion)
        return refused(QStringLiteral("The structure was made by a newer Orvandel (file "
                                      "version %1); this one reads version %2. Update Orvandel "
                                      "to open it.")
                           .arg(version->text)
                           .arg(StructureFileVersion));

    StructureRead read;
    Structure &structure = read.structure;
    if (const Value *name = top.member(u"name")) {
        if (!name->is(Kind::String))
            return refused(QStringLiteral("The structure's \"name\" must be text, not %1.")
                               .arg(name->describe()));
        structure.name = name->text;
    }
    if (const Value *ante = top.member(u"ante")) {
        const AnteKey *found = nullptr;
        for (const AnteKey &known : AnteKeys)
            if (ante->is(Kind::String) && ante->text == QLatin1String(known.key))
                found = &known;
        if (!found)
            return refused(QStringLiteral("The structure's \"ante\" must be \"none\", \"ante\" or "
                                          "\"bigBlind\", not %1.")
                               .arg(ante->describe()));
        structure.ante = found->kind;
    }

    const Value *rounds = top.member(u"rounds");
    if (!rounds || !rounds->is(Kind::Array))
        return refused(QStringLiteral("The structure has no \"rounds\" list."));
    structure.rounds.resize(rounds->items.size());
    for (std::size_t i = 0; i < rounds->items.size(); ++i) {
        QString error;
        if (!readRound(rounds->items[i], static_cast<int>(i), structure.rounds[i], error))
            return refused(error);
    }
    if (const std::vector<Problem> broken = problems(structure); !broken.empty())
        return refused(broken.front().message);
    return read;
}

QString anteKindKey(AnteKind kind) {
    for (const AnteKey &known : AnteKeys) {
        if (known.kind == kind)
            return QString::fromLatin1(known.key);
    }
    return QString::fromLatin1(AnteKeys[0].key);
}

QByteArray formatStructure(const Structure &structure) {
    QByteArray out = "{\n  \"orvandel\": \"structure\",\n  \"version\": " +
                     QByteArray::number(StructureFileVersion) + ",\n";
    out += "  \"name\": " + strictjson::quoted(structure.name) + ",\n";
    out += R"(  "ante": ")" + anteKindKey(structure.ante).toLatin1() + "\",\n";
    out += "  \"rounds\": [";
    const char *separator = "\n";
    for (const Round &round : structure.rounds) {
        out += separator;
        separator = ",\n";
        if (const auto *pause = std::get_if<Break>(&round)) {
            out += "    {\"break\": " + QByteArray::number(pause->minutes);
            if (!pause->note.isEmpty())
                out += ", \"note\": " + strictjson::quoted(pause->note);
        } else {
            const auto &level = std::get<Level>(round);
            out += "    {\"small\": " + QByteArray::number(level.small) +
                   ", \"big\": " + QByteArray::number(level.big);
            if (level.ante != 0)
                out += ", \"ante\": " + QByteArray::number(level.ante);
            out += ", \"minutes\": " + QByteArray::number(level.minutes);
        }
        out += '}';
    }
    out += structure.rounds.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

StructureRead readStructureFile(const QString &path) {
    const FileRead file = readRegularFile(path, MaxStructureFileBytes);
    switch (file.error) {
    case FileError::None:
        return parseStructure(file.bytes);
    case FileError::NotFound:
        return refused(QStringLiteral("There is no file of that name."));
    case FileError::NotRegular:
        return refused(QStringLiteral("It cannot be read: %1.").arg(file.detail));
    case FileError::TooLarge:
        return refused(QStringLiteral("It is larger than 1 MiB, far larger than any structure."));
    case FileError::Unreadable:
        break;
    }
    return refused(QStringLiteral("It cannot be read: %1.").arg(file.detail));
}

WriteResult saveStructureFile(const QString &path, const Structure &structure) {
    // Written beside the file and renamed over it on commit. No writing in
    // place where the folder takes no new file: a failed save must leave the
    // old file whole. Unbuffered, so that a short write (a full disk) shows.
    return replaceFile(path, formatStructure(structure), false);
}

namespace {

// The amount of a blind text such as "$1,000" or "$ 25": -1 when the text is
// not "$" and a whole number, -2 when the number is above MaxAmount.
qint64 blindAmount(QStringView text) {
    QString packed;
    for (const QChar c : text)
        if (c != u' ' && c != u'\t' && c != u',')
            packed += c;
    if (packed.size() < 2 || packed.front() != u'$')
        return -1;
    qint64 amount = 0;
    for (const QChar c : QStringView(packed).sliced(1)) {
        if (c < u'0' || c > u'9')
            return -1;
        amount = amount * 10 + (c.unicode() - u'0');
        if (amount > MaxAmount)
            return -2;
    }
    return amount;
}

} // namespace

StructureRead importTournament(const Tournament &tournament) {
    StructureRead read;
    Structure &structure = read.structure;
    const int count = static_cast<int>(tournament.levels.size());
    for (int n = 1; n <= count; ++n) {
        if (n == tournament.breakRound && n >= 2) {
            structure.rounds.emplace_back(Break{tournament.breakMinutes, QString()});
            continue;
        }
        const LevelBlinds &blinds = tournament.levels[static_cast<std::size_t>(n - 1)];
        Level level;
        level.minutes = tournament.levelMinutes;
        for (const auto &[text, amount, which] : {std::tuple{&blinds.small, &level.small, "small"},
                                                  std::tuple{&blinds.big, &level.big, "big"}}) {
            *amount = blindAmount(*text);
            if (*amount == -1)
                return refused(QStringLiteral("Level %1: the %2 blind \"%3\" is not \"$\" and a "
                                              "whole number.")
                                   .arg(n)
                                   .arg(QLatin1String(which), *text));
            if (*amount == -2)
                return refused(QStringLiteral("Level %1: the %2 blind \"%3\" is above %4.")
                                   .arg(n)
                                   .arg(QLatin1String(which), *text, groupedAmount(MaxAmount)));
        }
        structure.rounds.emplace_back(level);
    }
    if (const std::vector<Problem> broken = problems(structure); !broken.empty())
        return refused(broken.front().message);
    return read;
}

StructureRead importTournamentFile(const QString &path) {
    const ReadResult file = readTournamentFile(path);
    if (!file.ok())
        return refused(file.message(QFileInfo(path).fileName()));
    return importTournament(file.tournament);
}

StructureRead openStructureOrTournament(const QString &path) {
    if (path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive))
        return readStructureFile(path);
    return importTournamentFile(path);
}

} // namespace orvandel
