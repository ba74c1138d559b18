#pragma once

#include "Failure.h"

#include <cstdint>

// 32-bit signed arithmetic that fails with "Overflow" instead of wrapping.
namespace phrases::checked {

inline std::int32_t add(std::int32_t a, std::int32_t b)
{
    std::int32_t r;
    if (__builtin_add_overflow(a, b, &r))
        throw Failure("Overflow");
    return r;
}

inline std::int32_t sub(std::int32_t a, std::int32_t b)
{
    std::int32_t r;
    if (__builtin_sub_overflow(a, b, &r))
        throw Failure("Overflow");
    return r;
}

inline std::int32_t mul(std::int32_t a, std::int32_t b)
{
    std::int32_t r;
    if (__builtin_mul_overflow(a, b, &r))
        throw Failure("Overflow");
    return r;
}

} // namespace phrases::checked
