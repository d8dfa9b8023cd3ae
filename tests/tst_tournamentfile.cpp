#include "setup/cp1252.h"
#include "setup/tournamentfile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace orvandel;
using namespace Qt::StringLiterals;

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

// Four levels of 20 minutes, level 3 a break of 15 minutes.
Tournament example() {
    return make(20,
                {{u"$10"_s, u"$20"_s},
                 {u"$20"_s, u"$40"_s},
                 {u"Break"_s, u"Time!"_s},
                 {u"$50"_s, u"$100"_s}},
                3, 15);
}

const QByteArray ExampleBytes =
    "4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"Break\",\"Time!\"\r\n"
    "\"$50\",\"$100\"\r\n3,15\r\n"_ba;

// A file of `count` levels whose blinds are $n and $2n.
QByteArray countedFile(int count) {
    QByteArray bytes = QByteArray::number(count) + ",5\r\n";
    for (int n = 1; n <= count; ++n)
        bytes += "\"$" + QByteArray::number(n) + "\",\"$" + QByteArray::number(2 * n) + "\"\r\n";
    return bytes + "2,10\r\n";
}

Tournament countedTournament(int count) {
    Pairs levels;
    for (int n = 1; n <= count; ++n)
        levels.emplace_back(u"$"_s + QString::number(n), u"$"_s + QString::number(2 * n));
    return make(5, levels, 2, 10);
}

// One level "$1"/"$2" with the given first and last lines.
QByteArray oneLevelFile(const QByteArray &first, const QByteArray &last) {
    return first + "\r\n\"$1\",\"$2\"\r\n" + last + "\r\n";
}

QByteArray readAll(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(unreadable)"_ba;
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestTournamentFile : public QObject {
    Q_OBJECT

private slots:
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
};

void TestTournamentFile::format_data() {
    QTest::addColumn<Tournament>("tournament");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("four levels with a break") << example() << ExampleBytes;
    QTest::newRow("no levels, no break") << make(0, {}, 0, 0) << "0,0\r\n0,0\r\n"_ba;
    Tournament negative = make(-32768, {}, -5, -2147483647 - 1);
    negative.levelCount = -1;
    QTest::newRow("negative numbers") << negative << "-1,-32768\r\n-5,-2147483648\r\n"_ba;
    QTest::newRow("largest numbers") << make(32767, {{u"$1"_s, u"$2"_s}}, 32767, 2147483647)
                                     << "1,32767\r\n\"$1\",\"$2\"\r\n32767,2147483647\r\n"_ba;
    QTest::newRow("texts kept as typed")
        << make(10, {{u"$1,000"_s, u"$ 20 "_s}, {u"$"_s, u"$$5"_s}, {QString(), u"Time!"_s}}, 0, 0)
        << "3,10\r\n\"$1,000\",\"$ 20 \"\r\n\"$\",\"$$5\"\r\n\"\",\"Time!\"\r\n0,0\r\n"_ba;
    QTest::newRow("Windows-1252 texts")
        << make(10, {{u"\u20AC5"_s, u"\u00A33"_s}, {u"\u0178"_s, u"\u00FF"_s}}, 0, 0)
        << "2,10\r\n\"\x80"
           "5\",\"\xA3"
           "3\"\r\n\"\x9F\",\"\xFF\"\r\n0,0\r\n"_ba;
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

    QTest::newRow("four levels with a break") << ExampleBytes << example();
    QTest::newRow("one level") << countedFile(1) << countedTournament(1);
    QTest::newRow("ten levels") << countedFile(10) << countedTournament(10);
    QTest::newRow("last line end missing") << ExampleBytes.chopped(2) << example();
    QTest::newRow("line feeds only") << QByteArray(ExampleBytes).replace("\r\n", "\n") << example();
    QTest::newRow("carriage returns only")
        << QByteArray(ExampleBytes).replace("\r\n", "\r") << example();
    QTest::newRow("everything on one line")
        << QByteArray(ExampleBytes).replace("\r\n", ",") << example();
    QTest::newRow("data after the last field ignored") << ExampleBytes + "junk\r\n" << example();

    QTest::newRow("comma inside quotes") << "1,5\r\n\"$1,000\",\"$2,000\"\r\n0,0\r\n"_ba
                                         << make(5, {{u"$1,000"_s, u"$2,000"_s}}, 0, 0);
    QTest::newRow("blanks inside quotes kept")
        << "1,5\r\n\"$ 20\",\" $40 \"\r\n0,0\r\n"_ba << make(5, {{u"$ 20"_s, u" $40 "_s}}, 0, 0);
    QTest::newRow("dollar alone") << "1,5\r\n\"$\",\"$40\"\r\n0,0\r\n"_ba
                                  << make(5, {{u"$"_s, u"$40"_s}}, 0, 0);
    QTest::newRow("empty texts") << "1,5\r\n\"\",\"\"\r\n0,0\r\n"_ba
                                 << make(5, {{QString(), QString()}}, 0, 0);
    QTest::newRow("unquoted texts")
        << "1,5\r\n$10,Time!\r\n0,0\r\n"_ba << make(5, {{u"$10"_s, u"Time!"_s}}, 0, 0);
    QTest::newRow("unquoted empty texts")
        << "1,5\r\n,\r\n0,0\r\n"_ba << make(5, {{QString(), QString()}}, 0, 0);
    QTest::newRow("blanks before fields skipped")
        << "  1 ,  5\r\n   \"$1\",   $2\r\n 0 , 0\r\n"_ba << one;
    QTest::newRow("text after closing quote dropped")
        << "1,5\r\n\"$1\"xx,\"$2\" yy\r\n0,0\r\n"_ba << one;
    QTest::newRow("Windows-1252 texts") << "1,5\r\n\"\x80"
                                           "5\",\"\xA3"
                                           "3\x81\"\r\n0,0\r\n"_ba
                                        << make(5, {{u"\u20AC5"_s, u"\u00A33\u0081"_s}}, 0, 0);

    QTest::newRow("numbers without a number read 0")
        << "1,abc\r\n\"$1\",\"$2\"\r\nx,$9\r\n"_ba << make(0, {{u"$1"_s, u"$2"_s}}, 0, 0);
    QTest::newRow("number followed by text")
        << oneLevelFile("1,5min"_ba, "2x,10y"_ba) << make(5, {{u"$1"_s, u"$2"_s}}, 2, 10);
    QTest::newRow("a blank separates numbers")
        << oneLevelFile("1 20"_ba, "0 5"_ba) << make(20, {{u"$1"_s, u"$2"_s}}, 0, 5);
    QTest::newRow("blanks then a comma after a number")
        << oneLevelFile("1  ,20"_ba, "0 ,5"_ba) << make(20, {{u"$1"_s, u"$2"_s}}, 0, 5);
    QTest::newRow("numbers rounded half to even")
        << oneLevelFile("1.4,2.5"_ba, "0.5,3.5"_ba) << make(2, {{u"$1"_s, u"$2"_s}}, 0, 4);
    QTest::newRow("level count 1.5 rounds to 2")
        << "1.5,5\r\n\"a\",\"b\"\r\n\"c\",\"d\"\r\n0,0\r\n"_ba
        << make(5, {{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}}, 0, 0);
    QTest::newRow("longest lengths") << oneLevelFile("1,32767"_ba, "-32768,32767"_ba)
                                     << make(32767, {{u"$1"_s, u"$2"_s}}, -32768, 32767);
    QTest::newRow("shortest lengths") << oneLevelFile("1,-32768"_ba, "32767,-32768"_ba)
                                      << make(-32768, {{u"$1"_s, u"$2"_s}}, 32767, -32768);
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
    QTest::newRow("empty file") << QByteArray() << ends << u"level count"_s;
    QTest::newRow("blanks only") << "   "_ba << ends << u"level count"_s;
    QTest::newRow("level length missing") << "4\r\n"_ba << ends << u"level length"_s;
    QTest::newRow("level lines missing") << "4,20\r\n"_ba << ends << u"small blind of level 1"_s;
    QTest::newRow("big blind missing")
        << "4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"Break\""_ba << ends
        << u"big blind of level 3"_s;
    QTest::newRow("last line missing") << ExampleBytes.chopped(6) << ends << u"break level"_s;
    QTest::newRow("break length missing") << ExampleBytes.chopped(5) << ends << u"break length"_s;
    QTest::newRow("break length empty at the end")
        << ExampleBytes.chopped(4) << ends << u"break length"_s;
    QTest::newRow("break length only blanks")
        << ExampleBytes.chopped(4) + "   " << ends << u"break length"_s;
    QTest::newRow("unclosed quote swallows the rest")
        << "1,5\r\n\"$1\",\"$2\r\n0,0\r\n"_ba << ends << u"break level"_s;
    QTest::newRow("fewer level lines than declared")
        << countedFile(3).replace("3,5", "4,5") << ends << u"break level"_s;

    const ReadError count = ReadError::LevelCountOutOfRange;
    QTest::newRow("no levels") << "0,20\r\n0,0\r\n"_ba << count << u"0 levels"_s;
    QTest::newRow("empty level count") << ",20\r\n0,0\r\n"_ba << count << u"0 levels"_s;
    QTest::newRow("level count rounds to 0") << "0.5,20\r\n0,0\r\n"_ba << count << u"0 levels"_s;
    QTest::newRow("negative level count") << "-1,20\r\n0,0\r\n"_ba << count << u"-1 levels"_s;
    QTest::newRow("eleven levels") << countedFile(11) << count << u"11 levels"_s;
    QTest::newRow("checked before the level lines") << "12,20\r\n"_ba << count << u"12 levels"_s;

    const ReadError range = ReadError::NumberOutOfRange;
    QTest::newRow("level count beyond 16 bits")
        << "70000,20\r\n"_ba << range << u"level count of 70000"_s;
    QTest::newRow("level count rounds beyond 16 bits")
        << "32767.5,20\r\n"_ba << range << u"level count of 32767.5"_s;
    QTest::newRow("level count infinite") << "1e999,20\r\n"_ba << range << u"level count"_s;
    QTest::newRow("level length 70000")
        << oneLevelFile("1,70000"_ba, "0,0"_ba) << range << u"level length of 70000"_s;
    QTest::newRow("level length 32768")
        << oneLevelFile("1,32768"_ba, "0,0"_ba) << range << u"level length of 32768"_s;
    QTest::newRow("level length -32769")
        << oneLevelFile("1,-32769"_ba, "0,0"_ba) << range << u"level length of -32769"_s;
    QTest::newRow("level length beyond 32 bits")
        << oneLevelFile("1,3000000000"_ba, "0,0"_ba) << range << u"level length"_s;
    QTest::newRow("break level beyond 16 bits")
        << oneLevelFile("1,5"_ba, "40000,5"_ba) << range << u"break level of 40000"_s;
    QTest::newRow("break length 40000")
        << oneLevelFile("1,5"_ba, "2,40000"_ba) << range << u"break length of 40000"_s;
    QTest::newRow("break length beyond 32 bits")
        << oneLevelFile("1,5"_ba, "2,&H100000000"_ba) << range << u"break length"_s;
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

    QTest::newRow("ends early")
        << "4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"Break\""_ba << u"blinds.dat"_s
        << u"blinds.dat ends before all of the tournament has been read (the big blind of level "
           "3 is missing)."_s;
    QTest::newRow("too many levels")
        << "12,20\r\n"_ba << u"blinds.dat"_s
        << u"blinds.dat declares 12 levels; the clock runs 1 to 10 levels."_s;
    QTest::newRow("level length too long")
        << oneLevelFile("1,40000"_ba, "0,0"_ba) << u"blinds.dat"_s
        << u"blinds.dat holds a level length of 40000 minutes; the clock runs lengths up to "
           "32767 minutes."_s;
    QTest::newRow("break length too short")
        << oneLevelFile("1,5"_ba, "2,-40000"_ba) << u"old.dat"_s
        << u"old.dat holds a break length of -40000 minutes; the clock runs lengths down to "
           "-32768 minutes."_s;
    QTest::newRow("long field text cut short")
        << "1,9999999999999999999999999999999999\r\n"_ba << u"blinds.dat"_s
        << u"blinds.dat holds a level length of 999999999999999999999999... minutes; the clock "
           "runs lengths up to 32767 minutes."_s;
    QTest::newRow("read fine") << ExampleBytes << u"blinds.dat"_s << QString();
}

void TestTournamentFile::messages() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fileName);
    QFETCH(QString, message);
    QCOMPARE(parseTournament(bytes).message(fileName), message);
}

void TestTournamentFile::roundTrip_data() {
    QTest::addColumn<Tournament>("tournament");

    QTest::newRow("four levels with a break") << example();
    QTest::newRow("ten levels") << countedTournament(10);
    QTest::newRow("extreme numbers") << make(-32768, {{u"$1"_s, u"$2"_s}}, -32768, 32767);
    QTest::newRow("other extremes") << make(32767, {{u"$1"_s, u"$2"_s}}, 32767, -32768);
    QTest::newRow("awkward texts")
        << make(15,
                {{u"$1,000"_s, u"$ 2,000 "_s},
                 {u"$"_s, QString()},
                 {u"  "_s, u",,,"_s},
                 {u"$\u20AC5 \u00A33"_s, u"\u0081\u008D\u008F\u0090\u009D"_s},
                 {u"'single'"_s, u"tab\there"_s}},
                0, 0);
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

    QTest::newRow("empty") << QString() << true;
    QTest::newRow("ASCII") << u"$1,000"_s << true;
    QTest::newRow("euro and pound") << u"\u20AC5 \u00A33"_s << true;
    QTest::newRow("A with macron") << u"\u0100"_s << false;
    QTest::newRow("o with double acute") << u"\u0151"_s << false;
    QTest::newRow("line separator") << u"a\u2028b"_s << false;
    QTest::newRow("emoji") << u"$\U0001F0A1"_s << false;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << false;
    QTest::newRow("last character refused") << u"$100\u4E00"_s << false;
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
}

void TestTournamentFile::writableBlindText() {
    QFETCH(QString, text);
    QFETCH(bool, writable);
    QCOMPARE(isWritableBlindText(text), writable);
}

void TestTournamentFile::readFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    const ReadResult missing = readTournamentFile(dir.filePath(u"blinds.dat"_s));
    QCOMPARE(missing.error, ReadError::NotFound);
    QCOMPARE(missing.message(), u"blinds.dat was not found in the working folder."_s);

    const ReadResult folder = readTournamentFile(dir.path());
    QCOMPARE(folder.error, ReadError::CannotOpen);
    QVERIFY2(!folder.detail.isEmpty(), "the reason should be given");
    QVERIFY(folder.message().startsWith(u"blinds.dat could not be opened: "_s));

    const QString path = dir.filePath(u"blinds.dat"_s);
    QVERIFY(writeBytes(path, ExampleBytes));
    const ReadResult read = readTournamentFile(path);
    QVERIFY2(read.ok(), qPrintable(read.message()));
    QCOMPARE(read.tournament, example());

    // The file must be closed again: removing it then works even where an
    // open file could not be removed, and nothing keeps it alive.
    QVERIFY(QFile::remove(path));
    QCOMPARE(readTournamentFile(path).error, ReadError::NotFound);

    QVERIFY(writeBytes(path, "4,20\r\n"_ba));
    QCOMPARE(readTournamentFile(path).error, ReadError::EndsEarly);
}

void TestTournamentFile::writeFileReplacesOldFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"blinds.dat"_s);

    const WriteResult created = writeTournamentFile(path, countedTournament(10));
    QVERIFY2(created.ok, qPrintable(created.reason));
    QCOMPARE(readAll(path), countedFile(10));

    // A shorter file replaces a longer one whole, with nothing left over.
    const WriteResult replaced = writeTournamentFile(path, example());
    QVERIFY2(replaced.ok, qPrintable(replaced.reason));
    QCOMPARE(readAll(path), ExampleBytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"blinds.dat"_s});
}

void TestTournamentFile::writeFailsUnderRegularFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString notAFolder = dir.filePath(u"plain"_s);
    QVERIFY(writeBytes(notAFolder, "x"_ba));

    const WriteResult result = writeTournamentFile(notAFolder + u"/blinds.dat"_s, example());
    QVERIFY(!result.ok);
    QVERIFY2(!result.reason.isEmpty(), "the reason should be given");
    QCOMPARE(readAll(notAFolder), "x"_ba);
}

void TestTournamentFile::writeIntoReadOnlyFolderKeepsOldFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"blinds.dat"_s);
    QVERIFY(writeBytes(path, ExampleBytes));

    QFile folder(dir.path());
    const QFileDevice::Permissions before = folder.permissions();
    QVERIFY(folder.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const auto restore = qScopeGuard([&] { folder.setPermissions(before); });

    // Permission bits do not bind every user (root); find out rather than guess.
    QFile probe(dir.filePath(u"probe"_s));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        QSKIP("This user can write into a read-only folder (root?), so no failure can be forced "
              "this way; writeFailingMidwayKeepsOldFile covers the same promise.");
    }

    const WriteResult result = writeTournamentFile(path, countedTournament(10));
    QVERIFY(!result.ok);
    QVERIFY2(!result.reason.isEmpty(), "the reason should be given");
    QCOMPARE(readAll(path), ExampleBytes);
}

void TestTournamentFile::writeFailingMidwayKeepsOldFile() {
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"blinds.dat"_s);
    QVERIFY(writeBytes(path, ExampleBytes));

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
        result = writeTournamentFile(path, countedTournament(10));
    }

    QVERIFY(!result.ok);
    QVERIFY2(!result.reason.isEmpty(), "the reason should be given");
    QCOMPARE(readAll(path), ExampleBytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"blinds.dat"_s});
#else
    QSKIP("Needs a POSIX file-size limit to force the failure.");
#endif
}

void TestTournamentFile::writeRefusesUnwritableText() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"blinds.dat"_s);
    QVERIFY(writeBytes(path, ExampleBytes));

    for (const QString &text : {u"$5\"x"_s, u"$\u0100"_s, u"$5\r\n"_s}) {
        const WriteResult result =
            writeTournamentFile(path, make(5, {{u"$1"_s, u"$2"_s}, {u"$3"_s, text}}, 0, 0));
        QVERIFY2(!result.ok, qPrintable(text));
        QVERIFY2(!result.reason.isEmpty(), "the reason should be given");
        QCOMPARE(readAll(path), ExampleBytes);
    }
}

QTEST_APPLESS_MAIN(TestTournamentFile)
#include "tst_tournamentfile.moc"
