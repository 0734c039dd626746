#include "analysis/CursorMath.h"

#include "analysis/DeviceMath.h"
#include "analysis/Scales.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

// Results of the float-to-int conversions stay far from the int limits, so that adding an offset
// or subtracting an origin afterwards cannot overflow.
constexpr int kPixelLimit = 1 << 28;

float Pitch(const CursorScale& s)
{
    // Pixels per sample, in the written order: ppd x step / 100.
    return s.ppd * static_cast<float>(s.step) / 100.0f;
}

int TableEntries(const CFileData& data)
{
    return std::min(RawEntries(data), static_cast<int>(data.m_depthPixels.size()));
}

int SaturatedAdd(int x, int offset)
{
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(x) + offset, INT_MIN, INT_MAX));
}

}  // namespace

bool CursorScale::Valid() const
{
    if (count <= 0 || width <= 20 || step <= 0)
        return false;
    if (!std::isfinite(dmin) || !std::isfinite(dmax) || !(dmax > dminInt))
        return false;
    const float pitch = Pitch(*this);
    return std::isfinite(ppd) && ppd > 0.0f && std::isfinite(pitch) && pitch > 0.0f;
}

CursorScale MakeCursorScale(const CFileData& data, int clientWidth)
{
    CursorScale s;
    s.dmin = DepthMin(data, false);
    s.dminInt = std::trunc(s.dmin);
    s.dmax = DepthAxisEnd(data);
    s.width = clientWidth;
    s.step = data.m_nStep;
    s.count = TableEntries(data);
    const float span = s.dmax - s.dminInt;
    s.ppd = span > 0.0f ? static_cast<float>(clientWidth - 20) / span : 0.0f;
    return s;
}

int IndexFromPixel(const CursorScale& s, int x)
{
    if (!s.Valid())
        return INT_MIN;
    const int origin = TruncClamped((s.dmin - s.dminInt) * s.ppd, kPixelLimit) + 10;
    const int offset = static_cast<int>(std::clamp<long long>(static_cast<long long>(x) - origin, -kPixelLimit, kPixelLimit));
    return TruncClamped(static_cast<float>(offset) / Pitch(s), kPixelLimit);
}

float DepthAtPixel(const CursorScale& s, int x)
{
    if (!s.Valid())
        return NAN;
    const float metresPerPixel = (s.dmax - s.dmin) / static_cast<float>(s.width - 20);
    return s.dmin + static_cast<float>(x - 10) * metresPerPixel;
}

int FindSampleNear(const CFileData& data, float depth)
{
    if (std::isnan(depth))
        return -1;
    const int n = RawEntries(data);
    for (int i = 1; i < n; ++i) {
        if (std::fabs(data.m_raw[i].depth - depth) < 0.1f)
            return i;
    }
    return -1;
}

int ClickEntry(const CursorScale& s, int x)
{
    if (!s.Valid())
        return -1;
    return std::clamp(IndexFromPixel(s, x), 0, s.count - 1);
}

int ClickCursorX(const CFileData& data, int entry)
{
    if (entry < 0 || entry >= static_cast<int>(data.m_depthPixels.size()))
        return 0;
    return SaturatedAdd(data.m_depthPixels[entry].x, 1);
}

int KeyCursorX(const CursorScale& s, const CFileData& data, int entry)
{
    const int clickX = ClickCursorX(data, entry);
    if (!s.Valid() || entry < 0 || entry >= s.count)
        return clickX;
    const int pixel = data.m_depthPixels[entry].x;
    // The click's offset first, then the pixel itself, then one pixel further either way.
    for (const int offset : {1, 0, 2, -1}) {
        const int x = SaturatedAdd(pixel, offset);
        if (IndexFromPixel(s, x) == entry)
            return x;
    }
    return clickX;
}

ArrowStep StepLeft(const CFileData& data, const CursorScale& s, int current)
{
    const int target = current - 1;
    if (target < 0 || target >= s.count)
        return {ArrowStep::Kind::Refused, current};
    if (data.m_depthPixels[target].x > 10)
        return {ArrowStep::Kind::Moved, target};
    return {ArrowStep::Kind::Refused, current};
}

ArrowStep StepRight(const CFileData& data, const CursorScale& s, int current)
{
    if (current >= s.count - 1)
        return {ArrowStep::Kind::Ignored, current};
    const int target = current + 1;
    if (target < 0)
        return {ArrowStep::Kind::Refused, current};
    if (data.m_depthPixels[target].x < s.width - 10)
        return {ArrowStep::Kind::Moved, target};
    return {ArrowStep::Kind::Refused, current};
}

int SampleOfEntry(int count, int entry)
{
    return count - 1 - entry;
}

std::optional<int> CursorLineBottom(int unitHeight, int valueHeight, int shownComponents)
{
    if (shownComponents < 1 || shownComponents > 3)
        return std::nullopt;
    const long long bottom = (static_cast<long long>(unitHeight) + valueHeight + 10) * shownComponents;
    return static_cast<int>(std::clamp<long long>(bottom, -kPixelLimit, kPixelLimit));
}

std::string ReadoutSignalText(const SampleRecord& sample, int trailingBlanks)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "信号量：Z=%d, X=%d, Y=%d", static_cast<int>(sample.z),
                  static_cast<int>(sample.x), static_cast<int>(sample.y));
    return std::string(buffer) + std::string(static_cast<std::size_t>(std::max(trailingBlanks, 0)), ' ');
}

std::string ReadoutDepthText(float depth)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "深度：%.02f", static_cast<double>(depth));
    return buffer;
}
