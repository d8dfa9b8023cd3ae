// The tournament structure: the file's rules, the import of a blinds.dat,
// the times from the start, the grouping of amounts, the proposed next level
// and the file on disk.
#include "core/amounts.h"
#include "core/structure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace orvandel;
using namespace Qt::StringLiterals;

namespace {

// A structure file around `rounds`, with `head` (ending in a comma) before them.
QByteArray doc(const QByteArray &rounds, const QByteArray &head = {}) {
    return R"({"orvandel": "structure", "version": 1, )" + head + R"( "rounds": [)" + rounds + "]}";
}
const QByteArray L = R"({"small": 25, "big": 50, "minutes": 20})";
QByteArray level(const QByteArray &fields) {
    return "{" + fields + "}";
}
QByteArray times(const QByteArray &round, int n) {
    QByteArray all = round;
    for (int i = 1; i < n; ++i)
        all += ", " + round;
    return all;
}

// "25/50 20, 100/200/200 20, break 15 Colour up": amounts, ante, minutes, note.
QString summary(const Structure &structure) {
    QStringList parts;
    for (const Round &round : structure.rounds) {
        if (const auto *pause = std::get_if<Break>(&round)) {
            parts << u"break %1%2"_s.arg(pause->minutes)
                         .arg(pause->note.isEmpty() ? QString() : u" "_s + pause->note);
        } else {
            const auto &l = std::get<Level>(round);
            parts << u"%1/%2%3 %4"_s.arg(l.small).arg(l.big).arg(
                l.ante ? u"/%1"_s.arg(l.ante) : QString(), QString::number(l.minutes));
        }
    }
    return parts.join(u", "_s);
}

} // namespace

class TestStructure : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void fileRules_data();
    void fileRules();
    void import_data();
    void import();
    void startsAndLevels_data();
    void startsAndLevels();
    void grouping_data();
    void grouping();
    void proposal_data();
    void proposal();
    void layoutAndRoundTrip();
    void disk();
};

void TestStructure::fileRules_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error"); // empty: accepted

    const QByteArray B = R"({"break": 15, "note": "Colour up"})";
    const QString ok;
    const QString minutes = u"lasts %1 minutes; a round lasts 1 to 600 minutes."_s;
    // clang-format off
    QTest::newRow("the shared example") << R"({"orvandel": "structure", "version": 1, "name": "Friday deep stack", "ante": "bigBlind",
        "rounds": [{"small": 25, "big": 50, "minutes": 20}, {"small": 100, "big": 200, "ante": 200, "minutes": 20},
                   {"break": 15, "note": "Colour up the 25s"}, {"small": 100, "big": 200, "minutes": 20}]})"_ba << ok;
    QTest::newRow("one level, no name, no ante") << doc(L) << ok;
    QTest::newRow("the largest amounts and lengths") << doc(level(R"("small": 1000000000000, "big": 1000000000000, "ante": 1000000000000, "minutes": 600)"), R"("ante": "ante",)") << ok;
    QTest::newRow("the smallest") << doc(level(R"("small": 0, "big": 1, "ante": 0, "minutes": 1)") + ", " + R"({"break": 1})" + ", " + L) << ok;
    QTest::newRow("breaks back to back, 200 rounds") << doc(L + ", " + times(B, 198) + ", " + L) << ok;
    QTest::newRow("a note of 120 characters beyond ASCII") << doc(L + R"(, {"break": 5, "note": ")" + QString(u"\u00e9"_s.repeated(119) + u"\U0001F0A1"_s).toUtf8() + "\"}, " + L) << ok;
    QTest::newRow("unknown keys, any value") << doc(level(R"("small": 25, "big": 50, "minutes": 20, "colour": [1.5, {"x": null}])"), R"("by": {"who": true},)") << ok;
    QTest::newRow("byte-order mark, blanks") << "\xEF\xBB\xBF \r\n\t" + doc(L) + "\n" << ok;

    QTest::newRow("not JSON") << "{"_ba << u"The file is not valid JSON: the text ends early at line 1, column 2."_s;
    QTest::newRow("text after the end") << doc(L) + " x" << u"The file is not valid JSON: more text after the end at line 1, column 95."_s;
    QTest::newRow("a key twice") << R"({"orvandel": "structure",
        "orvandel": "structure"})"_ba << u"The file is not valid JSON: the key \"orvandel\" given twice at line 2, column 9."_s;
    QTest::newRow("not UTF-8") << doc(L, "\"name\": \"caf\xE9\",") << u"The file is not valid JSON: a byte that is not UTF-8 text at line 1, column 53."_s;
    QTest::newRow("half a surrogate pair") << doc(L, R"("name": "\ud83c",)") << u"The file is not valid JSON: half a surrogate pair at line 1, column 50."_s;
    QTest::newRow("leading zero") << doc(level(R"("small": 05, "big": 50, "minutes": 20)")) << u"The file is not valid JSON: a number with a leading zero at line 1, column 63."_s;
    QTest::newRow("nested too deeply") << doc(L, "\"x\": " + QByteArray(64, '[') + QByteArray(64, ']') + ",") << u"The file is not valid JSON: lists and objects nested too deeply at line 1, column 109."_s;
    const QString notOurs = u"The file is not an Orvandel structure: it does not say \"orvandel\": \"structure\"."_s;
    QTest::newRow("a list") << "[1]"_ba << notOurs;
    QTest::newRow("another program's") << R"({"orvandel": "journal", "version": 1, "rounds": []})"_ba << notOurs;
    QTest::newRow("newer version") << R"({"orvandel": "structure", "version": 2, "rounds": []})"_ba << u"The structure was made by a newer Orvandel (file version 2); this one reads version 1. Update Orvandel to open it."_s;
    QTest::newRow("version 0") << R"({"orvandel": "structure", "version": 0, "rounds": []})"_ba << u"The structure has no valid \"version\"; it must be 1."_s;
    QTest::newRow("version as text") << R"({"orvandel": "structure", "version": "1", "rounds": []})"_ba << u"The structure has no valid \"version\"; it must be 1."_s;
    QTest::newRow("name a number") << doc(L, R"("name": 5,)") << u"The structure's \"name\" must be text, not 5."_s;
    QTest::newRow("ante kind misspelt") << doc(L, R"("ante": "BigBlind",)") << u"The structure's \"ante\" must be \"none\", \"ante\" or \"bigBlind\", not \"BigBlind\"."_s;
    QTest::newRow("no rounds list") << R"({"orvandel": "structure", "version": 1})"_ba << u"The structure has no \"rounds\" list."_s;
    QTest::newRow("no rounds") << doc({}) << u"The structure has no rounds."_s;
    QTest::newRow("201 rounds") << doc(times(L, 201)) << u"The structure has 201 rounds; it can have at most 200."_s;
    QTest::newRow("a round that is a number") << doc(L + ", 5") << u"Round 2 is neither a level nor a break: it is 5."_s;
    QTest::newRow("a level and a break") << doc(level(R"("break": 5, "big": 50)")) << u"Round 1 has both \"break\" and \"big\"; it is either a level or a break."_s;
    QTest::newRow("small blind missing") << doc(level(R"("big": 50, "minutes": 20)")) << u"Round 1: \"small\" is missing."_s;
    QTest::newRow("minutes missing") << doc(level(R"("small": 25, "big": 50)")) << u"Round 1: \"minutes\" is missing."_s;
    QTest::newRow("a fraction") << doc(level(R"("small": 25.5, "big": 50, "minutes": 20)")) << u"Round 1: \"small\" must be a whole number, not 25.5."_s;
    QTest::newRow("a whole fraction") << doc(level(R"("small": 25, "big": 50.0, "minutes": 20)")) << u"Round 1: \"big\" must be a whole number, not 50.0."_s;
    QTest::newRow("an exponent") << doc(level(R"("small": 25, "big": 5e1, "minutes": 20)")) << u"Round 1: \"big\" must be a whole number, not 5e1."_s;
    QTest::newRow("a string") << doc(level(R"("small": "25", "big": 50, "minutes": 20)")) << u"Round 1: \"small\" must be a whole number, not \"25\"."_s;
    QTest::newRow("a long string, cut") << doc(level(R"("small": ")" + QByteArray(41, 'x') + R"(", "big": 50, "minutes": 20)")) << u"Round 1: \"small\" must be a whole number, not \""_s + QString(40, u'x') + u"…\"."_s;
    QTest::newRow("a negative small blind") << doc(level(R"("small": -5, "big": 50, "minutes": 20)")) << u"Round 1: the small blind -5 is below 0."_s;
    QTest::newRow("big blind 0") << doc(level(R"("small": 0, "big": 0, "minutes": 20)")) << u"Round 1: the big blind must be at least 1."_s;
    QTest::newRow("big blind over the top") << doc(level(R"("small": 0, "big": 1000000000001, "minutes": 20)")) << u"Round 1: the big blind 1,000,000,000,001 is above 1,000,000,000,000."_s;
    QTest::newRow("big blind past 64 bits") << doc(level(R"("small": 0, "big": 9223372036854775808, "minutes": 20)")) << u"Round 1: \"big\" 9223372036854775808 is far outside its range."_s;
    QTest::newRow("small above big") << doc(times(L, 3) + R"(, {"small": 300, "big": 200, "minutes": 20})") << u"Round 4: the small blind 300 is above the big blind 200."_s;
    QTest::newRow("a negative ante") << doc(level(R"("small": 25, "big": 50, "ante": -1, "minutes": 20)"), R"("ante": "ante",)") << u"Round 1: the ante -1 is below 0."_s;
    QTest::newRow("ante over the top") << doc(level(R"("small": 25, "big": 50, "ante": 1000000000001, "minutes": 20)"), R"("ante": "bigBlind",)") << u"Round 1: the ante 1,000,000,000,001 is above 1,000,000,000,000."_s;
    QTest::newRow("an ante without antes") << doc(level(R"("small": 25, "big": 50, "ante": 5, "minutes": 20)"), R"("ante": "none",)") << u"Round 1: there is an ante of 5, but the structure has no ante."_s;
    QTest::newRow("an ante, no ante kind") << doc(level(R"("small": 25, "big": 50, "ante": 5, "minutes": 20)")) << u"Round 1: there is an ante of 5, but the structure has no ante."_s;
    QTest::newRow("a level of 0 minutes") << doc(level(R"("small": 25, "big": 50, "minutes": 0)")) << u"Round 1: the level "_s + minutes.arg(0);
    QTest::newRow("a level of 601 minutes") << doc(level(R"("small": 25, "big": 50, "minutes": 601)")) << u"Round 1: the level "_s + minutes.arg(601);
    QTest::newRow("minutes past 32 bits") << doc(level(R"("small": 25, "big": 50, "minutes": 2147483648)")) << u"Round 1: \"minutes\" 2147483648 is far outside its range."_s;
    QTest::newRow("a break of 0 minutes") << doc(L + R"(, {"break": 0}, )" + L) << u"Round 2: the break "_s + minutes.arg(0);
    QTest::newRow("a break first") << doc(B + ", " + L) << u"Round 1: the first round is a break; a structure starts with a level."_s;
    QTest::newRow("a break last") << doc(L + ", " + B) << u"Round 2: the last round is a break; a structure ends with a level."_s;
    QTest::newRow("a note of 121 characters") << doc(L + R"(, {"break": 5, "note": ")" + QByteArray(121, 'x') + "\"}, " + L) << u"Round 2: the note has 121 characters; a note has at most 120."_s;
    QTest::newRow("a note that is a number") << doc(L + R"(, {"break": 5, "note": 7}, )" + L) << u"Round 2: \"note\" must be text, not 7."_s;
    // clang-format on
}

void TestStructure::fileRules() {
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    const StructureRead read = parseStructure(json);
    QCOMPARE(read.error, error);
}

void TestStructure::import_data() {
    QTest::addColumn<QByteArray>("blindsDat");
    QTest::addColumn<QString>("expected"); // the summary, or the refusal

    // clang-format off
    QTest::newRow("levels and a break") << "4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"Break\",\"Time!\"\r\n\"$50\",\"$100\"\r\n3,15\r\n"_ba << u"10/20 20, 20/40 20, break 15, 50/100 20"_s;
    QTest::newRow("blanks and commas") << "2,5\r\n\"$ 1,000\",\" $2 000 \"\r\n\"$1,000,000,000,000\",\"$1000000000000\"\r\n0,0\r\n"_ba << u"1000/2000 5, 1000000000000/1000000000000 5"_s;
    QTest::newRow("break level 1 is no break") << "1,5\r\n\"$0\",\"$1\"\r\n1,15\r\n"_ba << u"0/1 5"_s;
    QTest::newRow("no dollar") << "1,5\r\n\"10\",\"$20\"\r\n0,0\r\n"_ba << u"Level 1: the small blind \"10\" is not \"$\" and a whole number."_s;
    QTest::newRow("a fraction") << "2,5\r\n\"$1\",\"$2\"\r\n\"$2\",\"$2.50\"\r\n0,0\r\n"_ba << u"Level 2: the big blind \"$2.50\" is not \"$\" and a whole number."_s;
    QTest::newRow("a dollar alone") << "1,5\r\n\"$\",\"$2\"\r\n0,0\r\n"_ba << u"Level 1: the small blind \"$\" is not \"$\" and a whole number."_s;
    QTest::newRow("a negative blind") << "1,5\r\n\"$-1\",\"$2\"\r\n0,0\r\n"_ba << u"Level 1: the small blind \"$-1\" is not \"$\" and a whole number."_s;
    QTest::newRow("the break text outside a break") << "1,5\r\n\"Break\",\"Time!\"\r\n0,0\r\n"_ba << u"Level 1: the small blind \"Break\" is not \"$\" and a whole number."_s;
    QTest::newRow("over the top") << "1,5\r\n\"$1\",\"$1,000,000,000,001\"\r\n0,0\r\n"_ba << u"Level 1: the big blind \"$1,000,000,000,001\" is above 1,000,000,000,000."_s;
    QTest::newRow("the break last") << "2,5\r\n\"$1\",\"$2\"\r\n\"Break\",\"Time!\"\r\n2,10\r\n"_ba << u"Round 2: the last round is a break; a structure ends with a level."_s;
    QTest::newRow("levels of 0 minutes") << "1,0\r\n\"$1\",\"$2\"\r\n0,0\r\n"_ba << u"Round 1: the level lasts 0 minutes; a round lasts 1 to 600 minutes."_s;
    QTest::newRow("small above big") << "1,5\r\n\"$20\",\"$10\"\r\n0,0\r\n"_ba << u"Round 1: the small blind 20 is above the big blind 10."_s;
    // clang-format on
}

void TestStructure::import() {
    QFETCH(QByteArray, blindsDat);
    QFETCH(QString, expected);
    const ReadResult file = parseTournament(blindsDat);
    QVERIFY2(file.ok(), qPrintable(file.detail));
    const StructureRead read = importTournament(file.tournament);
    QCOMPARE(read.ok() ? summary(read.structure) : read.error, expected);
    if (read.ok())
        QCOMPARE(read.structure.ante, AnteKind::None);
}

void TestStructure::startsAndLevels_data() {
    QTest::addColumn<QList<int>>("minutes"); // negative: a break of that many minutes
    QTest::addColumn<QString>("expected");   // level number (B: break) @ start, each round

    QTest::newRow("one level") << QList<int>{20} << u"1@0:00"_s;
    QTest::newRow("breaks between and together")
        << QList<int>{20, -15, 20, -5, -10, 25} << u"1@0:00 B@0:20 2@0:35 B@0:55 B@1:00 3@1:10"_s;
    QTest::newRow("past a day") << QList<int>{600, 600, 600, 1}
                                << u"1@0:00 2@10:00 3@20:00 4@30:00"_s;
    QList<int> longest(MaxRounds, MaxRoundMinutes);
    QTest::newRow("200 rounds of 600 minutes, the last") << longest << u"200@1990:00"_s;
}

void TestStructure::startsAndLevels() {
    QFETCH(QList<int>, minutes);
    QFETCH(QString, expected);
    Structure structure;
    for (const int m : minutes) {
        if (m < 0)
            structure.rounds.emplace_back(Break{-m, {}});
        else
            structure.rounds.emplace_back(Level{25, 50, 0, m});
    }
    const std::vector<qint64> starts = roundStartsMs(structure);
    const std::vector<int> levels = levelNumbers(structure);
    QStringList shown;
    for (std::size_t i = 0; i < starts.size(); ++i)
        shown << (levels[i] ? QString::number(levels[i]) : u"B"_s) + u'@' + startText(starts[i]);
    QCOMPARE(expected.count(u'@') == 1 ? shown.last() : shown.join(u' '), expected);
}

void TestStructure::grouping_data() {
    // An amount grouped, and read back from the text: none below 0 or beyond
    // 18 digits. A row without an amount is a text read that grouping never
    // makes.
    QTest::addColumn<std::optional<qint64>>("amount");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    const std::optional<qint64> none;
    // clang-format off
    QTest::newRow("C, three digits") << std::optional<qint64>(999) << u"C"_s << u"999"_s;
    QTest::newRow("C, four digits") << std::optional<qint64>(1000) << u"C"_s << u"1,000"_s;
    QTest::newRow("C, 25000") << std::optional<qint64>(25000) << u"C"_s << u"25,000"_s;
    QTest::newRow("C, the largest amount") << std::optional(MaxAmount) << u"C"_s << u"1,000,000,000,000"_s;
    QTest::newRow("C, negative") << std::optional<qint64>(-1234567) << u"C"_s << u"-1,234,567"_s;
    QTest::newRow("C, the most negative") << std::optional(std::numeric_limits<qint64>::min()) << u"C"_s << u"-9,223,372,036,854,775,808"_s;
    QTest::newRow("German") << std::optional<qint64>(1000000) << u"de_DE"_s << u"1.000.000"_s;
    QTest::newRow("Swiss") << std::optional<qint64>(25000) << u"de_CH"_s << u"25\u2019000"_s;
    QTest::newRow("dollars") << std::optional<qint64>(400) << u"C"_s << u"$400"_s;
    QTest::newRow("dollars, blanks and commas") << std::optional<qint64>(1000) << u"C"_s << u" $ 1, 000 "_s;
    QTest::newRow("dollars, 18 digits") << std::optional<qint64>(999'999'999'999'999'999) << u"C"_s << u"$999999999999999999"_s;
    QTest::newRow("dollars, 19 digits") << none << u"C"_s << u"$1000000000000000000"_s;
    QTest::newRow("dollars alone") << none << u"C"_s << u"$"_s;
    QTest::newRow("cents") << none << u"C"_s << u"$400.50"_s;
    QTest::newRow("grouped wrongly") << none << u"C"_s << u"10,00"_s;
    QTest::newRow("a group too long") << none << u"C"_s << u"1,0000"_s;
    QTest::newRow("a leading comma") << none << u"C"_s << u",100"_s;
    QTest::newRow("another locale's separator") << none << u"de_DE"_s << u"1\u2019000"_s;
    QTest::newRow("other digits") << none << u"C"_s << u"\u0664\u0660\u0660"_s;
    QTest::newRow("a word") << none << u"C"_s << u"Time!"_s;
    QTest::newRow("nothing") << none << u"C"_s << QString();
    // clang-format on
}

void TestStructure::grouping() {
    QFETCH(std::optional<qint64>, amount);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    if (amount && !text.contains(u'$'))
        QCOMPARE(groupedAmount(*amount, QLocale(locale)), text);
    const qint64 read = amount && *amount >= 0 ? *amount : -1;
    QCOMPARE(shownAmount(text, QLocale(locale)).value_or(-1), read);
}

void TestStructure::proposal_data() {
    QTest::addColumn<QList<qint64>>("before"); // small, big, ante, minutes
    QTest::addColumn<QList<qint64>>("after");
    const qint64 T = MaxAmount;
    // clang-format off
    QTest::newRow("the first step") << QList<qint64>{25, 50, 0, 20} << QList<qint64>{30, 60, 0, 20};
    QTest::newRow("a big blind ante grows with it") << QList<qint64>{100, 200, 200, 15} << QList<qint64>{125, 250, 250, 15};
    QTest::newRow("to the next round thousand") << QList<qint64>{400, 800, 100, 20} << QList<qint64>{500, 1000, 125, 20};
    QTest::newRow("1 and 1") << QList<qint64>{1, 1, 0, 1} << QList<qint64>{2, 2, 0, 1};
    QTest::newRow("no small blind stays none") << QList<qint64>{0, 1, 0, 5} << QList<qint64>{0, 2, 0, 5};
    QTest::newRow("stops at the largest amount") << QList<qint64>{T / 10 * 8, T / 10 * 9, T / 10 * 9, 600} << QList<qint64>{888888888889, T, T, 600};
    QTest::newRow("at the largest, nothing falls") << QList<qint64>{T, T, T, 600} << QList<qint64>{T, T, T, 600};
    QTest::newRow("a small blind above the big is kept") << QList<qint64>{90, 50, 0, 20} << QList<qint64>{108, 60, 0, 20};
    // clang-format on
}

void TestStructure::proposal() {
    QFETCH(QList<qint64>, before);
    QFETCH(QList<qint64>, after);
    const Level next = proposedLevelAfter({before[0], before[1], before[2], int(before[3])});
    QCOMPARE((QList<qint64>{next.small, next.big, next.ante, next.minutes}), after);
}

void TestStructure::layoutAndRoundTrip() {
    // The layout directors share and compare: keys in one order, a round a line.
    Structure structure;
    structure.name = u"Tab\t\"quoted\" caf\u00e9"_s;
    structure.ante = AnteKind::BigBlind;
    structure.rounds = {Level{25, 50, 0, 20}, Break{15, u"Colour up"_s}, Level{100, 200, 200, 20}};
    const QByteArray expected =
        "{\n  \"orvandel\": \"structure\",\n  \"version\": 1,\n"
        "  \"name\": \"Tab\\t\\\"quoted\\\" caf\xC3\xA9\",\n"
        "  \"ante\": \"bigBlind\",\n  \"rounds\": [\n"
        "    {\"small\": 25, \"big\": 50, \"minutes\": 20},\n"
        "    {\"break\": 15, \"note\": \"Colour up\"},\n"
        "    {\"small\": 100, \"big\": 200, \"ante\": 200, \"minutes\": 20}\n"
        "  ]\n}\n";
    QCOMPARE(formatStructure(structure), expected);
    // A byte-order mark inside text is text, at its start and after an escape.
    Structure marks = structure;
    marks.name = u"\uFEFFname"_s;
    marks.rounds[1] = Break{15, u"\uFEFF\uFEFFa\n\uFEFFb"_s};
    for (const Structure &s : {structure, marks, startingStructure()}) {
        const StructureRead again = parseStructure(formatStructure(s));
        QVERIFY2(again.ok(), qPrintable(again.error));
        QVERIFY(again.structure == s);
    }
    // The built-in structure keeps the rules and warns of nothing.
    QVERIFY(problems(startingStructure()).empty() && warnings(startingStructure()).empty());
}

void TestStructure::disk() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"structure.json"_s);
    const Structure first = startingStructure();
    QVERIFY(saveStructureFile(path, first).ok);
    QCOMPARE(openStructureOrTournament(path).structure, first);

    // Written beside and renamed over: a second name of the old file keeps
    // the old bytes whole, so no reader ever sees half a file.
#ifdef Q_OS_UNIX
    QCOMPARE(::link(QFile::encodeName(path).constData(),
                    QFile::encodeName(dir.filePath(u"old.json"_s)).constData()),
             0);
#else
    QVERIFY(QFile::copy(path, dir.filePath(u"old.json"_s)));
#endif
    Structure second = first;
    second.name = u"Second"_s;
    QVERIFY(saveStructureFile(path, second).ok);
    QCOMPARE(readStructureFile(path).structure.name, u"Second"_s);
    QCOMPARE(readStructureFile(dir.filePath(u"old.json"_s)).structure.name, first.name);
    QVERIFY(!saveStructureFile(dir.filePath(u"no/such/folder.json"_s), second).ok);

    QFile large(dir.filePath(u"large.json"_s));
    QVERIFY(large.open(QIODevice::WriteOnly) &&
            large.write(QByteArray(MaxStructureFileBytes + 1, ' ')) > 0);
    large.close();
    QCOMPARE(readStructureFile(large.fileName()).error,
             u"It is larger than 1 MiB, far larger than any structure."_s);
    QCOMPARE(readStructureFile(dir.path()).error,
             u"It cannot be read: it is a folder, not a file."_s);
    QCOMPARE(readStructureFile(dir.filePath(u"none.json"_s)).error,
             u"There is no file of that name."_s);
    ReadResult missing;
    missing.error = ReadError::NotFound;
    QCOMPARE(openStructureOrTournament(dir.filePath(u"blinds.dat"_s)).error,
             missing.message(u"blinds.dat"_s));
}

QTEST_APPLESS_MAIN(TestStructure)
#include "tst_structure.moc"
