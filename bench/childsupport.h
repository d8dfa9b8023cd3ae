#pragma once

// What the children share: their one-line results, their CPU time, the
// percentiles of their figures, and the clock window as it is in play.

#include "app/clocksession.h"
#include "clock/blinds.h"
#include "core/module1.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace bench {

inline constexpr qint64 NsPerMs = 1'000'000;
inline constexpr qint64 NsPerS = 1'000'000'000;

inline void result(const char *key, double value) {
    std::printf("result %s %.3f\n", key, value);
    std::fflush(stdout);
}

inline int error(const QString &text) {
    std::printf("error %s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
    return 2;
}

inline double ms(qint64 ns) {
    return static_cast<double>(ns) / static_cast<double>(NsPerMs);
}

inline double cpuMs(const rusage &usage) {
    auto toMs = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return toMs(usage.ru_utime) + toMs(usage.ru_stime);
}

inline rusage selfUsage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

// The opening screen leaves this sound chosen when it starts the clock; the
// parent puts the file in the working folder, so the clock loads it as it
// would in play (silence where there is no audio device).
inline void chooseOpeningSound() {
    Module1::SoundFile = QStringLiteral("sound1.wav");
}

// Nearest-rank percentile of a sorted list.
inline double percentile(const std::vector<double> &sorted, double fraction) {
    if (sorted.empty())
        return std::nan("");
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline Blinds *makeClock(QString *failure) {
    try {
        return orvandel::openClock();
    } catch (const orvandel::TournamentFileError &fileError) {
        *failure = QStringLiteral("clock refused blinds.dat: ") + fileError.message();
    }
    return nullptr;
}

} // namespace bench
