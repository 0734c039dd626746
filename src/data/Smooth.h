#pragma once

#include "data/SampleRecord.h"

#include <cstdint>

// Moving average of w points whose results replace the input while the window moves on, so that
// later windows read already smoothed values on their left side (the instrument's filter). The
// first b and last h values keep their input (b = w/2 for odd w, w/2 - 1 for even w; h = w/2).
// w < 1 or too few values leave the array unchanged. Sums wrap around at 32 bits, as on the
// instrument.
void Smooth(int32_t* values, int n, int w);

// The same filter over the x, y and z of records, in place, each component as Smooth would leave
// it; the other fields are left alone.
void SmoothRecords(SampleRecord* records, int n, int w);

// A value minus the one before, wrapping around at 32 bits as the instrument's differences do.
inline int32_t WrappingDifference(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Sets dx, dy, dz of records[0..n) to the wrapping difference of each value and the one before
// (0 for the first record).
void SetDifferences(SampleRecord* records, int n);
