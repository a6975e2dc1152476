#include "section/trak.h"

#include <cmath>

#include "data/missing.h"
#include "miscli/stop.h"

namespace section {

namespace {

constexpr float km_per_degree = 110.0f;
constexpr float half_degree_in_radians = 0.0087266f;  // pi / 360: mean of two latitudes
constexpr float no_weight = 10.0f;

bool known(float lon) { return lon > data::KNOWN_LON; }

// Fills start positions g..last (a gap) on the line through the known
// positions a < b, stepping by each dive's share of the window's weight.
void fill_gap(miscli::Array1<float>& lon, miscli::Array1<float>& lat,
              const miscli::Array1<float>& weight, int n, int g, int last, int a, int b) {
    const float dlon = lon(b) - lon(a);
    const float dlat = lat(b) - lat(a);

    // Index 0 lies before the first dive and n + 1 is only the last dive's
    // end: neither has a weight, so such a window is divided evenly.
    bool weighted = true;
    float total = 0.0f;
    for (int j = g - 1; j <= last; ++j) {
        if (j < 1 || j > n || !(weight(j) > no_weight)) {
            weighted = false;
            break;
        }
        total += weight(j);
    }
    auto share = [&](int j) { return weighted ? weight(j) / total : 1.0f / static_cast<float>(b - a); };

    if (a < g) {
        for (int j = g; j <= last; ++j) {
            lon(j) = lon(j - 1) + share(j) * dlon;
            lat(j) = lat(j - 1) + share(j) * dlat;
        }
    } else {
        // The gap opened before any known position, so it may run past a:
        // step back from b but keep the known positions as they are.
        for (int j = last; j >= g; --j) {
            if (known(lon(j))) continue;
            lon(j) = lon(j + 1) - share(j) * dlon;
            lat(j) = lat(j + 1) - share(j) * dlat;
        }
    }
}

}  // namespace

void trak_(miscli::Array1<float>& lon_start, miscli::Array1<float>& lat_start,
           const miscli::Array1<float>& lon_end, const miscli::Array1<float>& lat_end,
           const miscli::Array1<float>& dive_weight, miscli::Array1<float>& track_km, int n_dives) {
    const int n = n_dives;
    if (n < 1) return;
    if (lon_start.size() < n + 1 || lat_start.size() < n + 1 || lon_end.size() < n || lat_end.size() < n ||
        dive_weight.size() < n || track_km.size() < n) {
        miscli::stop("TRAK: Increase MXPR");
    }

    // A dive without a start position starts where the previous one ended.
    for (int d = 2; d <= n; ++d) {
        if (lon_start(d) < data::KNOWN_LON && lon_end(d - 1) > data::KNOWN_LON) {
            lon_start(d) = lon_end(d - 1);
            lat_start(d) = lat_end(d - 1);
        }
    }
    lon_start(n + 1) = lon_end(n);
    lat_start(n + 1) = lat_end(n);

    // Gaps still left are filled once two known positions frame them, or at
    // the end of the track by extrapolating the last two.
    int gap = -1, last = -1, seen = 0, a = 0, b = 0;
    for (int i = 1; i <= n + 1; ++i) {
        const bool here = known(lon_start(i));
        if (here) {
            if (seen == 0) {
                a = i;
                seen = 1;
            } else if (seen == 1) {
                b = i;
                seen = 2;
            } else {
                a = b;
                b = i;
            }
        } else {
            if (gap == -1) gap = i;
            last = i;
        }
        if (gap != -1 && seen == 2 && (here || i == n + 1)) {
            fill_gap(lon_start, lat_start, dive_weight, n, gap, last, a, b);
            gap = -1;
        }
    }

    track_km(1) = 0.0f;
    for (int d = 2; d <= n; ++d) {
        float leg = 0.0f;
        // A leg without both ends (too few known positions to fill) adds
        // nothing rather than a distance to a fill value.
        if (known(lon_start(d)) && known(lon_start(d - 1))) {
            const float q = std::cos((lat_start(d) + lat_start(d - 1)) * half_degree_in_radians);
            const float dx = (lon_start(d) - lon_start(d - 1)) * q;
            const float dy = lat_start(d) - lat_start(d - 1);
            leg = km_per_degree * std::sqrt(dx * dx + dy * dy);
        }
        track_km(d) = track_km(d - 1) + leg;
    }
}

}  // namespace section
