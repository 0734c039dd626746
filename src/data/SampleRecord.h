#pragma once

#include <cstdint>

// One measured point. Sample 0 is the deepest; depth decreases with the index.
struct SampleRecord {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    float depth = 0.0f;
    int32_t dx = 0;  // value minus the previous sample's value; 0 for sample 0
    int32_t dy = 0;
    int32_t dz = 0;
};

// One row of the depth-to-pixel table; entry 0 is the shallowest sample.
struct DepthPixelEntry {
    int32_t index = 0;
    int32_t x = 0;
    float depth = 0.0f;
};

// Capacity of one data set, fixed by the instrument's memory.
inline constexpr int kMaxSamples = 2048;

// Component index used throughout drawing and analysis.
enum Component : int { kComponentX = 1, kComponentY = 2, kComponentZ = 3 };

// Value of the given component (1 = X, 2 = Y, 3 = Z) of a sample.
inline int32_t ComponentValue(const SampleRecord& s, int component)
{
    return component == kComponentX ? s.x : component == kComponentY ? s.y : s.z;
}

// Difference of the given component of a sample.
inline int32_t ComponentDiff(const SampleRecord& s, int component)
{
    return component == kComponentX ? s.dx : component == kComponentY ? s.dy : s.dz;
}
