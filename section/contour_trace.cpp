#include "section/contour_trace.h"

#include <algorithm>
#include <cmath>

namespace section {

LevelCells::LevelCells(const TracedField& f, std::span<const float> levels) {
    const int n_z = static_cast<int>(f.level_y.size());
    const int n_x = static_cast<int>(f.column_x.size());
    // A level's place is kept in a byte.
    if (n_z < 2 || n_x < 2 || levels.empty() || levels.size() > 255 || !std::is_sorted(levels.begin(), levels.end()))
        return;
    rows_ = static_cast<std::uint32_t>(n_z - 1);
    const std::size_t n_cells = static_cast<std::size_t>(n_x - 1) * rows_;
    if (n_cells > UINT32_MAX) return;
    // Each cell's levels: those neither below its lowest node nor above its
    // highest, as the tracing tests them, so a NaN end lets every level in.
    std::vector<std::uint8_t> first(n_cells), last(n_cells);
    std::vector<std::size_t> count(levels.size() + 1, 0);
    std::size_t total = 0;
    for (int c = 0; c + 1 < n_x; ++c)
        for (int k = 1; k < n_z; ++k) {
            const auto [lo, hi] = cell_span(f, c, k);
            const auto a = std::isnan(lo) ? levels.begin() : std::lower_bound(levels.begin(), levels.end(), lo);
            const auto b = std::isnan(hi) ? levels.end() : std::upper_bound(levels.begin(), levels.end(), hi);
            const std::size_t i = static_cast<std::size_t>(c) * rows_ + static_cast<std::size_t>(k - 1);
            first[i] = static_cast<std::uint8_t>(a - levels.begin());
            last[i] = static_cast<std::uint8_t>(std::max(a, b) - levels.begin());
            for (std::size_t q = first[i]; q < last[i]; ++q) ++count[q + 1];
            total += last[i] - first[i];
        }
    constexpr std::size_t kEntriesACell = 4;
    if (total > kEntriesACell * n_cells + 1024) return;
    for (std::size_t q = 1; q < count.size(); ++q) count[q] += count[q - 1];
    starts_ = count;
    cells_.resize(total);
    for (std::size_t i = 0; i < n_cells; ++i)
        for (std::size_t q = first[i]; q < last[i]; ++q) cells_[count[q]++] = static_cast<std::uint32_t>(i);
}

}  // namespace section
