#include "section/robust_range.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace section {

namespace {

constexpr double kTail = 0.005;  // the share of cells left beyond each end

// The q-quantile of v, which it reorders: the order statistic at q (n - 1),
// interpolated towards the next one. Linear time.
float quantile(std::vector<float>& v, double q) {
    const double at = q * static_cast<double>(v.size() - 1);
    const auto k = static_cast<std::size_t>(at);
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
    const float below = v[k];
    if (k + 1 >= v.size()) return below;
    // After nth_element every later element is at least v[k]: the next
    // order statistic is their least.
    const float above = *std::min_element(v.begin() + static_cast<std::ptrdiff_t>(k) + 1, v.end());
    return below + static_cast<float>(at - static_cast<double>(k)) * (above - below);
}

}  // namespace

std::optional<ValueRange> robust_range(const miscli::Array2<float>& grid, int n_levels, int first, int last,
                                       float missing) {
    std::vector<float> values;
    for (int i = first; i <= last; ++i)
        for (int k = 1; k <= n_levels; ++k)
            if (grid(k, i) > missing) values.push_back(grid(k, i));
    if (values.empty()) return std::nullopt;
    ValueRange r;
    r.lo = quantile(values, kTail);
    r.hi = quantile(values, 1.0 - kTail);
    return r;
}

}  // namespace section
