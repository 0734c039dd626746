#pragma once

#include "data/CFileData.h"

#include <cstdint>

// Range queries and the depth-to-pixel table of one data set. Counts read from a data set are
// clamped to its tables, so a corrupt count never reads outside them.

// Entries of m_smoothed that the scales read: m_nSmoothedCount clamped to the table.
int SmoothedEntries(const CFileData& data);
// Raw samples that the scales read: m_nCount clamped to the table.
int RawEntries(const CFileData& data);

// Largest smoothed value of component c (1 = X, 2 = Y, 3 = Z); starts from entry 0.
int32_t ComponentMax(const CFileData& data, int c);
// Smallest smoothed value of component c; starts from entry 0.
int32_t ComponentMin(const CFileData& data, int c);

// Gradient g(i) in nT/m: smoothed difference x 100 / step, truncated; 0 when the step is 0.
int32_t Gradient(const CFileData& data, int i, int c);
// Largest g(i) over the raw sample count, never below 0.
int32_t GradientMax(const CFileData& data, int c);
// Smallest g(i) over the raw sample count, never above 0.
int32_t GradientMin(const CFileData& data, int c);

// Smallest smoothed depth; with truncate, its whole metres toward zero (A0). Depths that are not
// finite take no part in this search or the next.
float DepthMin(const CFileData& data, bool truncate);
// Right end A1 of the depth axis: the next multiple of 5 m past the deepest whole metre.
float DepthAxisEnd(const CFileData& data);

// Both ends of the depth axis from one scan of the depths: a0 = DepthMin(data, true),
// a1 = DepthAxisEnd(data).
struct DepthAxisRange {
    float a0 = 0.0f;
    float a1 = 0.0f;
};
DepthAxisRange DepthAxisOf(const CFileData& data);

// Refills m_depthPixels for a client of the given width; entry 0 is the shallowest sample.
void BuildDepthPixelTable(CFileData& data, int clientWidth);

// Value range of a value panel: one tenth of the data range added above and below.
struct ValueRange {
    int64_t top = 0;
    int64_t bottom = 0;
    // False when all values are equal: the panel has no scale then.
    bool Valid() const { return top != bottom; }
};
ValueRange ValueRangeOf(const CFileData& data, int c);

// Gradient range of a gradient panel: one sixth of the range left free above and below.
struct GradientRange {
    int64_t topG = 0;
    int64_t spanG = 0;
    // False when all gradients are 0 (or the step is 0): the panel has no scale then.
    bool Valid() const { return spanG != 0; }
};
GradientRange GradientRangeOf(const CFileData& data, int c);
