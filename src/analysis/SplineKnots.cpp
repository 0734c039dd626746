#include "analysis/SplineKnots.h"

#include <algorithm>
#include <cmath>

namespace {

bool FinitePair(const std::vector<double>& x, const std::vector<double>& y, std::size_t i)
{
    return std::isfinite(x[i]) && std::isfinite(y[i]);
}

}  // namespace

void MergeCoincidentKnots(std::vector<double>& x, std::vector<double>& y)
{
    const std::size_t n = std::min(x.size(), y.size());

    // Knots already in ascending order - the curves are built from the deepest sample upwards, so
    // they are unless a file's depths are out of order - are merged where they stand, without the
    // index list and the copies the general case needs; the sums run in the same order either way.
    bool sorted = true;
    bool havePrevious = false;
    double previous = 0.0;
    for (std::size_t i = 0; i < n && sorted; ++i) {
        if (!FinitePair(x, y, i))
            continue;
        sorted = !havePrevious || !(x[i] < previous);
        previous = x[i];
        havePrevious = true;
    }
    if (sorted) {
        const auto nextFinite = [&](std::size_t i) {
            while (i < n && !FinitePair(x, y, i))
                ++i;
            return i;
        };
        std::size_t out = 0;
        std::size_t k = nextFinite(0);
        while (k < n) {
            const double xk = x[k];
            double sum = 0.0;
            std::size_t count = 0;
            for (; k < n && x[k] == xk; k = nextFinite(k + 1), ++count)
                sum += y[k];
            // out never passes the group just read, so nothing unread is overwritten.
            x[out] = xk;
            y[out] = count == 1 ? sum : sum / static_cast<double>(count);
            ++out;
        }
        x.resize(out);
        y.resize(out);
        return;
    }

    std::vector<std::size_t> order;
    order.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (FinitePair(x, y, i))
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&x](std::size_t l, std::size_t r) { return x[l] < x[r]; });

    std::vector<double> mx;
    std::vector<double> my;
    mx.reserve(order.size());
    my.reserve(order.size());
    std::size_t k = 0;
    while (k < order.size()) {
        const double xk = x[order[k]];
        double sum = 0.0;
        std::size_t count = 0;
        for (; k < order.size() && x[order[k]] == xk; ++k, ++count)
            sum += y[order[k]];
        mx.push_back(xk);
        my.push_back(count == 1 ? sum : sum / static_cast<double>(count));
    }
    x = std::move(mx);
    y = std::move(my);
}
