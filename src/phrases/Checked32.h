#pragma once

#include "Failure.h"

#include <cstdint>
#include <limits>

// 32-bit signed arithmetic that fails with "Overflow" instead of wrapping. Worked out in
// 64 bits, where no 32-bit sum, difference or product can overflow.
namespace phrases::checked {

inline std::int32_t narrow(std::int64_t wide)
{
    if (wide < std::numeric_limits<std::int32_t>::min() || wide > std::numeric_limits<std::int32_t>::max())
        throw Failure("Overflow");
    return static_cast<std::int32_t>(wide);
}

inline std::int32_t add(std::int32_t a, std::int32_t b)
{
    return narrow(std::int64_t{a} + b);
}

inline std::int32_t sub(std::int32_t a, std::int32_t b)
{
    return narrow(std::int64_t{a} - b);
}

inline std::int32_t mul(std::int32_t a, std::int32_t b)
{
    return narrow(std::int64_t{a} * b);
}

} // namespace phrases::checked
