#include "analysis/BandMatrix.h"

#include <algorithm>

BandMatrix::BandMatrix(std::size_t dim, std::size_t upperWidth, std::size_t lowerWidth)
    : m_nDim(dim),
      m_nUpper(upperWidth),
      m_nLower(lowerWidth),
      m_upper((upperWidth + 1) * dim, 0.0),
      m_lower((lowerWidth + 1) * dim, 0.0)
{
}

// The spline's systems are tridiagonal and are solved on every repaint. For them the loops below
// are written out with the running values held in variables: the same operations on the same
// elements in the same order, without the inner loops and the round trips through memory that
// lengthen each step of the elimination and substitution chains.

void BandMatrix::LuDecompose()
{
    if (m_nUpper == 1 && m_nLower == 1) {
        LuDecomposeTridiagonal();
        return;
    }
    const std::size_t dim = m_nDim;
    const std::size_t up = m_nUpper;
    const std::size_t low = m_nLower;
    BandMatrix& a = *this;

    // Scaling each row to a unit diagonal first keeps the elimination well conditioned for the
    // diagonally dominant systems this is used for; the factors are kept for SolveLower.
    for (std::size_t i = 0; i < dim; ++i) {
        const double scale = 1.0 / Up(0, i);
        Low(0, i) = scale;
        const std::size_t jFirst = i >= low ? i - low : 0;
        const std::size_t jLast = std::min(dim - 1, i + up);
        for (std::size_t j = jFirst; j < i; ++j)
            Low(i - j, i) *= scale;
        for (std::size_t j = i; j <= jLast; ++j)
            Up(j - i, i) *= scale;
        Up(0, i) = 1.0;
    }

    for (std::size_t k = 0; k < dim; ++k) {
        const std::size_t iLast = std::min(dim - 1, k + low);
        const std::size_t jLast = std::min(dim - 1, k + up);
        for (std::size_t i = k + 1; i <= iLast; ++i) {
            const double m = Low(i - k, i) / Up(0, k);
            Low(i - k, i) = m;
            for (std::size_t j = k + 1; j <= jLast; ++j)
                a(i, j) = a(i, j) - m * a(k, j);
        }
    }
}

void BandMatrix::LuDecomposeTridiagonal()
{
    const std::size_t dim = m_nDim;
    if (dim == 0)
        return;
    double* diag = m_upper.data();        // upper[0]
    double* super = diag + dim;           // upper[1]
    double* scale = m_lower.data();       // lower[0]
    double* sub = scale + dim;            // lower[1]

    // Row i is scaled before elimination step i - 1 reads it, as in the general order where all
    // rows are scaled first: no step before i - 1 touches row i. The diagonal itself is set to
    // 1.0 rather than multiplied, which is what the product is overwritten with.
    const auto scaleRow = [&](std::size_t i) {
        const double f = 1.0 / diag[i];
        scale[i] = f;
        if (i > 0)
            sub[i] *= f;
        if (i + 1 < dim)
            super[i] *= f;
        diag[i] = 1.0;
    };
    scaleRow(0);
    double pivot = diag[0];
    for (std::size_t k = 0; k + 1 < dim; ++k) {
        scaleRow(k + 1);
        const double m = sub[k + 1] / pivot;
        sub[k + 1] = m;
        pivot = diag[k + 1] - m * super[k];
        diag[k + 1] = pivot;
    }
}

std::vector<double> BandMatrix::SolveLower(const std::vector<double>& b) const
{
    const std::size_t dim = m_nDim;
    const std::size_t low = m_nLower;
    const double* lower = m_lower.data();
    std::vector<double> out(dim, 0.0);
    if (low == 1 && b.size() >= dim && dim > 0) {
        const double* scale = lower;
        const double* sub = lower + dim;
        double previous = b[0] * scale[0] - 0.0;
        out[0] = previous;
        for (std::size_t i = 1; i < dim; ++i) {
            double s = 0.0;
            s += sub[i] * previous;
            previous = b[i] * scale[i] - s;
            out[i] = previous;
        }
        return out;
    }
    const std::size_t rows = std::min(dim, b.size());
    for (std::size_t i = 0; i < rows; ++i) {
        double s = 0.0;
        for (std::size_t j = i >= low ? i - low : 0; j < i; ++j)
            s += lower[(i - j) * dim + i] * out[j];
        out[i] = b[i] * lower[i] - s;
    }
    return out;
}

std::vector<double> BandMatrix::SolveUpper(const std::vector<double>& b) const
{
    const std::size_t dim = m_nDim;
    const std::size_t up = m_nUpper;
    const double* upper = m_upper.data();
    std::vector<double> out(dim, 0.0);
    if (up == 1 && b.size() >= dim && dim > 0) {
        const double* diag = upper;
        const double* super = upper + dim;
        double next = (b[dim - 1] - 0.0) / diag[dim - 1];
        out[dim - 1] = next;
        for (std::size_t i = dim - 1; i-- > 0;) {
            double s = 0.0;
            s += super[i] * next;
            next = (b[i] - s) / diag[i];
            out[i] = next;
        }
        return out;
    }
    for (std::size_t i = std::min(dim, b.size()); i-- > 0;) {
        double s = 0.0;
        const std::size_t jLast = std::min(dim - 1, i + up);
        for (std::size_t j = i + 1; j <= jLast; ++j)
            s += upper[(j - i) * dim + i] * out[j];
        out[i] = (b[i] - s) / upper[i];
    }
    return out;
}

std::vector<double> BandMatrix::LuSolve(const std::vector<double>& b)
{
    LuDecompose();
    return SolveUpper(SolveLower(b));
}
