#pragma once
// The glider's track across the shelf: back and forth along one line from
// offshore to the inshore end, set a little to either side by the
// currents. Shared by the dive file and netCDF generators so their files
// cross the same front.
#include <cmath>

#include "tools/upwelling_model.h"

namespace gen_sci {

// The line of the section: from offshore to the inshore end near the
// coast, about 130 km. Passes run back and forth, 120 dives each.
constexpr double kLonOff = -123.35, kLatOff = 36.20;
constexpr double kLonIn = -121.97, kLatIn = 36.60;
constexpr double kKmPerDeg = 110.0;
constexpr int kPass = 120;

struct Position {
    double lon, lat, x_km;  // x_km: distance offshore of the inshore end
};

inline double line_length_km() {
    double q = std::cos((kLatOff + kLatIn) * kPi / 360.0);
    double de = (kLonIn - kLonOff) * q * kKmPerDeg, dn = (kLatIn - kLatOff) * kKmPerDeg;
    return std::sqrt(de * de + dn * dn);
}

// tau counts dives along the track (dive d starts at tau = d - 1).
inline Position position_at(double tau) {
    double s = std::fmod(tau / kPass, 2.0);
    if (s > 1.0) s = 2.0 - s;
    double lon = kLonOff + s * (kLonIn - kLonOff);
    double lat = kLatOff + s * (kLatIn - kLatOff);
    // Wander across the line, as the glider is set by the currents.
    double len = line_length_km();
    double q = std::cos(lat * kPi / 180.0);
    double ae = (kLonIn - kLonOff) * q * kKmPerDeg / len, an = (kLatIn - kLatOff) * kKmPerDeg / len;
    double off = 1.2 * std::sin(2.0 * kPi * tau / 41.0) + 0.4 * std::sin(2.0 * kPi * tau / 13.0);
    lon += -an * off / (kKmPerDeg * q);
    lat += ae * off / kKmPerDeg;
    return {lon, lat, (1.0 - s) * len};
}
}  // namespace gen_sci
