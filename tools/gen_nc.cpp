// gen_nc: writes an OG1.0-style glider mission file (netCDF-4) across the
// same coastal upwelling front as gen_sci's dive files: one time series of
// down and up profiles numbered by PROFILE_NUMBER, with TIME, LATITUDE,
// LONGITUDE, PRES, DEPTH, TEMP, PSAL, CHLA and DOXY, QC flags for the last
// four, and the odd sensor fault flagged as the processing would. With no
// options it writes the bundled example: 24 dives (48 profiles) crossing
// the front. Deterministic for a seed.
//
//   gen_nc [--dives N] [--samples N] [--start DIVES] [--step DIVES] [--deflate LEVEL] [--seed N] OUTFILE
//
// --start and --step place the dives on gen_sci's track, counted in its
// dives (about 1.1 km each): the first dive starts there, each next one
// `step` further on. --deflate compresses every variable (0: stored as is).
#include <netcdf.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "miscli/stop.h"
#include "tools/glider_track.h"
#include "tools/number_option.h"
#include "tools/upwelling_model.h"

namespace gen_nc {

using namespace gen_sci;

constexpr std::string_view kUsage =
    "Usage: gen_nc [--dives N] [--samples N] [--start DIVES] [--step DIVES] [--deflate LEVEL] [--seed N] OUTFILE";

struct Options {
    int dives = 24;
    int samples = 100;  // a profile's
    double start = 40.0, step = 2.5;
    int deflate = 5;
    std::uint32_t seed = 2019;
    std::string out;
};

template <class T>
T parse_number(std::string_view opt, std::string_view text, T lo, T hi) {
    return tools::number_option("gen_nc", "number", opt, text, lo, hi);
}

Options parse_options(int argc, char** argv) {
    Options o;
    bool have_out = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "-h" || a == "--help") miscli::stop(kUsage, 0);
        if (a.size() > 1 && a[0] == '-') {
            if (i + 1 >= argc) miscli::stop("gen_nc: " + std::string(a) + " needs a number\n" + std::string(kUsage));
            std::string_view v = argv[++i];
            if (a == "--dives") o.dives = parse_number(a, v, 1, 50000);
            else if (a == "--samples") o.samples = parse_number(a, v, 2, 100000);
            else if (a == "--start") o.start = parse_number(a, v, 0.0, 1e6);
            else if (a == "--step") o.step = parse_number(a, v, 0.0, 1e3);
            else if (a == "--deflate") o.deflate = parse_number(a, v, 0, 9);
            else if (a == "--seed") o.seed = parse_number<std::uint32_t>(a, v, 0, 4294967295U);
            else miscli::stop("gen_nc: unknown option " + std::string(a) + "\n" + std::string(kUsage));
            continue;
        }
        if (have_out) miscli::stop("gen_nc: more than one output file given\n" + std::string(kUsage));
        o.out = std::string(a);
        have_out = true;
    }
    if (!have_out) miscli::stop("gen_nc: no output file given\n" + std::string(kUsage));
    return o;
}

void check(int status, const char* what) {
    if (status != NC_NOERR) miscli::stop(std::string("gen_nc: ") + what + ": " + nc_strerror(status));
}

constexpr double kDiveDays = 0.14;     // down and up
constexpr double kSurfaceDays = 0.015;  // between dives
constexpr double kFirstDay = 160.35;   // day of 2019, as the dive files
constexpr double kYearStart = 1546300800.0;  // 2019-01-01T00:00:00Z [s since 1970]
constexpr float kFill = 99999.0f;
constexpr signed char kGood = 1, kProbablyBad = 3, kBad = 4, kMissing = 9;

// One profile's samples, in the order the glider took them.
struct Profile {
    std::vector<double> time, lat, lon;
    std::vector<float> pres, depth, temp, psal, chla, doxy;
    std::vector<signed char> temp_qc, psal_qc, chla_qc, doxy_qc, phase;
    std::vector<int> number;
    void resize(std::size_t n) {
        for (auto* v : {&time, &lat, &lon}) v->resize(n);
        for (auto* v : {&pres, &depth, &temp, &psal, &chla, &doxy}) v->resize(n);
        for (auto* v : {&temp_qc, &psal_qc, &chla_qc, &doxy_qc, &phase}) v->resize(n);
        number.resize(n);
    }
};

class Writer {
public:
    explicit Writer(const Options& o) : opt_(o), noise_(o.seed) {}

    void run() {
        check(nc_create(opt_.out.c_str(), NC_NETCDF4 | NC_CLOBBER, &ncid_), ("cannot write " + opt_.out).c_str());
        try {
            define();
            double day = kFirstDay;
            for (int d = 0; d < opt_.dives; ++d) dive(d, day);
            check(nc_close(ncid_), "closing the file");
        } catch (const miscli::ProgramStop&) {
            // No half-written file left behind for a reader to trip over.
            nc_close(ncid_);
            std::error_code ec;
            std::filesystem::remove(opt_.out, ec);
            throw;
        }
    }

private:
    int var(const char* name, nc_type type, const char* standard_name, const char* units) {
        int id = 0;
        check(nc_def_var(ncid_, name, type, 1, &dim_, &id), name);
        if (opt_.deflate > 0) check(nc_def_var_deflate(ncid_, id, 1, 1, opt_.deflate), name);
        if (standard_name) text(id, "standard_name", standard_name);
        if (units) text(id, "units", units);
        return id;
    }
    void text(int id, const char* name, const std::string& value) {
        check(nc_put_att_text(ncid_, id, name, value.size(), value.c_str()), name);
    }
    // A measured variable with its fill and its QC variable.
    int measured(const char* name, const char* standard_name, const char* units, int& qc) {
        int id = var(name, NC_FLOAT, standard_name, units);
        check(nc_put_att_float(ncid_, id, "_FillValue", NC_FLOAT, 1, &kFill), name);
        const std::string qc_name = std::string(name) + "_QC";
        text(id, "ancillary_variables", qc_name);
        qc = var(qc_name.c_str(), NC_BYTE, nullptr, nullptr);
        static const signed char flags[] = {0, 1, 2, 3, 4, 5, 8, 9};
        check(nc_put_att_schar(ncid_, qc, "flag_values", NC_BYTE, 8, flags), qc_name.c_str());
        text(qc, "flag_meanings",
             "no_qc_performed good_data probably_good_data bad_data_that_are_potentially_correctable bad_data "
             "value_changed interpolated_value missing_value");
        return id;
    }

    void define() {
        const std::size_t total = static_cast<std::size_t>(opt_.dives) * 2 * static_cast<std::size_t>(opt_.samples);
        check(nc_def_dim(ncid_, "N_MEASUREMENTS", total, &dim_), "N_MEASUREMENTS");
        time_ = var("TIME", NC_DOUBLE, "time", "seconds since 1970-01-01T00:00:00Z");
        text(time_, "axis", "T");
        lat_ = var("LATITUDE", NC_DOUBLE, "latitude", "degrees_north");
        lon_ = var("LONGITUDE", NC_DOUBLE, "longitude", "degrees_east");
        pres_ = var("PRES", NC_FLOAT, "sea_water_pressure", "dbar");
        depth_ = var("DEPTH", NC_FLOAT, "depth", "m");
        temp_ = measured("TEMP", "sea_water_temperature", "degree_Celsius", temp_qc_);
        psal_ = measured("PSAL", "sea_water_practical_salinity", "1", psal_qc_);
        chla_ = measured("CHLA", "mass_concentration_of_chlorophyll_a_in_sea_water", "mg m-3", chla_qc_);
        doxy_ = measured("DOXY", "moles_of_oxygen_per_unit_mass_in_sea_water", "micromole/kg", doxy_qc_);
        phase_ = var("PHASE", NC_BYTE, nullptr, nullptr);
        number_ = var("PROFILE_NUMBER", NC_INT, nullptr, nullptr);
        const int g = NC_GLOBAL;
        text(g, "title", "Glider section across a coastal upwelling front");
        text(g, "Conventions", "CF-1.10, OG-1.0");
        text(g, "platform", "sub-surface gliders");
        text(g, "platform_serial_number", "unit147");
        text(g, "id", "unit147_20190609T0824");
        check(nc_enddef(ncid_), "defining the variables");
    }

    // The water column under dive d and its two profiles, written at once.
    void dive(int d, double& day) {
        const double tau = opt_.start + opt_.step * d;
        const Position mid = position_at(tau + 0.47 * opt_.step);
        const double days = day + 0.5 * kDiveDays - kFirstDay;
        const Column col = column_at(mid.x_km, days, day + 0.5 * kDiveDays, mid.lon, noise_);
        const double wave = 5.0 * noise_.normal();  // internal-wave heave [dbar]
        for (int up = 0; up <= 1; ++up) {
            profile(2 * d + up, up == 1, col, wave, tau, day);
            write(static_cast<std::size_t>(2 * d + up) * static_cast<std::size_t>(opt_.samples));
        }
        day += kDiveDays + kSurfaceDays;
    }

    void profile(int number, bool up, const Column& col, double wave, double tau, double day) {
        const int n = opt_.samples;
        p_.resize(static_cast<std::size_t>(n));
        double fine = 0.0;
        for (int k = 0; k < n; ++k) {
            const std::size_t i = static_cast<std::size_t>(k);
            const double f = static_cast<double>(k) / (n - 1);  // of the profile
            const double along = up ? 0.5 + 0.5 * f : 0.5 * f;  // of the dive
            const double p = 1.0 + 499.0 * (up ? 1.0 - f : f) + 0.2 * noise_.normal();
            double pe = p + wave * std::sin(kPi * p / 500.0);
            if (pe < 0.0) pe = 0.0;
            fine = 0.85 * fine + 0.5 * 0.04 * std::exp(-p / 200.0) * noise_.normal();
            const Position at = position_at(tau + along * opt_.step);
            p_.time[i] = kYearStart + (day - 1.0 + along * kDiveDays) * 86400.0;
            p_.lat[i] = at.lat;
            p_.lon[i] = at.lon;
            p_.pres[i] = static_cast<float>(p);
            p_.depth[i] = static_cast<float>(p * 0.9902);
            p_.temp[i] = static_cast<float>(temperature(col, pe) + fine + 0.01 * noise_.normal());
            p_.psal[i] = static_cast<float>(salinity(col, pe) - 0.1 * fine + 0.003 * noise_.normal());
            p_.chla[i] = static_cast<float>(std::fmax(fluorescence(col, pe) * (1.0 + 0.06 * noise_.normal()), 0.003));
            p_.doxy[i] = static_cast<float>(oxygen(col, pe) + 2.0 * noise_.normal());
            p_.temp_qc[i] = p_.psal_qc[i] = p_.chla_qc[i] = p_.doxy_qc[i] = kGood;
            p_.phase[i] = up ? 2 : 1;
            p_.number[i] = number + 1;
        }
        faults(number, n);
    }

    // Sensor faults, each on its own run of profiles, flagged.
    void faults(int number, int n) {
        auto at = [&](double p) {
            std::size_t best = 0;
            for (std::size_t i = 1; i < p_.pres.size(); ++i)
                if (std::fabs(p_.pres[i] - p) < std::fabs(p_.pres[best] - p)) best = i;
            return best;
        };
        if (number % 17 == 5) {  // temperature spike
            const std::size_t i = at(150.0);
            p_.temp[i] = 24.871f;
            p_.temp_qc[i] = kBad;
        }
        if (number % 23 == 8) {  // air in the conductivity cell near the surface
            for (std::size_t i = 0; i < p_.pres.size(); ++i)
                if (p_.pres[i] < 6.0f) {
                    p_.psal[i] -= 1.5f;
                    p_.psal_qc[i] = kProbablyBad;
                }
        }
        if (number % 29 == 13) {  // fluorometer spike
            const std::size_t i = at(80.0);
            p_.chla[i] = 38.5f;
            p_.chla_qc[i] = kBad;
        }
        if (number % 31 == 20 && n > 0) {  // a sample lost altogether
            const std::size_t i = at(250.0);
            p_.temp[i] = p_.psal[i] = p_.chla[i] = p_.doxy[i] = kFill;
            p_.temp_qc[i] = p_.psal_qc[i] = p_.chla_qc[i] = p_.doxy_qc[i] = kMissing;
        }
    }

    void write(std::size_t start) {
        const std::size_t count = p_.time.size();
        check(nc_put_vara_double(ncid_, time_, &start, &count, p_.time.data()), "TIME");
        check(nc_put_vara_double(ncid_, lat_, &start, &count, p_.lat.data()), "LATITUDE");
        check(nc_put_vara_double(ncid_, lon_, &start, &count, p_.lon.data()), "LONGITUDE");
        check(nc_put_vara_float(ncid_, pres_, &start, &count, p_.pres.data()), "PRES");
        check(nc_put_vara_float(ncid_, depth_, &start, &count, p_.depth.data()), "DEPTH");
        check(nc_put_vara_float(ncid_, temp_, &start, &count, p_.temp.data()), "TEMP");
        check(nc_put_vara_float(ncid_, psal_, &start, &count, p_.psal.data()), "PSAL");
        check(nc_put_vara_float(ncid_, chla_, &start, &count, p_.chla.data()), "CHLA");
        check(nc_put_vara_float(ncid_, doxy_, &start, &count, p_.doxy.data()), "DOXY");
        check(nc_put_vara_schar(ncid_, temp_qc_, &start, &count, p_.temp_qc.data()), "TEMP_QC");
        check(nc_put_vara_schar(ncid_, psal_qc_, &start, &count, p_.psal_qc.data()), "PSAL_QC");
        check(nc_put_vara_schar(ncid_, chla_qc_, &start, &count, p_.chla_qc.data()), "CHLA_QC");
        check(nc_put_vara_schar(ncid_, doxy_qc_, &start, &count, p_.doxy_qc.data()), "DOXY_QC");
        check(nc_put_vara_schar(ncid_, phase_, &start, &count, p_.phase.data()), "PHASE");
        check(nc_put_vara_int(ncid_, number_, &start, &count, p_.number.data()), "PROFILE_NUMBER");
    }

    Options opt_;
    Noise noise_;
    Profile p_;
    int ncid_ = -1, dim_ = -1;
    int time_ = -1, lat_ = -1, lon_ = -1, pres_ = -1, depth_ = -1, temp_ = -1, psal_ = -1, chla_ = -1, doxy_ = -1;
    int temp_qc_ = -1, psal_qc_ = -1, chla_qc_ = -1, doxy_qc_ = -1, phase_ = -1, number_ = -1;
};

}  // namespace gen_nc

int main(int argc, char** argv) {
    try {
        gen_nc::Writer w(gen_nc::parse_options(argc, argv));
        w.run();
    } catch (const miscli::ProgramStop& s) {
        (s.status == 0 ? std::cout : std::cerr) << s.line << '\n';
        return s.status;
    }
    return 0;
}
