#include "clock/steadyclock.h"

#include <QElapsedTimer>

namespace orvandel {

std::int64_t steadyNowMs() {
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.elapsed();
}

} // namespace orvandel
