#pragma once

#include <cstdint>

namespace orvandel {

// Milliseconds since an arbitrary start; never goes backwards.
std::int64_t steadyNowMs();

} // namespace orvandel
