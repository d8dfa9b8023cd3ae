// The soak watcher: reads what the real program (another process, on an Xvfb
// screen, its clock sped up by libfaketime) shows in its time label, straight
// from Xvfb's memory-mapped framebuffer, pauses and resumes it with XTest
// clicks, and judges at the end whether every second the tournament lasted
// was counted and shown, and whether its memory, files or threads grew.
//
// Reading the label: see soakprobe.cpp.
//
// Time: libfaketime runs the program's clocks at `factor` times the real
// ones, so a real interval here times the factor is the program's interval.

#include "bench/modes.h"
#include "bench/soakprobe.h"

#include "clock/blinds.h"
#include "core/module1.h"
#include "core/timetext.h"
#include "core/tournamentfile.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <deque>
#include <optional>
#include <vector>

namespace bench {
namespace {

constexpr long SampleNs = 200'000;
constexpr int StableSamples = 5;
// How far a display's count may lie from the one the time since the last
// display suggests; less than the shortest level (a minute), whose texts
// repeat in the next.
constexpr qint64 CatchUpWindow = 25;

void figure(const char *name, double value, int decimals) {
    std::printf("%s %.*f\n", name, decimals, value);
    std::fflush(stdout);
}

int missed = 0;
int failed = 0;

void check(const char *name, double value, int decimals, const char *op, double limit, bool ok) {
    std::printf("%s %.*f target%s%g %s\n", name, decimals, value, op, limit, ok ? "ok" : "MISS");
    std::fflush(stdout);
    if (!ok)
        ++missed;
}

void fail(const QString &text) {
    std::printf("error soak: %s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
    ++failed;
}

// One run of the clock between a start or resume and the next pause or end.
struct Segment {
    double minPhase = 1e300; // least (display time - ticks counted): the grid
    double maxPhase = -1e300;
    qint64 displays = 0;
    std::deque<double> recent; // the last phases, for the grid where the segment ends
    double recentMin() const { return *std::min_element(recent.begin(), recent.end()); }
};

} // namespace

int runSoakWatch(int argc, char **argv, const SoakOptions &options) {
    QApplication app(argc, argv);
    Module1::SoundFile = QStringLiteral("sound1.wav");

    const orvandel::ReadResult file = orvandel::readTournamentFile(QStringLiteral("blinds.dat"));
    if (!file.ok()) {
        fail(file.message());
        return 2;
    }
    const orvandel::Tournament &tournament = file.tournament;
    // Seconds of each level; level 1 always has the level length.
    std::vector<qint64> levelSeconds;
    for (qint16 level = 1; level <= tournament.levelCount; ++level)
        levelSeconds.push_back(qint64{level == tournament.breakRound && level > 1
                                          ? tournament.breakMinutes
                                          : tournament.levelMinutes} *
                               60);
    qint64 totalTicks = 0;
    for (const qint64 s : levelSeconds)
        totalTicks += s;

    // The text tick k (counted from 1) puts in the time label.
    auto timeAfter = [&](qint64 k) -> QString {
        if (k >= totalTicks)
            return QStringLiteral("Ended!");
        qint64 left = k;
        for (const qint64 s : levelSeconds) {
            if (left <= s) { // the tick that ends a level shows 00:00
                const qint64 remaining = s - left;
                return orvandel::timeText(static_cast<qint16>(remaining / 60),
                                          static_cast<qint16>(remaining % 60));
            }
            left -= s;
        }
        return {};
    };

    Blinds copy;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    LabelTexts known;
    QString why;
    if (!learnLabelTexts(copy, screen, levelSeconds, &known, &why)) {
        fail(why);
        return 2;
    }
    const QRect &label = known.label;
    const std::vector<int> &rows = known.rows;
    const int firstColumn = known.firstColumn;
    const int columns = known.columns;
    const QHash<quint64, QString> &texts = known.texts;

    Framebuffer fb;
    Clicker clicker;
    if (!fb.open(options.framebuffer, &why) || !clicker.open(&why)) {
        fail(why);
        return 2;
    }
    if (fb.width() != screen.width() || fb.height() != screen.height()) {
        fail(QStringLiteral("the framebuffer is not the screen's size"));
        return 2;
    }
    // Ready: the driver may start the program now.
    QFile ready(options.readyFile);
    ready.open(QIODevice::WriteOnly);
    ready.close();
    std::fprintf(stderr, "soak: %lld texts known, watching rows %d-%d of lblTime %dx%d+%d+%d\n",
                 static_cast<long long>(texts.size()), rows.front(), rows.back(), label.width(),
                 label.height(), label.x(), label.y());

    auto screenHash = [&] {
        std::uint64_t hash = 0xcbf29ce484222325ull;
        for (const int y : rows)
            hash = hashRow(hash, fb.row(label.x() + firstColumn, label.y() + y), columns);
        return hash;
    };

    const double factor = options.factor;
    const double realStart = realSeconds();
    auto fakeNow = [&] { return (realSeconds() - realStart) * factor; };

    // Pauses: at these ticks counted, for pauseSeconds of clock time each.
    std::vector<qint64> pauseAt;
    for (int i = 1; i <= options.pauses; ++i) {
        // Half-way through a minute: levels change on whole minutes, and
        // the tick that pauses must show "Paused", not a level change.
        pauseAt.push_back(totalTicks * (2 * i - 1) / (qint64{2} * options.pauses) / 60 * 60 + 30);
    }
    const int clickX = label.x() + label.width() / 16;
    const int clickY = label.y() + label.height() / 2;

    std::vector<Segment> segments(1);
    std::vector<double> pauseSpans;
    qint64 counted = -1; // ticks counted at the last display; -1 before the first read
    double lastDisplay = 0;
    qint64 shown = 0; // distinct seconds seen on the screen
    qint64 skipped = 0, unknown = 0, changedInPause = 0;
    std::size_t nextPause = 0;
    bool pauseAsked = false;
    std::optional<double> pausedAt; // fake time of the tick that paused
    double resumeDue = 0;
    double pausedTick = 0;
    std::optional<Resources> startResources;
    double endTime = -1;
    std::uint64_t settled = screenHash(), candidate = settled;
    double candidateAt = fakeNow();
    int candidateSamples = 0;
    double lastChange = candidateAt;
    // Clock seconds without a change while running; at least 5 real ones,
    // since a busy machine can hold the program up for that long.
    const double giveUpAfter = std::max(30.0, 5 * options.factor);
    QString lastUnknown;

    for (;;) {
        const timespec pause{0, SampleNs};
        nanosleep(&pause, nullptr);
        const double now = fakeNow();
        const std::uint64_t hash = screenHash();
        if (pausedAt && now >= resumeDue) {
            const double r =
                (clicker.click(clickX, clickY, 0, fb.height() - 1) - realStart) * factor;
            pauseSpans.push_back(r - pausedTick);
            segments.emplace_back();
            pausedAt.reset();
            lastChange = r;
        }
        if (hash != candidate) {
            candidate = hash;
            candidateAt = now;
            candidateSamples = 1;
            continue;
        }
        // Xvfb copies a drawing in a moment, but a busy machine can stop it
        // half-way: a drawing counts once it has stood for StableSamples.
        if (++candidateSamples < StableSamples)
            continue;
        if (hash == settled) {
            if (counted >= 0 && !pausedAt && now - lastChange > giveUpAfter) {
                // An untimed final level hides the time and stops: was "Yes"
                // on the opening screen missed?
                fail(QStringLiteral("the display stopped after %1 seconds counted").arg(counted));
                if (qEnvironmentVariableIsSet("ORVANDEL_SOAK_DEBUG")) {
                    QImage shot(fb.width(), fb.height(), QImage::Format_RGB32);
                    for (int y = 0; y < fb.height(); ++y)
                        std::copy_n(fb.row(0, y), fb.width(),
                                    reinterpret_cast<QRgb *>(shot.scanLine(y)));
                    shot.scaledToWidth(960).save(QStringLiteral("/tmp/soak-stopped.png"));
                }
                break;
            }
            if (counted < 0 && now > 600 * std::max(1.0, factor / 60)) {
                fail(QStringLiteral("no time read from the screen"));
                break;
            }
            continue;
        }
        // A new drawing that stands: the screen has settled.
        settled = hash;
        const double at = candidateAt;
        lastChange = at;
        const auto found = texts.constFind(hash);
        if (found == texts.cend() && qEnvironmentVariableIsSet("ORVANDEL_SOAK_DEBUG")) {
            static int saved = 0;
            if (saved < 5) {
                QImage shot(label.size(), QImage::Format_RGB32);
                for (int y = 0; y < label.height(); ++y)
                    std::copy_n(fb.row(label.x(), label.y() + y), label.width(),
                                reinterpret_cast<QRgb *>(shot.scanLine(y)));
                shot.save(QStringLiteral("/tmp/soak-unknown%1.png").arg(saved++));
            }
        }
        if (found == texts.cend()) {
            if (counted >= 0) {
                ++unknown;
                lastUnknown = QStringLiteral("after %1 ticks").arg(counted);
            }
            continue;
        }
        const QString &text = found.value();
        if (counted < 0) {
            // First read: a second of level 1 (its texts are all different).
            for (qint64 k = 1; k < levelSeconds.front(); ++k)
                if (timeAfter(k) == text)
                    counted = k;
            if (counted < 0)
                continue;
            lastDisplay = at;
        } else {
            if (pausedAt) {
                ++changedInPause;
                continue;
            }
            // The seconds that passed since the last display say roughly
            // how far the count has gone (a hold-up makes the clock catch
            // up); the text says exactly. Texts repeat only a level apart.
            qint64 k = -1;
            if (pauseAsked && text == QLatin1String("Paused"))
                k = counted + 1;
            const qint64 guess = counted + std::max<qint64>(1, std::llround(at - lastDisplay));
            for (qint64 c = std::max(counted + 1, guess - CatchUpWindow);
                 c <= guess + CatchUpWindow && k < 0; ++c)
                if (timeAfter(c) == text)
                    k = c;
            for (qint64 c = counted + 1; c <= counted + 5 && k < 0; ++c)
                if (timeAfter(c) == text)
                    k = c;
            if (k < 0) {
                ++unknown;
                lastUnknown = QStringLiteral("\"%1\" after %2 ticks").arg(text).arg(counted);
                continue;
            }
            // The first minute is the driver's: the window is stretched
            // over the screen then, and the clock catches up after it.
            if (counted >= 60)
                skipped += k - counted - 1;
            counted = k;
        }
        ++shown;
        if (qEnvironmentVariableIsSet("ORVANDEL_SOAK_DEBUG"))
            std::fprintf(stderr, "soak: %.3f s %lld \"%s\"\n", at, static_cast<long long>(counted),
                         text.toLocal8Bit().constData());
        Segment &segment = segments.back();
        segment.minPhase = std::min(segment.minPhase, at - static_cast<double>(counted));
        if (counted > 60)
            segment.maxPhase = std::max(segment.maxPhase, at - static_cast<double>(counted));
        lastDisplay = at;
        ++segment.displays;
        segment.recent.push_back(at - static_cast<double>(counted));
        if (segment.recent.size() > 60)
            segment.recent.pop_front();

        if (!startResources && counted >= 60)
            startResources = readResources(options.pidFile);
        if (text == QLatin1String("Ended!")) {
            endTime = at;
            break;
        }
        if (text == QLatin1String("Paused")) {
            pauseAsked = false;
            pausedAt = at;
            pausedTick = segment.recentMin() + static_cast<double>(counted);
            resumeDue = at + options.pauseSeconds;
            continue;
        }
        if (nextPause < pauseAt.size() && counted >= pauseAt[nextPause] && !pauseAsked) {
            clicker.click(clickX, clickY, 0, fb.height() - 1);
            pauseAsked = true;
            ++nextPause;
        }
    }

    // The end: the clock must stand still on its end screen.
    const timespec settle{0, 300'000'000};
    nanosleep(&settle, nullptr);
    const Resources end = readResources(options.pidFile);
    auto sameAsDrawn = [&](const QImage &image, const QRect &where) {
        for (int y = 0; y < where.height(); ++y) {
            const QRgb *screenRow = fb.row(where.x(), where.y() + y);
            const auto *drawn = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < where.width(); ++x)
                if ((screenRow[x] & 0xffffffu) != (drawn[x] & 0xffffffu))
                    return false;
        }
        return true;
    };

    figure("soak_factor", factor, 0);
    figure("soak_tournament_s", static_cast<double>(totalTicks), 0);
    figure("soak_pauses", static_cast<double>(pauseSpans.size()), 0);
    double paused = 0;
    for (const double span : pauseSpans)
        paused += span;
    figure("soak_paused_s", paused, 1);
    if (endTime < 0 || counted != totalTicks) {
        if (failed == 0)
            fail(QStringLiteral("no end seen"));
        return 2;
    }
    // The clock started one tick interval before its first tick was due.
    const double clockStart = segments.front().minPhase;
    // Where the clock's ticks fell at the end: the least lateness of the
    // last displays, so that one slow drawing is not taken for a lost second.
    const double endGrid = segments.back().recentMin() + static_cast<double>(totalTicks);
    const double passed = endGrid - clockStart - paused;
    figure("soak_end_display_late_ms", (endTime - endGrid) * 1000, 0);
    // A display is on time from its due moment until the next second is due;
    // 0.1 s before its moment still counts as on time (the grid is read from
    // displays, each drawn a little after its moment).
    const double lost = std::floor(passed - static_cast<double>(totalTicks) + 0.1);
    figure("soak_seconds_passed", passed, 2);
    check("soak_seconds_counted", static_cast<double>(counted), 0, "=",
          static_cast<double>(totalTicks), counted == totalTicks);
    check("soak_seconds_lost", lost, 0, "=", 0, lost == 0);
    // Seconds never on the screen: a tick drawn too late for its second (the
    // next one had come). The count goes on regardless, so this tells of the
    // machine's load and the X server as much as of the clock, and is not
    // held to a target; the lost seconds above are.
    figure("soak_seconds_skipped", static_cast<double>(skipped), 0);
    figure("soak_seconds_shown", static_cast<double>(shown), 0);
    double lateMax = 0;
    for (const Segment &segment : segments)
        if (segment.displays > 0)
            lateMax = std::max(lateMax, segment.maxPhase - segment.minPhase);
    lateMax = std::max(lateMax, 0.0);
    figure("soak_display_late_max_ms", lateMax * 1000, 0);
    // A drawing Xvfb had not finished copying can stand for the five samples
    // on a busy machine; the counts above are read from the readable ones and
    // stay exact.
    figure("soak_unreadable_displays", static_cast<double>(unknown), 0);
    if (unknown)
        std::fprintf(stderr, "soak: last unreadable display %s\n",
                     lastUnknown.toLocal8Bit().constData());
    check("soak_changes_in_pause", static_cast<double>(changedInPause), 0, "=", 0,
          changedInPause == 0);
    const bool endedShown = sameAsDrawn(known.endedTime, label);
    const bool lineShown = sameAsDrawn(known.endedLine, known.line5Rect);
    std::printf("soak_final_time_text %s target=Ended! %s\n", endedShown ? "Ended!" : "other",
                endedShown ? "ok" : "MISS");
    std::printf("soak_final_line_text %s target=This_tournament_has %s\n",
                lineShown ? "This_tournament_has" : "other", lineShown ? "ok" : "MISS");
    missed += endedShown ? 0 : 1;
    missed += lineShown ? 0 : 1;
    if (!startResources || end.rssKb < 0 || startResources->rssKb < 0) {
        fail(QStringLiteral("could not read /proc of the pid in ") + options.pidFile);
        return 2;
    }
    figure("soak_rss_start_kb", startResources->rssKb, 0);
    figure("soak_rss_end_kb", end.rssKb, 0);
    const double growth = end.rssKb - startResources->rssKb;
    check("soak_rss_growth_kb", growth, 0, "<", 1024, growth < 1024);
    figure("soak_fds_start", startResources->fds, 0);
    // The journal stays open while the clock runs and is closed at the end:
    // one fewer then, never more.
    check("soak_fds_end", end.fds, 0, "<=", startResources->fds, end.fds <= startResources->fds);
    figure("soak_threads_start", startResources->threads, 0);
    check("soak_threads_end", end.threads, 0, "=", startResources->threads,
          end.threads == startResources->threads);
    return failed ? 2 : missed ? 1 : 0;
}

} // namespace bench
