#include "data/SampleBlocks.h"
#include "data/Smooth.h"

#include <algorithm>
#include <array>

namespace {

int32_t Diff(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }

void SetDiffs(SampleRecord* out, int p)
{
    SampleRecord& r = out[p];
    if (p == 0) {
        r.dx = r.dy = r.dz = 0;
    } else {
        r.dx = Diff(r.x, out[p - 1].x);
        r.dy = Diff(r.y, out[p - 1].y);
        r.dz = Diff(r.z, out[p - 1].z);
    }
}

// Any window, any values: the three components through the plain filter.
void PlainTable(const SampleRecord* raw, SampleRecord* out, int n, int w)
{
    std::array<int32_t, kMaxSamples> xs, ys, zs;
    for (int i = 0; i < n; ++i) {
        xs[i] = raw[i].x;
        ys[i] = raw[i].y;
        zs[i] = raw[i].z;
    }
    SmoothComponents(xs.data(), ys.data(), zs.data(), n, w);
    for (int i = 0; i < n; ++i) {
        out[i].x = xs[i];
        out[i].y = ys[i];
        out[i].z = zs[i];
        SetDiffs(out, i);
    }
}

#ifdef ORVEK_SAMPLE_BLOCKS

// The filter is a chain: every average waits for the one before, so on its own it runs at the
// speed of one division after another. Here the table is cut into runs that are filtered side by
// side. A run other than the first cannot know the averages it starts from; it guesses them (the
// values the table holds) and starts kWarm samples early, which is enough for the guess to be
// forgotten in practice. Whether it was is checked afterwards: where a run's averages before its
// own part differ from those of the run before it, the part is filtered again one sample after the
// other until it meets the run's values again. The result is therefore always the chain's own.
constexpr int kRuns = 8;
constexpr int kWarm = 32;

using blocks::LoadHead;

// x, y, z of a and the differences, the depth kept (the tail puts back what the head covered).
void StoreRecord(SampleRecord& r, __m128i a, __m128i diff)
{
    const __m128i kept = LoadHead(r);
    blocks::StoreHead(r, a);
    blocks::StoreTail(r, kept, diff);
}

// Filters positions [from, to) one after the other from the averages before `from`. With
// `untilSettled`, stops once b averages in a row equal what the table holds: from there on the
// table already holds the chain's values.
template <int W>
void ChainRun(const SampleRecord* raw, SampleRecord* out, int n, int from, int to, bool untilSettled)
{
    constexpr int h = W / 2, b = (W % 2 == 1) ? h : h - 1;
    uint32_t sx = 0, sy = 0, sz = 0;
    for (int i = from - b; i < from; ++i) {
        sx += static_cast<uint32_t>(out[i].x);
        sy += static_cast<uint32_t>(out[i].y);
        sz += static_cast<uint32_t>(out[i].z);
    }
    for (int i = from; i <= from + h; ++i) {
        sx += static_cast<uint32_t>(raw[i].x);
        sy += static_cast<uint32_t>(raw[i].y);
        sz += static_cast<uint32_t>(raw[i].z);
    }
    int settled = 0;
    for (int p = from; p < to; ++p) {
        SampleRecord& r = out[p];
        const int32_t ax = static_cast<int32_t>(sx) / W, ay = static_cast<int32_t>(sy) / W,
                      az = static_cast<int32_t>(sz) / W;
        settled = (ax == r.x && ay == r.y && az == r.z) ? settled + 1 : 0;
        r.x = ax;
        r.y = ay;
        r.z = az;
        SetDiffs(out, p);
        if ((untilSettled && settled >= b) || p + h + 1 >= n) {
            return;
        }
        sx += static_cast<uint32_t>(ax) - static_cast<uint32_t>(out[p - b].x) - static_cast<uint32_t>(raw[p].x) +
              static_cast<uint32_t>(raw[p + h + 1].x);
        sy += static_cast<uint32_t>(ay) - static_cast<uint32_t>(out[p - b].y) - static_cast<uint32_t>(raw[p].y) +
              static_cast<uint32_t>(raw[p + h + 1].y);
        sz += static_cast<uint32_t>(az) - static_cast<uint32_t>(out[p - b].z) - static_cast<uint32_t>(raw[p].z) +
              static_cast<uint32_t>(raw[p + h + 1].z);
    }
}

void CopyRaw(const SampleRecord* raw, SampleRecord* out, int from, int to)
{
    for (int p = from; p < to; ++p) {
        out[p].x = raw[p].x;
        out[p].y = raw[p].y;
        out[p].z = raw[p].z;
        SetDiffs(out, p);
    }
}

// The runs compute in single precision: a sum below 2^24 in size is exact there, and its quotient
// by w, rounded once, truncates to the integer quotient (a non-integral quotient lies at least
// 1/w from the next integer, more than the rounding can move it). Sums are added in 32-bit lanes,
// which wrap as the chain's do. Returns false, leaving the table to the plain filter, when the
// table is short or a sum was too large.
template <int W>
bool RunsTable(const SampleRecord* raw, SampleRecord* out, int n)
{
    constexpr int h = W / 2, b = (W % 2 == 1) ? h : h - 1;
    const int first = b, last = n - h - 1;
    const int part = (last - first + 1 - kWarm) / kRuns;  // positions each run steps beyond its warm-up
    if (part < 2 * kWarm) {
        return false;
    }
    const int steps = part + kWarm;
    CopyRaw(raw, out, 0, first);
    // Lanes: x, y, z and one spare (the depth's bits), which is computed and never kept.
    __m128i left[kRuns], right[kRuns], previous[kRuns], guessed[kRuns][b + 1];
    for (int k = 0; k < kRuns; ++k) {
        const int start = first + k * part;
        left[k] = right[k] = _mm_setzero_si128();
        for (int j = 1; j <= b; ++j) left[k] = _mm_add_epi32(left[k], LoadHead(out[start - j]));
        for (int i = 0; i <= h; ++i) right[k] = _mm_add_epi32(right[k], LoadHead(raw[start + i]));
        previous[k] = start > 0 ? LoadHead(out[start - 1]) : _mm_setzero_si128();
    }
    const __m128 window = _mm_set1_ps(static_cast<float>(W));
    const __m128i bias = _mm_set1_epi32(1 << 24);
    __m128i range = _mm_setzero_si128();
    for (int t = 0; t < steps; ++t) {
        const bool slide = t + 1 < steps;
        for (int k = 0; k < kRuns; ++k) {
            const int p = first + k * part + t;
            const __m128i sum = _mm_add_epi32(left[k], right[k]);
            range = _mm_or_si128(range, _mm_add_epi32(sum, bias));
            const __m128i a = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(sum), window));
            const __m128i leaving = LoadHead(raw[p]);
            if constexpr (b == 1) {
                left[k] = a;
            } else if constexpr (b == 2) {
                left[k] = _mm_add_epi32(a, previous[k]);
            } else if constexpr (b > 2) {
                left[k] = _mm_sub_epi32(_mm_add_epi32(left[k], a), LoadHead(out[p - b]));
            }
            StoreRecord(out[p], a, _mm_sub_epi32(a, previous[k]));
            previous[k] = a;
            if (slide) {
                right[k] = _mm_add_epi32(_mm_sub_epi32(right[k], leaving), LoadHead(raw[p + h + 1]));
            }
        }
        if (t == kWarm - 1) {
            // What each run believes precedes its own part; the run before it overwrites that later.
            for (int k = 0; k < kRuns; ++k) {
                for (int j = 1; j <= b; ++j) guessed[k][j] = LoadHead(out[first + k * part + kWarm - j]);
            }
        }
    }
    if ((_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(range, 25), _mm_setzero_si128())) & 0xFFF) != 0xFFF) {
        return false;
    }
    if (first == 0) {
        out[0].dx = out[0].dy = out[0].dz = 0;
    }
    for (int k = 1; k < kRuns; ++k) {
        const int own = first + k * part + kWarm;
        bool same = true;
        for (int j = 1; j <= b; ++j) same = same && blocks::SameXyz(guessed[k][j], LoadHead(out[own - j]));
        if (!same) {
            ChainRun<W>(raw, out, n, own, first + k * part + steps, true);
        }
    }
    const int end = first + (kRuns - 1) * part + steps;
    if (end <= last) {
        ChainRun<W>(raw, out, n, end, last + 1, false);
    }
    CopyRaw(raw, out, last + 1, n);
    return true;
}

bool FastTable(const SampleRecord* raw, SampleRecord* out, int n, int w)
{
    switch (w) {
    case 2: return RunsTable<2>(raw, out, n);
    case 3: return RunsTable<3>(raw, out, n);
    case 4: return RunsTable<4>(raw, out, n);
    case 5: return RunsTable<5>(raw, out, n);
    case 6: return RunsTable<6>(raw, out, n);
    case 7: return RunsTable<7>(raw, out, n);
    case 8: return RunsTable<8>(raw, out, n);
    case 9: return RunsTable<9>(raw, out, n);
    case 10: return RunsTable<10>(raw, out, n);
    default: return false;
    }
}

#else

bool FastTable(const SampleRecord*, SampleRecord*, int, int) { return false; }

#endif

}  // namespace

void SmoothTable(const SampleRecord* raw, SampleRecord* smoothed, int n, int w)
{
    if (raw == nullptr || smoothed == nullptr || n <= 0) {
        return;
    }
    n = std::min(n, kMaxSamples);
    if (!FastTable(raw, smoothed, n, w)) {
        PlainTable(raw, smoothed, n, w);
    }
}
