#include "bench/modes.h"
#include "bench/childsupport.h"

#include "app/application.h"
#include "app/opening.h"
#include "bench/tournament.h"
#include "clock/blinds.h"
#include "core/module1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace bench {
namespace {

constexpr int ExposeTimeoutMs = 20'000;
constexpr qint64 StallNs = 1'700 * NsPerMs;

// Ticks the display has counted, from a time text such as " 59:59" or
// "04:59"; -1 for anything else ("Paused", "Ended!").
qint64 countedTicks(const QString &text) {
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 2)
        return -1;
    bool minutesOk = false;
    bool secondsOk = false;
    const int minutes = parts[0].toInt(&minutesOk);
    const int seconds = parts[1].toInt(&secondsOk);
    if (!minutesOk || !secondsOk)
        return -1;
    return LevelMinutes * 60 - (minutes * 60 + seconds);
}

} // namespace

int runSpin(int seconds) {
    QElapsedTimer steady;
    steady.start();
    const pid_t parent = getppid();
    volatile std::uint64_t work = 0;
    // Stop on our own if the parent is gone or forgot us.
    while (steady.elapsed() < qint64{seconds} * 1000 && getppid() == parent) {
        for (int i = 0; i < 100'000; ++i)
            work = work + 1;
    }
    return 0;
}

int runDrift(int argc, char **argv, int seconds) {
    QApplication app(argc, argv);
    chooseOpeningSound();

    QElapsedTimer steady;
    steady.start();
    const qint64 beforeNs = steady.nsecsElapsed();
    QString failure;
    const QPointer<Blinds> clock = makeClock(&failure);
    // The window deletes itself when closed; whatever is left goes first.
    const auto cleanUp = qScopeGuard([&] { delete clock.data(); });
    const qint64 builtNs = steady.nsecsElapsed();
    if (!clock)
        return error(failure);
    auto *timer = clock->findChild<QTimer *>(QStringLiteral("Timer1"));
    auto *time = clock->findChild<QLabel *>(QStringLiteral("lblTime"));
    if (!timer || !time)
        return error(QStringLiteral("clock window has no Timer1 or no lblTime"));
    if (!timer->isActive())
        return error(QStringLiteral("Timer1 is not running after the clock was built"));

    // The window starts its timer part-way through being built; the time
    // left to its first timeout, which Qt gives in whole milliseconds, dates
    // that start to within about a millisecond (taken in the middle).
    const int remaining = timer->remainingTime();
    qint64 startNs = builtNs;
    if (remaining >= 0 && remaining <= timer->interval())
        startNs = std::max(beforeNs,
                           builtNs - qint64{timer->interval() - remaining} * NsPerMs - NsPerMs / 2);

    struct Event {
        qint64 atNs;
        qint64 counted;
        bool afterStall;
    };
    std::vector<Event> events;
    events.reserve(static_cast<std::size_t>(seconds) + 16);
    bool stalled = false;
    std::vector<qint64> stallLengthsNs;

    // Connected after the window's own slot, so it runs right after the tick.
    QObject::connect(timer, &QTimer::timeout, &app, [&] {
        events.push_back({steady.nsecsElapsed(), countedTicks(time->text()), stalled});
        stalled = false;
    });

    auto atSteady = [&](qint64 dueNs, auto &&action) {
        const qint64 waitMs = std::max<qint64>(0, (dueNs - steady.nsecsElapsed()) / NsPerMs);
        QTimer::singleShot(static_cast<int>(waitMs), Qt::PreciseTimer, &app, action);
    };

    // A stall once a minute, half-way; a run shorter than a minute stalls
    // once in its middle.
    std::vector<qint64> stallsAtS;
    if (seconds < 60)
        stallsAtS.push_back(seconds / 2);
    for (qint64 at = 30; seconds >= 60 && at + 3 < seconds; at += 60)
        stallsAtS.push_back(at);
    for (const qint64 at : stallsAtS) {
        atSteady(startNs + at * NsPerS, [&] {
            const qint64 from = steady.nsecsElapsed();
            while (steady.nsecsElapsed() - from < StallNs) {
            }
            stallLengthsNs.push_back(steady.nsecsElapsed() - from);
            stalled = true;
        });
    }

    int status = 0;
    // Every timer event on stderr, to see where lateness comes from.
    const bool trace = qEnvironmentVariableIsSet("ORVANDEL_BENCH_TRACE");
    // Half-way between ticks, where the display must show every due tick.
    atSteady(startNs + qint64{seconds} * NsPerS + NsPerS / 2, [&] {
        const qint64 endNs = steady.nsecsElapsed();
        const qint64 shown = countedTicks(time->text());
        // exit(), not quit(): quit() would close the window first.
        QApplication::exit(0);
        if (events.empty() || shown < 0) {
            status =
                error(QStringLiteral("no countdown seen; lblTime reads \"%1\"").arg(time->text()));
            return;
        }
        std::vector<double> all;
        std::vector<double> calm;
        for (const Event &event : events) {
            if (event.counted < 0) {
                status = error(QStringLiteral("lblTime did not read as a time during the run"));
                return;
            }
            const double late = ms(event.atNs - (startNs + event.counted * NsPerS));
            if (trace)
                std::fprintf(stderr, "tick at %.3f ms: %lld counted, %.3f ms late%s\n",
                             ms(event.atNs - startNs), static_cast<long long>(event.counted), late,
                             event.afterStall ? " (after a stall)" : "");
            all.push_back(late);
            if (!event.afterStall)
                calm.push_back(late);
        }
        const Event &last = events.back();
        result("drift_end_ms", ms(last.atNs - (startNs + last.counted * NsPerS)));
        result("ticks_counted", static_cast<double>(shown));
        const qint64 wholeSeconds = (endNs - startNs) / NsPerS; // the display counts whole ones
        result("ticks_expected", static_cast<double>(wholeSeconds));
        std::sort(all.begin(), all.end());
        std::sort(calm.begin(), calm.end());
        result("late_p50_ms", percentile(calm, 0.50));
        result("late_p99_ms", percentile(calm, 0.99));
        result("late_max_calm_ms", calm.empty() ? std::nan("") : calm.back());
        result("late_max_ms", all.back());
        result("late_min_ms", all.front());
        result("timer_events", static_cast<double>(events.size()));
        result("stalls", static_cast<double>(stallLengthsNs.size()));
        if (!stallLengthsNs.empty())
            result("stall_ms", ms(*std::max_element(stallLengthsNs.begin(), stallLengthsNs.end())));
        result("build_ms", ms(builtNs - beforeNs));
    });

    clock->show();
    const int exitCode = QApplication::exec();
    return status != 0 ? status : exitCode;
}

// The baseline: the smallest Qt Widgets program that shows one window with a
// line of text in it. A window without text would never load a font, which
// every real window has to.
QWidget *makeMinimalWindow() {
    auto *window = new QWidget;
    auto *text = new QLabel(QStringLiteral("Hello, world"), window);
    text->move(10, 10);
    window->resize(200, 60);
    return window;
}

int runIdle(int argc, char **argv, int seconds, bool minimal) {
    QApplication app(argc, argv);
    QPointer<QWidget> window;
    if (minimal) {
        window = makeMinimalWindow();
    } else {
        chooseOpeningSound();
        QString failure;
        window = makeClock(&failure);
        if (!window)
            return error(failure);
    }
    const auto cleanUp = qScopeGuard([&] { delete window.data(); });
    window->show();
    if (!QTest::qWaitForWindowExposed(window, ExposeTimeoutMs))
        return error(QStringLiteral("window not exposed"));

    // From here on the window only runs; building and showing it is the
    // start-up bench's business.
    const rusage shown = selfUsage();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, [] { QApplication::exit(0); });
    QApplication::exec();
    const qint64 wallMs = wall.elapsed();
    const rusage done = selfUsage();

    result("cpu_ms", cpuMs(done) - cpuMs(shown));
    result("cpu_total_ms", cpuMs(done));
    result("wall_ms", static_cast<double>(wallMs));
    result("maxrss_kb", static_cast<double>(done.ru_maxrss));
    return 0;
}

int runStartup(int argc, char **argv, bool minimal) {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QWidget> window;
    if (minimal) {
        app = std::make_unique<QApplication>(argc, argv);
        window.reset(makeMinimalWindow());
    } else {
        // As the program's main() does.
        app = std::make_unique<orvandel::OrvandelApplication>(argc, argv);
        window = std::make_unique<Opening>(nullptr);
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get(), ExposeTimeoutMs))
        return error(QStringLiteral("window not exposed"));
    std::printf("shown\n");
    std::fflush(stdout);
    return 0;
}

} // namespace bench
