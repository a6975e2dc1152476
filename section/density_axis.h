#pragma once
// The density axis: the vertical coordinate of a section becomes sigma-theta
// (or, by TEOS-10, sigma-0).
#include "data/dive_table.h"
#include "section/frame_axes.h"

namespace section {

// Gives every sample of dives 1..n_dives sigma-theta [kg/m3 - 1000] (sigma-0
// with Eos::Teos10) in place of its pressure (prof column 1; a sample
// without good pressure, temperature and salinity gets -999 and flag 9), and
// every profiler bin the density between the nearest converted samples above
// and below its depth (-999 without one on each side). The pressures are
// kept in the table's sea_pressure, for what is worked out from them later;
// dives are converted on two threads for a large file.
void convert_to_density(data::DiveTable& t, int n_dives, Eos eos = Eos::Eos80);

}  // namespace section
