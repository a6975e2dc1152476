#include "data/dive_table.h"

namespace data {

std::string DiveTable::dive_label(int d) const {
    std::string label = std::to_string(dive_number(d));
    if (cast(d) != '\0') label += cast(d);
    return label;
}

DiveTable::DiveTable(int n_dives, int n_samples, int n_bins) {
    resize(n_dives);
    for (int d = 1; d <= n_dives; ++d) {
        set_samples(d, n_samples);
        set_bins(d, n_bins);
    }
}

void DiveTable::resize(int n) {
    const int before = dive_number.size();
    dive_number.resize(n, 0);
    for (int d = before + 1; d <= n; ++d) dive_number(d) = d;
    cast.resize(n, '\0');
    dive_year.resize(n, YEAR_FILL);
    day_start.resize(n, DAY_FILL);
    lon_start.resize(n + 1, LON_FILL);
    lat_start.resize(n + 1, LAT_FILL);
    day_end.resize(n, DAY_FILL);
    lon_end.resize(n, LON_FILL);
    lat_end.resize(n, LAT_FILL);
    dive_weight.resize(n, HEADER_FILL);
    sal_offset.resize(n, 0.0f);
    var4_offset.resize(n, 0.0f);
    n_samp.resize(n, 0);
    n_adcp.resize(n, 0);
    prof.resize(n);
    prof_flag.resize(n);
    adcp.resize(n);
    adcp_flag.resize(n);
}

void DiveTable::reserve_samples(std::size_t more) {
    prof.reserve_more(more * static_cast<std::size_t>(prof.dim3()));
    prof_flag.reserve_more(more * static_cast<std::size_t>(prof_flag.dim3()));
}

void DiveTable::set_samples(int d, int n, int written) {
    prof.set_length(d, n, SAMPLE_FILL, written + 1);
    prof_flag.set_length(d, n, 1, written + 1);
}

void DiveTable::set_bins(int d, int n, bool written) {
    const int first_filled = written ? adcp.dim3() + 1 : 1;
    adcp.set_length(d, n, 0.0f, first_filled);
    adcp_flag.set_length(d, n, 0, first_filled);
}

}  // namespace data
