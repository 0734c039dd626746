#include "analysis/BandMatrix.h"
#include "analysis/CubicSpline.h"
#include "analysis/SplineKnots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

CubicSpline Spline(std::vector<double> x, std::vector<double> y)
{
    CubicSpline s;
    s.SetPoints(x, y);
    return s;
}

}  // namespace

TEST(CubicSpline, ThreePointArchHasTheKnownCoefficientsAndLinearEnds)
{
    const CubicSpline s = Spline({0, 1, 2}, {0, 1, 0});
    EXPECT_EQ(s.B(), (std::vector<double>{0, -1.5, 0}));
    EXPECT_EQ(s.A(), (std::vector<double>{-0.5, 0.5, 0}));
    EXPECT_EQ(s.C(), (std::vector<double>{1.5, 0, -1.5}));
    EXPECT_EQ(s.Evaluate(0.5), 0.6875);
    EXPECT_EQ(s.Evaluate(1.5), 0.6875);
    EXPECT_EQ(s.Evaluate(1.0), 1.0);   // an inner knot is evaluated at the right end of its left interval
    EXPECT_EQ(s.Evaluate(-1.0), -1.5); // slope c0 = 1.5 to the left
    EXPECT_EQ(s.Evaluate(3.0), -1.5);  // slope c[2] = -1.5 to the right
}

TEST(CubicSpline, FourPointZigZag)
{
    const CubicSpline s = Spline({0, 1, 2, 3}, {0, 1, 0, 1});
    EXPECT_EQ(s.B(), (std::vector<double>{0, -2, 2, 0}));
    EXPECT_DOUBLE_EQ(s.Evaluate(0.5), 0.75);
    EXPECT_DOUBLE_EQ(s.Evaluate(1.5), 0.5);
    EXPECT_DOUBLE_EQ(s.Evaluate(2.5), 0.25);
    // The curve code truncates to device rows, so the bits below matter: 0.75 comes out just under.
    EXPECT_EQ(s.Evaluate(0.5), 0.74999999999999989);
    EXPECT_EQ(s.Evaluate(2.5), 0.25000000000000006);
}

TEST(CubicSpline, TwoPointsAndCollinearPointsGiveAStraightLine)
{
    const CubicSpline two = Spline({10, 20}, {5, 25});
    EXPECT_EQ(two.Evaluate(15), 15);
    EXPECT_EQ(two.Evaluate(30), 45);
    EXPECT_EQ(two.Evaluate(0), -15);

    const std::vector<double> x{0, 0.3, 1.7, 2, 5};
    std::vector<double> y;
    for (double v : x)
        y.push_back(2 * v + 1);
    const CubicSpline line = Spline(x, y);
    for (double b : line.B())
        EXPECT_NEAR(b, 0.0, 1e-12);
    for (double t : {-1.0, 0.1, 3.0, 6.0})
        EXPECT_NEAR(line.Evaluate(t), 2 * t + 1, 1e-12);
    EXPECT_EQ(line.Evaluate(0), 1.0);  // the first knot is hit exactly
}

TEST(CubicSpline, KnotsAreInterpolated)
{
    const std::vector<double> x{3, 4, 7, 8, 12, 13};
    const std::vector<double> y{40, 38, 55, 51, 20, 22};
    const CubicSpline s = Spline(x, y);
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(s.Evaluate(x[i]), y[i], 1e-9) << "knot " << i;
}

TEST(CubicSpline, DegenerateInputStaysDefined)
{
    EXPECT_EQ(CubicSpline().Evaluate(1.0), 0.0);
    EXPECT_EQ(Spline({}, {}).Evaluate(3.0), 0.0);
    EXPECT_EQ(Spline({5}, {7}).Evaluate(-100.0), 7.0);

    // Repeated and unordered abscissae are merged rather than divided by.
    const CubicSpline s = Spline({2, 0, 1, 1}, {0, 0, 0, 2});
    EXPECT_EQ(s.X(), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(s.Evaluate(1.0), 1.0);
    for (double t = -2; t <= 4; t += 0.25)
        EXPECT_TRUE(std::isfinite(s.Evaluate(t)));

    // Unequal lengths use the common part.
    EXPECT_EQ(Spline({0, 1, 2}, {4, 4}).X().size(), 2u);
}

TEST(CubicSpline, StepwiseEvaluationGivesTheSearchedValues)
{
    // Column-by-column evaluation carries the knot position along; it must give the value of the
    // search to the bit, at the knots, between them, outside them and when t goes back.
    std::vector<double> x, y;
    for (int i = 0; i < 300; ++i) {
        x.push_back(10 + i * 1.5 + (i % 4 == 0 ? 0.25 : 0.0));
        y.push_back(std::sin(i * 0.7) * 80 + (i % 9) * 3);
    }
    const CubicSpline s = Spline(x, y);
    std::vector<double> ts;
    for (double t = 0; t <= 480; t += 1)
        ts.push_back(t);
    ts.insert(ts.end(), {x[5], x[5], x[6], 12.0, 11.0, 1000.0, -5.0, x[299], 200.5});
    std::size_t cursor = 0;
    for (double t : ts)
        EXPECT_EQ(s.Evaluate(t, cursor), s.Evaluate(t)) << "t = " << t;
    cursor = 12345;  // a cursor from elsewhere is not trusted
    EXPECT_EQ(s.Evaluate(100.0, cursor), s.Evaluate(100.0));
}

TEST(SplineKnots, MergesColumnsToTheMeanAndDropsNonFinite)
{
    std::vector<double> x{1, 1, 1, 2, 3, 3, NAN, 5};
    std::vector<double> y{10, 20, 60, 5, 1, 2, 9, INFINITY};
    MergeCoincidentKnots(x, y);
    EXPECT_EQ(x, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(y, (std::vector<double>{30, 5, 1.5}));
}

TEST(SplineKnots, OrderedKnotsMergeAsTheSortedOnesDo)
{
    // Knots in ascending order are merged where they stand, others through a sort; both must give
    // the same knots, to the sign of a zero mean.
    const std::vector<double> x{1, 1, 2, NAN, 2, 3, 4, 4, 4, 6};
    const std::vector<double> y{3, 4, -0.0, 8, 7, -0.0, 1, 1, 2, 5};
    std::vector<double> ax = x, ay = y;
    MergeCoincidentKnots(ax, ay);
    EXPECT_EQ(ax, (std::vector<double>{1, 2, 3, 4, 6}));
    EXPECT_EQ(ay, (std::vector<double>{3.5, 3.5, 0.0, 4.0 / 3.0, 5}));
    EXPECT_FALSE(std::signbit(ay[2]));
    // The same pairs out of order (each group keeps its inner order, as the stable sort does).
    std::vector<double> bx{6, 4, 4, 4, 3, 2, NAN, 2, 1, 1};
    std::vector<double> by{5, 1, 1, 2, -0.0, -0.0, 8, 7, 3, 4};
    MergeCoincidentKnots(bx, by);
    EXPECT_EQ(bx, ax);
    EXPECT_EQ(by, ay);
    EXPECT_FALSE(std::signbit(by[2]));
}

TEST(BandMatrix, LayoutDecompositionAndSolve)
{
    BandMatrix m(4);
    EXPECT_EQ(m.Dim(), 4u);
    EXPECT_EQ(m(2, 3), 0.0);
    // Tridiagonal system with the solution (1, 2, 3, 4).
    const double diag[] = {4, 5, 6, 7};
    for (std::size_t i = 0; i < 4; ++i) {
        m(i, i) = diag[i];
        if (i + 1 < 4) {
            m(i, i + 1) = 1;
            m(i + 1, i) = 2;
        }
    }
    const std::vector<double> x = m.LuSolve({4 + 2, 2 + 10 + 3, 4 + 18 + 4, 6 + 28});
    ASSERT_EQ(x.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(x[i], i + 1.0, 1e-12);
    // After the decomposition the diagonal is the unit diagonal of the scaled rows, and the
    // sub-diagonal holds the multipliers: row 1 was scaled by 1/5, so m = (2/5) / 1.
    EXPECT_EQ(m(0, 0), 1.0);
    EXPECT_DOUBLE_EQ(m(1, 0), 0.4);
    EXPECT_DOUBLE_EQ(m(1, 1), 1.0 - 0.4 * 0.25);
}
