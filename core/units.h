#pragma once

#include <chrono>
#include <cstdint>

// The clock counts in whole milliseconds, 32 bits wide.
namespace orvandel {

inline constexpr std::chrono::milliseconds TickInterval = std::chrono::seconds{1};

inline constexpr std::int32_t MsPerSecond =
    static_cast<std::int32_t>(std::chrono::milliseconds{std::chrono::seconds{1}}.count());
inline constexpr std::int32_t SecondsPerMinute =
    static_cast<std::int32_t>(std::chrono::seconds{std::chrono::minutes{1}}.count());
inline constexpr std::int32_t MsPerMinute = MsPerSecond * SecondsPerMinute;
// What one tick takes off the countdown.
inline constexpr std::int32_t TickMs = static_cast<std::int32_t>(TickInterval.count());

} // namespace orvandel
