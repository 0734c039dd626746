#pragma once

#include <cstddef>
#include <vector>

// Square band matrix with an LU solver without pivoting, sized for the spline's tridiagonal
// system. Element (i, j) is kept in the sequence of its diagonal at the index of its row:
// upper[j - i][i] on and above the diagonal, lower[i - j][i] below it. lower[0] is not an
// element store: LuDecompose keeps there the reciprocal of each row's original diagonal, which
// SolveLower needs to precondition the right-hand side the same way.
//
// The diagonals lie one after the other in one block per triangle: a spline is solved on every
// repaint, and one allocation per triangle instead of one per diagonal is measurably cheaper.
class BandMatrix {
public:
    // A dim x dim matrix with the given number of super- and sub-diagonals, all elements 0.0.
    BandMatrix(std::size_t dim, std::size_t upperWidth, std::size_t lowerWidth);

    // Number of rows (and columns).
    std::size_t Dim() const { return m_nDim; }
    std::size_t UpperWidth() const { return m_nUpper; }
    std::size_t LowerWidth() const { return m_nLower; }

    // Element (i, j); i and j must lie inside the band.
    double& operator()(std::size_t i, std::size_t j)
    {
        return j >= i ? m_upper[(j - i) * m_nDim + i] : m_lower[(i - j) * m_nDim + i];
    }
    double operator()(std::size_t i, std::size_t j) const
    {
        return j >= i ? m_upper[(j - i) * m_nDim + i] : m_lower[(i - j) * m_nDim + i];
    }

    // Scales every row to a unit diagonal, then eliminates in place (unit lower factor below).
    void LuDecompose();
    // Forward substitution with the unit lower factor, applying the row scaling to b.
    std::vector<double> SolveLower(const std::vector<double>& b) const;
    // Back substitution with the upper factor.
    std::vector<double> SolveUpper(const std::vector<double>& b) const;
    // Decomposes (always) and solves A x = b.
    std::vector<double> LuSolve(const std::vector<double>& b);

private:
    void LuDecomposeTridiagonal();

    // Element (i, j) of a diagonal that is known to be stored, without the choice of triangle.
    double& Up(std::size_t k, std::size_t i) { return m_upper[k * m_nDim + i]; }
    double& Low(std::size_t k, std::size_t i) { return m_lower[k * m_nDim + i]; }

    std::size_t m_nDim = 0;
    std::size_t m_nUpper = 0;
    std::size_t m_nLower = 0;
    std::vector<double> m_upper;  // (upper width + 1) diagonals of m_nDim elements
    std::vector<double> m_lower;  // (lower width + 1) sequences of m_nDim elements
};
