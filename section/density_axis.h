#pragma once
// The density axis: the vertical coordinate of a section becomes sigma-theta.
#include "data/dive_table.h"
#include "miscli/ragged_array.h"

namespace section {

// Gives every sample of dives 1..n_dives sigma-theta [kg/m3 - 1000] in place
// of its pressure (prof column 1; a sample without good pressure,
// temperature and salinity gets -999 and flag 9), and every profiler bin the
// density between the nearest converted samples above and below its depth
// (-999 without one on each side). The pressures are kept in `scratch`
// (one entry per sample); dives are converted on two threads for a large
// file.
void convert_to_density(data::DiveTable& t, miscli::RaggedArray2<float>& scratch, int n_dives);

}  // namespace section
