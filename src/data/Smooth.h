#pragma once

#include "data/SampleRecord.h"

#include <cstdint>

// Moving average of w points whose results replace the input while the window moves on, so that
// later windows read already smoothed values on their left side (the instrument's filter). The
// first b and last h values keep their input (b = w/2 for odd w, w/2 - 1 for even w; h = w/2).
// w < 1 or too few values leave the array unchanged. Sums wrap around at 32 bits, as on the
// instrument.
void Smooth(int32_t* values, int n, int w);

// The same filter over the three components of a data set in one pass; each array comes out as
// Smooth would leave it.
void SmoothComponents(int32_t* xs, int32_t* ys, int32_t* zs, int n, int w);

// The same filter over the x, y and z of records, in place; the other fields are left alone.
void SmoothRecords(SampleRecord* records, int n, int w);

// Sets the x, y, z of smoothed[0..n) to those of raw[0..n) filtered with window w, and the
// differences between consecutive filtered values (0 for the first); depths and every other
// record of smoothed are left alone. The two tables must not overlap. With `wide` false the table
// is computed in 128-bit registers even where the processor has wider ones (the result is the same).
void SmoothTable(const SampleRecord* raw, SampleRecord* smoothed, int n, int w, bool wide = true);
