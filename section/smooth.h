#pragma once
#include <span>

#include "miscli/array.h"
#include "miscli/ragged_array.h"

namespace section {

// The vertical range of the grid, from the section frame record.
struct GridRange {
    float z_min;
    float z_max;
};

// The number of levels smooth_ makes of a range (at least 1), or 0 when it
// needs more than `most`.
int grid_levels(float grid_step, GridRange range, int most);

// Grids profiles first..last of the section arrays onto levels
// grid_z(k) = z_min + (k - 1) * grid_step / 2, k = 1..n_levels + 1: each
// level is the mean of the valid samples (value > threshold) in the five
// bins centred on it, -999.9 where there are none; a level missing in one
// profile between two that have it gets their mean. Stops with "Increase
// MXZ for SMOOTH" when the range needs more levels than the grid holds
// (its rows, grid_z less one, bin_counts).
void smooth_(const miscli::RaggedArray2<float>& sec_val, const miscli::RaggedArray2<float>& sec_z,
             const miscli::Array1<int>& sec_n, int first, int last, miscli::Array1<float>& grid_z,
             miscli::Array2<float>& grid, std::span<int> bin_counts, int& n_levels, float grid_step,
             float threshold, GridRange range);

}  // namespace section
