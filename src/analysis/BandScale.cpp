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
    s.m_fA0 = DepthMin(data, true);
    s.m_fA1 = DepthAxisEnd(data);
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

int BandScale::X(float depth) const
{
    if (!m_bDepthValid)
        return m_nLeft;
    const double offset = std::fabs(static_cast<double>(depth) - static_cast<double>(m_fA0));
    double x = 0.0;
    if (m_bPage) {
        const double span = static_cast<double>(m_fA1) - static_cast<double>(m_fA0);
        x = offset * (m_nRight - m_nLeft) / span + m_nLeft;
    } else {
        x = offset * static_cast<double>(m_fScaleX) + 10;
    }
    return TruncClamped(x, kCoordLimit);
}

int BandScale::ValueY(int64_t value) const
{
    if (!ValueValid())
        return m_nTop;
    const int64_t offset = std::llabs(value - m_valueRange.top);
    if (m_bPage) {
        // Written as integer arithmetic there: the quotient is truncated before the top is added.
        const double q = static_cast<double>(offset) * (2.0 * m_nUnitHeight) /
                         static_cast<double>(m_valueRange.top - m_valueRange.bottom);
        const int64_t y = TruncToInt64(q) + m_nTop;
        return TruncClamped(static_cast<double>(y), kCoordLimit);
    }
    return TruncClamped(static_cast<double>(offset) * static_cast<double>(m_fScaleY) + m_nTop, kCoordLimit);
}

int BandScale::GradientY(int64_t gradient) const
{
    const int panelTop = m_nTop + 2 * m_nUnitHeight + 5;
    if (!GradientValid())
        return panelTop;
    const double scaled = static_cast<double>(std::llabs(gradient - m_gradientRange.topG)) * static_cast<double>(m_fScaleG);
    const double y = m_bPage ? scaled + 2 * m_nUnitHeight + m_nTop + 5 : scaled + m_nTop + 2 * m_nUnitHeight + 5;
    return TruncClamped(y, kCoordLimit);
}
