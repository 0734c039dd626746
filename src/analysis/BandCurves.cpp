#include "analysis/BandCurves.h"

#include "analysis/CubicSpline.h"
#include "analysis/DeviceMath.h"
#include "analysis/Scales.h"
#include "analysis/SplineKnots.h"

#include <algorithm>

namespace {

// A polyline of fewer than two points draws nothing; returning none spares the caller a check.
std::vector<CurvePoint> Drawable(std::vector<CurvePoint> points)
{
    if (points.size() < 2)
        points.clear();
    return points;
}

// Evaluates the spline through the knots at every column from first to last. Columns further
// than one plot width outside the plot are never visible; leaving them out keeps the work bounded
// by the width even when damaged depths throw a knot far away.
std::vector<CurvePoint> SplineColumns(std::vector<double> kx, std::vector<double> ky, int first, int last,
                                      const BandScale& scale)
{
    MergeCoincidentKnots(kx, ky);
    if (kx.size() < 2)
        return {};
    CubicSpline spline;
    spline.SetPoints(kx, ky);

    const int span = std::max(scale.PlotRight() - scale.PlotLeft(), 1);
    const int lo = std::max(first, scale.PlotLeft() - span);
    const int hi = std::min(last, scale.PlotRight() + span);
    std::vector<CurvePoint> points;
    if (hi >= lo)
        points.reserve(static_cast<std::size_t>(hi - lo) + 1);
    std::size_t cursor = 0;
    for (int t = lo; t <= hi; ++t)
        points.push_back({t, TruncClamped(spline.Evaluate(t, cursor), BandScale::kCoordLimit)});
    return Drawable(std::move(points));
}

}  // namespace

std::vector<CurvePoint> ValueCurvePoints(const CFileData& data, int c, int slot, const BandScale& scale)
{
    if (!scale.DepthValid() || !scale.ValueValid())
        return {};
    const int n = SmoothedEntries(data);
    const auto at = [&](int k) {
        const SampleRecord& s = data.m_smoothed[k];
        return CurvePoint{scale.X(s.depth), scale.ValueY(ComponentValue(s, c))};
    };

    std::vector<CurvePoint> points;
    switch (slot) {
    case 1: {
        if (n < 2)
            return {};
        // Knots from the deepest sample upwards, so that x ascends.
        std::vector<double> kx, ky;
        kx.reserve(n);
        ky.reserve(n);
        for (int k = n - 1; k >= 0; --k) {
            const CurvePoint p = at(k);
            kx.push_back(p.x);
            ky.push_back(p.y);
        }
        const int a = scale.X(data.m_smoothed[n - 1].depth);
        const int b = scale.X(data.m_smoothed[0].depth);
        return SplineColumns(std::move(kx), std::move(ky), a, b, scale);
    }
    case 2:
        points.reserve(n);
        for (int k = 0; k < n; ++k)
            points.push_back(at(k));
        break;
    case 3:
        // The bottom band leaves the deepest sample out of its value curve.
        points.reserve(n);
        for (int k = 1; k < n; ++k)
            points.push_back(at(k));
        break;
    default:
        break;
    }
    return Drawable(std::move(points));
}

std::vector<CurvePoint> GradientCurvePoints(const CFileData& data, int c, int slot, const BandScale& scale)
{
    if (!scale.DepthValid() || !scale.GradientValid())
        return {};
    const int count = RawEntries(data);
    const auto x = [&](int k) { return scale.X(data.m_raw[k].depth); };
    const auto y = [&](int k) { return scale.GradientY(Gradient(data, k, c)); };

    std::vector<CurvePoint> points;
    switch (slot) {
    case 1: {
        // The knots stop at sample 2 and the curve starts at the second knot, so it takes four
        // samples to have two knots and anything to draw.
        if (count < 4)
            return {};
        std::vector<double> kx, ky;
        kx.reserve(count);
        ky.reserve(count);
        for (int k = count - 1; k >= 2; --k) {
            kx.push_back(x(k));
            ky.push_back(y(k));
        }
        const int a2 = x(count - 2);
        const int length = x(1) - x(count - 1);
        return SplineColumns(std::move(kx), std::move(ky), a2, a2 + length - 1, scale);
    }
    case 2:
        // The deepest sample has no difference of its own and borrows the one of sample 1.
        if (count < 2)
            return {};
        points.reserve(count);
        points.push_back({x(0), y(1)});
        for (int k = 1; k < count; ++k)
            points.push_back({x(k), y(k)});
        break;
    case 3:
        points.reserve(count);
        for (int k = 1; k < count; ++k)
            points.push_back({x(k), y(k)});
        break;
    default:
        break;
    }
    return Drawable(std::move(points));
}
