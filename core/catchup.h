#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace orvandel {

// Keeps the one-second tick in step with a steady clock. Qt's timer only
// promises "not earlier than the interval": when the event loop was held up
// (a busy machine, a modal box, a sleeping laptop) one timeout arrives for
// several seconds. Each timeout asks how many ticks have come due since the
// last one, and after running them how to aim the next timeout.
class CatchUp final {
public:
    // Milliseconds of a clock that never goes backwards.
    using SteadyClock = std::function<std::int64_t()>;

    // How the timer is to be set after a timeout.
    struct Next {
        std::chrono::milliseconds interval;
        bool reaim; // restart the timer now with `interval`, then go back to the tick
    };

    explicit CatchUp(SteadyClock clock);

    // Replaces the clock and starts counting afresh from its present reading.
    void setClock(SteadyClock clock);

    // The timer was started afresh: the next tick is due one interval from now.
    void restart();

    // A timeout arrived: the ticks that have come due since the last one,
    // at least one. Timeouts that come faster than the clock (tools, tests)
    // run one tick each and start the count afresh.
    std::int64_t ticksDue();

    // After the ticks of ticksDue() have run: where to aim the next timeout.
    // After a hold-up the timer would wait a whole interval from now; it is
    // aimed at the next due tick instead.
    Next next() const;

private:
    SteadyClock m_clock;
    std::int64_t m_lastDueMs = 0; // steady time at which the last tick was due
    std::int64_t m_nowMs = 0;     // reading at the last timeout
};

} // namespace orvandel
