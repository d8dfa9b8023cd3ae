#include "core/steadyclock.h"

#include <QtGlobal>
#include <chrono>

// Which clock counts through suspend:
// - Linux: CLOCK_BOOTTIME (CLOCK_MONOTONIC, which QElapsedTimer uses, stops
//   while the machine is suspended);
// - Windows: GetTickCount64, which counts through sleep and hibernation;
// - macOS: mach_continuous_time (mach_absolute_time stops during sleep);
// - anything else: QElapsedTimer, the best monotonic clock Qt knows there.
#if defined(Q_OS_LINUX)
#include <ctime>
#elif defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#elif defined(Q_OS_MACOS)
#include <mach/mach_time.h>
#else
#include <QElapsedTimer>
#endif

namespace orvandel {

using std::chrono::duration_cast;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

std::int64_t steadyNowMs() {
#if defined(Q_OS_LINUX)
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return duration_cast<milliseconds>(std::chrono::seconds{now.tv_sec} + nanoseconds{now.tv_nsec})
        .count();
#elif defined(Q_OS_WIN)
    return static_cast<std::int64_t>(GetTickCount64());
#elif defined(Q_OS_MACOS)
    static const mach_timebase_info_data_t base = [] {
        mach_timebase_info_data_t info{};
        mach_timebase_info(&info);
        return info;
    }();
    const auto ticks = mach_continuous_time();
    return duration_cast<milliseconds>(
               nanoseconds{static_cast<std::int64_t>(ticks * base.numer / base.denom)})
        .count();
#else
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.elapsed();
#endif
}

} // namespace orvandel
