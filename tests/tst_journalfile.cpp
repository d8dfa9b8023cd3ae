// The clock's journal on disk: where it lives, how it is replaced, and what
// the clock finds there when it starts.
#include "core/journalfile.h"
#include "journaltest.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <optional>

using namespace orvandel;
using testsupport::sample;

namespace {

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

class TestJournalFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pathIsPerWorkingFolder();
    void writeReplacesAndReadsBack_data();
    void writeReplacesAndReadsBack();
    void failedWriteKeepsPreviousEntry();
    void resumable_data();
    void resumable();
    void clockJournalRecordsAndCloses();
    void leftoversRemovedAtStart_data();
    void leftoversRemovedAtStart();
    void locksWithoutAJournalRemovedAtStart();

private:
    QTemporaryDir m_data;
    std::unique_ptr<QTemporaryDir> m_work;
    QString m_home;
};

void TestJournalFile::initTestCase() {
    QVERIFY(m_data.isValid());
    // The journals go to a private data folder, not the user's.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    QVERIFY(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                .startsWith(m_data.path()));
    m_home = QDir::currentPath();
}

void TestJournalFile::init() {
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY(QDir::setCurrent(m_work->path()));
}

void TestJournalFile::cleanup() {
    QDir::setCurrent(m_home);
    m_work.reset();
}

void TestJournalFile::pathIsPerWorkingFolder() {
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

void TestJournalFile::writeReplacesAndReadsBack_data() {
    QTest::addColumn<bool>("durable");
    QTest::newRow("tick") << false;
    QTest::newRow("level change") << true;
}

void TestJournalFile::writeReplacesAndReadsBack() {
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

void TestJournalFile::failedWriteKeepsPreviousEntry() {
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

void TestJournalFile::resumable_data() {
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
    QTest::newRow("time between two ticks") << file << file << name << 2 << 754500 << none << false;
    QTest::newRow("torn") << file << file << name << 2 << 754000 << QByteArray("Orvandel clock journal\nversion 1\nfile /") << false;
    QTest::newRow("garbage") << file << file << name << 2 << 754000 << QByteArray("\x89PNG\r\n") << false;
    QTest::newRow("newer format") << file << file << name << 2 << 754000 << QByteArray("Orvandel clock journal\nversion 2\n") << false;
    // clang-format on
}

void TestJournalFile::resumable() {
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
    if (found)
        QCOMPARE(*found, entry);
    // A journal that cannot be resumed is gone; one that can stays until the
    // director answers.
    QCOMPARE(QFile::exists(path), resumable);
}

void TestJournalFile::clockJournalRecordsAndCloses() {
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

    // The level's later entries go over it in place: shorter, longer, and
    // after the journal was removed or replaced behind the clock's back.
    const struct {
        qint32 remainingMs;
        bool removedBefore, replacedBefore;
    } entries[] = {{9000, false, false},
                   {120000, false, false},
                   {8000, true, false},
                   {7000, false, true},
                   {6000, false, false}};
    for (const auto &next : entries) {
        if (next.removedBefore)
            QVERIFY(QFile::remove(journal.path()));
        if (next.replacedBefore) {
            QVERIFY(writeBytes(journal.path() + QStringLiteral(".other"), "other"));
            QVERIFY(QFile::remove(journal.path()));
            QVERIFY(QFile::rename(journal.path() + QStringLiteral(".other"), journal.path()));
        }
        QVERIFY(journal.record(2, next.remainingMs, false, false));
        const JournalRead again = readJournal(journal.path());
        QCOMPARE(again.error, JournalError::None);
        QCOMPARE(again.entry.remainingMs, next.remainingMs);
    }

    journal.close();
    QVERIFY(!QFile::exists(journal.path()));
    journal.record(2, 41000, false, false);
    QVERIFY(!QFile::exists(journal.path()));
}

void TestJournalFile::leftoversRemovedAtStart_data() {
    QTest::addColumn<QString>("named"); // the working folder that names the journal
    QTest::addColumn<QString>("file");  // the folder of the tournament file it names
    QTest::addColumn<QString>("removed");
    QTest::addColumn<bool>("kept");
    // clang-format off
    QTest::newRow("folder there") << "w" << "w" << "" << true;
    QTest::newRow("folder removed") << "w" << "w" << "w" << false;
    QTest::newRow("folder and its parent removed") << "p/w" << "p/w" << "p" << true;
    QTest::newRow("file elsewhere, removed there") << "w" << "o" << "o" << true;
    // clang-format on
}

void TestJournalFile::leftoversRemovedAtStart() {
    QFETCH(QString, named);
    QFETCH(QString, file);
    QFETCH(QString, removed);
    QFETCH(bool, kept);
    QVERIFY(QDir().mkpath(named) && QDir().mkpath(file));
    const QString path = journalPath(named);
    JournalEntry entry = sample();
    entry.tournamentPath = QDir(file).canonicalPath() + QStringLiteral("/blinds.dat");
    QVERIFY(writeJournal(path, encodeJournal(entry), false));
    // One that tells no folder stays.
    const QString damaged = QFileInfo(path).path() + QStringLiteral("/damaged.journal");
    QVERIFY(writeBytes(damaged, "Orvandel clock journal\n"));
    QVERIFY(removed.isEmpty() || QDir(removed).removeRecursively());
    removeLeftoverJournals();
    QCOMPARE(QFile::exists(path), kept);
    QVERIFY(QFile::exists(damaged));
}

void TestJournalFile::locksWithoutAJournalRemovedAtStart() {
    const QString folder = QFileInfo(journalPathForCurrentFolder()).path() + u'/';
    QVERIFY(writeBytes(folder + QStringLiteral("nobody.journal.lock"), QByteArray()));
    QLockFile held(folder + QStringLiteral("running.journal.lock"));
    QVERIFY(held.tryLock(0));
    removeLeftoverJournals();
    QVERIFY(!QFile::exists(folder + QStringLiteral("nobody.journal.lock")));
    QVERIFY(QFile::exists(folder + QStringLiteral("running.journal.lock")));
}

QTEST_GUILESS_MAIN(TestJournalFile)
#include "tst_journalfile.moc"
