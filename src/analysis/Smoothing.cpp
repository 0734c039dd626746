#include "analysis/Smoothing.h"

#include "data/Smooth.h"

#include <algorithm>
#include <array>

void RebuildSmoothedTable(CFileData& data, int w)
{
    const int n = static_cast<int>(std::min<uint32_t>(data.m_nCount, kMaxSamples));
    const int smoothedCount = std::clamp(data.m_nSmoothedCount, 0, kMaxSamples);
    if (smoothedCount == n) {
        SmoothTable(data.m_raw.data(), data.m_smoothed.data(), n, w);
        return;
    }
    // Only the values the filter reads are set: the raw ones, then zeros up to the smoothed count.
    std::array<int32_t, kMaxSamples> xs, ys, zs;
    for (int i = 0; i < n; ++i) {
        xs[i] = data.m_raw[i].x;
        ys[i] = data.m_raw[i].y;
        zs[i] = data.m_raw[i].z;
    }
    for (int i = n; i < smoothedCount; ++i) {
        xs[i] = ys[i] = zs[i] = 0;
    }
    SmoothComponents(xs.data(), ys.data(), zs.data(), smoothedCount, w);
    SampleRecord previous;
    for (int i = 0; i < n; ++i) {
        SampleRecord r = data.m_smoothed[i];
        r.x = xs[i];
        r.y = ys[i];
        r.z = zs[i];
        if (i == 0) {
            r.dx = r.dy = r.dz = 0;
        } else {
            r.dx = static_cast<int32_t>(static_cast<uint32_t>(r.x) - static_cast<uint32_t>(previous.x));
            r.dy = static_cast<int32_t>(static_cast<uint32_t>(r.y) - static_cast<uint32_t>(previous.y));
            r.dz = static_cast<int32_t>(static_cast<uint32_t>(r.z) - static_cast<uint32_t>(previous.z));
        }
        data.m_smoothed[i] = r;
        previous = r;
    }
}
