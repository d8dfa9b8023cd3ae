// The clock's journal: its codec, its fit to a tournament, and its file.
#include "clock/journal.h"
#include "clock/journalfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvandel;

Q_DECLARE_METATYPE(orvandel::JournalError)
Q_DECLARE_METATYPE(orvandel::JournalEntry)
Q_DECLARE_METATYPE(orvandel::Tournament)

namespace {

JournalEntry sample() {
    JournalEntry entry;
    entry.tournamentPath = QStringLiteral("/home/director/friday/blinds.dat");
    entry.tournamentHash = tournamentHash("4,20\r\n");
    entry.level = 6;
    entry.remainingMs = 754000;
    entry.paused = false;
    entry.untimedFinal = false;
    entry.writtenMs = 1796700000123;
    return entry;
}

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

bool writeBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestJournal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void everyCutIsTorn();
    void everyFlippedByteIsRefused();
    void fitsTournament_data();
    void fitsTournament();
    void question_data();
    void question();
    void pathIsPerWorkingFolder();
    void writeReplacesAndReadsBack_data();
    void writeReplacesAndReadsBack();
    void failedWriteKeepsPreviousEntry();
    void resumable_data();
    void resumable();
    void clockJournalRecordsAndCloses();

private:
    QTemporaryDir m_data;
    std::unique_ptr<QTemporaryDir> m_work;
    QString m_home;
};

void TestJournal::initTestCase() {
    QVERIFY(m_data.isValid());
    // The journals go to a private data folder, not the user's.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    QVERIFY(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                .startsWith(m_data.path()));
    m_home = QDir::currentPath();
}

void TestJournal::init() {
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY(QDir::setCurrent(m_work->path()));
}

void TestJournal::cleanup() {
    QDir::setCurrent(m_home);
    m_work.reset();
}

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
    // clang-format on
}

void TestJournal::roundTrip() {
    QFETCH(JournalEntry, entry);
    const QByteArray bytes = encodeJournal(entry);
    const JournalRead read = decodeJournal(bytes);
    QCOMPARE(read.error, JournalError::None);
    QCOMPARE(read.entry, entry);
    // One entry a line, nothing hidden: the path never breaks a line.
    QCOMPARE(bytes.count('\n'), 10);
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
    QTest::newRow("level 0") << sealed(sampleLinesWith(4, "level 0")) << JournalError::OutOfRange;
    QTest::newRow("level 11") << sealed(sampleLinesWith(4, "level 11")) << JournalError::OutOfRange;
    QTest::newRow("level beyond 16 bits") << sealed(sampleLinesWith(4, "level 65542")) << JournalError::OutOfRange;
    QTest::newRow("time beyond 32 bits") << sealed(sampleLinesWith(5, "remaining-ms 2147483648")) << JournalError::OutOfRange;
    QTest::newRow("paused 2") << sealed(sampleLinesWith(6, "paused 2")) << JournalError::OutOfRange;
    QTest::newRow("untimed final -1") << sealed(sampleLinesWith(7, "untimed-final -1")) << JournalError::OutOfRange;
    QTest::newRow("written before 1970") << sealed(sampleLinesWith(8, "written-ms -5")) << JournalError::OutOfRange;
    // clang-format on
}

void TestJournal::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(JournalError, error);
    QCOMPARE(decodeJournal(bytes).error, error);
}

void TestJournal::everyCutIsTorn() {
    // Whatever the point at which a write stops, the rest is never an entry.
    const QByteArray good = encodeJournal(sample());
    for (qsizetype size = 1; size < good.size(); ++size) {
        const JournalError error = decodeJournal(good.first(size)).error;
        if (error != JournalError::Torn)
            QFAIL(qPrintable(QStringLiteral("cut at %1 read as %2").arg(size).arg(int(error))));
    }
}

void TestJournal::everyFlippedByteIsRefused() {
    const QByteArray good = encodeJournal(sample());
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
    QTest::newRow("more than the level") << four << 2 << 1201000 << false << false;
    QTest::newRow("not a whole tick") << four << 2 << 754500 << false << false;
    QTest::newRow("negative") << four << 2 << -1000 << false << false;
    QTest::newRow("break, its own length") << four << 3 << 900000 << false << true;
    QTest::newRow("break, a level's length") << four << 3 << 1000000 << false << false;
    QTest::newRow("final level") << four << 4 << 1199000 << false << true;
    QTest::newRow("final level untimed") << four << 4 << 1199000 << true << true;
    QTest::newRow("untimed before the final") << four << 3 << 899000 << true << false;
    QTest::newRow("level 0") << four << 0 << 1000 << false << false;
    QTest::newRow("ended") << four << 5 << 1200000 << false << false;
    QTest::newRow("one level, untimed") << tournament(1, 20) << 1 << 1000 << true << false;
    QTest::newRow("break at level 1 is no break") << tournament(3, 20, 1, 5) << 1 << 1199000 << false << true;
    QTest::newRow("break at level 1, longer than a level") << tournament(3, 5, 1, 20) << 1 << 360000 << false << false;
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

void TestJournal::pathIsPerWorkingFolder() {
    const QString here = journalPath(m_work->path());
    QVERIFY(here.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                            QLatin1Char('/')));
    QVERIFY(!here.startsWith(m_work->path()));
    QCOMPARE(journalPathForCurrentFolder(), here);
    // Another spelling of the same folder is the same journal.
    QCOMPARE(journalPath(m_work->path() + QStringLiteral("/./sub/..")), here);
    QVERIFY(QDir(m_work->path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(m_work->path(), m_work->path() + QStringLiteral("/link")));
    QCOMPARE(journalPath(m_work->path() + QStringLiteral("/link")), here);
    QVERIFY(journalPath(m_work->path() + QStringLiteral("/sub")) != here);
}

void TestJournal::writeReplacesAndReadsBack_data() {
    QTest::addColumn<bool>("durable");
    QTest::newRow("tick") << false;
    QTest::newRow("level change") << true;
}

void TestJournal::writeReplacesAndReadsBack() {
    QFETCH(bool, durable);
    const QString path = journalPathForCurrentFolder();
    QVERIFY(!QFile::exists(path));
    JournalEntry entry = sample();
    // The folder of the journals is made on the first write.
    QVERIFY(writeJournal(path, encodeJournal(entry), durable));
    entry.remainingMs -= 1000;
    QVERIFY(writeJournal(path, encodeJournal(entry), durable));
    const JournalRead read = readJournal(path);
    QCOMPARE(read.error, JournalError::None);
    QCOMPARE(read.entry, entry);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files),
             QStringList{QFileInfo(path).fileName()});

    removeJournal(path);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(readJournal(path).error, JournalError::Missing);
}

void TestJournal::failedWriteKeepsPreviousEntry() {
    const QString path = journalPathForCurrentFolder();
    const QByteArray first = encodeJournal(sample());
    QVERIFY(writeJournal(path, first, false));
    // Something in the way of the temporary file: the write cannot happen,
    // even for a user whom permissions do not stop.
    QVERIFY(QDir().mkpath(path + QStringLiteral(".tmp/x")));
    JournalEntry next = sample();
    next.remainingMs -= 1000;
    QVERIFY(!writeJournal(path, encodeJournal(next), false));
    QVERIFY(!writeJournal(path, encodeJournal(next), true));
    QCOMPARE(readBytes(path), first);
    QVERIFY(QDir(path + QStringLiteral(".tmp")).removeRecursively());
    QVERIFY(writeJournal(path, encodeJournal(next), false));
    QCOMPARE(readJournal(path).entry, next);

    // A journal that is a folder cannot be read, nor replaced.
    removeJournal(path);
    QVERIFY(QDir().mkpath(path));
    QVERIFY(readJournal(path).error != JournalError::None);
    QVERIFY(!writeJournal(path, first, false));
    QVERIFY(QDir().rmdir(path));
}

void TestJournal::resumable_data() {
    QTest::addColumn<QByteArray>("tournamentBytes");   // written as blinds.dat, if any
    QTest::addColumn<QByteArray>("journalTournament"); // the bytes the journal was written for
    QTest::addColumn<QString>("journalFile");          // the file it names, in the folder
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("remainingMs");
    QTest::addColumn<QByteArray>("damage"); // replaces the journal's bytes when not empty
    QTest::addColumn<bool>("resumable");
    const QByteArray file =
        "3,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"$50\",\"$100\"\r\n0,0\r\n";
    const QByteArray other = QByteArray(file).replace("$50", "$60");
    const QString name = QStringLiteral("blinds.dat");
    const QByteArray none;
    // clang-format off
    QTest::newRow("same file, same bytes") << file << file << name << 2 << 754000 << none << true;
    QTest::newRow("final level") << file << file << name << 3 << 1000 << none << true;
    QTest::newRow("file changed since") << other << file << name << 2 << 754000 << none << false;
    QTest::newRow("another file's journal") << file << file << QStringLiteral("old/blinds.dat") << 2 << 754000 << none << false;
    QTest::newRow("no tournament file") << QByteArray() << file << name << 2 << 754000 << none << false;
    QTest::newRow("unreadable tournament") << QByteArray("x") << QByteArray("x") << name << 1 << 1000 << none << false;
    QTest::newRow("ended") << file << file << name << 4 << 1200000 << none << false;
    QTest::newRow("time outside the level") << file << file << name << 2 << 1260000 << none << false;
    QTest::newRow("torn") << file << file << name << 2 << 754000 << QByteArray("Orvandel clock journal\nversion 1\nfile /") << false;
    QTest::newRow("garbage") << file << file << name << 2 << 754000 << QByteArray("\x89PNG\r\n") << false;
    QTest::newRow("newer format") << file << file << name << 2 << 754000 << QByteArray("Orvandel clock journal\nversion 2\n") << false;
    // clang-format on
}

void TestJournal::resumable() {
    QFETCH(QByteArray, tournamentBytes);
    QFETCH(QByteArray, journalTournament);
    QFETCH(QString, journalFile);
    QFETCH(int, level);
    QFETCH(int, remainingMs);
    QFETCH(QByteArray, damage);
    QFETCH(bool, resumable);
    if (!tournamentBytes.isEmpty())
        QVERIFY(writeBytes(QStringLiteral("blinds.dat"), tournamentBytes));
    JournalEntry entry = sample();
    entry.tournamentPath = QDir(m_work->path()).absoluteFilePath(journalFile);
    entry.tournamentHash = tournamentHash(journalTournament);
    entry.level = static_cast<qint16>(level);
    entry.remainingMs = remainingMs;
    const QString path = journalPathForCurrentFolder();
    QVERIFY(writeBytes(path, damage.isEmpty() ? encodeJournal(entry) : damage));

    const std::optional<JournalEntry> found = resumableJournal();
    QCOMPARE(found.has_value(), resumable);
    if (resumable)
        QCOMPARE(*found, entry);
    // A journal that cannot be resumed is gone; one that can stays until the
    // director answers.
    QCOMPARE(QFile::exists(path), resumable);
}

void TestJournal::clockJournalRecordsAndCloses() {
    QVERIFY(writeBytes(QStringLiteral("blinds.dat"),
                       "2,5\r\n\"$1\",\"$2\"\r\n\"$3\",\"$4\"\r\n0,0\r\n"));
    ClockJournal journal;
    QVERIFY(!journal.isOpen());
    journal.record(1, 299000, false, false); // not open yet: nothing written
    QVERIFY(!QFile::exists(journalPathForCurrentFolder()));

    journal.open(QStringLiteral("blinds.dat"));
    QVERIFY(journal.isOpen());
    QCOMPARE(journal.path(), journalPathForCurrentFolder());
    journal.record(2, 42000, true, false);
    const JournalRead read = readJournal(journal.path());
    QCOMPARE(read.error, JournalError::None);
    QCOMPARE(read.entry.tournamentPath,
             QFileInfo(QStringLiteral("blinds.dat")).canonicalFilePath());
    QCOMPARE(read.entry.tournamentHash, tournamentHash(readBytes(QStringLiteral("blinds.dat"))));
    QCOMPARE(read.entry.level, qint16(2));
    QCOMPARE(read.entry.remainingMs, 42000);
    QVERIFY(read.entry.paused);
    QVERIFY(!read.entry.untimedFinal);
    QVERIFY(qAbs(read.entry.writtenMs - QDateTime::currentMSecsSinceEpoch()) < 60000);
    QCOMPARE(resumableJournal(), std::optional<JournalEntry>(read.entry));

    journal.close();
    QVERIFY(!QFile::exists(journal.path()));
    journal.record(2, 41000, false, false);
    QVERIFY(!QFile::exists(journal.path()));
}

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
