#pragma once

#include "core/errors.h"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>

// Integer arithmetic that refuses to wrap: every result must fit the type of
// its operands, otherwise the program stops with an overflow error. Results in
// 16 and 32 bits are computed exactly in 64 bits and then checked; results in
// 64 bits (a tournament's times in milliseconds) are checked against the
// limits before they are formed. Neither needs compiler built-ins.
namespace orvandel::checked {

template <typename T>
concept Narrow = std::signed_integral<T> &&(sizeof(T) <= sizeof(std::int32_t));

// Stores a wider value into a narrower type.
template <std::signed_integral To, std::signed_integral From> To narrow(From value) {
    if (value < std::numeric_limits<To>::min() || value > std::numeric_limits<To>::max())
        throwOverflow();
    return static_cast<To>(value);
}

template <Narrow T> T add(T a, T b) {
    return narrow<T>(std::int64_t{a} + std::int64_t{b});
}
template <Narrow T> T sub(T a, T b) {
    return narrow<T>(std::int64_t{a} - std::int64_t{b});
}
template <Narrow T> T mul(T a, T b) {
    return narrow<T>(std::int64_t{a} * std::int64_t{b});
}

template <typename T>
concept Wide = std::signed_integral<T> &&(sizeof(T) == sizeof(std::int64_t));

template <Wide T> T add(T a, T b) {
    if ((b > 0 && a > std::numeric_limits<T>::max() - b) ||
        (b < 0 && a < std::numeric_limits<T>::min() - b))
        throwOverflow();
    return a + b;
}
template <Wide T> T mul(T a, T b) {
    if (a == 0 || b == 0)
        return 0;
    constexpr T max = std::numeric_limits<T>::max();
    constexpr T min = std::numeric_limits<T>::min();
    // Each sign pair has its own limit; the quotients round towards zero,
    // which keeps every bound exact.
    const bool fits =
        a > 0 ? (b > 0 ? a <= max / b : b >= min / a) : (b > 0 ? a >= min / b : a >= max / b);
    if (!fits)
        throwOverflow();
    return a * b;
}

// Bounds test of a table lookup.
template <std::signed_integral I> std::size_t index(I i, std::size_t size) {
    if (i < 0 || static_cast<std::make_unsigned_t<I>>(i) >= size)
        throwSubscriptOutOfRange();
    return static_cast<std::size_t>(i);
}

// 64-bit sums and products for figures the director reads, such as the chips
// in play: one that does not fit is not an error that stops the program but a
// figure it cannot show, so these give nothing rather than a wrapped value.
inline std::optional<std::int64_t> tryAdd(std::int64_t a, std::int64_t b) {
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    if ((b > 0 && a > Max - b) || (b < 0 && a < Min - b))
        return std::nullopt;
    return a + b;
}
inline std::optional<std::int64_t> tryMul(std::int64_t a, std::int64_t b) {
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    if (a == 0 || b == 0)
        return 0;
    // Each sign pair against the limit it can pass, by a division that
    // cannot itself overflow.
    if (a > 0 ? (b > 0 ? a > Max / b : b < Min / a) : (b > 0 ? a < Min / b : a < Max / b))
        return std::nullopt;
    return a * b;
}

} // namespace orvandel::checked
