#pragma once
// A coastal upwelling front seen by a glider running across the shelf edge:
// warm fresh water offshore, cold salty upwelled water inshore, a
// subsurface chlorophyll maximum, an equatorward jet over the front and a
// poleward undercurrent inshore. Every formula is plain arithmetic on
// doubles so a given seed writes the same file everywhere.
#include <cmath>
#include <cstdint>
#include <random>

namespace gen_sci {

constexpr double kPi = 3.14159265358979323846;

// std::mt19937 is fixed by the standard; the distributions of <random> are
// not, so the uniform and normal transforms are our own.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : engine_(seed) {}
    // Uniform in (0, 1), never 0 or 1.
    double uniform() { return (static_cast<double>(engine_()) + 0.5) / 4294967296.0; }
    // Near-normal, mean 0 and unit spread: the sum of twelve uniforms. Its
    // tails end at 6, which keeps every value inside its file field.
    double normal() {
        double s = 0.0;
        for (int i = 0; i < 12; ++i) s += uniform();
        return s - 6.0;
    }
    bool chance(double p) { return uniform() < p; }
    // Whole number from lo to hi inclusive.
    int pick(int lo, int hi) {
        int v = lo + static_cast<int>(uniform() * (hi - lo + 1));
        return v > hi ? hi : v;
    }

private:
    std::mt19937 engine_;
};

// The water column under one dive, from its distance offshore and time.
struct Column {
    double front;      // 0 inshore (upwelled) .. 1 offshore
    double mixed;      // mixed-layer depth [dbar]
    double cline;      // e-folding scale of the thermocline [dbar]
    double uplift;     // isopycnal uplift at the surface [dbar]
    double t_surf;     // mixed-layer temperature [deg C]
    double s_surf;     // mixed-layer salinity
    double eddy;       // warm-eddy weight 0..1 at this place
    double daylight;   // 0 at night .. 1 at local noon
    double jet;        // equatorward jet at the surface [m/s]
    double under;      // poleward undercurrent weight 0..1
    double chl_depth;  // depth of the chlorophyll maximum [dbar]
    double chl_peak;   // chlorophyll at the maximum
    double chl_surf;   // chlorophyll in the mixed layer
};

inline double background_t(double z) { return 5.5 + 5.0 * std::exp(-z / 250.0); }
inline double background_s(double z) { return 34.25 - 1.0 * std::exp(-z / 100.0); }

// Fraction of daylight from the local solar time (day of year in UTC,
// longitude in degrees east).
inline double daylight(double day, double lon) {
    double local = day + lon / 360.0;
    local -= std::floor(local);
    double s = std::sin(2.0 * kPi * (local - 0.25));
    return s > 0.0 ? s : 0.0;
}

// x_km: distance offshore of the inshore end of the line; days: time since
// the start of the mission.
inline Column column_at(double x_km, double days, double day, double lon, Noise& noise) {
    Column c{};
    double front_x = 48.0 + 7.0 * std::sin(2.0 * kPi * days / 11.0) + 1.5 * noise.normal();
    c.front = 0.5 * (1.0 + std::tanh((x_km - front_x) / 9.0));
    c.mixed = 8.0 + 22.0 * c.front + 2.0 * noise.normal();
    if (c.mixed < 3.0) c.mixed = 3.0;
    c.cline = 14.0 + 10.0 * c.front;
    c.uplift = 120.0 * (1.0 - c.front);
    c.daylight = daylight(day, lon);
    c.t_surf = 10.0 + 4.3 * c.front + 0.3 * c.daylight + 0.12 * noise.normal();
    c.s_surf = 34.0 - 0.8 * c.front + 0.02 * noise.normal();
    double eddy_x = 95.0 + 0.5 * days;
    c.eddy = std::exp(-((x_km - eddy_x) / 14.0) * ((x_km - eddy_x) / 14.0));
    double jx = (x_km - front_x - 5.0) / 18.0;
    c.jet = 0.45 * std::exp(-jx * jx);
    double ux = (x_km - 20.0) / 20.0;
    c.under = std::exp(-ux * ux);
    c.chl_depth = 28.0 + 28.0 * c.front + 3.0 * noise.normal();
    if (c.chl_depth < c.mixed + 5.0) c.chl_depth = c.mixed + 5.0;
    c.chl_peak = (0.8 + 3.5 * (1.0 - c.front)) * (1.0 + 0.15 * noise.normal());
    c.chl_surf = 0.3 + 1.5 * (1.0 - c.front);
    return c;
}

// Depth with the isopycnals lifted inshore; the lift fades with depth but
// never folds the column over.
inline double lifted(const Column& c, double p) { return p + c.uplift * std::exp(-p / 400.0); }

inline double thermocline_weight(const Column& c, double p) {
    return p <= c.mixed ? 1.0 : std::exp(-(p - c.mixed) / c.cline);
}

inline double temperature(const Column& c, double p) {
    double z = p < c.mixed ? c.mixed : p;
    double ml_back = background_t(lifted(c, c.mixed));
    double t = background_t(lifted(c, z)) + (c.t_surf - ml_back) * thermocline_weight(c, p);
    return t + 0.5 * c.eddy * std::exp(-p / 120.0);
}

inline double salinity(const Column& c, double p) {
    double z = p < c.mixed ? c.mixed : p;
    double ml_back = background_s(lifted(c, c.mixed));
    double s = background_s(lifted(c, z)) + (c.s_surf - ml_back) * thermocline_weight(c, p);
    return s - 0.05 * c.eddy * std::exp(-p / 120.0);
}

// Chlorophyll fluorescence: mixed-layer value (quenched by daylight near
// the surface), a subsurface maximum, and a dark floor of 0.02.
inline double fluorescence(const Column& c, double p) {
    double ml = p <= c.mixed ? 1.0 : std::exp(-(p - c.mixed) / 15.0);
    double width = 12.0 + 8.0 * c.front;
    double q = (p - c.chl_depth) / width;
    double f = c.chl_surf * ml * (1.0 - 0.45 * c.daylight * std::exp(-p / 15.0)) + c.chl_peak * std::exp(-q * q);
    return 0.02 + f;
}

// Dissolved oxygen [umol/kg]: near saturation in the mixed layer, less
// with depth, and less again in the upwelled water inshore.
inline double oxygen(const Column& c, double p) {
    double ml = p <= c.mixed ? 1.0 : std::exp(-(p - c.mixed) / 120.0);
    return 90.0 + 170.0 * ml + 30.0 * c.front + 8.0 * c.chl_peak * std::exp(-((p - c.chl_depth) / 20.0) * ((p - c.chl_depth) / 20.0));
}

// Current at depth z [m/s], east and north. The coast runs to the NNW, so
// the equatorward jet points SSE and the undercurrent NNW.
inline void current(const Column& c, double z, double days, double& east, double& north) {
    double jet = c.jet * std::exp(-z / 120.0);
    double uz = (z - 250.0) / 80.0;
    double under = 0.12 * c.under * std::exp(-uz * uz);
    double ekman = 0.05 * std::exp(-z / 20.0);  // offshore, to the WSW
    double tide = 2.0 * kPi * days / 0.5175;    // semidiurnal
    east = 0.5 * jet - 0.5 * under - 0.866 * ekman + 0.04 * std::cos(tide);
    north = -0.866 * jet + 0.866 * under - 0.5 * ekman + 0.03 * std::sin(tide);
}

// Acoustic backscatter [dB]: plankton near the surface, turbid water
// inshore, and a scattering layer that sinks by day.
inline double backscatter(const Column& c, double z) {
    double layer = 30.0 + 270.0 * c.daylight;
    double q = (z - layer) / 40.0;
    return 62.0 + 18.0 * std::exp(-z / 60.0) + 6.0 * (1.0 - c.front) + 8.0 * std::exp(-q * q);
}

}  // namespace gen_sci
