// orvandel-bench: how well the clock keeps time, what it costs at rest and
// how fast the program opens. Run without --mode it is the parent: it starts
// itself as child processes, one per measurement, judges their results and
// prints one line per figure, "<name> <value> [target<limit ok|MISS]".
// Exit status: 0 all targets met, 1 a target missed, 2 a measurement failed.

#include "bench/live.h"
#include "bench/modes.h"
#include "bench/parent.h"
#include "bench/tournament.h"

#include <QByteArrayView>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace {

using bench::Options;

void usage() {
    std::fputs("usage: orvandel-bench [--short] [--seconds N] [--idle-seconds N] [--pairs N]\n"
               "                      [--only drift,idle,startup,live]\n"
               "  --short         drift 30 s, idle 20 s, 5 start-up pairs, live phases 10 s\n"
               "  --seconds N     length of the drift run (default 120)\n"
               "  --idle-seconds  how long the idle windows run (default 60)\n"
               "  --pairs N       start-up runs of each program (default 10)\n"
               "  --only LIST     run only these benches (live runs only when named)\n",
               stderr);
}

std::optional<Options> parseOptions(int argc, char **argv) {
    Options options;
    std::optional<int> seconds, idleSeconds, pairs, port;
    bool isShort = false;
    auto number = [](const QString &text, int low, int high) -> std::optional<int> {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok || value < low || value > high)
            return std::nullopt;
        return value;
    };
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QString value = i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString();
        auto take = [&](std::optional<int> &into, int low, int high) {
            into = number(value, low, high);
            ++i;
            if (!into)
                std::fprintf(stderr, "orvandel-bench: %s wants a number from %d to %d\n",
                             argv[i - 1], low, high);
            return into.has_value();
        };
        if (arg == QLatin1String("--short")) {
            isShort = true;
        } else if (arg == QLatin1String("--mode") && i + 1 < argc) {
            options.mode = value;
            ++i;
        } else if (arg == QLatin1String("--seconds")) {
            if (!take(seconds, 5, 7200))
                return std::nullopt;
        } else if (arg == QLatin1String("--idle-seconds")) {
            if (!take(idleSeconds, 1, 3600))
                return std::nullopt;
        } else if (arg == QLatin1String("--pairs")) {
            if (!take(pairs, 1, 100))
                return std::nullopt;
        } else if (arg == QLatin1String("--port")) {
            if (!take(port, 1, 65535))
                return std::nullopt;
        } else if (arg == QLatin1String("--only") && i + 1 < argc) {
            const QStringList names = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
            options.drift = names.contains(QLatin1String("drift"));
            options.idle = names.contains(QLatin1String("idle"));
            options.startup = names.contains(QLatin1String("startup"));
            options.live = names.contains(QLatin1String("live"));
            ++i;
            for (const QString &name : names) {
                if (name != QLatin1String("drift") && name != QLatin1String("idle") &&
                    name != QLatin1String("startup") && name != QLatin1String("live")) {
                    std::fprintf(stderr, "orvandel-bench: no bench named %s\n",
                                 name.toLocal8Bit().constData());
                    return std::nullopt;
                }
            }
        } else {
            if (arg != QLatin1String("--help"))
                std::fprintf(stderr, "orvandel-bench: unknown argument %s\n", argv[i]);
            usage();
            return std::nullopt;
        }
    }
    options.seconds = seconds.value_or(isShort ? 30 : 120);
    // The countdown must stay inside its one level.
    if (options.mode != QLatin1String("spin") && options.seconds > bench::LevelMinutes * 60 - 120) {
        std::fprintf(stderr, "orvandel-bench: --seconds must be at most %d\n",
                     bench::LevelMinutes * 60 - 120);
        return std::nullopt;
    }
    options.idleSeconds = idleSeconds.value_or(isShort ? 20 : 60);
    options.pairs = pairs.value_or(isShort ? 5 : 10);
    options.liveSeconds = isShort ? 10 : 60;
    options.port = static_cast<quint16>(port.value_or(0));
    return options;
}

} // namespace

// The soak watcher's own arguments: --mode soak-watch --framebuffer FILE
// --pid-file FILE --ready-file FILE --factor N [--pauses N --pause-seconds N].
std::optional<bench::SoakOptions> soakOptions(int argc, char **argv) {
    bench::SoakOptions options;
    for (int i = 3; i + 1 < argc; i += 2) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        bool ok = true;
        if (arg == QLatin1String("--framebuffer"))
            options.framebuffer = value;
        else if (arg == QLatin1String("--pid-file"))
            options.pidFile = value;
        else if (arg == QLatin1String("--ready-file"))
            options.readyFile = value;
        else if (arg == QLatin1String("--factor"))
            options.factor = value.toDouble(&ok);
        else if (arg == QLatin1String("--pauses"))
            options.pauses = value.toInt(&ok);
        else if (arg == QLatin1String("--pause-seconds"))
            options.pauseSeconds = value.toDouble(&ok);
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "orvandel-bench: bad soak argument %s %s\n", argv[i], argv[i + 1]);
            return std::nullopt;
        }
    }
    if (options.framebuffer.isEmpty() || options.pidFile.isEmpty() || options.readyFile.isEmpty() ||
        options.factor <= 0 || options.pauses < 0) {
        std::fputs("orvandel-bench: soak-watch needs --framebuffer, --pid-file, --ready-file and "
                   "--factor\n",
                   stderr);
        return std::nullopt;
    }
    return options;
}

int main(int argc, char **argv) {
    if (argc > 2 && QByteArrayView(argv[1]) == "--mode" &&
        QByteArrayView(argv[2]) == "soak-watch") {
        const std::optional<bench::SoakOptions> options = soakOptions(argc, argv);
        return options ? bench::runSoakWatch(argc, argv, *options) : 2;
    }
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options)
        return 2;
    const QString &mode = options->mode;
    if (mode.isEmpty())
        return bench::runParent(argc, argv, *options);
    if (mode == QLatin1String("spin"))
        return bench::runSpin(options->seconds);
    if (mode == QLatin1String("drift"))
        return bench::runDrift(argc, argv, options->seconds);
    if (mode == QLatin1String("idle-clock") || mode == QLatin1String("idle-minimal"))
        return bench::runIdle(argc, argv, options->idleSeconds,
                              mode == QLatin1String("idle-minimal"));
    if (mode == QLatin1String("live-server"))
        return bench::runLiveServer(argc, argv);
    if (mode == QLatin1String("live-viewers"))
        return bench::runLiveViewers(argc, argv, options->port);
    if (mode == QLatin1String("live-hostile"))
        return bench::runLiveHostile(argc, argv, options->port, options->seconds);
    if (mode == QLatin1String("start-opening") || mode == QLatin1String("start-minimal"))
        return bench::runStartup(argc, argv, mode == QLatin1String("start-minimal"));
    std::fprintf(stderr, "orvandel-bench: unknown mode %s\n", mode.toLocal8Bit().constData());
    return 2;
}
