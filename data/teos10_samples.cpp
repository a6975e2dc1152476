#include "data/teos10_samples.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "miscli/two_threads.h"
#include "seawater/teos10.h"

namespace data {

namespace {

// A dive end's position in degrees: known, and not a stray one.
bool known_position(float lon, float lat) {
    return std::isfinite(lon) && std::isfinite(lat) && lon > KNOWN_LON && lon >= -180.0f && lon <= 360.0f &&
           lat > -90.0f && lat <= 90.0f;
}

// Absolute Salinity and Conservative Temperature of a sample whose
// temperature and salinity are good.
struct SaCt {
    double sa, ct;
};
std::optional<SaCt> worked_out(const DiveTable& t, int k, int d) {
    if (std::max(t.prof_flag(k, d, 2), t.prof_flag(k, d, 3)) != 0) return std::nullopt;
    const double p = sample_pressure(t, k, d), temperature = t.prof(k, d, 2), sp = t.prof(k, d, 3);
    if (!std::isfinite(p) || !std::isfinite(temperature) || !std::isfinite(sp)) return std::nullopt;
    const std::optional<Position> at = dive_position(t, d);
    const double sa = at ? seawater::absolute_salinity(sp, p, at->lon, at->lat) : seawater::reference_salinity(sp);
    return SaCt{sa, seawater::conservative_temperature(sa, temperature, p)};
}

std::optional<SaCt> sa_ct(const DiveTable& t, int k, int d) {
    if (t.conservative_temperature.dim2() < d) return worked_out(t, k, d);
    const float sa = t.absolute_salinity(k, d), ct = t.conservative_temperature(k, d);
    if (sa == SAMPLE_FILL || ct == SAMPLE_FILL) return std::nullopt;
    return SaCt{sa, ct};
}

bool give(double v, float& value) {
    if (!std::isfinite(v)) return false;
    value = static_cast<float>(v);
    return true;
}

}  // namespace

std::optional<Position> dive_position(const DiveTable& t, int d) {
    const bool start = known_position(t.lon_start(d), t.lat_start(d)), end = known_position(t.lon_end(d), t.lat_end(d));
    const auto wrapped = [](double lon) { return std::remainder(lon, 360.0); };
    if (start && end) {
        // Across 180 degrees the short way: 179.6 and -179.0 meet at -179.7.
        const double lon = t.lon_start(d);
        return Position{wrapped(lon + 0.5 * std::remainder(t.lon_end(d) - lon, 360.0)),
                        0.5 * (static_cast<double>(t.lat_start(d)) + t.lat_end(d))};
    }
    if (start) return Position{wrapped(t.lon_start(d)), t.lat_start(d)};
    if (end) return Position{wrapped(t.lon_end(d)), t.lat_end(d)};
    return std::nullopt;
}

void work_out_teos10(DiveTable& t, int n_dives) {
    if (t.conservative_temperature.dim2() >= n_dives) return;
    std::vector<int> lengths(static_cast<std::size_t>(n_dives));
    for (int d = 1; d <= n_dives; ++d) lengths[static_cast<std::size_t>(d - 1)] = t.n_samp(d);
    miscli::RaggedArray2<float> sa(lengths, SAMPLE_FILL), ct(lengths, SAMPLE_FILL);
    miscli::split_over_two_threads(1, n_dives, [&](int d) { return t.n_samp(d); }, [&](int first, int last) {
        for (int d = first; d <= last; ++d)
            for (int k = 1; k <= t.n_samp(d); ++k)
                if (const auto s = worked_out(t, k, d); s && std::isfinite(s->sa) && std::isfinite(s->ct)) {
                    sa(k, d) = static_cast<float>(s->sa);
                    ct(k, d) = static_cast<float>(s->ct);
                }
    });
    t.absolute_salinity = std::move(sa);
    t.conservative_temperature = std::move(ct);
}

float sample_pressure(const DiveTable& t, int k, int d) {
    return t.sea_pressure.dim2() >= d ? t.sea_pressure(k, d) : t.prof(k, d, 1);
}

bool sample_absolute_salinity(const DiveTable& t, int k, int d, float& value) {
    const auto s = sa_ct(t, k, d);
    return s && give(s->sa, value);
}

bool sample_conservative_temperature(const DiveTable& t, int k, int d, float& value) {
    const auto s = sa_ct(t, k, d);
    return s && give(s->ct, value);
}

bool sample_sigma0(const DiveTable& t, int k, int d, float& value) {
    const auto s = sa_ct(t, k, d);
    return s && give(seawater::sigma0(s->sa, s->ct), value);
}

bool sample_spiciness0(const DiveTable& t, int k, int d, float& value) {
    const auto s = sa_ct(t, k, d);
    return s && give(seawater::spiciness0(s->sa, s->ct), value);
}

bool sample_pressure_value(const DiveTable& t, int k, int d, float& value) {
    const float p = sample_pressure(t, k, d);
    if (!(p >= MISSING_BELOW)) return false;
    value = p;
    return true;
}

}  // namespace data
