#include "seawater/sa_atlas.h"

#include <algorithm>
#include <cmath>

namespace seawater::sa_atlas {
namespace {

const Override* find(const Override* list, std::size_t count, std::uint32_t key) {
  const Override* end = list + count;
  const Override* it =
      std::lower_bound(list, end, key, [](const Override& o, std::uint32_t k) { return o.key < k; });
  return it != end && it->key == key ? it : nullptr;
}

// Side of the Panama barrier a position is on: -1 away from it, 0 south
// of the line, 1 north of it.
int barrier_side(double lon, double lat) {
  const double* lo = barrier_lon;
  const double lat_min = *std::min_element(barrier_lat, barrier_lat + barrier_points);
  const double lat_max = *std::max_element(barrier_lat, barrier_lat + barrier_points);
  if (lon < lo[0] || lon > lo[barrier_points - 1] || lat < lat_min || lat > lat_max) return -1;
  int n = static_cast<int>(std::upper_bound(lo, lo + barrier_points - 1, lon) - lo) - 1;
  n = std::clamp(n, 0, barrier_points - 2);
  const double f = (lon - lo[n]) / (lo[n + 1] - lo[n]);
  return lat > barrier_lat[n] + f * (barrier_lat[n + 1] - barrier_lat[n]) ? 1 : 0;
}

// Value of one corner of a cell at a level: the node's, unless the cell
// lists one of its own, for the side of the barrier or in general.
double corner_value(int k, int j, int i, int corner, int side) {
  const auto key = static_cast<std::uint32_t>(((k * (lats - 1) + j) * (lons - 1) + i) * 4 + corner);
  if (side >= 0) {
    if (const Override* o = find(barrier_overrides, barrier_override_count, key * 2 + side)) return o->value;
  }
  if (const Override* o = find(overrides, override_count, key)) return o->value;
  return node[k][j + corner / 2][i + corner % 2];
}

double bilinear(int k, int j, int i, double fx, double fy, int side) {
  return (1 - fy) * ((1 - fx) * corner_value(k, j, i, 0, side) + fx * corner_value(k, j, i, 1, side)) +
         fy * ((1 - fx) * corner_value(k, j, i, 2, side) + fx * corner_value(k, j, i, 3, side));
}

}  // namespace

double ratio(double p_dbar, double lon, double lat) {
  if (!std::isfinite(lon) || !std::isfinite(lat) || std::isnan(p_dbar)) return 0.0;
  lon = std::fmod(lon - lon0, 360.0);
  if (lon < 0) lon += 360.0;
  lat = std::clamp(lat, lat0, lat0 + (lats - 1) * step_deg);
  const double gx = lon / step_deg, gy = (lat - lat0) / step_deg;
  const int i = std::clamp(static_cast<int>(gx), 0, lons - 2);
  const int j = std::clamp(static_cast<int>(gy), 0, lats - 2);
  const double fx = gx - i, fy = gy - j;

  const double p = std::clamp(p_dbar, level_dbar[0], level_dbar[levels - 1]);
  const int k = static_cast<int>(std::upper_bound(level_dbar, level_dbar + levels - 1, p) - level_dbar) - 1;
  const double fz = (p - level_dbar[k]) / (level_dbar[k + 1] - level_dbar[k]);
  const int side = barrier_side(lon, lat);
  return (1 - fz) * bilinear(k, j, i, fx, fy, side) + fz * bilinear(k + 1, j, i, fx, fy, side);
}

}  // namespace seawater::sa_atlas
