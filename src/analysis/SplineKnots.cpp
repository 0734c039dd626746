#include "analysis/SplineKnots.h"

#include <algorithm>
#include <cmath>
#include <numeric>

void MergeCoincidentKnots(std::vector<double>& x, std::vector<double>& y)
{
    const std::size_t n = std::min(x.size(), y.size());
    std::vector<std::size_t> order;
    order.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (std::isfinite(x[i]) && std::isfinite(y[i]))
            order.push_back(i);
    }
    // Curves are built from the deepest sample upwards, which is already ascending in x unless the
    // depths of a file are out of order; only then is a sort needed.
    const auto byX = [&x](std::size_t l, std::size_t r) { return x[l] < x[r]; };
    if (!std::is_sorted(order.begin(), order.end(), byX))
        std::stable_sort(order.begin(), order.end(), byX);

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
