#include "section/density_axis.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "data/missing.h"
#include "data/teos10_samples.h"
#include "miscli/two_threads.h"
#include "seawater/seawater.h"

namespace section {

namespace {

constexpr float NO_PRESSURE = data::GRID_MISSING;

}  // namespace

void convert_to_density(data::DiveTable& t, int n_dives, Eos eos) {
    int longest = 0;
    std::vector<int> lengths(static_cast<std::size_t>(n_dives));
    for (int d = 1; d <= n_dives; ++d) {
        longest = std::max(longest, t.n_samp(d));
        lengths[static_cast<std::size_t>(d - 1)] = t.n_samp(d);
    }
    t.sea_pressure = miscli::RaggedArray2<float>(lengths, 0.0f);
    auto& scratch = t.sea_pressure;
    // Dives are converted apart, on two threads for a large file.
    auto convert = [&](int first, int last) {
        std::vector<std::pair<float, int>> order(static_cast<std::size_t>(longest));
        for (int d = first; d <= last; ++d) {
            for (int k = 1; k <= t.n_samp(d); ++k) {
                // The pressure goes into sea_pressure first: sigma-0 reads it there.
                const bool good = std::max({t.prof_flag(k, d, 1), t.prof_flag(k, d, 2), t.prof_flag(k, d, 3)}) == 0;
                scratch(k, d) = good ? t.prof(k, d, 1) : NO_PRESSURE;
                float sigma = 0.0f;
                if (good && eos == Eos::Eos80)
                    sigma = seawater::sigma_(t.prof(k, d, 3), t.prof(k, d, 2), t.prof(k, d, 1), 0.0f);
                if (good && (eos == Eos::Eos80 || data::sample_sigma0(t, k, d, sigma))) {
                    t.prof(k, d, 1) = sigma;
                } else {
                    scratch(k, d) = NO_PRESSURE;
                    t.prof(k, d, 1) = NO_PRESSURE;
                    t.prof_flag(k, d, 1) = 9;
                }
            }
            // A bin takes the density between the nearest converted samples
            // above and below it; without one on each side it has none. Of
            // samples at the same pressure the first in the file counts, so the
            // search runs over (pressure, position) pairs in order.
            int n_good = 0;
            for (int k = 1; k <= t.n_samp(d); ++k)
                if (scratch(k, d) != NO_PRESSURE) order[static_cast<std::size_t>(n_good++)] = {scratch(k, d), k};
            const auto begin = order.begin(), end = order.begin() + n_good;
            std::sort(begin, end);
            for (int j = 1; j <= t.n_adcp(d); ++j) {
                const float depth = t.adcp(j, d, 1);
                auto deeper = std::upper_bound(begin, end, std::pair<float, int>{depth, data::MXZ + 1});
                auto at_or_below = std::lower_bound(begin, end, std::pair<float, int>{depth, 0});
                if (deeper == end || at_or_below == begin) {
                    t.adcp(j, d, 1) = NO_PRESSURE;
                    continue;
                }
                const float p1 = std::prev(at_or_below)->first;
                const int above = std::lower_bound(begin, end, std::pair<float, int>{p1, 0})->second;
                const int below = deeper->second;
                const float p2 = deeper->first;
                const float w = (depth - p1) / (p2 - p1);
                t.adcp(j, d, 1) = (1.0f - w) * t.prof(above, d, 1) + w * t.prof(below, d, 1);
            }
        }
    };
    miscli::split_over_two_threads(1, n_dives, [&](int d) { return t.n_samp(d) + t.n_adcp(d); }, convert);
}

}  // namespace section
