#pragma once

// A sample record seen as two overlapping blocks of four 32-bit values: x, y, z, depth at its
// start and depth, dx, dy, dz at its end. Whole blocks move in one instruction where the machine
// has 128-bit registers; the tables are too long for field-by-field stores.
#include "data/SampleRecord.h"

#include <cstddef>

static_assert(offsetof(SampleRecord, x) == 0 && offsetof(SampleRecord, y) == 4 && offsetof(SampleRecord, z) == 8 &&
                  offsetof(SampleRecord, depth) == 12 && offsetof(SampleRecord, dx) == 16 &&
                  offsetof(SampleRecord, dz) == 24 && sizeof(SampleRecord) == 28,
              "the blocks are x, y, z, depth and depth, dx, dy, dz");

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define ORVEK_SAMPLE_BLOCKS 1

namespace blocks {

inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

inline __m128i LoadHead(const SampleRecord& r) { return Load(&r); }

// The head's last lane carries the depth's bits.
inline void StoreHead(SampleRecord& r, __m128i head) { _mm_storeu_si128(reinterpret_cast<__m128i*>(&r), head); }

// Depth from the last lane of `depth`, differences from the first three of `diff`.
inline void StoreTail(SampleRecord& r, __m128i depth, __m128i diff)
{
    const __m128 df = _mm_castsi128_ps(depth), ff = _mm_castsi128_ps(diff);
    const __m128 dd = _mm_shuffle_ps(df, ff, _MM_SHUFFLE(0, 0, 3, 3));  // depth depth dx dx
    _mm_storeu_ps(reinterpret_cast<float*>(&r) + 3, _mm_shuffle_ps(dd, ff, _MM_SHUFFLE(2, 1, 2, 0)));
}

// Whether a and b agree in x, y and z.
inline bool SameXyz(__m128i a, __m128i b) { return (_mm_movemask_epi8(_mm_cmpeq_epi32(a, b)) & 0xFFF) == 0xFFF; }

}  // namespace blocks

#endif
