// The live view under load, every connection on loopback. The server child
// runs the clock window in real time feeding a live view, and measures
// itself phase by phase as the parent tells it on its stdin: its CPU time,
// how late its ticks came, the seconds it lost, its memory. The parent runs
// the phases: idle (no viewer), 200 viewers, their leaving, a hostile minute.
// The viewers child stamps every message; matched with the server's tick
// times (one steady clock for every process of the machine) they give the
// time from the window's tick to each viewer's message.

#include "bench/live.h"
#include "bench/child.h"
#include "bench/childsupport.h"
#include "core/clockdesign.h"

#include "live/liveview.h"

#include <QApplication>
#include <QNetworkProxy>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QWebSocket>
#include <chrono>
#include <malloc.h>
#include <map>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {
namespace {

constexpr int Viewers = 200;
constexpr int HalfOpen = 300;
constexpr int PingFloods = 2;
constexpr int PongSenders = 50;
constexpr int PongEveryMs = 100;
constexpr int NonReaders = 20;
constexpr int DroppedPerMinute = 2'000;
constexpr int FreshEveryMs = 2'000;
constexpr double LatencyP99LimitMs = 20;
constexpr double CpuRatioLimit = 3;
constexpr double LatenessOverIdleLimitMs = 5;
constexpr double FreshLimitMs = 1'000;
constexpr double MemoryBackLimitKb = 1'024;

qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Resident memory, from /proc/self/statm.
double rssKb() {
    long pages = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%*d %ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    return static_cast<double>(pages * sysconf(_SC_PAGESIZE)) / 1024;
}

// Calls `line` with every line that comes on stdin; `closed` when it ends.
template <typename Line, typename Closed>
void readStdin(QObject *context, Line line, Closed closed) {
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, context);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(notifier, &QSocketNotifier::activated, context, [=] {
        char chunk[512];
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0) {
            notifier->setEnabled(false);
            closed();
            return;
        }
        buffer->append(chunk, got);
        for (qsizetype end; (end = buffer->indexOf('\n')) >= 0;) {
            const QByteArray text = buffer->first(end).trimmed();
            buffer->remove(0, end + 1);
            line(text);
        }
    });
}

// "remainingMs":N in a face's JSON; -1 when there is none.
qint64 remainingIn(QStringView json) {
    const QStringView key = u"\"remainingMs\":";
    const qsizetype at = json.indexOf(key);
    if (at < 0)
        return -1;
    qsizetype end = at + key.size();
    while (end < json.size() && json[end].isDigit())
        ++end;
    bool ok = false;
    const qint64 value = json.sliced(at + key.size(), end - at - key.size()).toLongLong(&ok);
    return ok ? value : -1;
}

// Remembers when the timer's events come, before the window handles them.
class TimerEvents final : public QObject {
public:
    qint64 lastNs = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Timer)
            lastNs = steadyNs();
        return false;
    }
};

// The viewers and the attackers are other machines in the room; here they
// share the server's two cores, so they give way to it rather than delay
// its ticks in a way no phone could.
void yieldToTheServer() {
    setpriority(PRIO_PROCESS, 0, 19);
}

} // namespace

int runLiveServer(int argc, char **argv) {
    QApplication app(argc, argv);
    chooseOpeningSound();
    QString failure;
    std::unique_ptr<Blinds> clock(makeClock(&failure));
    if (!clock)
        return error(failure);
    clock->setAttribute(Qt::WA_DeleteOnClose, false);
    auto *timer = clock->findChild<QTimer *>(QStringLiteral("Timer1"));
    if (!timer)
        return error(QStringLiteral("clock window has no Timer1"));
    TimerEvents timerEvents;
    timer->installEventFilter(&timerEvents);

    // Every tick: the time its timer event came and the time left after it.
    // The grid is where ticks fall when on time: the least of (time - counted
    // seconds) over every tick so far.
    struct Tick {
        qint64 remainingMs;
        qint64 atNs;
    };
    std::vector<Tick> ticks;
    const qint64 startRemainingMs = clock->face().remainingMs;
    qint64 gridNs = std::numeric_limits<qint64>::max();
    auto counted = [&](const Tick &tick) { return (startRemainingMs - tick.remainingMs) / 1000; };

    LiveView view;
    view.setDesign(orvandel::designToJson());
    view.publish(clock->face());
    QObject::connect(clock.get(), &Blinds::faceChanged, &view, &LiveView::publish);
    QObject::connect(clock.get(), &Blinds::faceChanged, &app, [&](const orvandel::ClockFace &face) {
        if (!ticks.empty() && ticks.back().remainingMs == face.remainingMs)
            return;
        ticks.push_back({face.remainingMs, timerEvents.lastNs});
        gridNs = std::min(gridNs, ticks.back().atNs - counted(ticks.back()) * NsPerS);
    });

    QTcpServer probe;
    if (!probe.listen(QHostAddress::Any, 0))
        return error(QStringLiteral("no free port: ") + probe.errorString());
    const quint16 first = probe.serverPort();
    probe.close();
    if (!view.start(first, static_cast<quint16>(first + 20), &failure))
        return error(failure);
    clock->show();
    std::printf("port %u\n", view.port());
    std::fflush(stdout);

    struct Phase {
        double cpuMs;
        std::size_t firstTick;
    };
    std::map<QByteArray, Phase> phases;
    // Through the hostile minute, the most memory held at any moment.
    double peakRssKb = 0;
    QTimer sampler;
    sampler.callOnTimeout(&app, [&] { peakRssKb = std::max(peakRssKb, rssKb()); });

    auto endPhase = [&](const QByteArray &name) {
        const auto found = phases.find(name);
        if (found == phases.end() || ticks.empty()) {
            error(QStringLiteral("phase %1 ended before it began or before any tick")
                      .arg(QString::fromLatin1(name)));
            QApplication::exit(2);
            return;
        }
        const Phase &phase = found->second;
        const std::string key = name.toStdString();
        auto put = [&](const char *what, double value) {
            result((key + '_' + what).c_str(), value);
        };
        put("cpu_ms", cpuMs(selfUsage()) - phase.cpuMs);
        std::vector<double> late;
        for (std::size_t i = phase.firstTick; i < ticks.size(); ++i) {
            const Tick &tick = ticks[i];
            late.push_back(ms(tick.atNs - counted(tick) * NsPerS - gridNs));
            std::printf("tick %s %lld %lld\n", name.constData(),
                        static_cast<long long>(tick.remainingMs),
                        static_cast<long long>(tick.atNs));
        }
        std::sort(late.begin(), late.end());
        put("ticks", static_cast<double>(late.size()));
        put("late_p50_ms", percentile(late, 0.50));
        put("late_p99_ms", percentile(late, 0.99));
        put("late_max_ms", late.empty() ? std::nan("") : late.back());
        // Half-way between ticks the display has counted every second due.
        const qint64 due = (steadyNs() - gridNs) / NsPerS;
        put("seconds_lost", static_cast<double>(due - counted(ticks.back())));
        put("viewers", view.viewerCount());
        if (sampler.isActive()) {
            sampler.stop();
            put("rss_peak_kb", peakRssKb);
        }
        std::printf("ended %s\n", name.constData());
        std::fflush(stdout);
    };

    readStdin(
        &app,
        [&](const QByteArray &line) {
            const QByteArray name = line.mid(line.indexOf(' ') + 1);
            if (line.startsWith("begin ")) {
                phases[name] = {cpuMs(selfUsage()), ticks.size()};
                if (name == "hostile") {
                    peakRssKb = rssKb();
                    sampler.start(100);
                }
            } else if (line.startsWith("end ")) {
                // Measured half-way between two ticks of the grid.
                const qint64 sinceGrid = (steadyNs() - gridNs) % NsPerS;
                const qint64 waitNs = (NsPerS / 2 - sinceGrid + NsPerS) % NsPerS;
                QTimer::singleShot(static_cast<int>(waitNs / NsPerMs), Qt::PreciseTimer, &app,
                                   [&endPhase, name] { endPhase(name); });
            } else if (line.startsWith("memory ")) {
                // What the program holds, not what the allocator keeps for later.
                malloc_trim(0);
                const struct mallinfo2 heap = mallinfo2();
                const std::string key = name.toStdString();
                result((key + "_heap_kb").c_str(),
                       static_cast<double>(heap.uordblks + heap.hblkhd) / 1024);
                result((key + "_rss_kb").c_str(), rssKb());
                std::printf("ended %s\n", name.constData());
                std::fflush(stdout);
            } else if (line == "quit") {
                QApplication::exit(0);
            }
        },
        [] { QApplication::exit(0); });
    return QApplication::exec();
}

int runLiveViewers(int argc, char **argv, quint16 port) {
    QCoreApplication app(argc, argv);
    yieldToTheServer();
    const int count = Viewers;
    struct Heard {
        qint64 remainingMs;
        qint64 atNs;
    };
    std::vector<Heard> heard;
    heard.reserve(static_cast<std::size_t>(count) * 200);
    std::vector<std::unique_ptr<QWebSocket>> sockets;
    int connected = 0;
    int dropped = 0;
    bool leaving = false;
    const QUrl url(QStringLiteral("ws://127.0.0.1:%1/live").arg(port));
    for (int i = 0; i < count; ++i) {
        auto socket = std::make_unique<QWebSocket>();
        socket->setProxy(QNetworkProxy::NoProxy);
        QObject::connect(socket.get(), &QWebSocket::textMessageReceived, &app,
                         [&heard](const QString &text) {
                             const qint64 at = steadyNs();
                             const qint64 remaining = remainingIn(text);
                             if (remaining >= 0)
                                 heard.push_back({remaining, at});
                         });
        QObject::connect(socket.get(), &QWebSocket::connected, &app, [&] {
            if (++connected == count) {
                std::printf("connected\n");
                std::fflush(stdout);
            }
        });
        QObject::connect(socket.get(), &QWebSocket::disconnected, &app, [&] {
            if (!leaving)
                ++dropped;
        });
        socket->open(url);
        sockets.push_back(std::move(socket));
    }

    auto leave = [&] {
        if (std::exchange(leaving, true))
            return;
        for (const auto &socket : sockets)
            socket->close();
        // Time for the closing handshakes, then the report.
        QTimer::singleShot(2'000, &app, [&] {
            for (const Heard &h : heard)
                std::printf("heard %lld %lld\n", static_cast<long long>(h.remainingMs),
                            static_cast<long long>(h.atNs));
            result("viewers_connected", connected);
            result("viewers_dropped", dropped);
            result("viewer_messages", static_cast<double>(heard.size()));
            QCoreApplication::exit(0);
        });
    };
    readStdin(
        &app,
        [&](const QByteArray &line) {
            if (line == "leave")
                leave();
        },
        leave);
    return QCoreApplication::exec();
}

int runLiveHostile(int argc, char **argv, quint16 port, int seconds) {
    QCoreApplication app(argc, argv);
    yieldToTheServer();
    const QByteArray halfHead = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: slow\r\n";
    auto connectTo = [port](QTcpSocket &socket) {
        socket.setProxy(QNetworkProxy::NoProxy);
        socket.connectToHost(QHostAddress::LocalHost, port);
    };

    // Half a head each, made again once a second where the server closed one.
    std::vector<std::unique_ptr<QTcpSocket>> halfOpen(HalfOpen);
    int halfOpenMade = 0;
    auto refill = [&] {
        for (auto &slot : halfOpen) {
            if (slot && slot->state() != QAbstractSocket::UnconnectedState)
                continue;
            slot = std::make_unique<QTcpSocket>();
            connectTo(*slot);
            slot->write(halfHead);
            ++halfOpenMade;
        }
    };
    refill();
    QTimer refiller;
    refiller.callOnTimeout(&app, refill);
    refiller.start(1'000);

    // Opened and dropped, evenly through the run.
    const int dropTotal = DroppedPerMinute * seconds / 60;
    int dropMade = 0;
    QTimer dropper;
    dropper.callOnTimeout(&app, [&] {
        auto *socket = new QTcpSocket(&app);
        QObject::connect(socket, &QTcpSocket::connected, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        QObject::connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
        connectTo(*socket);
        if (++dropMade == dropTotal)
            dropper.stop();
    });
    // All made within the first 95 % of the run, whatever the timer's slack.
    dropper.start(std::max(1, seconds * 950 / std::max(1, dropTotal)));

    // WebSockets opened by hand, as a hostile client would: ping floods
    // that never read, so that every ping's answer waits at the server;
    // pong senders that never read and send an unasked pong every 100 ms, so
    // that they never look silent; viewers that never read and never answer.
    // Each opens, then reads nothing after the server's answer; a flood or a
    // pong sender the server closed is made again on the refill.
    const QByteArray upgrade = "GET /live HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                               "Connection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n";
    // Masked (with 01 02 03 04) and empty, as a client sends them.
    const QByteArray ping("\x89\x80\x01\x02\x03\x04", 6);
    const QByteArray pong("\x8a\x80\x01\x02\x03\x04", 6);
    const QByteArray pingBurst = ping.repeated(10'000);
    struct Attacker {
        std::unique_ptr<QTcpSocket> socket;
        bool open = false; // the server answered 101
    };
    std::vector<Attacker> floods(PingFloods);
    std::vector<Attacker> pongSenders(PongSenders);
    std::vector<Attacker> nonReaders(NonReaders);
    int floodsMade = 0;
    int pongSendersMade = 0;
    auto openByHand = [&](Attacker &attacker, auto whenOpen) {
        attacker = {std::make_unique<QTcpSocket>(), false};
        QTcpSocket *socket = attacker.socket.get();
        auto heard = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [=, &attacker] {
            *heard += socket->readAll();
            if (attacker.open || !heard->contains("\r\n\r\n"))
                return;
            attacker.open = heard->startsWith("HTTP/1.1 101 ");
            // From here nothing is read: what the server sends waits.
            socket->setReadBufferSize(1);
            QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
            if (attacker.open)
                whenOpen(socket);
        });
        connectTo(*socket);
        socket->write(upgrade);
    };
    auto flood = [&](QTcpSocket *socket) {
        auto more = [socket, &pingBurst] {
            if (socket->bytesToWrite() < pingBurst.size())
                socket->write(pingBurst);
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    };
    auto remake = [&](std::vector<Attacker> &attackers, int &made, auto whenOpen) {
        for (Attacker &attacker : attackers) {
            if (attacker.socket && attacker.socket->state() != QAbstractSocket::UnconnectedState)
                continue;
            openByHand(attacker, whenOpen);
            ++made;
        }
    };
    auto remakeAttackers = [&] {
        remake(floods, floodsMade, flood);
        remake(pongSenders, pongSendersMade, [](QTcpSocket *) {});
    };
    remakeAttackers();
    refiller.callOnTimeout(&app, remakeAttackers);
    for (Attacker &nonReader : nonReaders)
        openByHand(nonReader, [](QTcpSocket *) {});
    QTimer pongs;
    pongs.callOnTimeout(&app, [&] {
        for (Attacker &sender : pongSenders) {
            if (sender.open && sender.socket->state() == QAbstractSocket::ConnectedState)
                sender.socket->write(pong);
        }
    });
    pongs.start(PongEveryMs);

    // A fresh viewer every 2 s: the page, then the face on its WebSocket.
    std::vector<double> pageMs;
    std::vector<double> viewerMs;
    int failures = 0;
    QTimer fresh;
    fresh.callOnTimeout(&app, [&] {
        auto *context = new QObject(&app);
        auto *page = new QTcpSocket(context);
        auto received = std::make_shared<QByteArray>();
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        QTimer::singleShot(5'000, context, [context, &failures] {
            ++failures;
            context->deleteLater();
        });
        QObject::connect(page, &QTcpSocket::readyRead, context,
                         [=] { received->append(page->readAll()); });
        QObject::connect(page, &QTcpSocket::disconnected, context, [=, &pageMs, &viewerMs] {
            received->append(page->readAll());
            if (!received->startsWith("HTTP/1.1 200") || !received->contains("/live.js"))
                return;
            pageMs.push_back(static_cast<double>(started->nsecsElapsed()) / 1e6);
            started->start();
            auto *viewer = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, context);
            viewer->setProxy(QNetworkProxy::NoProxy);
            QObject::connect(viewer, &QWebSocket::textMessageReceived, context, [=, &viewerMs] {
                viewerMs.push_back(static_cast<double>(started->nsecsElapsed()) / 1e6);
                context->deleteLater();
            });
            viewer->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
        });
        connectTo(*page);
        page->write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    });
    fresh.start(FreshEveryMs);

    QTimer::singleShot(seconds * 1'000, &app, [&] {
        std::sort(pageMs.begin(), pageMs.end());
        std::sort(viewerMs.begin(), viewerMs.end());
        result("hostile_half_open_made", halfOpenMade);
        result("hostile_ping_floods_made", floodsMade);
        result("hostile_pong_senders_made", pongSendersMade);
        result("hostile_non_readers_opened",
               static_cast<double>(std::count_if(nonReaders.begin(), nonReaders.end(),
                                                 [](const Attacker &a) { return a.open; })));
        result("hostile_dropped", dropMade);
        result("hostile_fresh_pages", static_cast<double>(pageMs.size()));
        result("hostile_fresh_page_max_ms", pageMs.empty() ? std::nan("") : pageMs.back());
        result("hostile_fresh_viewer_max_ms", viewerMs.empty() ? std::nan("") : viewerMs.back());
        result("hostile_fresh_failures", failures);
        QCoreApplication::exit(0);
    });
    return QCoreApplication::exec();
}

namespace {

QStringList liveArgs(std::initializer_list<QString> list) {
    return QStringList(list);
}

} // namespace

void liveBench(Report &report, const QString &workDir, const Options &options) {
    const int seconds = options.liveSeconds;
    Child server(QStringLiteral("live server"), workDir,
                 liveArgs({QStringLiteral("--mode"), QStringLiteral("live-server")}),
                 seconds * 3'000 + 30'000 + ChildGraceMs);
    const std::optional<QByteArray> portLine =
        server.start() ? server.awaitLineStarting("port ") : std::nullopt;
    if (!portLine) {
        report.error(server.failure());
        return;
    }
    const QString port = QString::fromLatin1(portLine->mid(5));
    auto phase = [&](const QByteArray &name, auto &&during) {
        server.send("begin " + name);
        during();
        server.send("end " + name);
        return server.awaitLine("ended " + name).has_value();
    };
    auto memory = [&](const QByteArray &name) {
        server.send("memory " + name);
        return server.awaitLine("ended " + name).has_value();
    };
    auto sleep = [](int s) { QThread::msleep(static_cast<unsigned long>(s) * 1'000); };

    // The window settles first: fonts, the first paint, the first ticks.
    sleep(3);
    bool ran = phase("idle", [&] { sleep(seconds); }) && memory("before");

    Child viewers(QStringLiteral("live viewers"), workDir,
                  liveArgs({QStringLiteral("--mode"), QStringLiteral("live-viewers"),
                            QStringLiteral("--port"), port}),
                  seconds * 1'000 + ChildGraceMs);
    ran = ran && viewers.start() && viewers.awaitLine("connected") &&
          phase("viewers", [&] { sleep(seconds); });
    viewers.send("leave");
    const bool viewersRan = viewers.finish();
    sleep(3);
    ran = ran && viewersRan && memory("after");

    Child hostile(QStringLiteral("live hostile"), workDir,
                  liveArgs({QStringLiteral("--mode"), QStringLiteral("live-hostile"),
                            QStringLiteral("--port"), port, QStringLiteral("--seconds"),
                            QString::number(seconds)}),
                  seconds * 1'000 + ChildGraceMs);
    bool hostileRan = false;
    ran = ran && memory("hostile_before") &&
          phase("hostile", [&] { hostileRan = hostile.start() && hostile.finish(); });
    // Every attacker is gone with its process.
    sleep(3);
    ran = ran && memory("hostile_after");
    server.send("quit");
    const bool serverRan = server.finish();
    for (Child *child : {&server, &viewers, &hostile}) {
        if (child->failed()) {
            report.error(child->failure());
            return;
        }
    }
    if (!ran || !hostileRan || !serverRan) {
        report.error(QStringLiteral("live: a phase did not end"));
        return;
    }

    // Tick to message, for every message of the viewers phase.
    std::map<qint64, qint64> tickAt;
    for (const QByteArray &line : server.linesStarting("tick viewers ")) {
        const QList<QByteArray> words = line.trimmed().split(' ');
        tickAt[words.value(2).toLongLong()] = words.value(3).toLongLong();
    }
    std::vector<double> latency;
    for (const QByteArray &line : viewers.linesStarting("heard ")) {
        const QList<QByteArray> words = line.trimmed().split(' ');
        const auto tick = tickAt.find(words.value(1).toLongLong());
        if (tick != tickAt.end())
            latency.push_back(ms(words.value(2).toLongLong() - tick->second));
    }
    std::sort(latency.begin(), latency.end());

    auto perMinute = [&](const char *phaseName) {
        return server.result((std::string(phaseName) + "_cpu_ms").c_str()) * 60 / seconds;
    };
    const double idleCpu = perMinute("idle");
    const double viewersCpu = perMinute("viewers");
    const double idleLate = server.result("idle_late_p99_ms");
    const double viewersLate = server.result("viewers_late_p99_ms");
    using Check = Report::Check;
    report.figure("live_viewers", viewers.result("viewers_connected"), 0);
    report.figure("live_messages_timed", static_cast<double>(latency.size()), 0);
    report.figure("live_tick_to_viewer_p50_ms", percentile(latency, 0.50), 2);
    report.figure("live_tick_to_viewer_p99_ms", percentile(latency, 0.99), 2, Check::Below,
                  LatencyP99LimitMs);
    report.figure("live_cpu_idle_ms_per_min", idleCpu, 1);
    report.figure("live_cpu_viewers_ms_per_min", viewersCpu, 1);
    report.figure("live_cpu_viewers_over_idle", viewersCpu / idleCpu, 2, Check::AtMost,
                  CpuRatioLimit);
    report.figure("live_tick_late_p99_idle_ms", idleLate, 2);
    report.figure("live_tick_late_p99_viewers_ms", viewersLate, 2);
    report.figure("live_tick_late_p99_viewers_over_idle_ms", viewersLate - idleLate, 2,
                  Check::AtMost, LatenessOverIdleLimitMs);
    report.figure("live_tick_late_p99_hostile_ms", server.result("hostile_late_p99_ms"), 2);
    report.equal("live_viewers_dropped", viewers.result("viewers_dropped"), 0);
    report.equal("live_seconds_lost", server.result("hostile_seconds_lost"), 0);
    report.figure("live_heap_kb_before_viewers", server.result("before_heap_kb"), 0);
    report.figure("live_heap_kb_back_over_before",
                  server.result("after_heap_kb") - server.result("before_heap_kb"), 0,
                  Check::AtMost, MemoryBackLimitKb);
    report.figure("live_rss_kb_back_over_before",
                  server.result("after_rss_kb") - server.result("before_rss_kb"), 0, Check::AtMost,
                  MemoryBackLimitKb);
    report.figure("live_hostile_rss_kb_peak_over_before",
                  server.result("hostile_rss_peak_kb") - server.result("hostile_before_rss_kb"), 0);
    report.figure("live_hostile_heap_kb_back_over_before",
                  server.result("hostile_after_heap_kb") - server.result("hostile_before_heap_kb"),
                  0, Check::AtMost, MemoryBackLimitKb);
    report.figure("live_hostile_rss_kb_back_over_before",
                  server.result("hostile_after_rss_kb") - server.result("hostile_before_rss_kb"), 0,
                  Check::AtMost, MemoryBackLimitKb);
    report.figure("live_hostile_ping_floods_made", hostile.result("hostile_ping_floods_made"), 0);
    report.figure("live_hostile_pong_senders_made", hostile.result("hostile_pong_senders_made"), 0);
    report.figure("live_hostile_non_readers_opened", hostile.result("hostile_non_readers_opened"),
                  0);
    report.figure("live_hostile_half_open_made", hostile.result("hostile_half_open_made"), 0);
    report.figure("live_hostile_dropped", hostile.result("hostile_dropped"), 0);
    report.figure("live_hostile_fresh_pages", hostile.result("hostile_fresh_pages"), 0);
    report.figure("live_hostile_fresh_page_max_ms", hostile.result("hostile_fresh_page_max_ms"), 1,
                  Check::Below, FreshLimitMs);
    report.figure("live_hostile_fresh_viewer_max_ms", hostile.result("hostile_fresh_viewer_max_ms"),
                  1, Check::Below, FreshLimitMs);
    report.equal("live_hostile_fresh_failures", hostile.result("hostile_fresh_failures"), 0);
}

} // namespace bench
