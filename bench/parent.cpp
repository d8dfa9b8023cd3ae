// The benches the parent runs (drift, idle, start-up), each through child
// processes of this program, and the report of their figures.

#include "bench/parent.h"
#include "bench/tournament.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace bench {
namespace {

constexpr double DriftEndLimitMs = 50;
constexpr double LateP99LimitMs = 20;
constexpr double IdleCpuLimitMsPerMinute = 120; // 0.2 % of one core
constexpr double IdleMemoryRatioLimit = 1.3;
constexpr double StartupRatioLimit = 1.3;
// Time a child gets beyond what it is asked to run before it counts as hung.
constexpr int ChildGraceMs = 60'000;
constexpr int StartupTimeoutMs = 30'000;

// The figures printed and how they fared.
class Report {
public:
    enum class Check { Info, Below, AtMost };

    void figure(const char *name, double value, int decimals, Check check = Check::Info,
                double limit = 0) {
        std::printf("%s %.*f", name, decimals, value);
        if (check != Check::Info) {
            const bool ok = check == Check::Below ? value < limit : value <= limit;
            std::printf(" target%s%g %s", check == Check::Below ? "<" : "<=", limit,
                        ok ? "ok" : "MISS");
            if (!ok)
                ++m_missed;
        }
        std::printf("\n");
        std::fflush(stdout);
    }

    // A figure that must equal another measured number.
    void equal(const char *name, double value, double expected) {
        const bool ok = value == expected;
        std::printf("%s %.0f target=%.0f %s\n", name, value, expected, ok ? "ok" : "MISS");
        std::fflush(stdout);
        if (!ok)
            ++m_missed;
    }

    void error(const QString &text) {
        std::printf("error %s\n", text.toLocal8Bit().constData());
        std::fflush(stdout);
        ++m_errors;
    }

    int status() const { return m_errors ? 2 : m_missed ? 1 : 0; }
    int missed() const { return m_missed; }
    int errors() const { return m_errors; }

private:
    int m_missed = 0;
    int m_errors = 0;
};

// One run of this program in a child mode, on the offscreen platform, in the
// bench's working folder, with a deadline.
class Child {
public:
    Child(QString name, const QString &workDir, const QStringList &arguments, int timeoutMs)
        : m_name(std::move(name)), m_timeoutMs(timeoutMs) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(workDir);
        m_process.setProgram(QCoreApplication::applicationFilePath());
        m_process.setArguments(arguments);
    }

    ~Child() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5'000);
        }
    }

    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    bool start() {
        m_clock.start();
        m_process.start();
        if (!m_process.waitForStarted(m_timeoutMs)) {
            m_failure = QStringLiteral("could not start: ") + m_process.errorString();
            return false;
        }
        return true;
    }

    // Milliseconds from start() to reading `line` on the child's stdout.
    std::optional<double> awaitLine(const QByteArray &line) {
        for (;;) {
            while (m_process.canReadLine()) {
                const QByteArray read = m_process.readLine();
                if (read.trimmed() == line)
                    return static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
                m_output += read;
            }
            if (m_process.state() == QProcess::NotRunning)
                break;
            // The last output can arrive together with the end.
            if (!waitForReadyRead() && !m_process.canReadLine())
                break;
        }
        // Ended (or hung): its own error line or status says more than ours.
        if (finish())
            m_failure =
                QStringLiteral("ended without printing \"%1\"").arg(QString::fromLatin1(line));
        return std::nullopt;
    }

    // Waits for the end; false with failure() set when the child hung,
    // crashed, failed or reported an error.
    bool finish() {
        if (!m_failure.isEmpty())
            return false;
        if (!m_process.waitForFinished(std::max(1, remainingMs()))) {
            m_process.kill();
            m_process.waitForFinished(5'000);
            m_failure = QStringLiteral("timed out after %1 s").arg(m_timeoutMs / 1000);
            return false;
        }
        m_output += m_process.readAllStandardOutput();
        for (const QByteArray &line : m_output.split('\n')) {
            const QList<QByteArray> words = line.trimmed().split(' ');
            if (words.size() == 3 && words[0] == "result") {
                bool ok = false;
                const double value = words[2].toDouble(&ok);
                if (ok)
                    m_results.insert(QString::fromLatin1(words[1]), value);
            } else if (line.startsWith("error ")) {
                m_failure = QString::fromLocal8Bit(line.mid(6).trimmed());
            }
        }
        if (m_failure.isEmpty() && m_process.exitStatus() == QProcess::CrashExit)
            m_failure = QStringLiteral("crashed%1").arg(details());
        else if (m_failure.isEmpty() && m_process.exitCode() != 0)
            m_failure =
                QStringLiteral("ended with status %1%2").arg(m_process.exitCode()).arg(details());
        return m_failure.isEmpty();
    }

    // A result the child must have reported; NaN (which fails any target)
    // and a failure when it did not.
    double result(const char *key) {
        const auto found = m_results.constFind(QString::fromLatin1(key));
        if (found != m_results.cend())
            return found.value();
        if (m_failure.isEmpty())
            m_failure = QStringLiteral("reported no %1").arg(QString::fromLatin1(key));
        return std::nan("");
    }

    QString failure() const { return m_name + QStringLiteral(": ") + m_failure; }
    bool failed() const { return !m_failure.isEmpty(); }
    void stop() { m_process.kill(); }

private:
    int remainingMs() const { return m_timeoutMs - static_cast<int>(m_clock.elapsed()); }

    bool waitForReadyRead() {
        if (remainingMs() <= 0 || !m_process.waitForReadyRead(remainingMs())) {
            if (m_process.state() != QProcess::NotRunning) {
                m_failure = QStringLiteral("timed out after %1 s").arg(m_timeoutMs / 1000);
                m_process.kill();
                m_process.waitForFinished(5'000);
            }
            return false;
        }
        return true;
    }

    // The last lines the child wrote to stderr, to say why it failed.
    QString details() {
        const QList<QByteArray> lines = m_process.readAllStandardError().trimmed().split('\n');
        const auto first = lines.size() > 3 ? lines.size() - 3 : 0;
        QStringList tail;
        for (auto i = first; i < lines.size(); ++i)
            if (!lines[i].trimmed().isEmpty())
                tail << QString::fromLocal8Bit(lines[i].trimmed());
        return tail.isEmpty() ? QString() : QStringLiteral(" (stderr: %1)").arg(tail.join(u" | "));
    }

    QString m_name;
    int m_timeoutMs;
    QProcess m_process;
    QElapsedTimer m_clock;
    QByteArray m_output;
    QMap<QString, double> m_results;
    QString m_failure;
};

double median(std::vector<double> values) {
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QStringList args(std::initializer_list<QString> list) {
    return QStringList(list);
}

void driftBench(Report &report, const QString &workDir, const Options &options) {
    const QString seconds = QString::number(options.seconds);
    // Keeps another core busy, so the clock does not have the machine to
    // itself; it stops on its own well after the drift run would have.
    Child spinner(QStringLiteral("spinner"), workDir,
                  args({QStringLiteral("--mode"), QStringLiteral("spin"),
                        QStringLiteral("--seconds"), QString::number(options.seconds + 60)}),
                  ChildGraceMs);
    if (!spinner.start()) {
        report.error(spinner.failure());
        return;
    }
    Child drift(QStringLiteral("drift"), workDir,
                args({QStringLiteral("--mode"), QStringLiteral("drift"),
                      QStringLiteral("--seconds"), seconds}),
                options.seconds * 1000 + ChildGraceMs);
    const bool ran = drift.start() && drift.finish();
    spinner.stop();
    if (!ran) {
        report.error(drift.failure());
        return;
    }
    const double driftEnd = drift.result("drift_end_ms");
    const double counted = drift.result("ticks_counted");
    const double expected = drift.result("ticks_expected");
    const double p50 = drift.result("late_p50_ms");
    const double p99 = drift.result("late_p99_ms");
    const double maxCalm = drift.result("late_max_calm_ms");
    const double max = drift.result("late_max_ms");
    const double min = drift.result("late_min_ms");
    const double events = drift.result("timer_events");
    const double stalls = drift.result("stalls");
    if (drift.failed()) {
        report.error(drift.failure());
        return;
    }
    // Early counts as drift just as late does.
    report.figure("drift_end_ms", std::abs(driftEnd), 1, Report::Check::Below, DriftEndLimitMs);
    report.equal("drift_ticks_counted", counted, expected);
    report.figure("tick_late_p50_ms", p50, 2);
    report.figure("tick_late_p99_ms", p99, 2, Report::Check::Below, LateP99LimitMs);
    report.figure("tick_late_max_ms", max, 1);
    report.figure("tick_late_max_outside_stalls_ms", maxCalm, 2);
    report.figure("tick_late_min_ms", min, 2);
    report.figure("drift_timer_events", events, 0);
    report.figure("drift_stalls", stalls, 0);
}

void idleBench(Report &report, const QString &workDir, const Options &options) {
    auto idleArgs = [&](const char *mode) {
        return args({QStringLiteral("--mode"), QString::fromLatin1(mode),
                     QStringLiteral("--idle-seconds"), QString::number(options.idleSeconds)});
    };
    const int timeoutMs = options.idleSeconds * 1000 + ChildGraceMs;
    // Side by side: each counts only its own CPU time and memory, and both
    // rest nearly all the time.
    Child clock(QStringLiteral("idle clock"), workDir, idleArgs("idle-clock"), timeoutMs);
    Child minimal(QStringLiteral("idle minimal"), workDir, idleArgs("idle-minimal"), timeoutMs);
    const bool clockStarted = clock.start();
    const bool minimalStarted = minimal.start();
    const bool clockRan = clockStarted && clock.finish();
    const bool minimalRan = minimalStarted && minimal.finish();
    if (!clockRan || !minimalRan) {
        for (Child *child : {&clock, &minimal})
            if (child->failed())
                report.error(child->failure());
        return;
    }
    const double clockCpu = clock.result("cpu_ms") * 60'000 / clock.result("wall_ms");
    const double minimalCpu = minimal.result("cpu_ms") * 60'000 / minimal.result("wall_ms");
    const double clockRss = clock.result("maxrss_kb");
    const double minimalRss = minimal.result("maxrss_kb");
    for (Child *child : {&clock, &minimal}) {
        if (child->failed()) {
            report.error(child->failure());
            return;
        }
    }
    report.figure("idle_cpu_ms_per_min", clockCpu, 1, Report::Check::Below,
                  IdleCpuLimitMsPerMinute);
    report.figure("idle_cpu_minimal_ms_per_min", minimalCpu, 1);
    report.figure("idle_peak_rss_kb", clockRss, 0);
    report.figure("idle_peak_rss_minimal_kb", minimalRss, 0);
    report.figure("idle_peak_rss_ratio", clockRss / minimalRss, 2, Report::Check::AtMost,
                  IdleMemoryRatioLimit);
}

std::optional<double> timeStartup(Report &report, const QString &workDir, bool minimal) {
    Child child(minimal ? QStringLiteral("start-up minimal") : QStringLiteral("start-up"), workDir,
                args({QStringLiteral("--mode"),
                      minimal ? QStringLiteral("start-minimal") : QStringLiteral("start-opening")}),
                StartupTimeoutMs);
    std::optional<double> shownMs;
    if (child.start())
        shownMs = child.awaitLine("shown");
    if (!shownMs || !child.finish()) {
        report.error(child.failure());
        return std::nullopt;
    }
    return shownMs;
}

void startupBench(Report &report, const QString &workDir, const Options &options) {
    // One untimed run of each first: the first start after a build reads
    // the libraries and fonts from disk, which says nothing about either.
    if (!timeStartup(report, workDir, false) || !timeStartup(report, workDir, true))
        return;
    std::vector<double> opening;
    std::vector<double> minimal;
    for (int pair = 0; pair < options.pairs; ++pair) {
        // Alternate which goes first, so neither always follows the other.
        for (const bool minimalNow : {pair % 2 == 1, pair % 2 == 0}) {
            const std::optional<double> ms = timeStartup(report, workDir, minimalNow);
            if (!ms)
                return;
            (minimalNow ? minimal : opening).push_back(*ms);
        }
    }
    const double openingMedian = median(opening);
    const double minimalMedian = median(minimal);
    report.figure("startup_ms", openingMedian, 1);
    report.figure("startup_minimal_ms", minimalMedian, 1);
    report.figure("startup_ratio", openingMedian / minimalMedian, 2, Report::Check::AtMost,
                  StartupRatioLimit);
}

// The working folder of every child: the tournament file the clock reads,
// and the sound it loads.
bool prepareFolder(Report &report, const QString &folder) {
    QFile file(QDir(folder).filePath(QStringLiteral("blinds.dat")));
    const QByteArray bytes = bench::tournamentFile();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        report.error(
            QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
        return false;
    }
    const QString sound =
        QDir(QString::fromUtf8(ORVANDEL_BENCH_RESOURCES)).filePath(QStringLiteral("sound1.wav"));
    if (!QFile::copy(sound, QDir(folder).filePath(QStringLiteral("sound1.wav"))))
        std::fprintf(stderr, "orvandel-bench: no %s; the clock runs without its sound\n",
                     sound.toLocal8Bit().constData());
    return true;
}

} // namespace

int runParent(int argc, char **argv, const Options &options) {
    QCoreApplication app(argc, argv);
    Report report;
    QTemporaryDir folder;
    if (!folder.isValid()) {
        report.error(QStringLiteral("no temporary folder: ") + folder.errorString());
        return report.status();
    }
    if (!prepareFolder(report, folder.path()))
        return report.status();

    report.figure("cores", QThread::idealThreadCount(), 0);
    // Other work on the machine delays the clock's wake-ups; say how much
    // there was, so that a missed lateness target can be read in context.
    QFile loadAverage(QStringLiteral("/proc/loadavg"));
    if (loadAverage.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const double load = loadAverage.readLine().split(' ').value(0).toDouble(&ok);
        if (ok)
            report.figure("load_average_1min", load, 2);
    }
    if (options.drift)
        driftBench(report, folder.path(), options);
    if (options.idle)
        idleBench(report, folder.path(), options);
    if (options.startup)
        startupBench(report, folder.path(), options);

    if (report.status() == 0)
        std::fputs("orvandel-bench: every target met\n", stderr);
    else
        std::fprintf(stderr, "orvandel-bench: %d target(s) missed, %d error(s)\n", report.missed(),
                     report.errors());
    return report.status();
}

} // namespace bench
