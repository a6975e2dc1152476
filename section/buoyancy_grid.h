#pragma once
// Buoyancy frequency on the section grid, from the gridded Absolute
// Salinity, Conservative Temperature and pressure of each profile.
#include <span>

#include "miscli/array.h"

namespace section {

// N² [1/s2] at each level k of profiles first..last, from the levels above
// and below it (k - 1 and k + 1), so that it stands at the level's own
// pressure; missing (-999.9) at the first and last level and where either
// neighbour lacks a value or lies no deeper than the other. `lat` holds
// each profile's latitude [deg N] (index d - first).
void buoyancy_grid(const miscli::Array2<float>& sa, const miscli::Array2<float>& ct, const miscli::Array2<float>& p,
                   std::span<const double> lat, int first, int last, int n_levels, miscli::Array2<float>& n2);

}  // namespace section
