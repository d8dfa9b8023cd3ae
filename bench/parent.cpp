// The benches the parent runs (drift, idle, start-up), each through child
// processes of this program, and the report of their figures.

#include "bench/parent.h"
#include "bench/child.h"
#include "bench/live.h"
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
constexpr int StartupTimeoutMs = 30'000;

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
    if (options.live)
        liveBench(report, folder.path(), options);

    if (report.status() == 0)
        std::fputs("orvandel-bench: every target met\n", stderr);
    else
        std::fprintf(stderr, "orvandel-bench: %d target(s) missed, %d error(s)\n", report.missed(),
                     report.errors());
    return report.status();
}

} // namespace bench
