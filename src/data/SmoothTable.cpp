#include "data/SampleBlocks.h"
#include "data/Smooth.h"

#include <algorithm>
#include <array>
#include <utility>

#if defined(ORVEK_SAMPLE_BLOCKS) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define ORVEK_WIDE_RUNS 1
#endif

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
// values the table holds) and starts kWarm<W> samples early, which is enough for the guess to be
// forgotten in practice. Whether it was is checked afterwards: where a run's averages before its
// own part differ from those of the run before it, the part is filtered again one sample after the
// other until it meets the run's values again. The result is therefore always the chain's own.
constexpr int kRuns = 8;
constexpr int kMinPart = 64;

// How many averages the window holds on its left.
template <int W>
constexpr int kLeft = (W % 2 == 1) ? W / 2 : W / 2 - 1;

// A wrong guess fades at every step, by a quarter or more (the more, the fewer averages the window
// holds on its left); 8 steps per left value leave less than a ten-thousandth of it. With nothing
// on the left there is nothing to guess, but a run still needs the average before its part for the
// first difference.
template <int W>
constexpr int kWarm = kLeft<W> > 0 ? 8 * kLeft<W> : 1;

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
    constexpr int h = W / 2, b = kLeft<W>;
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

// Writes the record at o: x, y, z of a with the depth o holds, and the differences. Within a run
// the differences go out as a whole block whose fourth value spills onto the next record's x,
// which the run writes over at its next step. So every record's first 16 bytes are the work of
// one store, which the next steps read back straight from the store; a record put together by two
// stores can only be read back once both have reached the cache. A run's last record (`Spill`
// false) is written no further than itself.
template <bool Spill>
inline void PutRecord(SampleRecord* o, __m128i a, __m128i diff)
{
    if constexpr (Spill) {
        const __m128 xyz = _mm_castsi128_ps(a);
        const __m128 zd = _mm_shuffle_ps(xyz, _mm_load_ss(&o->depth), _MM_SHUFFLE(0, 0, 2, 2));  // z z depth depth
        blocks::StoreHead(*o, _mm_castps_si128(_mm_shuffle_ps(xyz, zd, _MM_SHUFFLE(2, 0, 1, 0))));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&o->dx), diff);
    } else {
        StoreRecord(*o, a, diff);
    }
}

// One step of one run at the position of r and o (raw and filtered record): the average of the
// window's sum, the record written, and the sum moved on (unless this is the run's last step). The
// sum is the only state a run carries, so that all of them stay in registers; the previous average
// is read back from the table.
template <int W, bool Slide>
inline void Step(const SampleRecord* r, SampleRecord* o, __m128i& sum, __m128i& range)
{
    constexpr int h = W / 2, b = kLeft<W>;
    range = _mm_or_si128(range, _mm_add_epi32(sum, _mm_set1_epi32(1 << 24)));
    const __m128i a = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(sum), _mm_set1_ps(static_cast<float>(W))));
    __m128i change = _mm_setzero_si128();
    if constexpr (Slide) {
        // r[0] leaves the right side, r[h + 1] enters it; o[-b] leaves the left side and the new
        // average enters it.
        change = _mm_sub_epi32(LoadHead(r[h + 1]), LoadHead(r[0]));
        if constexpr (b > 0) {
            change = _mm_sub_epi32(change, LoadHead(o[-b]));
        }
    }
    PutRecord<Slide>(o, a, _mm_sub_epi32(a, LoadHead(o[-1])));
    if constexpr (Slide) {
        sum = _mm_add_epi32(sum, change);
        if constexpr (b > 0) {
            sum = _mm_add_epi32(sum, a);
        }
    }
}

// The window's sum at a run's start: the averages before it (guesses but for the first run) and
// the raw values from it on.
template <int W>
__m128i StartSum(const SampleRecord* raw, const SampleRecord* out, int start)
{
    constexpr int h = W / 2, b = kLeft<W>;
    __m128i sum = _mm_setzero_si128();
    for (int j = 1; j <= b; ++j) sum = _mm_add_epi32(sum, LoadHead(out[start - j]));
    for (int i = 0; i <= h; ++i) sum = _mm_add_epi32(sum, LoadHead(raw[start + i]));
    return sum;
}

// What each run believes precedes its own part (the run before it overwrites that later).
template <int W>
void RememberGuesses(const SampleRecord* out, int first, int part, __m128i (&guessed)[kRuns][kLeft<W> + 1])
{
    for (int k = 0; k < kRuns; ++k) {
        for (int j = 1; j <= kLeft<W>; ++j) guessed[k][j] = LoadHead(out[first + k * part + kWarm<W> - j]);
    }
}

// All runs side by side, their sums in registers. Keeps the guesses in `guessed`; returns the
// sums' size check (see RunsTable).
template <int W, std::size_t... K>
__m128i AllRuns(const SampleRecord* raw, SampleRecord* out, int first, int part, int steps,
                __m128i (&guessed)[kRuns][kLeft<W> + 1], std::index_sequence<K...>)
{
    __m128i sums[] = {StartSum<W>(raw, out, first + static_cast<int>(K) * part)...};
    __m128i range = _mm_setzero_si128();
    const SampleRecord* r = raw + first;
    SampleRecord* o = out + first;
    for (int t = 0; t < steps - 1; ++t, ++r, ++o) {
        (Step<W, true>(r + K * part, o + K * part, sums[K], range), ...);
        if (t == kWarm<W> - 1) {
            RememberGuesses<W>(out, first, part, guessed);
        }
    }
    (Step<W, false>(r + K * part, o + K * part, sums[K], range), ...);
    return range;
}

#ifdef ORVEK_WIDE_RUNS

// The same with 256-bit registers where the processor has them (checked when the program runs):
// register k holds run k in its low half and run k + kRuns / 2 in its high half, so that every
// instruction of a step serves two runs.
#define ORVEK_AVX2 __attribute__((target("avx2")))

// The records at p and p + d.
ORVEK_AVX2 inline __m256i LoadPair(const SampleRecord* p, std::ptrdiff_t d)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(LoadHead(p[0])), LoadHead(p[d]), 1);
}

// Step for the runs at r, o and d records further on.
template <int W, bool Slide>
ORVEK_AVX2 inline void StepPair(const SampleRecord* r, SampleRecord* o, std::ptrdiff_t d, __m256i& sum,
                                __m256i& range)
{
    constexpr int h = W / 2, b = kLeft<W>;
    range = _mm256_or_si256(range, _mm256_add_epi32(sum, _mm256_set1_epi32(1 << 24)));
    const __m256i a =
        _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(sum), _mm256_set1_ps(static_cast<float>(W))));
    __m256i change = _mm256_setzero_si256();
    if constexpr (Slide) {
        change = _mm256_sub_epi32(LoadPair(r + h + 1, d), LoadPair(r, d));
        if constexpr (b > 0) {
            change = _mm256_sub_epi32(change, LoadPair(o - b, d));
        }
    }
    const __m256i diff = _mm256_sub_epi32(a, LoadPair(o - 1, d));
    if constexpr (Slide) {
        // As PutRecord does for one run.
        const __m256 xyz = _mm256_castsi256_ps(a);
        const __m256 depth =
            _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_load_ss(&o[0].depth)), _mm_load_ss(&o[d].depth), 1);
        const __m256 zd = _mm256_shuffle_ps(xyz, depth, _MM_SHUFFLE(0, 0, 2, 2));
        const __m256i head = _mm256_castps_si256(_mm256_shuffle_ps(xyz, zd, _MM_SHUFFLE(2, 0, 1, 0)));
        blocks::StoreHead(o[0], _mm256_castsi256_si128(head));
        blocks::StoreHead(o[d], _mm256_extracti128_si256(head, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&o[0].dx), _mm256_castsi256_si128(diff));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&o[d].dx), _mm256_extracti128_si256(diff, 1));
    } else {
        PutRecord<false>(o, _mm256_castsi256_si128(a), _mm256_castsi256_si128(diff));
        PutRecord<false>(o + d, _mm256_extracti128_si256(a, 1), _mm256_extracti128_si256(diff, 1));
    }
    if constexpr (Slide) {
        sum = _mm256_add_epi32(sum, change);
        if constexpr (b > 0) {
            sum = _mm256_add_epi32(sum, a);
        }
    }
}

template <int W, std::size_t... K>
ORVEK_AVX2 __m128i AllRunPairs(const SampleRecord* raw, SampleRecord* out, int first, int part, int steps,
                               __m128i (&guessed)[kRuns][kLeft<W> + 1], std::index_sequence<K...>)
{
    constexpr int kHalf = kRuns / 2;
    const std::ptrdiff_t distance = std::ptrdiff_t(kHalf) * part;
    __m256i sums[] = {_mm256_inserti128_si256(
        _mm256_castsi128_si256(StartSum<W>(raw, out, first + static_cast<int>(K) * part)),
        StartSum<W>(raw, out, first + static_cast<int>(K + kHalf) * part), 1)...};
    __m256i range = _mm256_setzero_si256();
    const SampleRecord* r = raw + first;
    SampleRecord* o = out + first;
    for (int t = 0; t < steps - 1; ++t, ++r, ++o) {
        (StepPair<W, true>(r + K * part, o + K * part, distance, sums[K], range), ...);
        if (t == kWarm<W> - 1) {
            RememberGuesses<W>(out, first, part, guessed);
        }
    }
    (StepPair<W, false>(r + K * part, o + K * part, distance, sums[K], range), ...);
    return _mm_or_si128(_mm256_castsi256_si128(range), _mm256_extracti128_si256(range, 1));
}

bool HasWideRegisters()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

#endif

// The runs compute in single precision: a sum below 2^24 in size is exact there, and its quotient
// by w, rounded once, truncates to the integer quotient (a non-integral quotient lies at least
// 1/w from the next integer, more than the rounding can move it). Sums are added in 32-bit lanes,
// which wrap as the chain's do. Returns false, leaving the table to the plain filter, when the
// table is short or a sum was too large.
template <int W>
bool RunsTable(const SampleRecord* raw, SampleRecord* out, int n, [[maybe_unused]] bool wide)
{
    constexpr int h = W / 2, b = kLeft<W>;
    // Every run reads the average before its position; with no left side (a window of 2) the
    // first position has none and is averaged on its own.
    constexpr int first = b > 0 ? b : 1;
    const int last = n - h - 1;
    const int part = (last - first + 1 - kWarm<W>) / kRuns;  // positions each run steps beyond its warm-up
    if (part < kMinPart) {
        return false;
    }
    const int steps = part + kWarm<W>;
    CopyRaw(raw, out, 0, b);
    if constexpr (b == 0) {
        ChainRun<W>(raw, out, n, 0, 1, false);
    }
    __m128i guessed[kRuns][b + 1];
#ifdef ORVEK_WIDE_RUNS
    const __m128i range =
        wide && HasWideRegisters()
            ? AllRunPairs<W>(raw, out, first, part, steps, guessed, std::make_index_sequence<kRuns / 2>{})
            : AllRuns<W>(raw, out, first, part, steps, guessed, std::make_index_sequence<kRuns>{});
#else
    const __m128i range = AllRuns<W>(raw, out, first, part, steps, guessed, std::make_index_sequence<kRuns>{});
#endif
    if ((_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(range, 25), _mm_setzero_si128())) & 0xFFF) != 0xFFF) {
        return false;
    }
    for (int k = 1; k < kRuns; ++k) {
        const int own = first + k * part + kWarm<W>;
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

bool FastTable(const SampleRecord* raw, SampleRecord* out, int n, int w, bool wide)
{
    switch (w) {
    case 2: return RunsTable<2>(raw, out, n, wide);
    case 3: return RunsTable<3>(raw, out, n, wide);
    case 4: return RunsTable<4>(raw, out, n, wide);
    case 5: return RunsTable<5>(raw, out, n, wide);
    case 6: return RunsTable<6>(raw, out, n, wide);
    case 7: return RunsTable<7>(raw, out, n, wide);
    case 8: return RunsTable<8>(raw, out, n, wide);
    case 9: return RunsTable<9>(raw, out, n, wide);
    case 10: return RunsTable<10>(raw, out, n, wide);
    default: return false;
    }
}

#else

bool FastTable(const SampleRecord*, SampleRecord*, int, int, bool) { return false; }

#endif

}  // namespace

void SmoothTable(const SampleRecord* raw, SampleRecord* smoothed, int n, int w, bool wide)
{
    if (raw == nullptr || smoothed == nullptr || n <= 0) {
        return;
    }
    n = std::min(n, kMaxSamples);
    if (!FastTable(raw, smoothed, n, w, wide)) {
        PlainTable(raw, smoothed, n, w);
    }
}
