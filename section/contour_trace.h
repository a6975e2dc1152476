#pragma once
// One contour level through the cells of a gridded section field: where it
// crosses each cell's edges, taken in the fixed order upper, right, lower,
// left. lin_plot_ draws the crossings of a cell joined in that order; the
// automatic labels join the cells' pieces into lines along the page.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "data/missing.h"
#include "daz/device.h"
#include "miscli/array.h"

namespace section {

enum class Side : unsigned char { Upper, Right, Lower, Left };

// The crossings of one level with one cell, at most one on each edge.
struct CellCrossings {
    int n = 0;
    std::array<daz::PagePoint, 4> at{};
    std::array<Side, 4> side{};
};

// The field on the page: grid(k, j) stands at page x column_x[j - first]
// and page y level_y[k - 1], for the levels and profiles the spans hold.
struct TracedField {
    std::span<const float> level_y;
    std::span<const float> column_x;
    const miscli::Array2<float>& grid;
    int first = 1;
};

// Where w crosses the edge from (x1, y1) holding v1 to (x2, y2) holding v2,
// when it lies between v1 and v2 (ends included); the middle of the edge
// when the two are (nearly) equal.
inline bool edge_crossing(float w, float v1, float v2, float x1, float x2, float y1, float y2, daz::PagePoint& at) {
    if (!(std::min(v1, v2) <= w && w <= std::max(v1, v2))) return false;
    const float f = std::fabs(v2 - v1) < 1.0e-5f ? 0.5f : (w - v1) / (v2 - v1);
    at = {(1.0f - f) * x1 + f * x2, (1.0f - f) * y1 + f * y2};
    return true;
}

// How a node holding the level itself counts. The drawn lines take it as a
// crossing on both its edges. Joined into lines, it counts as lying above
// the level: then each edge is crossed or not as both cells beside it see
// it, a cell is crossed on two edges or four, and no line breaks off there.
enum class AtLevel { OnBothEdges, Above };

// The crossings of level w with cell (k, j), j = f.first + c, in edge
// order. An edge with a missing node has no value to interpolate from and
// is not crossed.
template <AtLevel rule = AtLevel::OnBothEdges>
CellCrossings cross_cell(const TracedField& f, float w, int c, int k) {
    const int j = f.first + c;
    const float x1 = f.column_x[static_cast<std::size_t>(c)], x2 = f.column_x[static_cast<std::size_t>(c + 1)];
    const float ya = f.level_y[static_cast<std::size_t>(k - 1)], yb = f.level_y[static_cast<std::size_t>(k)];
    const float g11 = f.grid(k, j), g12 = f.grid(k, j + 1);
    const float g22 = f.grid(k + 1, j + 1), g21 = f.grid(k + 1, j);
    const auto valid = [](float v) { return v >= data::MISSING_BELOW; };
    CellCrossings cell;
    const auto edge = [&](float v1, float v2, float xa, float xb, float y1, float y2, Side side) {
        if (!valid(v1) || !valid(v2)) return;
        daz::PagePoint& at = cell.at[static_cast<std::size_t>(cell.n)];
        if constexpr (rule == AtLevel::Above) {
            if ((v1 < w) == (v2 < w)) return;
            const float t = (w - v1) / (v2 - v1);
            at = {(1.0f - t) * xa + t * xb, (1.0f - t) * y1 + t * y2};
        } else if (!edge_crossing(w, v1, v2, xa, xb, y1, y2, at)) {
            return;
        }
        cell.side[static_cast<std::size_t>(cell.n++)] = side;
    };
    edge(g11, g12, x1, x2, ya, ya, Side::Upper);
    edge(g12, g22, x2, x2, ya, yb, Side::Right);
    edge(g22, g21, x2, x1, yb, yb, Side::Lower);
    edge(g21, g11, x1, x1, yb, ya, Side::Left);
    return cell;
}

// The lowest and highest of a cell's four nodes, as the tracing tests them:
// a level outside them crosses no edge. (A NaN node may make either NaN,
// and then the test passes and the cell is looked at edge by edge.)
inline std::array<float, 2> cell_span(const TracedField& f, int c, int k) {
    const int j = f.first + c;
    const float g11 = f.grid(k, j), g12 = f.grid(k, j + 1);
    const float g22 = f.grid(k + 1, j + 1), g21 = f.grid(k + 1, j);
    return {std::min(std::min(std::min(g11, g12), g22), g21), std::max(std::max(std::max(g11, g12), g22), g21)};
}

// Calls visit(j, k, crossings) for each cell (k, j) the level crosses,
// profile by profile and down each profile level by level.
template <AtLevel rule = AtLevel::OnBothEdges, class Visit>
void trace_level(const TracedField& f, float w, Visit&& visit) {
    const int n_z = static_cast<int>(f.level_y.size());
    const int n_x = static_cast<int>(f.column_x.size());
    for (int c = 0; c + 1 < n_x; ++c)
        for (int k = 1; k < n_z; ++k) {
            // Most cells are passed over here.
            const auto [lo, hi] = cell_span(f, c, k);
            if (w < lo || w > hi) continue;
            if (const CellCrossings cell = cross_cell<rule>(f, w, c, k); cell.n > 0) visit(f.first + c, k, cell);
        }
}

// The cells that each of a field's levels (rising) may cross, found in one
// pass over the field, in the order trace_level visits them: a field of
// millions of cells is then read once for its twenty levels, not twenty
// times. Empty (and the caller traces level by level) when the lists would
// take more room than a few entries a cell, as in a field of noise.
class LevelCells {
public:
    LevelCells(const TracedField& f, std::span<const float> levels);
    bool empty() const { return starts_.empty(); }
    // Cells of level q (1-based) as (column, level) pairs.
    template <AtLevel rule = AtLevel::OnBothEdges, class Visit>
    void trace(const TracedField& f, int q, float w, Visit&& visit) const {
        const std::size_t q0 = static_cast<std::size_t>(q - 1);
        for (std::size_t i = starts_[q0]; i < starts_[q0 + 1]; ++i) {
            const int c = static_cast<int>(cells_[i] / rows_), k = static_cast<int>(cells_[i] % rows_) + 1;
            if (const CellCrossings cell = cross_cell<rule>(f, w, c, k); cell.n > 0) visit(f.first + c, k, cell);
        }
    }

private:
    std::uint32_t rows_ = 1;
    std::vector<std::uint32_t> cells_;  // c * rows_ + k - 1, level after level
    std::vector<std::size_t> starts_;   // where each level's cells begin, and the end
};

}  // namespace section
