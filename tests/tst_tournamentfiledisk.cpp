// The tournament file on disk: reading blinds.dat as the director left it,
// and replacing it whole or not at all.
#include "tournamentfiletest.h"

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
using namespace testsupport;

namespace {

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

class TestTournamentFileDisk : public QObject {
    Q_OBJECT

private slots:
    // Every test runs in a private working folder, as the program does.
    void init() { m_work.emplace(); }
    void cleanup() { m_work.reset(); }

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

void TestTournamentFileDisk::readFile() {
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

void TestTournamentFileDisk::writeFileReplacesOldFile() {
    const WriteResult created = writeTournamentFile(BlindsDat, countedTournament(10));
    QVERIFY2(created.ok, qPrintable(created.reason));
    QCOMPARE(testsupport::readFile(), countedFile(10));

    // A shorter file replaces a longer one whole, with nothing left over.
    const WriteResult replaced = writeTournamentFile(BlindsDat, example());
    QVERIFY2(replaced.ok, qPrintable(replaced.reason));
    QCOMPARE(testsupport::readFile(), ExampleTournament);
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{BlindsDat});
}

void TestTournamentFileDisk::writeFailsUnderRegularFile() {
    const QString notAFolder = u"plain"_s;
    QVERIFY(writeFile("x"_ba, notAFolder));

    const WriteResult result = writeTournamentFile(notAFolder + u"/blinds.dat"_s, example());
    QVERIFY(!result.ok);
    QVERIFY2(!result.reason.isEmpty(), "the reason should be given");
    QCOMPARE(testsupport::readFile(notAFolder), "x"_ba);
}

void TestTournamentFileDisk::writeIntoReadOnlyFolderKeepsOldFile() {
    QVERIFY(writeFile(ExampleTournament));

    if (!m_work)
        QFAIL("init() made no working folder");
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

void TestTournamentFileDisk::writeFailingMidwayKeepsOldFile() {
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

void TestTournamentFileDisk::writeRefusesUnwritableText() {
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
void TestTournamentFileDisk::readRefusals_data() {
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

void TestTournamentFileDisk::readRefusals() {
    QFETCH(QByteArray, bytes);
    QFETCH(ReadError, error);
    QFETCH(QString, message);
    QVERIFY(writeFile(bytes));
    const ReadResult read = readTournamentFile(BlindsDat);
    QCOMPARE(read.error, error);
    QCOMPARE(read.message(), message);
}

// The other side of each refusal: what the reader still takes.
void TestTournamentFileDisk::readAccepted_data() {
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

void TestTournamentFileDisk::readAccepted() {
    QFETCH(QByteArray, bytes);
    QFETCH(Tournament, expected);
    QVERIFY(writeFile(bytes));
    const ReadResult read = readTournamentFile(BlindsDat);
    QVERIFY2(read.ok(), qPrintable(read.message()));
    QCOMPARE(read.tournament, expected);
}

// What stands at blinds.dat in place of a file: the reader must neither wait
// on a named pipe nor read a device without end.
void TestTournamentFileDisk::readSpecialFiles_data() {
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

void TestTournamentFileDisk::readSpecialFiles() {
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

QTEST_APPLESS_MAIN(TestTournamentFileDisk)
#include "tst_tournamentfiledisk.moc"
