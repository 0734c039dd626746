#include "analysis/MarkerMath.h"

#include "analysis/DeviceMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

unsigned MarkerColorRgb(int kind)
{
    return kind == kBottomMarker ? 0x0000FFu : 0x808000u;
}

std::string MarkerLabel(float depth)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.02f", static_cast<double>(depth));
    return buffer;
}

MarkerSpot LocateMarker(const CursorScale& scale, const CFileData& data, int x)
{
    MarkerSpot spot;
    const int entry = IndexFromPixel(scale, x);
    if (!scale.Valid() || entry < 0 || entry >= scale.count)
        return spot;
    const float depth = data.m_depthPixels[static_cast<std::size_t>(entry)].depth;
    if (!(depth >= scale.dmin))
        return spot;
    spot.drawn = true;
    spot.entry = entry;
    spot.depth = depth;
    return spot;
}

int RestoredMarkerX(const CursorScale& scale, float depth)
{
    if (!scale.Valid() || !std::isfinite(depth))
        return 0;
    const float metresPerPixel = (scale.dmax - scale.dminInt) / static_cast<float>(scale.width - 20);
    const float x = (depth - scale.dminInt) / metresPerPixel + 10.0f;
    // Depths far outside the axis land far outside the plot, where no sample is found.
    return TruncClamped(x, 1 << 28) + 1;
}

int PrintedLabelFontHeight(int dpiY)
{
    // MulDiv rounds half away from zero.
    const long long product = 14LL * dpiY;
    const long long rounded = product >= 0 ? (product + 48) / 96 : (product - 48) / 96;
    return static_cast<int>(std::clamp<long long>(rounded, -(1 << 28), 1 << 28));
}

int PrintedLabelY(int top)
{
    return static_cast<int>(std::clamp<long long>(3LL * top, -(1 << 28), 1 << 28));
}
