#include "analysis/Smoothing.h"

#include "data/Smooth.h"

#include <algorithm>
#include <vector>

void RebuildSmoothedTable(CFileData& data, int w)
{
    const int n = static_cast<int>(std::min<uint32_t>(data.m_nCount, kMaxSamples));
    // The filter runs over the smoothed count, which may differ from the count: past the samples
    // it reads zeros. Only the first n results are kept, with the depths the table holds.
    const int filtered = std::clamp(data.m_nSmoothedCount, 0, kMaxSamples);
    std::vector<SampleRecord> table(static_cast<std::size_t>(std::max(n, filtered)));
    for (int i = 0; i < n; ++i) {
        table[i] = data.m_smoothed[i];
        table[i].x = data.m_raw[i].x;
        table[i].y = data.m_raw[i].y;
        table[i].z = data.m_raw[i].z;
    }
    SmoothRecords(table.data(), filtered, w);
    SetDifferences(table.data(), n);
    std::copy_n(table.begin(), n, data.m_smoothed.begin());
}
