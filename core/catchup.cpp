#include "core/catchup.h"

#include <algorithm>
#include <utility>

namespace orvandel {

namespace {
constexpr std::int64_t IntervalMs = std::chrono::milliseconds{std::chrono::seconds{1}}.count();
// A timeout this much later than its tick was due re-aims the next one.
constexpr std::int64_t RephaseAfterMs = 5;
} // namespace

CatchUp::CatchUp(SteadyClock clock) : m_clock(std::move(clock)) {
    restart();
}

void CatchUp::setClock(SteadyClock clock) {
    m_clock = std::move(clock);
    restart();
}

void CatchUp::restart() {
    m_nowMs = m_clock();
    m_lastDueMs = m_nowMs;
}

std::int64_t CatchUp::ticksDue() {
    m_nowMs = m_clock();
    const std::int64_t due = (m_nowMs - m_lastDueMs) / IntervalMs;
    const std::int64_t count = std::max<std::int64_t>(1, due);
    m_lastDueMs = due >= count ? m_lastDueMs + count * IntervalMs : m_nowMs;
    return count;
}

CatchUp::Next CatchUp::next() const {
    const std::int64_t late = m_nowMs - m_lastDueMs;
    if (late > RephaseAfterMs)
        return {std::chrono::milliseconds{IntervalMs - late}, true};
    return {std::chrono::milliseconds{IntervalMs}, false};
}

} // namespace orvandel
