#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Conversions from floating point to integers that stay defined for any input: a plain cast of a
// NaN or of a value outside the target range is undefined behaviour, and corrupt files can carry
// such depths.

// Truncates toward zero and clamps into [-limit, limit]; NaN gives 0.
inline int TruncClamped(double v, int limit)
{
    if (std::isnan(v))
        return 0;
    if (v >= limit)
        return limit;
    if (v <= -limit)
        return -limit;
    return static_cast<int>(v);
}

// Truncates toward zero, saturating at +-4e18 so that the difference or the sum of two results,
// and five times that, still fit into int64; NaN gives 0.
inline int64_t TruncToInt64(double v)
{
    constexpr double kLimit = 4.0e18;
    if (std::isnan(v))
        return 0;
    if (v >= kLimit)
        return static_cast<int64_t>(kLimit);
    if (v <= -kLimit)
        return -static_cast<int64_t>(kLimit);
    return static_cast<int64_t>(v);
}

inline int32_t SaturateInt32(int64_t v)
{
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}
