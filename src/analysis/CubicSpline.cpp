#include "analysis/CubicSpline.h"

#include "analysis/BandMatrix.h"
#include "analysis/SplineKnots.h"

#include <algorithm>
#include <cmath>

namespace {

// Nearest doubles to one third and two thirds, used as multipliers: the curves must come out
// pixel for pixel as they always have, so the arithmetic is not rearranged.
constexpr double kOneThird = 1.0 / 3.0;
constexpr double kTwoThirds = 2.0 / 3.0;

bool UsableAsGiven(const std::vector<double>& x, const std::vector<double>& y)
{
    if (x.size() != y.size())
        return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i]))
            return false;
        if (i > 0 && !(x[i - 1] < x[i]))
            return false;
    }
    return true;
}

}  // namespace

void CubicSpline::SetPoints(const std::vector<double>& x, const std::vector<double>& y)
{
    m_x = x;
    m_y = y;
    // Repeated or unordered abscissae would put a zero width into the divisions below.
    if (!UsableAsGiven(m_x, m_y))
        MergeCoincidentKnots(m_x, m_y);

    const std::size_t n = m_x.size();
    m_a.assign(n, 0.0);
    m_b.assign(n, 0.0);
    m_c.assign(n, 0.0);
    m_b0 = 0.0;
    m_c0 = 0.0;
    if (n < 2)
        return;

    // The slope of each interval enters the right-hand side of two rows and the linear
    // coefficient; it is divided out once and kept in m_c until the coefficients are built.
    for (std::size_t i = 0; i + 1 < n; ++i)
        m_c[i] = (m_y[i + 1] - m_y[i]) / (m_x[i + 1] - m_x[i]);

    BandMatrix m(n);
    std::vector<double> r(n, 0.0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        m(i, i - 1) = (m_x[i] - m_x[i - 1]) * kOneThird;
        m(i, i) = (m_x[i + 1] - m_x[i - 1]) * kTwoThirds;
        m(i, i + 1) = (m_x[i + 1] - m_x[i]) * kOneThird;
        r[i] = m_c[i] - m_c[i - 1];
    }
    // Natural ends: second derivative 0 at the first and the last knot.
    m(0, 0) = 2.0;
    m(0, 1) = 0.0;
    r[0] = 0.0;
    m(n - 1, n - 1) = 2.0;
    m(n - 1, n - 2) = 0.0;
    r[n - 1] = 0.0;

    m_b = m.LuSolve(r);

    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double h = m_x[i + 1] - m_x[i];
        m_a[i] = kOneThird * (m_b[i + 1] - m_b[i]) / h;
        m_c[i] = m_c[i] - kOneThird * (2 * m_b[i] + m_b[i + 1]) * h;
    }
    m_b0 = m_b[0];
    m_c0 = m_c[0];

    // Right of the last knot the curve continues with the last interval's slope at its end.
    const double h = m_x[n - 1] - m_x[n - 2];
    m_a[n - 1] = 0.0;
    m_c[n - 1] = 3 * m_a[n - 2] * h * h + 2 * m_b[n - 2] * h + m_c[n - 2];
}

double CubicSpline::Evaluate(double t) const
{
    const auto it = std::lower_bound(m_x.begin(), m_x.end(), t);
    return EvaluateAt(t, static_cast<std::size_t>(it - m_x.begin()));
}

double CubicSpline::Evaluate(double t, std::size_t& cursor) const
{
    // cursor is the first knot not less than the previous t. It stays right for a larger t once
    // it has stepped over the knots below t; a smaller t (or a cursor from another spline) needs
    // the full search.
    const std::size_t n = m_x.size();
    std::size_t p = cursor;
    if (p > n || (p > 0 && !(m_x[p - 1] < t)))
        p = static_cast<std::size_t>(std::lower_bound(m_x.begin(), m_x.end(), t) - m_x.begin());
    while (p < n && m_x[p] < t)
        ++p;
    cursor = p;
    return EvaluateAt(t, p);
}

// p is the first knot not less than t (n when there is none), as std::lower_bound finds it.
double CubicSpline::EvaluateAt(double t, std::size_t p) const
{
    const std::size_t n = m_x.size();
    if (n == 0)
        return 0.0;
    if (n == 1)
        return m_y[0];

    const std::size_t idx = p > 0 ? p - 1 : 0;
    const double h = t - m_x[idx];
    if (t < m_x[0])
        return (m_b0 * h + m_c0) * h + m_y[0];
    if (t > m_x[n - 1])
        return (m_b[n - 1] * h + m_c[n - 1]) * h + m_y[n - 1];
    return ((m_a[idx] * h + m_b[idx]) * h + m_c[idx]) * h + m_y[idx];
}
