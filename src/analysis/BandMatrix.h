#pragma once

#include <cstddef>
#include <vector>

// Square band matrix with an LU solver without pivoting, sized for the spline's tridiagonal
// system. Element (i, j) is kept in the sequence of its diagonal at the index of its row:
// upper[j - i][i] on and above the diagonal, lower[i - j][i] below it. lower[0] is not an
// element store: LuDecompose keeps there the reciprocal of each row's original diagonal, which
// SolveLower needs to precondition the right-hand side the same way.
class BandMatrix {
public:
    // A dim x dim matrix with the given number of super- and sub-diagonals, all elements 0.0.
    BandMatrix(std::size_t dim, std::size_t upperWidth, std::size_t lowerWidth);

    // Number of rows (and columns).
    std::size_t Dim() const;
    std::size_t UpperWidth() const;
    std::size_t LowerWidth() const;

    // Element (i, j); i and j must lie inside the band.
    double& operator()(std::size_t i, std::size_t j);
    double operator()(std::size_t i, std::size_t j) const;

    // Scales every row to a unit diagonal, then eliminates in place (unit lower factor below).
    void LuDecompose();
    // Forward substitution with the unit lower factor, applying the row scaling to b.
    std::vector<double> SolveLower(const std::vector<double>& b) const;
    // Back substitution with the upper factor.
    std::vector<double> SolveUpper(const std::vector<double>& b) const;
    // Decomposes (always) and solves A x = b.
    std::vector<double> LuSolve(const std::vector<double>& b);

private:
    std::vector<std::vector<double>> m_upper;
    std::vector<std::vector<double>> m_lower;
};
