#include "analysis/Scales.h"

#include "analysis/DeviceMath.h"

#include <algorithm>
#include <cmath>

namespace {

// Smallest and largest depth. The scan reads at least entry 0, as the table always has it;
// depths that are not finite (only in damaged files) take no part, so one bad value cannot take
// the whole axis with it. Both ends come from one pass because every band of every paint asks
// for them.
struct DepthExtent {
    float min = 0.0f;
    float max = 0.0f;
};

DepthExtent DepthExtentOf(const CFileData& data)
{
    DepthExtent e;
    if (data.m_smoothed.empty())
        return e;
    const int n = std::max(SmoothedEntries(data), 1);
    bool found = false;
    for (int i = 0; i < n; ++i) {
        const float d = data.m_smoothed[i].depth;
        if (!std::isfinite(d))
            continue;
        if (!found) {
            e.min = d;
            e.max = d;
            found = true;
            continue;
        }
        if (d < e.min)
            e.min = d;
        if (d > e.max)
            e.max = d;
    }
    return e;
}

// A1 for the axis starting at the whole metre a0 and reaching at least to the deepest depth.
float AxisEnd(float a0, float deepest)
{
    const int64_t metres = TruncToInt64(deepest) - TruncToInt64(a0);
    const int64_t fives = metres / 5 + 1;
    return static_cast<float>(static_cast<double>(a0) + static_cast<double>(5 * fives));
}

}  // namespace

int SmoothedEntries(const CFileData& data)
{
    const int cap = static_cast<int>(std::min<std::size_t>(data.m_smoothed.size(), kMaxSamples));
    return std::clamp(data.m_nSmoothedCount, 0, cap);
}

int RawEntries(const CFileData& data)
{
    const std::size_t cap = std::min<std::size_t>(data.m_raw.size(), kMaxSamples);
    return static_cast<int>(std::min<std::size_t>(data.m_nCount, cap));
}

int32_t ComponentMax(const CFileData& data, int c)
{
    if (data.m_smoothed.empty())
        return 0;
    const int n = SmoothedEntries(data);
    int32_t best = ComponentValue(data.m_smoothed[0], c);
    for (int i = 1; i < n; ++i)
        best = std::max(best, ComponentValue(data.m_smoothed[i], c));
    return best;
}

int32_t ComponentMin(const CFileData& data, int c)
{
    if (data.m_smoothed.empty())
        return 0;
    const int n = SmoothedEntries(data);
    int32_t best = ComponentValue(data.m_smoothed[0], c);
    for (int i = 1; i < n; ++i)
        best = std::min(best, ComponentValue(data.m_smoothed[i], c));
    return best;
}

int32_t Gradient(const CFileData& data, int i, int c)
{
    if (i < 0 || static_cast<std::size_t>(i) >= data.m_smoothed.size() || data.m_nStep == 0)
        return 0;
    // In 64 bits: a difference of a few million nT times 100 would overflow 32.
    const int64_t d = ComponentDiff(data.m_smoothed[i], c);
    return SaturateInt32(d * 100 / data.m_nStep);
}

int32_t GradientMax(const CFileData& data, int c)
{
    // Starting from 0 keeps 0 inside the gradient range even if entry 0 carries a stray
    // difference, so the zero line always lies in the panel.
    int32_t best = 0;
    const int n = RawEntries(data);
    for (int i = 0; i < n; ++i)
        best = std::max(best, Gradient(data, i, c));
    return best;
}

int32_t GradientMin(const CFileData& data, int c)
{
    int32_t best = 0;
    const int n = RawEntries(data);
    for (int i = 0; i < n; ++i)
        best = std::min(best, Gradient(data, i, c));
    return best;
}

float DepthMin(const CFileData& data, bool truncate)
{
    const float d = DepthExtentOf(data).min;
    return truncate ? std::trunc(d) : d;
}

float DepthAxisEnd(const CFileData& data)
{
    return DepthAxisOf(data).a1;
}

DepthAxisRange DepthAxisOf(const CFileData& data)
{
    const DepthExtent e = DepthExtentOf(data);
    const float a0 = std::trunc(e.min);
    return DepthAxisRange{a0, AxisEnd(a0, e.max)};
}

void BuildDepthPixelTable(CFileData& data, int clientWidth)
{
    std::fill(data.m_depthPixels.begin(), data.m_depthPixels.end(), DepthPixelEntry{});
    const int count = std::min(RawEntries(data), static_cast<int>(data.m_depthPixels.size()));
    if (count == 0)
        return;

    const DepthAxisRange axis = DepthAxisOf(data);
    const double a0 = axis.a0;
    const double span = static_cast<double>(axis.a1) - a0;
    // The span is at least 5 m for any finite depths; only damaged depths can make it collapse,
    // and then every sample sits at the left edge rather than dividing by zero.
    const double scale = (std::isfinite(span) && span > 0.0) ? (clientWidth - 20) / span : 0.0;
    for (int i = count - 1; i >= 0; --i) {
        const int k = count - 1 - i;
        const float depth = data.m_raw[k].depth;
        DepthPixelEntry& e = data.m_depthPixels[i];
        e.index = i;
        e.x = TruncClamped((static_cast<double>(depth) - a0) * scale + 10.0, std::numeric_limits<int>::max());
        e.depth = depth;
    }
}

ValueRange ValueRangeOf(const CFileData& data, int c)
{
    // ComponentMax and ComponentMin in one pass.
    int64_t hi = 0;
    int64_t lo = 0;
    if (!data.m_smoothed.empty()) {
        const int n = SmoothedEntries(data);
        int32_t top = ComponentValue(data.m_smoothed[0], c);
        int32_t bottom = top;
        for (int i = 1; i < n; ++i) {
            const int32_t v = ComponentValue(data.m_smoothed[i], c);
            top = std::max(top, v);
            bottom = std::min(bottom, v);
        }
        hi = top;
        lo = bottom;
    }
    const int64_t p = (hi - lo) / 10;
    return ValueRange{hi + p, lo - p};
}

GradientRange GradientRangeOf(const CFileData& data, int c)
{
    // GradientMax and GradientMin in one pass.
    int32_t top = 0;
    int32_t bottom = 0;
    const int n = RawEntries(data);
    for (int i = 0; i < n; ++i) {
        const int32_t g = Gradient(data, i, c);
        top = std::max(top, g);
        bottom = std::min(bottom, g);
    }
    const int64_t hi = top;
    const int64_t lo = bottom;
    const int64_t e = (hi - lo) / 3;
    const int64_t h = e / 2;
    return GradientRange{hi + h, hi - lo + e};
}
