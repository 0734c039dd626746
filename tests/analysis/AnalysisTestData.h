#pragma once

#include "data/CFileData.h"

#include <vector>

// A data set whose raw and smoothed tables hold the given Z values (sample 0 deepest), with the
// differences worked out as the smoothing would.
inline CFileData MakeData(const std::vector<float>& depths, const std::vector<int>& values, int step = 25)
{
    CFileData d;
    d.m_nStep = step;
    d.m_nCount = static_cast<uint32_t>(depths.size());
    d.m_nSmoothedCount = static_cast<int32_t>(depths.size());
    for (std::size_t i = 0; i < depths.size(); ++i) {
        SampleRecord s;
        s.depth = depths[i];
        const int v = i < values.size() ? values[i] : 0;
        const int diff = i == 0 ? 0 : v - (i - 1 < values.size() ? values[i - 1] : 0);
        s.z = v;
        s.dz = diff;
        d.m_raw[i] = s;
        d.m_smoothed[i] = s;
    }
    return d;
}

// Depths from deep to shallow in steps of stepMetres.
inline std::vector<float> Depths(float deepest, float stepMetres, int count)
{
    std::vector<float> out;
    for (int i = 0; i < count; ++i)
        out.push_back(deepest - stepMetres * static_cast<float>(i));
    return out;
}
