#pragma once
// Distance of every dive along the glider's track.
#include "miscli/array.h"

namespace section {

// Completes missing dive start positions in place (from the previous dive's
// end, then by weighted interpolation or extrapolation between the two
// nearest known positions) and gives each dive its distance along the track.
//   lon_start, lat_start  start positions [deg], n_dives + 1 entries or more;
//                         entry n_dives + 1 receives the end of the last dive
//   lon_end, lat_end      end positions [deg]
//   dive_weight           share of each dive in a gap [-]; 10 or less: none
//   track_km              out: distance from dive 1 [km], never decreasing
// A longitude of -990 or less marks a missing position; a leg with such an
// end adds 0 km. Stops with "TRAK: Increase MXPR" when an array is too short.
void trak_(miscli::Array1<float>& lon_start, miscli::Array1<float>& lat_start,
           const miscli::Array1<float>& lon_end, const miscli::Array1<float>& lat_end,
           const miscli::Array1<float>& dive_weight, miscli::Array1<float>& track_km, int n_dives);

}  // namespace section
