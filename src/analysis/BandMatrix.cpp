#include "analysis/BandMatrix.h"

#include <algorithm>

BandMatrix::BandMatrix(std::size_t dim, std::size_t upperWidth, std::size_t lowerWidth)
    : m_upper(upperWidth + 1, std::vector<double>(dim, 0.0)),
      m_lower(lowerWidth + 1, std::vector<double>(dim, 0.0))
{
}

std::size_t BandMatrix::Dim() const
{
    return m_upper[0].size();
}

std::size_t BandMatrix::UpperWidth() const
{
    return m_upper.size() - 1;
}

std::size_t BandMatrix::LowerWidth() const
{
    return m_lower.size() - 1;
}

double& BandMatrix::operator()(std::size_t i, std::size_t j)
{
    return j >= i ? m_upper[j - i][i] : m_lower[i - j][i];
}

double BandMatrix::operator()(std::size_t i, std::size_t j) const
{
    return j >= i ? m_upper[j - i][i] : m_lower[i - j][i];
}

void BandMatrix::LuDecompose()
{
    const std::size_t dim = Dim();
    const std::size_t up = UpperWidth();
    const std::size_t low = LowerWidth();
    BandMatrix& a = *this;

    // Scaling each row to a unit diagonal first keeps the elimination well conditioned for the
    // diagonally dominant systems this is used for; the factors are kept for SolveLower.
    for (std::size_t i = 0; i < dim; ++i) {
        m_lower[0][i] = 1.0 / a(i, i);
        const std::size_t jFirst = i >= low ? i - low : 0;
        const std::size_t jLast = std::min(dim - 1, i + up);
        for (std::size_t j = jFirst; j <= jLast; ++j)
            a(i, j) *= m_lower[0][i];
        a(i, i) = 1.0;
    }

    for (std::size_t k = 0; k < dim; ++k) {
        const std::size_t iLast = std::min(dim - 1, k + low);
        for (std::size_t i = k + 1; i <= iLast; ++i) {
            const double m = a(i, k) / a(k, k);
            a(i, k) = m;
            const std::size_t jLast = std::min(dim - 1, k + up);
            for (std::size_t j = k + 1; j <= jLast; ++j)
                a(i, j) = a(i, j) - m * a(k, j);
        }
    }
}

std::vector<double> BandMatrix::SolveLower(const std::vector<double>& b) const
{
    const std::size_t dim = Dim();
    const std::size_t low = LowerWidth();
    const BandMatrix& a = *this;
    std::vector<double> out(dim, 0.0);
    for (std::size_t i = 0; i < dim && i < b.size(); ++i) {
        double s = 0.0;
        for (std::size_t j = i >= low ? i - low : 0; j < i; ++j)
            s += a(i, j) * out[j];
        out[i] = b[i] * m_lower[0][i] - s;
    }
    return out;
}

std::vector<double> BandMatrix::SolveUpper(const std::vector<double>& b) const
{
    const std::size_t dim = Dim();
    const std::size_t up = UpperWidth();
    const BandMatrix& a = *this;
    std::vector<double> out(dim, 0.0);
    for (std::size_t i = std::min(dim, b.size()); i-- > 0;) {
        double s = 0.0;
        const std::size_t jLast = std::min(dim - 1, i + up);
        for (std::size_t j = i + 1; j <= jLast; ++j)
            s += a(i, j) * out[j];
        out[i] = (b[i] - s) / a(i, i);
    }
    return out;
}

std::vector<double> BandMatrix::LuSolve(const std::vector<double>& b)
{
    LuDecompose();
    return SolveUpper(SolveLower(b));
}
