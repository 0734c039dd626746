#pragma once

#include <cstddef>
#include <vector>

// Natural cubic spline (second derivative 0 at both ends) through knots with strictly ascending
// abscissae, continued as a straight line outside them. The curves of the top band and of the
// printed waveform page are drawn through it, one evaluation per device column.
class CubicSpline {
public:
    CubicSpline() = default;

    // Copies the knots and solves for the coefficients. Knots that are not strictly ascending or
    // not finite are first passed through MergeCoincidentKnots; fewer than two knots leave a
    // constant (one knot) or zero (none) function.
    void SetPoints(const std::vector<double>& x, const std::vector<double>& y);
    // Value of the spline at t.
    double Evaluate(double t) const;
    // The same value as Evaluate(t). cursor carries the knot position found by the previous call
    // (start it at 0): for ascending t, as when a curve is evaluated column by column, the
    // position is found by stepping on from there instead of a search over all knots.
    double Evaluate(double t, std::size_t& cursor) const;

    // Coefficients of interval i, f(t) = y[i] + c[i] h + b[i] h^2 + a[i] h^3, h = t - x[i].
    const std::vector<double>& A() const { return m_a; }
    const std::vector<double>& B() const { return m_b; }
    const std::vector<double>& C() const { return m_c; }
    // Knots as stored (after any merging).
    const std::vector<double>& X() const { return m_x; }
    const std::vector<double>& Y() const { return m_y; }

private:
    double EvaluateAt(double t, std::size_t p) const;

    std::vector<double> m_x;
    std::vector<double> m_y;
    std::vector<double> m_a;
    std::vector<double> m_b;
    std::vector<double> m_c;
    double m_b0 = 0.0;
    double m_c0 = 0.0;
};
