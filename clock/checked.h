#pragma once

#include "app/errors.h"

#include <concepts>
#include <cstdint>
#include <limits>

// Integer arithmetic that refuses to wrap: every result must fit the type of
// its operands, otherwise the program stops with an overflow error.
namespace orvandel::checked {

template <std::signed_integral T> T add(T a, T b) {
    T result{};
    if (__builtin_add_overflow(a, b, &result))
        throwOverflow();
    return result;
}

template <std::signed_integral T> T sub(T a, T b) {
    T result{};
    if (__builtin_sub_overflow(a, b, &result))
        throwOverflow();
    return result;
}

template <std::signed_integral T> T mul(T a, T b) {
    T result{};
    if (__builtin_mul_overflow(a, b, &result))
        throwOverflow();
    return result;
}

// Stores a wider value into a narrower type.
template <std::signed_integral To, std::signed_integral From> To narrow(From value) {
    if (value < std::numeric_limits<To>::min() || value > std::numeric_limits<To>::max())
        throwOverflow();
    return static_cast<To>(value);
}

// Bounds test of a table lookup.
template <std::signed_integral I> std::size_t index(I i, std::size_t size) {
    if (i < 0 || static_cast<std::make_unsigned_t<I>>(i) >= size)
        throwSubscriptOutOfRange();
    return static_cast<std::size_t>(i);
}

} // namespace orvandel::checked
