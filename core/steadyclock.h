#pragma once

#include <cstdint>

namespace orvandel {

// Milliseconds since an arbitrary start; never goes backwards, and keeps
// counting while the machine sleeps, so a laptop that wakes up after three
// minutes finds the clock three minutes on.
std::int64_t steadyNowMs();

} // namespace orvandel
