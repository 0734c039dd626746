#include "analysis/BandScale.h"

#include "analysis/DeviceMath.h"

#include <cmath>
#include <cstdlib>

// The scale factors are kept in 32-bit floats, as the curves have always been drawn with; the
// products and sums around them are evaluated in double.

BandScale BandScale::ForScreen(const CFileData& data, int c, int clientWidth, int bandTop, int unitHeight)
{
    BandScale s;
    s.m_bPage = false;
    s.m_nLeft = 10;
    s.m_nRight = clientWidth - 10;
    s.m_nTop = bandTop;
    s.m_nUnitHeight = unitHeight;
    const DepthAxisRange axis = DepthAxisOf(data);
    s.m_fA0 = axis.a0;
    s.m_fA1 = axis.a1;
    const float span = s.m_fA1 - s.m_fA0;
    s.m_bDepthValid = std::isfinite(span) && span > 0.0f;
    if (s.m_bDepthValid)
        s.m_fScaleX = static_cast<float>(static_cast<double>(clientWidth - 20) / span);
    s.m_valueRange = ValueRangeOf(data, c);
    if (s.m_valueRange.Valid())
        s.m_fScaleY = static_cast<float>(2.0 * unitHeight / static_cast<double>(s.m_valueRange.top - s.m_valueRange.bottom));
    s.m_gradientRange = GradientRangeOf(data, c);
    if (s.m_gradientRange.Valid())
        s.m_fScaleG = static_cast<float>(static_cast<double>(unitHeight) / static_cast<double>(s.m_gradientRange.spanG));
    return s;
}

BandScale BandScale::ForPage(const CFileData& data, int c, int left, int right, int top, int unitHeight)
{
    BandScale s = ForScreen(data, c, right - left + 20, top, unitHeight);
    s.m_bPage = true;
    s.m_nLeft = left;
    s.m_nRight = right;
    return s;
}
