// orvandel-bench: how well the clock keeps time, what it costs at rest and
// how fast the program opens. Run without --mode it is the parent: it starts
// itself as child processes, one per measurement, judges their results and
// prints one line per figure, "<name> <value> [target<limit ok|MISS]".
// Exit status: 0 all targets met, 1 a target missed, 2 a measurement failed.

#include "bench/live.h"
#include "bench/modes.h"
#include "bench/parent.h"
#include "bench/tournament.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

using bench::Options;

void complain(const QString &text) {
    std::fprintf(stderr, "orvandel-bench: %s\n", qPrintable(text));
}

// The value of --name, or `fallback` when it is not given, as a number from
// low to high; none, with a complaint, when it is not one.
template <typename Number>
std::optional<Number> number(const QCommandLineParser &parser, const QString &name, Number fallback,
                             Number low, Number high) {
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    // In range before the cast; a whole number where one is wanted.
    if (ok && value >= static_cast<double>(low) && value <= static_cast<double>(high) &&
        static_cast<double>(static_cast<Number>(value)) == value)
        return static_cast<Number>(value);
    complain(u"--%1 wants a number from %2 to %3"_s.arg(name, QString::number(low),
                                                        QString::number(high)));
    return std::nullopt;
}

std::optional<Options> benchOptions(const QCommandLineParser &parser) {
    Options options;
    options.mode = parser.value(u"mode"_s);
    const bool isShort = parser.isSet(u"short"_s);
    const auto seconds = number(parser, u"seconds"_s, isShort ? 30 : 120, 5, 7200);
    const auto idleSeconds = number(parser, u"idle-seconds"_s, isShort ? 20 : 60, 1, 3600);
    const auto pairs = number(parser, u"pairs"_s, isShort ? 5 : 10, 1, 100);
    const auto port = number(parser, u"port"_s, 0, 1, 65535);
    if (!seconds || !idleSeconds || !pairs || !port)
        return std::nullopt;
    options.seconds = *seconds;
    options.idleSeconds = *idleSeconds;
    options.pairs = *pairs;
    options.liveSeconds = isShort ? 10 : 60;
    options.port = static_cast<quint16>(*port);
    if (parser.isSet(u"only"_s)) {
        const QStringList names = parser.value(u"only"_s).split(u',');
        options.drift = names.contains(u"drift"_s);
        options.idle = names.contains(u"idle"_s);
        options.startup = names.contains(u"startup"_s);
        options.live = names.contains(u"live"_s);
        for (const QString &name : names) {
            if (name != u"drift"_s && name != u"idle"_s && name != u"startup"_s &&
                name != u"live"_s) {
                complain(u"no bench named %1"_s.arg(name));
                return std::nullopt;
            }
        }
    }
    // The countdown must stay inside its one level.
    if (options.mode != u"spin"_s && options.seconds > bench::LevelMinutes * 60 - 120) {
        complain(u"--seconds must be at most %1"_s.arg(bench::LevelMinutes * 60 - 120));
        return std::nullopt;
    }
    return options;
}

// The soak watcher's own options (bench/soak.sh gives them).
std::optional<bench::SoakOptions> soakOptions(const QCommandLineParser &parser) {
    bench::SoakOptions options;
    options.framebuffer = parser.value(u"framebuffer"_s);
    options.pidFile = parser.value(u"pid-file"_s);
    options.readyFile = parser.value(u"ready-file"_s);
    const auto factor = number(parser, u"factor"_s, 0.0, 0.001, 1000.0);
    const auto pauses = number(parser, u"pauses"_s, options.pauses, 0, 1000);
    const auto pauseSeconds =
        number(parser, u"pause-seconds"_s, options.pauseSeconds, 0.0, 86400.0);
    if (!factor || !pauses || !pauseSeconds)
        return std::nullopt;
    if (options.framebuffer.isEmpty() || options.pidFile.isEmpty() || options.readyFile.isEmpty() ||
        *factor == 0) {
        complain(u"soak-watch needs --framebuffer, --pid-file, --ready-file and --factor"_s);
        return std::nullopt;
    }
    options.factor = *factor;
    options.pauses = *pauses;
    options.pauseSeconds = *pauseSeconds;
    return options;
}

} // namespace

int main(int argc, char **argv) {
    QCommandLineParser parser;
    parser.setApplicationDescription(u"How well the clock keeps time, what it costs at rest and "
                                     "how fast the program opens; one line per figure."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const auto hidden = [](QCommandLineOption option) {
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        return option;
    };
    parser.addOptions({
        {u"short"_s, u"Drift 30 s, idle 20 s, 5 start-up pairs, live phases 10 s."_s},
        {u"seconds"_s, u"Length of the drift run (default 120)."_s, u"N"_s},
        {u"idle-seconds"_s, u"How long the idle windows run (default 60)."_s, u"N"_s},
        {u"pairs"_s, u"Start-up runs of each program (default 10)."_s, u"N"_s},
        {u"only"_s,
         u"Run only these benches: drift,idle,startup,live (live runs only when named)."_s,
         u"LIST"_s},
        // What the parent gives its children, and the soak watcher's options.
        hidden({u"mode"_s, {}, u"MODE"_s}),
        hidden({u"port"_s, {}, u"N"_s}),
        hidden({u"framebuffer"_s, {}, u"FILE"_s}),
        hidden({u"pid-file"_s, {}, u"FILE"_s}),
        hidden({u"ready-file"_s, {}, u"FILE"_s}),
        hidden({u"factor"_s, {}, u"N"_s}),
        hidden({u"pauses"_s, {}, u"N"_s}),
        hidden({u"pause-seconds"_s, {}, u"N"_s}),
    });
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        complain(parser.errorText().isEmpty()
                     ? u"unknown argument %1"_s.arg(parser.positionalArguments().first())
                     : parser.errorText());
        complain(u"--help lists the options"_s);
        return 2;
    }
    if (parser.isSet(help)) {
        const QCoreApplication app(argc, argv); // the help names the program
        parser.showHelp(0);
    }

    const QString mode = parser.value(u"mode"_s);
    if (mode == u"soak-watch"_s) {
        const std::optional<bench::SoakOptions> options = soakOptions(parser);
        return options ? bench::runSoakWatch(argc, argv, *options) : 2;
    }
    const std::optional<Options> options = benchOptions(parser);
    if (!options)
        return 2;
    if (mode.isEmpty())
        return bench::runParent(argc, argv, *options);
    if (mode == u"spin"_s)
        return bench::runSpin(options->seconds);
    if (mode == u"drift"_s)
        return bench::runDrift(argc, argv, options->seconds);
    if (mode == u"idle-clock"_s || mode == u"idle-minimal"_s)
        return bench::runIdle(argc, argv, options->idleSeconds, mode == u"idle-minimal"_s);
    if (mode == u"live-server"_s)
        return bench::runLiveServer(argc, argv);
    if (mode == u"live-viewers"_s)
        return bench::runLiveViewers(argc, argv, options->port);
    if (mode == u"live-hostile"_s)
        return bench::runLiveHostile(argc, argv, options->port, options->seconds);
    if (mode == u"start-opening"_s || mode == u"start-minimal"_s)
        return bench::runStartup(argc, argv, mode == u"start-minimal"_s);
    complain(u"unknown mode %1"_s.arg(mode));
    return 2;
}
