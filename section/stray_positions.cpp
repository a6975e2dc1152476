#include "section/stray_positions.h"

#include <cmath>

#include "data/missing.h"
#include "miscli/fixed_format.h"

namespace section {

namespace {

constexpr float kLatFill = data::LAT_FILL, kLonFill = data::LON_FILL;

// The readers' own fills mark no position rather than a stray one.
bool absent(float lon, float lat) {
    return lon == kLonFill || lat == kLatFill || !std::isfinite(lon) || !std::isfinite(lat);
}

// ddmm.mm: whole degrees times 100 plus minutes below 60.
bool degrees_minutes(float v, float most_degrees) {
    const float a = std::fabs(v);
    return a <= most_degrees * 100.0f && std::fmod(a, 100.0f) < 60.0f;
}

void note(float v, float& extreme) {
    if (std::fabs(v) > std::fabs(extreme)) extreme = v;
}

std::string as_number(float v) { return miscli::fmt_f(v, 0, 1); }

}  // namespace

StrayPositions drop_stray_positions(miscli::Array1<float>& lon_start, miscli::Array1<float>& lat_start,
                                    miscli::Array1<float>& lon_end, miscli::Array1<float>& lat_end, int n_dives) {
    StrayPositions s;
    bool any_good = false;
    auto check = [&](float& lon, float& lat) {
        if (absent(lon, lat)) return;
        const bool lat_bad = !(lat >= -90.0f && lat <= 90.0f);
        const bool lon_bad = !(lon >= -180.0f && lon <= 360.0f);
        if (!lat_bad && !lon_bad) {
            any_good = true;
            return;
        }
        if (lat_bad) {
            s.lat_stray = true;
            note(lat, s.lat_extreme);
            s.like_degrees_minutes = s.like_degrees_minutes && degrees_minutes(lat, 90.0f);
        }
        if (lon_bad) {
            s.lon_stray = true;
            note(lon, s.lon_extreme);
            s.like_degrees_minutes = s.like_degrees_minutes && degrees_minutes(lon, 180.0f);
        }
        ++s.count;
        lon = kLonFill;
        lat = kLatFill;
    };
    for (int d = 1; d <= n_dives; ++d) {
        check(lon_start(d), lat_start(d));
        check(lon_end(d), lat_end(d));
    }
    s.all_stray = s.count > 0 && !any_good;
    return s;
}

std::string stray_note(const StrayPositions& s) {
    if (s.count == 0) return {};
    std::string text;
    auto part = [&](bool stray, std::string_view what, float extreme, std::string_view range) {
        if (!stray) return;
        if (!text.empty()) text += " and ";
        text += std::string(what) + (extreme < 0.0f ? " down to " : " up to ") + as_number(extreme) + " are outside " +
                std::string(range);
    };
    part(s.lat_stray, "latitudes", s.lat_extreme, "-90..90");
    part(s.lon_stray, "longitudes", s.lon_extreme, "-180..360");
    if (s.all_stray && s.like_degrees_minutes) text += "; are they ddmm.mm?";
    return text;
}

}  // namespace section
