#include "analysis/Scales.h"

#include "analysis/DeviceMath.h"

#include <algorithm>
#include <cmath>

namespace {

// Depth searches read at least entry 0, as the table always has it; depths that are not finite
// (only in damaged files) take no part, so one bad value cannot take the whole axis with it.
template <typename Better>
float DepthSearch(const CFileData& data, Better better)
{
    if (data.m_smoothed.empty())
        return 0.0f;
    const int n = std::max(SmoothedEntries(data), 1);
    bool found = false;
    float best = 0.0f;
    for (int i = 0; i < n; ++i) {
        const float d = data.m_smoothed[i].depth;
        if (!std::isfinite(d))
            continue;
        if (!found || better(d, best)) {
            best = d;
            found = true;
        }
    }
    return best;
}

float DepthMax(const CFileData& data)
{
    return DepthSearch(data, [](float d, float best) { return d > best; });
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
    const float d = DepthSearch(data, [](float v, float best) { return v < best; });
    return truncate ? std::trunc(d) : d;
}

float DepthAxisEnd(const CFileData& data)
{
    const float a0 = DepthMin(data, true);
    const int64_t metres = TruncToInt64(DepthMax(data)) - TruncToInt64(a0);
    const int64_t fives = metres / 5 + 1;
    return static_cast<float>(static_cast<double>(a0) + static_cast<double>(5 * fives));
}

void BuildDepthPixelTable(CFileData& data, int clientWidth)
{
    std::fill(data.m_depthPixels.begin(), data.m_depthPixels.end(), DepthPixelEntry{});
    const int count = std::min(RawEntries(data), static_cast<int>(data.m_depthPixels.size()));
    if (count == 0)
        return;

    const double a0 = DepthMin(data, true);
    const double span = static_cast<double>(DepthAxisEnd(data)) - a0;
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
    const int64_t hi = ComponentMax(data, c);
    const int64_t lo = ComponentMin(data, c);
    const int64_t p = (hi - lo) / 10;
    return ValueRange{hi + p, lo - p};
}

GradientRange GradientRangeOf(const CFileData& data, int c)
{
    const int64_t hi = GradientMax(data, c);
    const int64_t lo = GradientMin(data, c);
    const int64_t e = (hi - lo) / 3;
    const int64_t h = e / 2;
    return GradientRange{hi + h, hi - lo + e};
}
