#include "section/buoyancy_grid.h"

#include <array>

#include "data/missing.h"
#include "seawater/teos10.h"

namespace section {

void buoyancy_grid(const miscli::Array2<float>& sa, const miscli::Array2<float>& ct, const miscli::Array2<float>& p,
                   std::span<const double> lat, int first, int last, int n_levels, miscli::Array2<float>& n2) {
    const auto known = [](float v) { return v > data::GRID_MISSING; };
    for (int d = first; d <= last; ++d) {
        for (int k = 1; k <= n_levels; ++k) {
            n2(k, d) = data::SAMPLE_FILL;
            if (k == 1 || k == n_levels) continue;
            const int a = k - 1, b = k + 1;
            if (!known(sa(a, d)) || !known(sa(b, d)) || !known(ct(a, d)) || !known(ct(b, d)) || !known(p(a, d)) ||
                !known(p(b, d)) || !(p(b, d) > p(a, d)))
                continue;
            const std::array<double, 2> s{sa(a, d), sa(b, d)}, c{ct(a, d), ct(b, d)}, q{p(a, d), p(b, d)};
            const auto levels = seawater::n_squared(s, c, q, lat[static_cast<std::size_t>(d - first)]);
            if (levels.size() == 1) n2(k, d) = static_cast<float>(levels[0].n2);
        }
    }
}

}  // namespace section
