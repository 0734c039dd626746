#pragma once

#include <cstddef>
#include <vector>

// Tridiagonal matrix with an LU solver without pivoting, sized for the spline's system. Element
// (i, j) is kept in the sequence of its diagonal at the index of its row: upper[j - i][i] on and
// above the diagonal, lower[1][i] below it. lower[0] is not an element store: LuDecompose keeps
// there the reciprocal of each row's original diagonal, which SolveLower needs to precondition the
// right-hand side the same way.
class BandMatrix {
public:
    // A dim x dim tridiagonal matrix, all elements 0.0.
    explicit BandMatrix(std::size_t dim);

    // Number of rows (and columns).
    std::size_t Dim() const { return m_nDim; }

    // Element (i, j); |i - j| must be at most 1.
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
    std::size_t m_nDim = 0;
    std::vector<double> m_upper;  // the diagonal, then the super-diagonal
    std::vector<double> m_lower;  // the row scales, then the sub-diagonal
};
