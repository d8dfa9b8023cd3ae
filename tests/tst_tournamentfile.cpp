#include "setup/cp1252.h"
#include "setup/tournamentfile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>
#include <chrono>
#include <cstring>
#include <future>
#include <optional>
#include <thread>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace orvandel;
using namespace Qt::StringLiterals;
using testsupport::ExampleTournament;
using testsupport::tournamentFile;
using testsupport::writeFile;

Q_DECLARE_METATYPE(orvandel::Tournament)
Q_DECLARE_METATYPE(orvandel::ReadError)

namespace orvandel {
// Readable failure output for QCOMPARE.
char *toString(const Tournament &t) {
    QString text = u"count %1, minutes %2, levels ["_s.arg(t.levelCount).arg(t.levelMinutes);
    for (const LevelBlinds &level : t.levels)
        text += u" {%1|%2}"_s.arg(level.small, level.big);
    text += u" ], break %1 for %2"_s.arg(t.breakRound).arg(t.breakMinutes);
    return QTest::toString(text);
}
} // namespace orvandel

namespace {

using Pairs = std::vector<std::pair<QString, QString>>;

Tournament make(qint32 levelMinutes, const Pairs &levels, qint16 breakRound, qint32 breakMinutes) {
    Tournament t;
    t.levelCount = static_cast<qint16>(levels.size());
    t.levelMinutes = levelMinutes;
    for (const auto &[small, big] : levels)
        t.levels.push_back({small, big});
    t.breakRound = breakRound;
    t.breakMinutes = breakMinutes;
    return t;
}

// The tournament in testsupport::ExampleTournament.
Tournament example() {
    return make(20,
                {{u"$10"_s, u"$20"_s},
                 {u"$20"_s, u"$40"_s},
                 {u"Break"_s, u"Time!"_s},
                 {u"$50"_s, u"$100"_s}},
                3, 15);
}

// A file of `count` levels of 5 minutes, level 2 a break of 10 minutes, and
// the tournament it holds.
QByteArray countedFile(int count) {
    return tournamentFile(count, 5, 2, 10);
}

Tournament countedTournament(int count) {
    Pairs levels;
    for (int n = 1; n <= count; ++n) {
        if (n == 2)
            levels.emplace_back(u"Break"_s, u"Time!"_s);
        else
            levels.emplace_back(u"$"_s + QString::number(n) + u"0"_s,
                                u"$"_s + QString::number(n) + u"00"_s);
    }
    return make(5, levels, 2, 10);
}

// One level "$1"/"$2" with the given first and last lines.
QByteArray oneLevelFile(const QByteArray &first, const QByteArray &last) {
    return first + "\r\n\"$1\",\"$2\"\r\n" + last + "\r\n";
}

// One level with the given blind texts, as bytes, then "0,0".
QByteArray blindsFile(const QByteArray &small, const QByteArray &big) {
    return "1,5\r\n\"" + small + "\",\"" + big + "\"\r\n0,0\r\n";
}

const QByteArray Utf8Mark = "\xEF\xBB\xBF"_ba;

// The example tournament followed by padding up to `size` bytes; the reader
// ignores what follows the last field.
QByteArray paddedTo(qint64 size) {
    QByteArray bytes = ExampleTournament;
    bytes.append(static_cast<qsizetype>(size) - bytes.size(), 'x');
    return bytes;
}

const QString BlindsDat = u"blinds.dat"_s;

// What stands at blinds.dat in place of a plain file.
enum class Special {
    Pipe,
    LinkToPipe,
    LinkToZero,
    LinkToNull,
    Folder,
    Socket,
    LinkToFile,
    Dangling
};

} // namespace

Q_DECLARE_METATYPE(Special)

class TestTournamentFile : public QObject {
    Q_OBJECT

private slots:
    // Every test runs in a private working folder, as the program does.
    void init() { m_work.emplace(); }
    void cleanup() { m_work.reset(); }

    void format_data();
    void format();
    void parse_data();
    void parse();
    void parseErrors_data();
    void parseErrors();
    void messages_data();
    void messages();
    void roundTrip_data();
    void roundTrip();
    void cp1252Decode_data();
    void cp1252Decode();
    void cp1252EveryByteRoundTrips();
    void cp1252Encode_data();
    void cp1252Encode();
    void writableBlindText_data();
    void writableBlindText();
    void readFile();
    void writeFileReplacesOldFile();
    void writeFailsUnderRegularFile();
    void writeIntoReadOnlyFolderKeepsOldFile();
    void writeFailingMidwayKeepsOldFile();
    void writeRefusesUnwritableText();
    void readRefusals_data();
    void readRefusals();
    void readAccepted_data();
    void readAccepted();
    void readSpecialFiles_data();
    void readSpecialFiles();

private:
    std::optional<testsupport::WorkFolder> m_work;
};

void TestTournamentFile::format_data() {
    QTest::addColumn<Tournament>("tournament");
    QTest::addColumn<QByteArray>("bytes");

    // clang-format off
    QTest::newRow("four levels with a break") << example() << ExampleTournament;
    QTest::newRow("no levels, no break") << make(0, {}, 0, 0) << "0,0\r\n0,0\r\n"_ba;
    Tournament negative = make(-32768, {}, -5, -2147483647 - 1);
    negative.levelCount = -1;
    QTest::newRow("negative numbers") << negative << "-1,-32768\r\n-5,-2147483648\r\n"_ba;
    QTest::newRow("largest numbers") << make(32767, {{u"$1"_s, u"$2"_s}}, 32767, 2147483647) << "1,32767\r\n\"$1\",\"$2\"\r\n32767,2147483647\r\n"_ba;
    QTest::newRow("texts kept as typed") << make(10, {{u"$1,000"_s, u"$ 20 "_s}, {u"$"_s, u"$$5"_s}, {QString(), u"Time!"_s}}, 0, 0) << "3,10\r\n\"$1,000\",\"$ 20 \"\r\n\"$\",\"$$5\"\r\n\"\",\"Time!\"\r\n0,0\r\n"_ba;
    QTest::newRow("Windows-1252 texts") << make(10, {{u"\u20AC5"_s, u"\u00A33"_s}, {u"\u0178"_s, u"\u00FF"_s}}, 0, 0) << "2,10\r\n\"\x80" "5\",\"\xA3" "3\"\r\n\"\x9F\",\"\xFF\"\r\n0,0\r\n"_ba;
    // clang-format on
}

void TestTournamentFile::format() {
    QFETCH(Tournament, tournament);
    QFETCH(QByteArray, bytes);
    QCOMPARE(formatTournament(tournament), bytes);
}

void TestTournamentFile::parse_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Tournament>("expected");

    const Tournament one = make(5, {{u"$1"_s, u"$2"_s}}, 0, 0);

    // clang-format off
    QTest::newRow("four levels with a break") << ExampleTournament << example();
    QTest::newRow("one level") << countedFile(1) << countedTournament(1);
    QTest::newRow("ten levels") << countedFile(10) << countedTournament(10);
    QTest::newRow("last line end missing") << ExampleTournament.chopped(2) << example();
    QTest::newRow("line feeds only") << QByteArray(ExampleTournament).replace("\r\n", "\n") << example();
    QTest::newRow("carriage returns only") << QByteArray(ExampleTournament).replace("\r\n", "\r") << example();
    QTest::newRow("everything on one line") << QByteArray(ExampleTournament).replace("\r\n", ",") << example();
    QTest::newRow("data after the last field ignored") << ExampleTournament + "junk\r\n" << example();

    QTest::newRow("comma inside quotes") << "1,5\r\n\"$1,000\",\"$2,000\"\r\n0,0\r\n"_ba << make(5, {{u"$1,000"_s, u"$2,000"_s}}, 0, 0);
    QTest::newRow("blanks inside quotes kept") << "1,5\r\n\"$ 20\",\" $40 \"\r\n0,0\r\n"_ba << make(5, {{u"$ 20"_s, u" $40 "_s}}, 0, 0);
    QTest::newRow("dollar alone") << "1,5\r\n\"$\",\"$40\"\r\n0,0\r\n"_ba << make(5, {{u"$"_s, u"$40"_s}}, 0, 0);
    QTest::newRow("empty texts") << "1,5\r\n\"\",\"\"\r\n0,0\r\n"_ba << make(5, {{QString(), QString()}}, 0, 0);
    QTest::newRow("unquoted texts") << "1,5\r\n$10,Time!\r\n0,0\r\n"_ba << make(5, {{u"$10"_s, u"Time!"_s}}, 0, 0);
    QTest::newRow("unquoted empty texts") << "1,5\r\n,\r\n0,0\r\n"_ba << make(5, {{QString(), QString()}}, 0, 0);
    QTest::newRow("blanks before fields skipped") << "  1 ,  5\r\n   \"$1\",   $2\r\n 0 , 0\r\n"_ba << one;
    QTest::newRow("text after closing quote dropped") << "1,5\r\n\"$1\"xx,\"$2\" yy\r\n0,0\r\n"_ba << one;
    QTest::newRow("Windows-1252 texts") << "1,5\r\n\"\x80" "5\",\"\xA3" "3\x81\"\r\n0,0\r\n"_ba << make(5, {{u"\u20AC5"_s, u"\u00A33\u0081"_s}}, 0, 0);

    QTest::newRow("numbers without a number read 0") << "1,abc\r\n\"$1\",\"$2\"\r\nx,$9\r\n"_ba << make(0, {{u"$1"_s, u"$2"_s}}, 0, 0);
    QTest::newRow("number followed by text") << oneLevelFile("1,5min"_ba, "2x,10y"_ba) << make(5, {{u"$1"_s, u"$2"_s}}, 2, 10);
    QTest::newRow("a blank separates numbers") << oneLevelFile("1 20"_ba, "0 5"_ba) << make(20, {{u"$1"_s, u"$2"_s}}, 0, 5);
    QTest::newRow("blanks then a comma after a number") << oneLevelFile("1  ,20"_ba, "0 ,5"_ba) << make(20, {{u"$1"_s, u"$2"_s}}, 0, 5);
    QTest::newRow("numbers rounded half to even") << oneLevelFile("1.4,2.5"_ba, "0.5,3.5"_ba) << make(2, {{u"$1"_s, u"$2"_s}}, 0, 4);
    QTest::newRow("level count 1.5 rounds to 2") << "1.5,5\r\n\"a\",\"b\"\r\n\"c\",\"d\"\r\n0,0\r\n"_ba << make(5, {{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}}, 0, 0);
    QTest::newRow("longest lengths") << oneLevelFile("1,32767"_ba, "-32768,32767"_ba) << make(32767, {{u"$1"_s, u"$2"_s}}, -32768, 32767);
    QTest::newRow("shortest lengths") << oneLevelFile("1,0"_ba, "32767,0"_ba) << make(0, {{u"$1"_s, u"$2"_s}}, 32767, 0);
    QTest::newRow("negative break level") << oneLevelFile("1,5"_ba, "-32768,5"_ba) << make(5, {{u"$1"_s, u"$2"_s}}, -32768, 5);
    // clang-format on
}

void TestTournamentFile::parse() {
    QFETCH(QByteArray, bytes);
    QFETCH(Tournament, expected);
    const ReadResult result = parseTournament(bytes);
    QVERIFY2(result.ok(), qPrintable(result.message()));
    QCOMPARE(result.tournament, expected);
}

void TestTournamentFile::parseErrors_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ReadError>("error");
    QTest::addColumn<QString>("mentions"); // what the message must point at

    const ReadError ends = ReadError::EndsEarly;
    // clang-format off
    QTest::newRow("empty file") << QByteArray() << ends << u"level count"_s;
    QTest::newRow("blanks only") << "   "_ba << ends << u"level count"_s;
    QTest::newRow("level length missing") << "4\r\n"_ba << ends << u"level length"_s;
    QTest::newRow("level lines missing") << "4,20\r\n"_ba << ends << u"small blind of level 1"_s;
    QTest::newRow("big blind missing") << "4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"Break\""_ba << ends << u"big blind of level 3"_s;
    QTest::newRow("last line missing") << ExampleTournament.chopped(6) << ends << u"break level"_s;
    QTest::newRow("break length missing") << ExampleTournament.chopped(5) << ends << u"break length"_s;
    QTest::newRow("break length empty at the end") << ExampleTournament.chopped(4) << ends << u"break length"_s;
    QTest::newRow("break length only blanks") << ExampleTournament.chopped(4) + "   " << ends << u"break length"_s;
    QTest::newRow("unclosed quote swallows the rest") << "1,5\r\n\"$1\",\"$2\r\n0,0\r\n"_ba << ends << u"break level"_s;
    QTest::newRow("fewer level lines than declared") << countedFile(3).replace("3,5", "4,5") << ends << u"break level"_s;

    const ReadError count = ReadError::LevelCountOutOfRange;
    QTest::newRow("no levels") << "0,20\r\n0,0\r\n"_ba << count << u"0 levels"_s;
    QTest::newRow("empty level count") << ",20\r\n0,0\r\n"_ba << ReadError::NoLevelCount << u"does not start with the number of levels"_s;
    QTest::newRow("level count rounds to 0") << "0.5,20\r\n0,0\r\n"_ba << count << u"0 levels"_s;
    QTest::newRow("negative level count") << "-1,20\r\n0,0\r\n"_ba << count << u"-1 levels"_s;
    QTest::newRow("eleven levels") << countedFile(11) << count << u"11 levels"_s;
    QTest::newRow("checked before the level lines") << "12,20\r\n"_ba << count << u"12 levels"_s;

    const ReadError range = ReadError::NumberOutOfRange;
    QTest::newRow("level count beyond 16 bits") << "70000,20\r\n"_ba << range << u"level count of 70000"_s;
    QTest::newRow("level count rounds beyond 16 bits") << "32767.5,20\r\n"_ba << range << u"level count of 32767.5"_s;
    QTest::newRow("level count infinite") << "1e999,20\r\n"_ba << range << u"level count"_s;
    QTest::newRow("level length 70000") << oneLevelFile("1,70000"_ba, "0,0"_ba) << range << u"level length of 70000"_s;
    QTest::newRow("level length 32768") << oneLevelFile("1,32768"_ba, "0,0"_ba) << range << u"level length of 32768"_s;
    QTest::newRow("level length -32769") << oneLevelFile("1,-32769"_ba, "0,0"_ba) << ReadError::NegativeLength << u"level length of -32769"_s;
    QTest::newRow("level length beyond 32 bits") << oneLevelFile("1,3000000000"_ba, "0,0"_ba) << range << u"level length"_s;
    QTest::newRow("break level beyond 16 bits") << oneLevelFile("1,5"_ba, "40000,5"_ba) << range << u"break level of 40000"_s;
    QTest::newRow("break length 40000") << oneLevelFile("1,5"_ba, "2,40000"_ba) << range << u"break length of 40000"_s;
    QTest::newRow("break length beyond 32 bits") << oneLevelFile("1,5"_ba, "2,&H100000000"_ba) << range << u"break length"_s;
    // clang-format on
}

void TestTournamentFile::parseErrors() {
    QFETCH(QByteArray, bytes);
    QFETCH(ReadError, error);
    QFETCH(QString, mentions);
    const ReadResult result = parseTournament(bytes);
    QCOMPARE(result.error, error);
    QVERIFY(!result.ok());
    const QString message = result.message();
    QVERIFY2(message.startsWith(u"blinds.dat "_s), qPrintable(message));
    QVERIFY2(message.contains(mentions), qPrintable(message));
}

void TestTournamentFile::messages_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("message");

    // clang-format off
    QTest::newRow("ends early") << "4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"Break\""_ba << u"blinds.dat"_s << u"blinds.dat ends before all of the tournament has been read (the big blind of level " "3 is missing)."_s;
    QTest::newRow("too many levels") << "12,20\r\n"_ba << u"blinds.dat"_s << u"blinds.dat declares 12 levels; the clock runs 1 to 10 levels."_s;
    QTest::newRow("level length too long") << oneLevelFile("1,40000"_ba, "0,0"_ba) << u"blinds.dat"_s << u"blinds.dat holds a level length of 40000 minutes; the clock runs lengths up to " "32767 minutes."_s;
    QTest::newRow("break length too short") << oneLevelFile("1,5"_ba, "2,-40000"_ba) << u"old.dat"_s << u"old.dat holds a break length of -40000 minutes; a length cannot be negative."_s;
    QTest::newRow("no level count") << "x,20\r\n"_ba << u"old.dat"_s << u"old.dat does not start with the number of levels"_s;
    QTest::newRow("blind text too long") << blindsFile("$1", QByteArray(65, '9')) << u"old.dat"_s << u"old.dat holds a blind text longer than 64 characters: the big blind of level 1 " "(\"999999999999999999999999...\")."_s;
    QTest::newRow("long field text cut short") << "1,9999999999999999999999999999999999\r\n"_ba << u"blinds.dat"_s << u"blinds.dat holds a level length of 999999999999999999999999... minutes; the clock " "runs lengths up to 32767 minutes."_s;
    QTest::newRow("read fine") << ExampleTournament << u"blinds.dat"_s << QString();
    // clang-format on
}

void TestTournamentFile::messages() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fileName);
    QFETCH(QString, message);
    QCOMPARE(parseTournament(bytes).message(fileName), message);
}

void TestTournamentFile::roundTrip_data() {
    QTest::addColumn<Tournament>("tournament");

    // clang-format off
    QTest::newRow("four levels with a break") << example();
    QTest::newRow("ten levels") << countedTournament(10);
    QTest::newRow("extreme numbers") << make(0, {{u"$1"_s, u"$2"_s}}, -32768, 32767);
    QTest::newRow("other extremes") << make(32767, {{u"$1"_s, u"$2"_s}}, 32767, 0);
    QTest::newRow("awkward texts") << make(15, {{u"$1,000"_s, u"$ 2,000 "_s}, {u"$"_s, QString()}, {u"  "_s, u",,,"_s}, {u"$\u20AC5 \u00A33"_s, u"\u0081\u008D\u008F\u0090\u009D"_s}, {u"'single'"_s, u"tab\there"_s}}, 0, 0);
    // clang-format on
}

void TestTournamentFile::roundTrip() {
    QFETCH(Tournament, tournament);
    const ReadResult result = parseTournament(formatTournament(tournament));
    QVERIFY2(result.ok(), qPrintable(result.message()));
    QCOMPARE(result.tournament, tournament);
}

void TestTournamentFile::cp1252Decode_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");

    // clang-format off
    QTest::newRow("ASCII") << 0x41 << 0x41;
    QTest::newRow("NUL") << 0x00 << 0x00;
    QTest::newRow("DEL") << 0x7F << 0x7F;
    QTest::newRow("euro sign") << 0x80 << 0x20AC;
    QTest::newRow("unassigned 0x81") << 0x81 << 0x81;
    QTest::newRow("low quotation mark") << 0x82 << 0x201A;
    QTest::newRow("caron S") << 0x8A << 0x0160;
    QTest::newRow("unassigned 0x8D") << 0x8D << 0x8D;
    QTest::newRow("caron Z") << 0x8E << 0x017D;
    QTest::newRow("unassigned 0x8F") << 0x8F << 0x8F;
    QTest::newRow("unassigned 0x90") << 0x90 << 0x90;
    QTest::newRow("left double quotation mark") << 0x93 << 0x201C;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("unassigned 0x9D") << 0x9D << 0x9D;
    QTest::newRow("diaeresis Y") << 0x9F << 0x0178;
    QTest::newRow("no-break space") << 0xA0 << 0xA0;
    QTest::newRow("pound sign") << 0xA3 << 0xA3;
    QTest::newRow("y with diaeresis") << 0xFF << 0xFF;
    // clang-format on
}

void TestTournamentFile::cp1252Decode() {
    QFETCH(int, byte);
    QFETCH(int, unicode);
    const QByteArray bytes(1, static_cast<char>(byte));
    const QString text = cp1252::decode(bytes);
    QCOMPARE(text.size(), 1);
    QCOMPARE(int(text.at(0).unicode()), unicode);
    QCOMPARE(cp1252::encode(text), std::optional<QByteArray>(bytes));
}

void TestTournamentFile::cp1252EveryByteRoundTrips() {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const QString text = cp1252::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(cp1252::encode(text), std::optional<QByteArray>(all));
}

void TestTournamentFile::cp1252Encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("encodable");

    // clang-format off
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("ASCII") << u"$1,000"_s << true;
    QTest::newRow("euro and pound") << u"\u20AC5 \u00A33"_s << true;
    QTest::newRow("A with macron") << u"\u0100"_s << false;
    QTest::newRow("o with double acute") << u"\u0151"_s << false;
    QTest::newRow("line separator") << u"a\u2028b"_s << false;
    QTest::newRow("emoji") << u"$\U0001F0A1"_s << false;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << false;
    QTest::newRow("last character refused") << u"$100\u4E00"_s << false;
    // clang-format on
}

void TestTournamentFile::cp1252Encode() {
    QFETCH(QString, text);
    QFETCH(bool, encodable);
    const std::optional<QByteArray> bytes = cp1252::encode(text);
    QCOMPARE(bytes.has_value(), encodable);
    if (encodable)
        QCOMPARE(cp1252::decode(*bytes), text);
}

void TestTournamentFile::writableBlindText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("writable");

    // clang-format off
    QTest::newRow("amount") << u"$10"_s << true;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("comma and blanks") << u"$ 1,000 "_s << true;
    QTest::newRow("euro sign") << u"\u20AC5"_s << true;
    QTest::newRow("pound sign") << u"\u00A35"_s << true;
    QTest::newRow("tab") << u"$\t5"_s << true;
    QTest::newRow("double quote") << u"$5\"x"_s << false;
    QTest::newRow("carriage return") << u"$5\r"_s << false;
    QTest::newRow("line feed") << u"$5\n6"_s << false;
    QTest::newRow("outside Windows-1252") << u"$\u0100"_s << false;
    QTest::newRow("emoji") << u"\U0001F0A1"_s << false;
    // clang-format on
}

void TestTournamentFile::writableBlindText() {
    QFETCH(QString, text);
    QFETCH(bool, writable);
    QCOMPARE(isWritableBlindText(text), writable);
}

void TestTournamentFile::readFile() {
    const ReadResult missing = readTournamentFile(BlindsDat);
    QCOMPARE(missing.error, ReadError::NotFound);
    QCOMPARE(missing.message(), u"blinds.dat was not found in the working folder."_s);

    const ReadResult folder = readTournamentFile(QDir::currentPath());
    QCOMPARE(folder.error, ReadError::CannotOpen);
    QVERIFY2(!folder.detail.isEmpty(), "the reason should be given");
    QVERIFY(folder.message().startsWith(u"blinds.dat could not be opened: "_s));

    QVERIFY(writeFile(ExampleTournament));
    const ReadResult read = readTournamentFile(BlindsDat);
    QVERIFY2(read.ok(), qPrintable(read.message()));
    QCOMPARE(read.tournament, example());

    // The file must be closed again: removing it then works even where an
    // open file could not be removed, and nothing keeps it alive.
    QVERIFY(QFile::remove(BlindsDat));
    QCOMPARE(readTournamentFile(BlindsDat).error, ReadError::NotFound);

    QVERIFY(writeFile("4,20\r\n"_ba));
    QCOMPARE(readTournamentFile(BlindsDat).error, ReadError::EndsEarly);
}

void TestTournamentFile::writeFileReplacesOldFile() {
    const WriteResult created = writeTournamentFile(BlindsDat, countedTournament(10));
    QVERIFY2(created.ok, qPrintable(created.reason));
    QCOMPARE(testsupport::readFile(), countedFile(10));

    // A shorter file replaces a longer one whole, with nothing left over.
    const WriteResult replaced = writeTournamentFile(BlindsDat, example());
    QVERIFY2(replaced.ok, qPrintable(replaced.reason));
    QCOMPARE(testsupport::readFile(), ExampleTournament);
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{BlindsDat});
}

void TestTournamentFile::writeFailsUnderRegularFile() {
    const QString notAFolder = u"plain"_s;
    QVERIFY(writeFile("x"_ba, notAFolder));

    const WriteResult result = writeTournamentFile(notAFolder + u"/blinds.dat"_s, example());
    QVERIFY(!result.ok);
    QVERIFY2(!result.reason.isEmpty(), "the reason should be given");
    QCOMPARE(testsupport::readFile(notAFolder), "x"_ba);
}

void TestTournamentFile::writeIntoReadOnlyFolderKeepsOldFile() {
    QVERIFY(writeFile(ExampleTournament));

    QFile folder(m_work->path());
    const QFileDevice::Permissions before = folder.permissions();
    QVERIFY(folder.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const auto restore = qScopeGuard([&] { folder.setPermissions(before); });

    // Permission bits do not bind every user (root); find out rather than guess.
    QFile probe(u"probe"_s);
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        QSKIP("This user can write into a read-only folder (root?), so no failure can be forced "
              "this way; writeFailingMidwayKeepsOldFile covers the same promise.");
    }

    const WriteResult result = writeTournamentFile(BlindsDat, countedTournament(10));
    QVERIFY(!result.ok);
    QVERIFY2(!result.reason.isEmpty(), "the reason should be given");
    QCOMPARE(testsupport::readFile(), ExampleTournament);
}

void TestTournamentFile::writeFailingMidwayKeepsOldFile() {
#ifdef Q_OS_UNIX
    QVERIFY(writeFile(ExampleTournament));

    // A file-size limit makes the new file's write fail part way, for any
    // user; the signal it raises is ignored so the write just reports EFBIG.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 8;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    WriteResult result;
    {
        const auto restore = qScopeGuard([&] {
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);
        });
        result = writeTournamentFile(BlindsDat, countedTournament(10));
    }

    QVERIFY(!result.ok);
    QVERIFY2(!result.reason.isEmpty(), "the reason should be given");
    QCOMPARE(testsupport::readFile(), ExampleTournament);
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{BlindsDat});
#else
    QSKIP("Needs a POSIX file-size limit to force the failure.");
#endif
}

void TestTournamentFile::writeRefusesUnwritableText() {
    QVERIFY(writeFile(ExampleTournament));

    for (const QString &text : {u"$5\"x"_s, u"$\u0100"_s, u"$5\r\n"_s}) {
        const WriteResult result =
            writeTournamentFile(BlindsDat, make(5, {{u"$1"_s, u"$2"_s}, {u"$3"_s, text}}, 0, 0));
        QVERIFY2(!result.ok, qPrintable(text));
        QVERIFY2(!result.reason.isEmpty(), "the reason should be given");
        QCOMPARE(testsupport::readFile(), ExampleTournament);
    }
}

// Hand-edited files: what the reader refuses, read from blinds.dat on disk,
// with the exact message the opening screen shows.
void TestTournamentFile::readRefusals_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ReadError>("error");
    QTest::addColumn<QString>("message");

    const ReadError negative = ReadError::NegativeLength;
    const ReadError noCount = ReadError::NoLevelCount;
    const ReadError tooLong = ReadError::BlindTextTooLong;
    const QString noCountText = u"blinds.dat does not start with the number of levels"_s;
    const auto negativeText = [](const char *length) {
        return u"blinds.dat holds a %1 minutes; a length cannot be negative."_s.arg(
            QLatin1String(length));
    };
    const auto tooLongText = [](const char *field, const QString &start) {
        return u"blinds.dat holds a blind text longer than 64 characters: the %1 (\"%2...\")."_s
            .arg(QLatin1String(field), start);
    };
    const QByteArray card = "\xF0\x9F\x82\xA1"_ba; // U+1F0A1, beyond 16 bits
    const QString cards12 = QString(u"\U0001F0A1"_s).repeated(12);

    // clang-format off
    QTest::newRow("level length -1") << oneLevelFile("1,-1", "0,0") << negative << negativeText("level length of -1");
    QTest::newRow("level length -32768") << oneLevelFile("1,-32768", "0,0") << negative << negativeText("level length of -32768");
    QTest::newRow("level length -0.6 rounds to -1") << oneLevelFile("1,-0.6", "0,0") << negative << negativeText("level length of -0.6");
    QTest::newRow("level length beyond 32 bits below 0") << oneLevelFile("1,-3000000000", "0,0") << negative << negativeText("level length of -3000000000");
    QTest::newRow("level length -infinity") << oneLevelFile("1,-1e999", "0,0") << negative << negativeText("level length of -1e999");
    QTest::newRow("break length -1") << oneLevelFile("1,5", "2,-1") << negative << negativeText("break length of -1");
    QTest::newRow("break length -40000") << oneLevelFile("1,5", "2,-40000") << negative << negativeText("break length of -40000");
    QTest::newRow("break length -15 without a break") << oneLevelFile("1,5", "0,-15") << negative << negativeText("break length of -15");
    QTest::newRow("break length -1 in a UTF-8 file") << Utf8Mark + oneLevelFile("1,5", "2,-1") << negative << negativeText("break length of -1");

    QTest::newRow("empty first field") << ",20\r\n0,0\r\n"_ba << noCount << noCountText;
    QTest::newRow("word first") << "levels,20\r\n\"$1\",\"$2\"\r\n0,0\r\n"_ba << noCount << noCountText;
    QTest::newRow("amount first") << "$4,20\r\n"_ba + ExampleTournament << noCount << noCountText;
    QTest::newRow("blank first line") << "\r\n"_ba + ExampleTournament << noCount << noCountText;
    QTest::newRow("blanks then a line end") << "   \r\n"_ba + ExampleTournament << noCount << noCountText;
    QTest::newRow("hex marker without digits") << "&H,20\r\n0,0\r\n"_ba << noCount << noCountText;
    QTest::newRow("sign without digits") << "-,20\r\n0,0\r\n"_ba << noCount << noCountText;
    QTest::newRow("UTF-16 file") << "\xFF\xFE""4\x00,\x00""2\x00""0\x00"_ba << noCount << noCountText;
    QTest::newRow("UTF-8 mark twice") << Utf8Mark + Utf8Mark + ExampleTournament << noCount << noCountText;
    QTest::newRow("UTF-8 mark alone") << Utf8Mark << ReadError::EndsEarly << u"blinds.dat ends before all of the tournament has been read (the level count is missing)."_s;
    QTest::newRow("0 levels still counted") << "0,20\r\n0,0\r\n"_ba << ReadError::LevelCountOutOfRange << u"blinds.dat declares 0 levels; the clock runs 1 to 10 levels."_s;

    QTest::newRow("small blind of 65 characters") << blindsFile("$" + QByteArray(64, 'x'), "$2") << tooLong << tooLongText("small blind of level 1", u"$"_s + QString(23, u'x'));
    QTest::newRow("big blind of level 3") << "3,5\r\n\"$1\",\"$2\"\r\n\"$3\",\"$4\"\r\n\"$5\",\"" + QByteArray(70, '6') + "\"\r\n0,0\r\n" << tooLong << tooLongText("big blind of level 3", QString(24, u'6'));
    QTest::newRow("unquoted text of 65 characters") << "1,5\r\n" + QByteArray(65, 'a') + ",$2\r\n0,0\r\n" << tooLong << tooLongText("small blind of level 1", QString(24, u'a'));
    QTest::newRow("65 euro signs in UTF-8") << Utf8Mark + blindsFile("\xE2\x82\xAC"_ba.repeated(65), "$2") << tooLong << tooLongText("small blind of level 1", QString(24, u'\u20AC'));
    QTest::newRow("65 cards beyond 16 bits") << Utf8Mark + blindsFile("$" + card.repeated(65), "$2") << tooLong << tooLongText("small blind of level 1", u"$"_s + QString(cards12).chopped(2));

    QTest::newRow("one byte over 1 MiB") << paddedTo(MaxTournamentFileBytes + 1) << ReadError::TooLarge << u"blinds.dat is larger than 1 MiB, far too large for a tournament file."_s;
    QTest::newRow("3 MiB") << paddedTo(3 * MaxTournamentFileBytes) << ReadError::TooLarge << u"blinds.dat is larger than 1 MiB, far too large for a tournament file."_s;
    // clang-format on
}

void TestTournamentFile::readRefusals() {
    QFETCH(QByteArray, bytes);
    QFETCH(ReadError, error);
    QFETCH(QString, message);
    QVERIFY(writeFile(bytes));
    const ReadResult read = readTournamentFile(BlindsDat);
    QCOMPARE(read.error, error);
    QCOMPARE(read.message(), message);
}

// The other side of each refusal: what the reader still takes.
void TestTournamentFile::readAccepted_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Tournament>("expected");

    const QByteArray card = "\xF0\x9F\x82\xA1"_ba;
    const auto oneLevel = [](const QString &small, const QString &big) {
        return make(5, {{small, big}}, 0, 0);
    };

    // clang-format off
    QTest::newRow("zero-minute level and break") << oneLevelFile("1,0", "2,0") << make(0, {{u"$1"_s, u"$2"_s}}, 2, 0);
    QTest::newRow("lengths just below 0 round to 0") << oneLevelFile("1,-0.4", "2,-0.5") << make(0, {{u"$1"_s, u"$2"_s}}, 2, 0);
    QTest::newRow("UTF-8 texts behind the mark") << Utf8Mark + "2,15\r\n\"\xE2\x82\xAC""10\",\"\xC3\xBC""20\"\r\n\"Break\",\"Time!\"\r\n2,10\r\n" << make(15, {{u"\u20AC10"_s, u"\u00FC20"_s}, {u"Break"_s, u"Time!"_s}}, 2, 10);
    QTest::newRow("the example behind the mark") << Utf8Mark + ExampleTournament << example();
    QTest::newRow("blanks after the mark") << Utf8Mark + "  " + ExampleTournament << example();
    QTest::newRow("UTF-8 without the mark is Windows-1252") << blindsFile("\xE2\x82\xAC""10", "$2") << oneLevel(u"\u00E2\u201A\u00AC10"_s, u"$2"_s);
    QTest::newRow("mark inside a later field is text") << blindsFile(Utf8Mark + "$1", "$2") << oneLevel(u"\u00EF\u00BB\u00BF$1"_s, u"$2"_s);
    QTest::newRow("bad UTF-8 behind the mark") << Utf8Mark + blindsFile("\xFF""5", "$2") << oneLevel(u"\uFFFD""5"_s, u"$2"_s);
    QTest::newRow("blind of 64 characters") << blindsFile("$" + QByteArray(63, 'x'), QByteArray(64, '9')) << oneLevel(u"$"_s + QString(63, u'x'), QString(64, u'9'));
    QTest::newRow("64 euro signs in UTF-8") << Utf8Mark + blindsFile("\xE2\x82\xAC"_ba.repeated(64), "$2") << oneLevel(QString(64, u'\u20AC'), u"$2"_s);
    QTest::newRow("64 cards beyond 16 bits") << Utf8Mark + blindsFile(card.repeated(64), "$2") << oneLevel(QString(u"\U0001F0A1"_s).repeated(64), u"$2"_s);
    QTest::newRow("64 Windows-1252 euro signs") << blindsFile(QByteArray(64, '\x80'), "$2") << oneLevel(QString(64, u'\u20AC'), u"$2"_s);
    QTest::newRow("exactly 1 MiB") << paddedTo(MaxTournamentFileBytes) << example();
    // clang-format on
}

void TestTournamentFile::readAccepted() {
    QFETCH(QByteArray, bytes);
    QFETCH(Tournament, expected);
    QVERIFY(writeFile(bytes));
    const ReadResult read = readTournamentFile(BlindsDat);
    QVERIFY2(read.ok(), qPrintable(read.message()));
    QCOMPARE(read.tournament, expected);
}

// What stands at blinds.dat in place of a file: the reader must neither wait
// on a named pipe nor read a device without end.
void TestTournamentFile::readSpecialFiles_data() {
    QTest::addColumn<Special>("special");
    QTest::addColumn<ReadError>("error");
    QTest::addColumn<QString>("message");

    const ReadError refused = ReadError::CannotOpen;
    // clang-format off
    QTest::newRow("named pipe") << Special::Pipe << refused << u"blinds.dat could not be opened: it is a named pipe, not a file."_s;
    QTest::newRow("link to a named pipe") << Special::LinkToPipe << refused << u"blinds.dat could not be opened: it is a named pipe, not a file."_s;
    QTest::newRow("link to /dev/zero") << Special::LinkToZero << refused << u"blinds.dat could not be opened: it is a device, not a file."_s;
    QTest::newRow("link to /dev/null") << Special::LinkToNull << refused << u"blinds.dat could not be opened: it is a device, not a file."_s;
    QTest::newRow("folder") << Special::Folder << refused << u"blinds.dat could not be opened: it is a folder, not a file."_s;
    QTest::newRow("socket") << Special::Socket << refused << u"blinds.dat could not be opened: it is a socket, not a file."_s;
    QTest::newRow("link to a tournament file") << Special::LinkToFile << ReadError::None << QString();
    QTest::newRow("link to nothing") << Special::Dangling << ReadError::NotFound << u"blinds.dat was not found in the working folder."_s;
    // clang-format on
}

void TestTournamentFile::readSpecialFiles() {
#ifdef Q_OS_UNIX
    QFETCH(Special, special);
    QFETCH(ReadError, error);
    QFETCH(QString, message);

    int socketFd = -1;
    const auto closeSocket = qScopeGuard([&] {
        if (socketFd >= 0)
            ::close(socketFd);
    });
    switch (special) {
    case Special::Pipe:
        QCOMPARE(::mkfifo("blinds.dat", 0600), 0);
        break;
    case Special::LinkToPipe:
        QCOMPARE(::mkfifo("pipe", 0600), 0);
        QVERIFY(QFile::link(u"pipe"_s, BlindsDat));
        break;
    case Special::LinkToZero:
        QVERIFY(QFile::link(u"/dev/zero"_s, BlindsDat));
        break;
    case Special::LinkToNull:
        QVERIFY(QFile::link(u"/dev/null"_s, BlindsDat));
        break;
    case Special::Folder:
        QVERIFY(QDir().mkdir(BlindsDat));
        break;
    case Special::Socket: {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(socketFd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, "blinds.dat");
        QCOMPARE(::bind(socketFd, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
        break;
    }
    case Special::LinkToFile:
        QVERIFY(writeFile(ExampleTournament, u"real.dat"_s));
        QVERIFY(QFile::link(u"real.dat"_s, BlindsDat));
        break;
    case Special::Dangling:
        QVERIFY(QFile::link(u"gone.dat"_s, BlindsDat));
        break;
    }

    // The reader runs on a thread of its own, so that one stuck on the pipe
    // fails this test instead of hanging the run: a writer's open releases a
    // reader waiting to open the pipe, and the writer's close ends its read.
    std::packaged_task<ReadResult()> task([] { return readTournamentFile(BlindsDat); });
    std::future<ReadResult> done = task.get_future();
    std::thread reader(std::move(task));
    const auto joinReader = qScopeGuard([&] { reader.join(); });
    if (done.wait_for(std::chrono::seconds(3)) != std::future_status::ready) {
        for (const char *pipe : {"blinds.dat", "pipe"}) {
            const int writer = ::open(pipe, O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        // A reader lost in a device cannot be stopped; end the run at once.
        if (done.wait_for(std::chrono::seconds(1)) != std::future_status::ready)
            qFatal("readTournamentFile has not returned");
        QFAIL("readTournamentFile waited on the named pipe until a writer came");
    }
    const ReadResult read = done.get();
    QCOMPARE(read.error, error);
    QCOMPARE(read.message(), message);
    if (read.ok())
        QCOMPARE(read.tournament, example());
#else
    QSKIP("Named pipes, devices and sockets at a file name are POSIX matters.");
#endif
}

QTEST_APPLESS_MAIN(TestTournamentFile)
#include "tst_tournamentfile.moc"
