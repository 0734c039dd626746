#pragma once

#include "analysis/DeviceMath.h"
#include "analysis/Scales.h"
#include "data/CFileData.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

// One device point of a curve.
struct CurvePoint {
    int x = 0;
    int y = 0;
    bool operator==(const CurvePoint&) const = default;
};

// Maps depth to x and values and gradients to y for one band (value panel above gradient panel)
// of one component. The screen and the printed page use slightly different formulas, so build
// it with ForScreen or ForPage. Results are device pixels, truncated toward zero and kept within
// +-kCoordLimit so that corrupt data cannot produce coordinates a painter chokes on.
class BandScale {
public:
    static constexpr int kCoordLimit = 1000000;

    // Band with top bandTop and unit height G in a client area of the given width.
    static BandScale ForScreen(const CFileData& data, int c, int clientWidth, int bandTop, int unitHeight);
    // Band on a printed page: curves from left (Lp) to right (Rp), value panel top at top (Tp).
    static BandScale ForPage(const CFileData& data, int c, int left, int right, int top, int unitHeight);

    // False when the depth axis has no extent (only with corrupt depths).
    bool DepthValid() const { return m_bDepthValid; }
    // False when all values of the component are equal; skip the value curve then.
    bool ValueValid() const { return m_valueRange.Valid(); }
    // False when all gradients are 0 or the step is 0; skip the gradient curve and zero line then.
    bool GradientValid() const { return m_gradientRange.Valid(); }

    // x of a depth; the plot left edge when the depth axis is invalid.
    int X(float depth) const;
    // y of a smoothed value in the value panel; the panel top when the value scale is invalid.
    int ValueY(int64_t value) const;
    // y of a gradient in the gradient panel; the panel top when the gradient scale is invalid.
    int GradientY(int64_t gradient) const;
    // y of the gradient zero line, GradientY(0).
    int ZeroY() const { return GradientY(0); }

    // Left and right end of the depth axis in device x (10 and W - 10 on screen).
    int PlotLeft() const { return m_nLeft; }
    int PlotRight() const { return m_nRight; }
    float A0() const { return m_fA0; }
    float A1() const { return m_fA1; }
    const ValueRange& Values() const { return m_valueRange; }
    const GradientRange& Gradients() const { return m_gradientRange; }

private:
    bool m_bPage = false;
    bool m_bDepthValid = false;
    int m_nLeft = 10;
    int m_nRight = 10;
    int m_nTop = 0;
    int m_nUnitHeight = 0;
    float m_fA0 = 0.0f;
    float m_fA1 = 0.0f;
    float m_fScaleX = 0.0f;  // screen only: (W - 20) / (A1 - A0) held as float
    float m_fScaleY = 0.0f;  // screen only: 2G / (top - bottom) held as float
    float m_fScaleG = 0.0f;  // G / spanG held as float
    ValueRange m_valueRange;
    GradientRange m_gradientRange;
};

// The mappings are called for every sample of every curve, so they are defined here where the
// curve code can inline them.

inline int BandScale::X(float depth) const
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

inline int BandScale::ValueY(int64_t value) const
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

inline int BandScale::GradientY(int64_t gradient) const
{
    const int panelTop = m_nTop + 2 * m_nUnitHeight + 5;
    if (!GradientValid())
        return panelTop;
    const double scaled = static_cast<double>(std::llabs(gradient - m_gradientRange.topG)) * static_cast<double>(m_fScaleG);
    const double y = m_bPage ? scaled + 2 * m_nUnitHeight + m_nTop + 5 : scaled + m_nTop + 2 * m_nUnitHeight + 5;
    return TruncClamped(y, kCoordLimit);
}
