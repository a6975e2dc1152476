#include "app/session.h"

#include <algorithm>
#include <vector>

namespace app {

void Session::size_for_dives() {
    const int n = header.n_dives;
    track_km = miscli::Array1<float>(n);
    station_x = miscli::Array1<float>(n);
    station_day = miscli::Array1<float>(n);
    sec_n = miscli::Array1<int>(n);
    // A section holds a dive's samples or its profiler bins; the density
    // axis keeps the pressures of its samples there too.
    std::vector<int> room(static_cast<std::size_t>(n));
    for (int d = 1; d <= n; ++d) room[static_cast<std::size_t>(d - 1)] = std::max(dives.n_samp(d), dives.n_adcp(d));
    sec_val = miscli::RaggedArray2<float>(room, data::SAMPLE_FILL);
    sec_z = miscli::RaggedArray2<float>(room, 0.0f);
}

void Session::size_grids(int n_levels) {
    if (grid_color.dim1() >= n_levels && grid_color.dim2() == header.n_dives) return;
    grid_z = miscli::Array1<float>(n_levels + 1);
    grid_color = miscli::Array2<float>(n_levels, header.n_dives);
    grid_line = miscli::Array2<float>(n_levels, header.n_dives);
    grid_work = miscli::Array1<int>(n_levels);
}

}  // namespace app
