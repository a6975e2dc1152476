#pragma once
// The mixed-layer depth drawn over a pressure section: one line through
// the stations, broken where a profile has none, with its words under the
// frame.
#include <span>

#include "miscli/array.h"

namespace section {

// `mld` holds the depth [dbar] of stations first..last (index d - first),
// NaN where a profile has none; points outside the frame's vertical range
// break the line too. `threshold` [kg/m3] is said in the words.
void draw_mld_line(const miscli::Array1<float>& station_x, int first, int last, std::span<const float> mld,
                   float threshold, bool titled);

}  // namespace section
