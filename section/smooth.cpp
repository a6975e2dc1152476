#include "section/smooth.h"

#include <algorithm>
#include <vector>

#include "data/limits.h"
#include "data/missing.h"
#include "miscli/stop.h"
#include "miscli/two_threads.h"

namespace section {

namespace {
constexpr float MISSING = data::SAMPLE_FILL;
using data::MISSING_BELOW;
}  // namespace

int grid_levels(float grid_step, GridRange range, int most) {
    const float levels = 2.0f * (range.z_max - range.z_min) / grid_step + 1.0f;
    // Tested as a float first: a huge or invalid range must not overflow the int.
    if (!(levels < static_cast<float>(most) + 1.0f)) return 0;
    return std::max(1, static_cast<int>(levels));
}

void smooth_(const miscli::RaggedArray2<float>& sec_val, const miscli::RaggedArray2<float>& sec_z,
             const miscli::Array1<int>& sec_n, int first, int last, miscli::Array1<float>& grid_z,
             miscli::Array2<float>& grid, std::span<int> bin_counts, int& n_levels, float grid_step,
             float threshold, GridRange range) {
    const int room = std::min({grid.dim1(), grid_z.size() - 1, static_cast<int>(bin_counts.size()), data::MXLEV});
    const float z_min = range.z_min;
    const int nz = grid_levels(grid_step, range, room);
    if (nz == 0) miscli::stop(" Increase MXZ for SMOOTH");
    n_levels = nz;
    for (int k = 1; k <= nz + 1; ++k) grid_z(k) = z_min + static_cast<float>(k - 1) * grid_step * 0.5f;

    // Each dive is gridded apart: on two threads for a large section, each
    // with its own bin counts.
    auto grid_dives = [&](int lo, int hi, std::span<int> counts) {
        // Each level's mean is formed from the raw bin sums, so the means wait here.
        std::vector<float> means(static_cast<std::size_t>(nz));
        for (int i = lo; i <= hi; ++i) {
            float* g = &grid(1, i);
            std::fill(g, g + nz, 0.0f);
            std::fill(counts.begin(), counts.begin() + nz, 0);
            for (int j = 1; j <= sec_n(i); ++j) {
                float x = sec_val(j, i);
                if (!(x > threshold)) continue;
                float b = 2.0f * (sec_z(j, i) - z_min) / grid_step + 1.0f;
                // Samples outside the grid's levels are not binned.
                if (!(b >= 1.0f && b < static_cast<float>(nz) + 1.0f)) continue;
                int bin = static_cast<int>(b);
                g[bin - 1] += x;
                ++counts[static_cast<std::size_t>(bin - 1)];
            }
            for (int k = 1; k <= nz; ++k) {
                int from = std::max(k - 2, 1), to = std::min(k + 2, nz);
                float sum = 0.0f;
                int count = 0;
                for (int m = from; m <= to; ++m) {
                    sum += g[m - 1];
                    count += counts[static_cast<std::size_t>(m - 1)];
                }
                means[static_cast<std::size_t>(k - 1)] = count >= 1 ? sum / static_cast<float>(count) : MISSING;
            }
            std::copy(means.begin(), means.begin() + nz, g);
        }
    };
    miscli::split_over_two_threads(first, last, [&](int i) { return sec_n(i); }, [&](int lo, int hi) {
        if (lo == first) return grid_dives(lo, hi, bin_counts);
        std::vector<int> own(static_cast<std::size_t>(nz));
        grid_dives(lo, hi, own);
    });

    if (last - first >= 2) {
        for (int i = first + 1; i <= last - 1; ++i)
            for (int k = 1; k <= nz; ++k)
                if (grid(k, i) < MISSING_BELOW && grid(k, i - 1) > MISSING_BELOW && grid(k, i + 1) > MISSING_BELOW)
                    grid(k, i) = (grid(k, i - 1) + grid(k, i + 1)) / 2.0f;
    }
}

}  // namespace section
