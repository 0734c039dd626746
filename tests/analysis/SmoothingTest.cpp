#include "analysis/Smoothing.h"
#include "data/Smooth.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// The graph's table: each component filtered over the smoothed count (zeros past the samples),
// the wrapping differences of the filtered values, the depths and every record past the count as
// they were; whatever the table held before.
TEST(RebuildSmoothedTable, FiltersTheRawTableOverTheSmoothedCount)
{
    std::mt19937 rng(41);
    std::uniform_int_distribution<int32_t> wide(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> noise(-300, 300);
    for (int round = 0; round < 60; ++round) {
        const int n = round % 3 == 0 ? kMaxSamples - 5 : 40 + round * 17;
        const int w = 1 + round % 10;
        const int filtered = round % 4 == 1 ? n + 5 : round % 4 == 2 ? n - 7 : n;
        CFileData data;
        data.m_nCount = static_cast<uint32_t>(n);
        data.m_nSmoothedCount = filtered;
        for (int i = 0; i < kMaxSamples; ++i) {
            const int32_t v = round % 2 ? wide(rng) : 30000 + noise(rng);
            data.m_raw[i] = {v, -v / 3, v + noise(rng), 0.25f * i, 0, 0, 0};
            data.m_smoothed[i] = {wide(rng), 1, 2, -1.0f * i, 7, 7, 7};
        }
        const std::vector<SampleRecord> before = data.m_smoothed;
        std::vector<int32_t> x(std::max(n, filtered)), y(x.size()), z(x.size());
        for (int i = 0; i < n; ++i) {
            x[i] = data.m_raw[i].x;
            y[i] = data.m_raw[i].y;
            z[i] = data.m_raw[i].z;
        }
        Smooth(x.data(), filtered, w);
        Smooth(y.data(), filtered, w);
        Smooth(z.data(), filtered, w);
        RebuildSmoothedTable(data, w);
        const auto diff = [](const std::vector<int32_t>& v, int i) {
            return i == 0 ? 0 : static_cast<int32_t>(static_cast<uint32_t>(v[i]) - static_cast<uint32_t>(v[i - 1]));
        };
        for (int i = 0; i < n; ++i) {
            const SampleRecord& r = data.m_smoothed[i];
            ASSERT_TRUE(r.x == x[i] && r.y == y[i] && r.z == z[i]) << "n " << n << " w " << w << " at " << i;
            ASSERT_TRUE(r.dx == diff(x, i) && r.dy == diff(y, i) && r.dz == diff(z, i)) << "w " << w << " at " << i;
            ASSERT_EQ(r.depth, -1.0f * i);
        }
        for (int i = n; i < kMaxSamples; ++i)
            ASSERT_EQ(data.m_smoothed[i].x, before[i].x) << i;
    }
}

}  // namespace
