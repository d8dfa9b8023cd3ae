// The tournament file's codec: the bytes of a tournament and back, and the
// texts a blind may hold.
#include "tournamentfiletest.h"

#include <QTest>

using namespace orvandel;
using namespace Qt::StringLiterals;
using namespace testsupport;

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
    void writableBlindText_data();
    void writableBlindText();
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

QTEST_APPLESS_MAIN(TestTournamentFile)
#include "tst_tournamentfile.moc"
