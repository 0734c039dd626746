#pragma once

#include "analysis/Scales.h"
#include "data/CFileData.h"

#include <cstdint>

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
