#include "analysis/BandMatrix.h"

#include <algorithm>

BandMatrix::BandMatrix(std::size_t dim) : m_nDim(dim), m_upper(2 * dim, 0.0), m_lower(2 * dim, 0.0)
{
}

void BandMatrix::LuDecompose()
{
    const std::size_t dim = m_nDim;
    if (dim == 0)
        return;
    double* diag = m_upper.data();
    double* super = diag + dim;
    double* scale = m_lower.data();
    double* sub = scale + dim;

    // Scaling each row to a unit diagonal first keeps the elimination well conditioned for the
    // diagonally dominant systems this is used for; the factors are kept for SolveLower. Row i is
    // scaled just before elimination step i - 1 reads it, which no earlier step touches.
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
    for (std::size_t k = 0; k + 1 < dim; ++k) {
        scaleRow(k + 1);
        const double m = sub[k + 1] / diag[k];
        sub[k + 1] = m;
        diag[k + 1] = diag[k + 1] - m * super[k];
    }
}

std::vector<double> BandMatrix::SolveLower(const std::vector<double>& b) const
{
    const std::size_t dim = m_nDim;
    const double* scale = m_lower.data();
    const double* sub = scale + dim;
    std::vector<double> out(dim, 0.0);
    const std::size_t rows = std::min(dim, b.size());
    for (std::size_t i = 0; i < rows; ++i) {
        double s = 0.0;
        if (i > 0)
            s += sub[i] * out[i - 1];
        out[i] = b[i] * scale[i] - s;
    }
    return out;
}

std::vector<double> BandMatrix::SolveUpper(const std::vector<double>& b) const
{
    const std::size_t dim = m_nDim;
    const double* diag = m_upper.data();
    const double* super = diag + dim;
    std::vector<double> out(dim, 0.0);
    for (std::size_t i = std::min(dim, b.size()); i-- > 0;) {
        double s = 0.0;
        if (i + 1 < dim)
            s += super[i] * out[i + 1];
        out[i] = (b[i] - s) / diag[i];
    }
    return out;
}

std::vector<double> BandMatrix::LuSolve(const std::vector<double>& b)
{
    LuDecompose();
    return SolveUpper(SolveLower(b));
}
