#pragma once
#include <optional>

#include "miscli/array.h"
#include "section/look.h"

namespace section {

// The 0.5 and 99.5 percentiles of the cells with a value (above `missing`)
// of profiles first..last, levels 1..n_levels: a colour range that a few
// stray cells do not stretch. A percentile between two cells is
// interpolated. Gives nullopt when no cell has a value.
std::optional<ValueRange> robust_range(const miscli::Array2<float>& grid, int n_levels, int first, int last,
                                       float missing);

}  // namespace section
