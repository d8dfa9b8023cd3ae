// The clock's journal: its codec and its fit to a tournament.
#include "journaltest.h"

#include "core/clockface.h"

#include <QCryptographicHash>
#include <QtTest>

using namespace orvandel;
using testsupport::sample;

Q_DECLARE_METATYPE(orvandel::JournalError)
Q_DECLARE_METATYPE(orvandel::JournalEntry)
Q_DECLARE_METATYPE(orvandel::Tournament)

namespace {

// The lines of a journal with a correct checksum after them.
QByteArray sealed(const QByteArray &payload) {
    return payload + "check " +
           QCryptographicHash::hash(payload, QCryptographicHash::Sha256).toHex() + '\n';
}

// The lines of sample() with `line` of them (0 is the first) replaced.
QByteArray sampleLinesWith(int line, const QByteArray &replacement) {
    QList<QByteArray> lines = encodeJournal(sample()).split('\n');
    lines.removeLast(); // after the final line end
    lines.removeLast(); // the checksum
    lines[line] = replacement;
    return lines.join('\n') + '\n';
}

// A count as the clock keeps it, and the field that carries it.
const QByteArray Counted = R"({"chips":[10000,10000,15000],"counts":[40,17,12,8],)"
                           R"("payouts":[50,30,20],"prices":[100,100,50]})";
QByteArray playersLine(const QByteArray &json) {
    return "players " + json.toBase64() + '\n';
}
// sample() with the count: every field there is.
JournalEntry counted() {
    JournalEntry entry = sample();
    entry.players = Counted;
    return entry;
}

Tournament tournament(int levels, int minutes, int breakRound = 0, int breakMinutes = 0) {
    Tournament t;
    t.levelCount = static_cast<qint16>(levels);
    t.levelMinutes = minutes;
    t.breakRound = static_cast<qint16>(breakRound);
    t.breakMinutes = breakMinutes;
    for (int n = 1; n <= levels; ++n)
        t.levels.push_back({QStringLiteral("$%1").arg(n * 10), QStringLiteral("$%1").arg(n * 20)});
    return t;
}

} // namespace

class TestJournal : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void readsJournalsFromBeforeTheLiveView();
    void everyCutIsTorn();
    void everyFlippedByteIsRefused();
    void fitsTournament_data();
    void fitsTournament();
    void question_data();
    void question();
    void fitsStructure_data();
    void fitsStructure();
};

void TestJournal::roundTrip_data() {
    QTest::addColumn<JournalEntry>("entry");
    const JournalEntry base = sample();
    auto with = [&base](auto change) {
        JournalEntry e = base;
        change(e);
        return e;
    };
    // clang-format off
    QTest::newRow("running") << base;
    QTest::newRow("paused") << with([](JournalEntry &e) { e.paused = true; });
    QTest::newRow("untimed final") << with([](JournalEntry &e) { e.untimedFinal = true; e.level = 10; });
    QTest::newRow("level 1, full") << with([](JournalEntry &e) { e.level = 1; e.remainingMs = 1200000; });
    QTest::newRow("no time left") << with([](JournalEntry &e) { e.remainingMs = 0; });
    QTest::newRow("negative time") << with([](JournalEntry &e) { e.remainingMs = -60000; });
    QTest::newRow("largest time") << with([](JournalEntry &e) { e.remainingMs = 2147483647; });
    QTest::newRow("epoch") << with([](JournalEntry &e) { e.writtenMs = 0; });
    QTest::newRow("blank, percent, accents") << with([](JournalEntry &e) {
        e.tournamentPath = QStringLiteral("/srv/Ma 100%% Turnier/Größe/blinds.dat"); });
    QTest::newRow("line break in a folder name") << with([](JournalEntry &e) {
        e.tournamentPath = QStringLiteral("/tmp/two\nlines/check 00/blinds.dat"); });
    QTest::newRow("shown on phones and TVs") << with([](JournalEntry &e) { e.liveView = true; });
    QTest::newRow("players counted") << counted();
    QTest::newRow("players and the live view") << with([](JournalEntry &e) { e.players = "{}"; e.liveView = true; });
    QTest::newRow("structure, round 150") << with([](JournalEntry &e) { e.structure = true; e.level = 150; });
    QTest::newRow("structure, live view and players") << with([](JournalEntry &e) { e.structure = true; e.level = 12; e.liveView = true; e.players = "{}"; });
    // clang-format on
}

void TestJournal::roundTrip() {
    QFETCH(JournalEntry, entry);
    const QByteArray bytes = encodeJournal(entry);
    const JournalRead read = decodeJournal(bytes);
    QCOMPARE(read.error, JournalError::None);
    QCOMPARE(read.entry, entry);
    // One entry a line, nothing hidden: the path never breaks a line.
    QCOMPARE(bytes.count('\n'),
             10 + int{entry.liveView} + int{entry.structure} + int{!entry.players.isEmpty()});
    QCOMPARE(encodeJournal(read.entry), bytes);
}

void TestJournal::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<JournalError>("error");
    const QByteArray good = encodeJournal(sample());
    QByteArray wrongCheck = good;
    wrongCheck[wrongCheck.size() - 2] = wrongCheck.at(wrongCheck.size() - 2) == '0' ? '1' : '0';
    QByteArray upperCheck = good.first(good.size() - 65) + good.last(65).toUpper();
    const QByteArray lines = good.first(good.indexOf("check "));
    // clang-format off
    QTest::newRow("empty") << QByteArray() << JournalError::Empty;
    QTest::newRow("another file") << QByteArray("4,20\r\n\"$10\",\"$20\"\r\n") << JournalError::NotAJournal;
    QTest::newRow("cut in the first line") << good.first(8) << JournalError::Torn;
    QTest::newRow("cut before the checksum") << good.first(good.indexOf("check ")) << JournalError::Torn;
    QTest::newRow("cut in the checksum") << good.first(good.size() - 10) << JournalError::Torn;
    QTest::newRow("last line end missing") << good.chopped(1) << JournalError::Torn;
    QTest::newRow("zeros after a crash") << QByteArray(good.size(), '\0') << JournalError::NotAJournal;
    QTest::newRow("wrong checksum") << wrongCheck << JournalError::BadChecksum;
    QTest::newRow("checksum in capitals") << upperCheck << JournalError::Torn;
    QTest::newRow("a line changed") << QByteArray(good).replace("level 6", "level 7") << JournalError::BadChecksum;
    QTest::newRow("two entries") << good + good << JournalError::BadChecksum;
    QTest::newRow("two entries, sealed") << sealed(good + lines) << JournalError::Malformed;
    QTest::newRow("newer format") << sealed(sampleLinesWith(1, "version 2")) << JournalError::NewerFormat;
    QTest::newRow("newer format, other checksum") << QByteArray("Orvandel clock journal\nversion 3\nsum 1\n") << JournalError::NewerFormat;
    QTest::newRow("version 0") << sealed(sampleLinesWith(1, "version 0")) << JournalError::NotAJournal;
    QTest::newRow("version with a blank") << sealed(sampleLinesWith(1, "version  1")) << JournalError::NotAJournal;
    QTest::newRow("Windows line ends") << sealed(QByteArray(sampleLinesWith(2, "file /a/blinds.dat")).replace("\n", "\r\n")) << JournalError::NotAJournal;
    QTest::newRow("field missing") << sealed(QByteArray(lines).replace("paused 0\n", "")) << JournalError::Malformed;
    QTest::newRow("fields swapped") << sealed(QByteArray(lines).replace("level 6\nremaining-ms 754000", "remaining-ms 754000\nlevel 6")) << JournalError::Malformed;
    QTest::newRow("blank line") << sealed(lines + '\n') << JournalError::Malformed;
    QTest::newRow("unknown field") << sealed(sampleLinesWith(8, "written-ms 1\ncolour red")) << JournalError::Malformed;
    QTest::newRow("level with a leading zero") << sealed(sampleLinesWith(4, "level 06")) << JournalError::Malformed;
    QTest::newRow("level with a plus") << sealed(sampleLinesWith(4, "level +6")) << JournalError::Malformed;
    QTest::newRow("level not a number") << sealed(sampleLinesWith(4, "level six")) << JournalError::Malformed;
    QTest::newRow("short tournament hash") << sealed(sampleLinesWith(3, "sha256 00ff")) << JournalError::Malformed;
    QTest::newRow("path not canonically encoded") << sealed(sampleLinesWith(2, "file %2Fa%2Fblinds.dat")) << JournalError::Malformed;
    QTest::newRow("path not UTF-8") << sealed(sampleLinesWith(2, "file /a%FF/blinds.dat")) << JournalError::Malformed;
    QTest::newRow("relative path") << sealed(sampleLinesWith(2, "file blinds.dat")) << JournalError::OutOfRange;
    QTest::newRow("structure past its most rounds") << sealed(QByteArray(lines).replace("level 6\n", "level 201\n") + "structure 1\n") << JournalError::OutOfRange;
    QTest::newRow("structure 0") << sealed(lines + "structure 0\n") << JournalError::Malformed;
    QTest::newRow("structure after the live view") << sealed(lines + "live-view 1\nstructure 1\n") << JournalError::Malformed;
    QTest::newRow("structure twice") << sealed(lines + "structure 1\nstructure 1\n") << JournalError::Malformed;
    QTest::newRow("level 0") << sealed(sampleLinesWith(4, "level 0")) << JournalError::OutOfRange;
    QTest::newRow("level 11") << sealed(sampleLinesWith(4, "level 11")) << JournalError::OutOfRange;
    QTest::newRow("level beyond 16 bits") << sealed(sampleLinesWith(4, "level 65542")) << JournalError::OutOfRange;
    QTest::newRow("time beyond 32 bits") << sealed(sampleLinesWith(5, "remaining-ms 2147483648")) << JournalError::OutOfRange;
    QTest::newRow("paused 2") << sealed(sampleLinesWith(6, "paused 2")) << JournalError::OutOfRange;
    QTest::newRow("untimed final -1") << sealed(sampleLinesWith(7, "untimed-final -1")) << JournalError::OutOfRange;
    QTest::newRow("written before 1970") << sealed(sampleLinesWith(8, "written-ms -5")) << JournalError::OutOfRange;
    QTest::newRow("live view written as off") << sealed(lines + "live-view 0\n") << JournalError::Malformed;
    QTest::newRow("live view twice") << sealed(lines + "live-view 1\nlive-view 1\n") << JournalError::Malformed;
    QTest::newRow("live view before the time written") << sealed(sampleLinesWith(8, "live-view 1\nwritten-ms 1796700000123")) << JournalError::Malformed;
    QTest::newRow("players empty") << sealed(lines + "players \n") << JournalError::Malformed;
    QTest::newRow("players not base64") << sealed(lines + "players {}\n") << JournalError::Malformed;
    QTest::newRow("players base64 unpadded") << sealed(lines + playersLine(Counted).replace("=", "")) << JournalError::Malformed;
    QTest::newRow("players not JSON") << sealed(lines + playersLine("counts 40")) << JournalError::Malformed;
    QTest::newRow("players a JSON list") << sealed(lines + playersLine("[40,17]")) << JournalError::Malformed;
    QTest::newRow("players JSON not compact") << sealed(lines + playersLine(R"({"counts": [40]})")) << JournalError::Malformed;
    QTest::newRow("players JSON keys out of order") << sealed(lines + playersLine(R"({"prices":[1],"chips":[1]})")) << JournalError::Malformed;
    QTest::newRow("players twice") << sealed(lines + playersLine("{}") + playersLine("{}")) << JournalError::Malformed;
    QTest::newRow("players before the live view") << sealed(lines + playersLine("{}") + "live-view 1\n") << JournalError::Malformed;
    // clang-format on
}

void TestJournal::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(JournalError, error);
    QCOMPARE(decodeJournal(bytes).error, error);
}

void TestJournal::readsJournalsFromBeforeTheLiveView() {
    // As stored by the program before it had a live view: read, it is the
    // same entry with the view off, and written again, the same bytes.
    const QByteArray stored = sealed(
        "Orvandel clock journal\nversion 1\nfile /home/director/friday/blinds.dat\n"
        "sha256 45b4b7ec5823e95aeb7af844cf62240173bb655e47f803346589f4614aaad937\n"
        "level 6\nremaining-ms 754000\npaused 0\nuntimed-final 0\nwritten-ms 1796700000123\n");
    QCOMPARE(decodeJournal(stored).entry, sample());
    QCOMPARE(encodeJournal(sample()), stored);
}

void TestJournal::everyCutIsTorn() {
    // Whatever the point at which a write stops, the rest is never an entry.
    const QByteArray good = encodeJournal(counted());
    for (qsizetype size = 1; size < good.size(); ++size) {
        const JournalError error = decodeJournal(good.first(size)).error;
        if (error != JournalError::Torn)
            QFAIL(qPrintable(QStringLiteral("cut at %1 read as %2").arg(size).arg(int(error))));
    }
}

void TestJournal::everyFlippedByteIsRefused() {
    const QByteArray good = encodeJournal(counted());
    for (qsizetype i = 0; i < good.size(); ++i) {
        QByteArray bad = good;
        bad[i] = static_cast<char>(bad.at(i) ^ 0x04);
        if (decodeJournal(bad).ok())
            QFAIL(qPrintable(QStringLiteral("byte %1 changed still reads").arg(i)));
    }
}

void TestJournal::fitsTournament_data() {
    QTest::addColumn<Tournament>("tournament");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("remainingMs");
    QTest::addColumn<bool>("untimedFinal");
    QTest::addColumn<bool>("fits");
    const Tournament four = tournament(4, 20, 3, 15);
    // clang-format off
    QTest::newRow("level 1, first tick") << four << 1 << 1199000 << false << true;
    QTest::newRow("level 1, before the first tick") << four << 1 << 1200000 << false << true;
    QTest::newRow("level 1, last second") << four << 1 << 1000 << false << true;
    QTest::newRow("no time left") << four << 2 << 0 << false << false;
    QTest::newRow("minutes added past the level") << four << 2 << 1261000 << false << true;
    QTest::newRow("more than the time shows") << four << 2 << orvandel::MaxRemainingMs + 1000 << false << false;
    QTest::newRow("not a whole tick") << four << 2 << 754500 << false << false;
    QTest::newRow("negative") << four << 2 << -1000 << false << false;
    QTest::newRow("break, its own length") << four << 3 << 900000 << false << true;
    QTest::newRow("break of no time, a level's length") << tournament(4, 20, 3, 0) << 3 << 1200000 << false << false;
    QTest::newRow("final level") << four << 4 << 1199000 << false << true;
    QTest::newRow("final level untimed") << four << 4 << 1199000 << true << true;
    QTest::newRow("untimed before the final") << four << 3 << 899000 << true << false;
    QTest::newRow("level 0") << four << 0 << 1000 << false << false;
    QTest::newRow("ended") << four << 5 << 1200000 << false << false;
    QTest::newRow("one level, untimed") << tournament(1, 20) << 1 << 1000 << true << false;
    QTest::newRow("break at level 1 is no break") << tournament(3, 20, 1, 5) << 1 << 1199000 << false << true;
    QTest::newRow("break of no time at level 1, a level's time") << tournament(3, 5, 1, 0) << 1 << 1000 << false << true;
    QTest::newRow("zero-minute levels") << tournament(3, 0) << 2 << 0 << false << true;
    QTest::newRow("zero-minute, time left") << tournament(3, 0) << 2 << 1000 << false << false;
    QTest::newRow("negative levels") << tournament(3, -1) << 2 << -60000 << false << true;
    QTest::newRow("longest level") << tournament(2, 32767) << 2 << 1966020000 << false << true;
    // clang-format on
}

void TestJournal::fitsTournament() {
    QFETCH(Tournament, tournament);
    QFETCH(int, level);
    QFETCH(int, remainingMs);
    QFETCH(bool, untimedFinal);
    QFETCH(bool, fits);
    JournalEntry entry = sample();
    entry.level = static_cast<qint16>(level);
    entry.remainingMs = remainingMs;
    entry.untimedFinal = untimedFinal;
    QCOMPARE(orvandel::fitsTournament(entry, tournament), fits);
}

void TestJournal::question_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("remainingMs");
    QTest::addColumn<QString>("text");
    // clang-format off
    QTest::newRow("12:34") << 6 << 754000 << "Resume the tournament at level 6 with 12:34 left?";
    QTest::newRow("under ten minutes") << 2 << 65000 << "Resume the tournament at level 2 with 01:05 left?";
    QTest::newRow("last second") << 10 << 1000 << "Resume the tournament at level 10 with 00:01 left?";
    QTest::newRow("two hours") << 1 << 7200000 << "Resume the tournament at level 1 with 120:00 left?";
    QTest::newRow("no time") << 3 << 0 << "Resume the tournament at level 3 with 00:00 left?";
    // clang-format on
}

void TestJournal::question() {
    QFETCH(int, level);
    QFETCH(int, remainingMs);
    QFETCH(QString, text);
    JournalEntry entry = sample();
    entry.level = static_cast<qint16>(level);
    entry.remainingMs = remainingMs;
    QCOMPARE(resumeQuestion(entry), text);
}

namespace {

// Levels of 20 and 15 minutes, a break of 10, a final level of 30.
Structure fourRounds() {
    Structure s;
    s.rounds = {Level{25, 50, 0, 20}, Level{50, 100, 0, 15}, Break{10, {}}, Level{75, 150, 0, 30}};
    return s;
}

} // namespace

void TestJournal::fitsStructure_data() {
    QTest::addColumn<bool>("structure");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("remainingMs");
    QTest::addColumn<bool>("untimedFinal");
    QTest::addColumn<QString>("question"); // empty: the entry does not fit
    // clang-format off
    QTest::newRow("level 1, full") << true << 1 << 1200000 << false << "Resume the tournament at level 1 with 20:00 left?";
    QTest::newRow("level 2, its own length") << true << 2 << 900000 << false << "Resume the tournament at level 2 with 15:00 left?";
    QTest::newRow("the break") << true << 3 << 252000 << false << "Resume the tournament at the break with 04:12 left?";
    QTest::newRow("the break, untimed") << true << 3 << 599000 << true << "";
    QTest::newRow("final, untimed, levels counted") << true << 4 << 1799000 << true << "Resume the tournament at level 3 with 29:59 left?";
    QTest::newRow("past the last round") << true << 5 << 1000 << false << "";
    QTest::newRow("written for blinds.dat") << false << 2 << 900000 << false << "";
    // clang-format on
}

void TestJournal::fitsStructure() {
    QFETCH(bool, structure);
    QFETCH(int, level);
    QFETCH(int, remainingMs);
    QFETCH(bool, untimedFinal);
    QFETCH(QString, question);
    JournalEntry entry = sample();
    entry.structure = structure;
    entry.level = static_cast<qint16>(level);
    entry.remainingMs = remainingMs;
    entry.untimedFinal = untimedFinal;
    QCOMPARE(orvandel::fitsStructure(entry, fourRounds()), !question.isEmpty());
    if (!question.isEmpty())
        QCOMPARE(resumeQuestion(entry, fourRounds()), question);
    // A structure's entry never fits a blinds.dat of as many levels.
    QVERIFY(!structure || !orvandel::fitsTournament(entry, tournament(4, 20)));
}

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
