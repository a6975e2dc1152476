#include "data/read_glider_netcdf.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "data/fourth_variable.h"
#include "data/nc_file.h"
#include "data/nc_profiles.h"
#include "data/nc_qc.h"
#include "data/nc_values.h"
#include "data/nc_variables.h"
#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"
#include "miscli/text_field.h"
#include "seawater/seawater.h"

namespace data {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSecondsPerDay = 86400.0;
constexpr double kNoLatitude = 45.0;  // for depth to pressure when a sample has none

[[noreturn]] void refuse(const NcSource& s, const std::string& what) { miscli::stop(" " + s.name + ": " + what); }

std::unique_ptr<NcFile> open(const NcSource& s) {
    try {
        if (s.in_memory) return std::make_unique<NcFile>(s.name, s.bytes);
        return std::make_unique<NcFile>(s.name);
    } catch (const NcError& e) {
        refuse(s, std::string("not readable as netCDF (") + e.what() + ")");
    }
}

// What is read of one file, kept for the pass that reads the fourth variable.
struct FileProfiles {
    int first_dive = 0;  // its profiles are dives first_dive, first_dive + 1, ...
    Profiles profiles;
};

// One file's samples, in buffers reused from variable to variable (a
// mission's variables are tens of megabytes each).
struct Samples {
    NcDoubles time, pressure, values;
    NcInts pressure_flags, flags;  // empty: no QC
};

void read_or_missing(const NcFile& f, const NcVariable* v, std::size_t n, NcDoubles& out) {
    if (v) read_values(f, *v, out);
    else out.assign(n, kNaN);
}

// Times as seconds since 1970-01-01 UTC.
void read_times(const NcFile& f, const NcVariable& time, NcDoubles& t) {
    const std::string units = f.text_attribute(time.id, "units").value_or("");
    const std::optional<TimeUnits> u = parse_time_units(units);
    if (!u)
        throw NcError("the time variable " + time.name + " has units \"" + units +
                      "\", not \"<seconds|minutes|hours|days> since <date>\"");
    read_values(f, time, t);
    for (double& x : t) x = u->epoch + x * u->seconds_per_unit;
}

// The values of v and their table flags, or nothing without v.
void read_with_flags(const NcFile& f, const NcVariable* v, int sample_dim, NcDoubles& values, NcInts& flags) {
    values.clear();
    flags.clear();
    if (!v) return;
    read_values(f, *v, values);
    if (const NcVariable* qc = find_qc(f, *v, sample_dim)) read_qc_flags(f, *qc, flags);
}

// Writes column `column` (2 temperature, 3 salinity, 4 the fourth variable)
// of the file's dives from variable v; every sample is missing without it.
void fill_column(const NcFile& f, const NcVariable* v, int sample_dim, const FileProfiles& fp, int column,
                 DiveTable& t, Samples& s) {
    read_with_flags(f, v, sample_dim, s.values, s.flags);
    for (std::size_t j = 0; j < fp.profiles.size(); ++j) {
        const int d = fp.first_dive + static_cast<int>(j);
        float* value = t.prof.column(d, column).data();
        Flag* flag = t.prof_flag.column(d, column).data();
        for (int i : fp.profiles[j]) {
            const std::size_t at = static_cast<std::size_t>(i);
            const float x = static_cast<float>(s.values.empty() ? kNaN : s.values[at]);
            const bool present = std::isfinite(x);
            *value++ = present ? x : SAMPLE_FILL;
            *flag++ = !present ? 9 : s.flags.empty() ? 0 : as_flag(s.flags[at]);
        }
    }
}

// The pressure, from depth and latitude where the file has no pressure, and
// its flags: a pressure made from depth takes the depth's QC.
void read_pressure(const NcFile& f, const NcLayout& l, std::size_t n, Samples& s) {
    const NcVariable* source = l.pressure ? l.pressure : l.depth;
    read_with_flags(f, source, l.sample_dim, s.pressure, s.pressure_flags);
    if (l.pressure) return;
    NcDoubles& lat = s.values;
    read_or_missing(f, l.latitude, n, lat);
    for (std::size_t i = 0; i < s.pressure.size(); ++i) {
        const double phi = std::isfinite(lat[i]) ? lat[i] : kNoLatitude;
        s.pressure[i] = std::isfinite(s.pressure[i]) ? seawater::pressure_from_depth(s.pressure[i], phi) : kNaN;
    }
}

// The first and last sample of each profile with a finite position. The
// latitude is read into `values` and the longitude into `time`, which the
// caller no longer needs.
void set_positions(const NcFile& f, const NcLayout& l, std::size_t n, const FileProfiles& fp, Samples& s,
                   DiveTable& t) {
    NcDoubles& lat = s.values;
    NcDoubles& lon = s.time;
    read_or_missing(f, l.latitude, n, lat);
    read_or_missing(f, l.longitude, n, lon);
    for (std::size_t j = 0; j < fp.profiles.size(); ++j) {
        const int d = fp.first_dive + static_cast<int>(j);
        bool have_position = false;
        for (int i : fp.profiles[j]) {
            const std::size_t at = static_cast<std::size_t>(i);
            if (!std::isfinite(lat[at]) || !std::isfinite(lon[at])) continue;
            if (!have_position) {
                t.lon_start(d) = static_cast<float>(lon[at]);
                t.lat_start(d) = static_cast<float>(lat[at]);
                have_position = true;
            }
            t.lon_end(d) = static_cast<float>(lon[at]);
            t.lat_end(d) = static_cast<float>(lat[at]);
        }
    }
}

Profiles cut(const NcFile& f, const NcLayout& l, Samples& s) {
    if (l.profile) {
        read_values(f, *l.profile, s.values);
        return profiles_by_number(s.values);
    }
    if (l.per_dive) return profiles_of_dive(s.pressure);
    if (l.per_profile) return one_profile(static_cast<int>(s.pressure.size()));
    return profiles_at_turns(s.pressure, s.time);
}

// The first and last times of every dive so far, gathered before the year
// of the whole set is known.
struct DiveTimes {
    std::vector<double> first, last;  // seconds since 1970; NaN when none
};

// Reads one file into the table after its dives so far; gives its profiles.
FileProfiles read_file(const NcFile& f, DiveTable& t, DiveTimes& times) {
    const NcLayout l = find_layout(f);
    const std::size_t n = f.dimension_length(l.sample_dim);
    if (n > static_cast<std::size_t>(std::numeric_limits<int>::max())) throw NcError("more samples than can be read");

    Samples s;
    read_times(f, *l.time, s.time);
    read_pressure(f, l, n, s);
    FileProfiles fp;
    fp.profiles = cut(f, l, s);
    if (fp.profiles.empty()) throw NcError("no profile holds a sample");

    fp.first_dive = t.size() + 1;
    const std::size_t total = static_cast<std::size_t>(t.size()) + fp.profiles.size();
    if (total > static_cast<std::size_t>(MXPR))
        throw NcError((miscli::ListLine() << "more profiles in the set than the table holds (" << MXPR << ")").str().substr(1));
    for (const auto& profile : fp.profiles)
        if (profile.size() > static_cast<std::size_t>(MXZ))
            throw NcError((miscli::ListLine() << "a profile of" << static_cast<long>(profile.size())
                                              << " samples; the table holds" << MXZ << " a profile")
                              .str()
                              .substr(1));
    t.resize(static_cast<int>(total));
    std::size_t sample_count = 0;
    for (const auto& profile : fp.profiles) sample_count += profile.size();
    t.reserve_samples(sample_count);

    for (std::size_t j = 0; j < fp.profiles.size(); ++j) {
        const int d = fp.first_dive + static_cast<int>(j);
        const std::vector<int>& samples = fp.profiles[j];
        t.set_samples(d, static_cast<int>(samples.size()));
        t.n_samp(d) = static_cast<int>(samples.size());
        t.dive_weight(d) = 0.0f;
        double first_time = kNaN, last_time = kNaN;
        int k = 0;
        for (int i : samples) {
            ++k;
            const std::size_t at = static_cast<std::size_t>(i);
            const float p = static_cast<float>(s.pressure[at]);
            const bool present = std::isfinite(p);
            t.prof(k, d, 1) = present ? p : SAMPLE_FILL;
            // Deep gliders pass 999.9 dbar: only the surface bounds a good pressure.
            const bool good = present && p > -0.1f && (s.pressure_flags.empty() || s.pressure_flags[at] == 0);
            t.prof_flag(k, d, 1) = good ? 0 : 1;
            if (std::isfinite(s.time[at])) {
                if (std::isnan(first_time)) first_time = s.time[at];
                last_time = s.time[at];
            }
        }
        times.first.push_back(first_time);
        times.last.push_back(last_time);
    }
    s.pressure_flags = NcInts();
    s.pressure = NcDoubles();
    set_positions(f, l, n, fp, s, t);
    fill_column(f, l.temperature, l.sample_dim, fp, 2, t, s);
    fill_column(f, l.salinity, l.sample_dim, fp, 3, t, s);
    return fp;
}

// Day numbers counted from 1 January of the year of the first profile's
// first time, so a mission running into the next year goes on counting.
void set_days(const DiveTimes& times, DiveTable& t) {
    double start = kNaN;
    for (double x : times.first)
        if (std::isfinite(x)) {
            start = x;
            break;
        }
    if (std::isnan(start)) return;
    const long long year = year_of(start);
    const double jan1 = static_cast<double>(days_from_civil(year, 1, 1)) * kSecondsPerDay;
    for (int d = 1; d <= t.size(); ++d) {
        const std::size_t i = static_cast<std::size_t>(d - 1);
        t.dive_year(d) = static_cast<int>(year);
        if (std::isfinite(times.first[i])) t.day_start(d) = static_cast<float>((times.first[i] - jan1) / kSecondsPerDay + 1.0);
        if (std::isfinite(times.last[i])) t.day_end(d) = static_cast<float>((times.last[i] - jan1) / kSecondsPerDay + 1.0);
    }
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

int serial_number(const NcFile& f) {
    const std::vector<std::string> present = f.global_attribute_names();
    for (const char* wanted : {"glider_serial", "platform_serial_number", "glider", "platform_id", "id"}) {
        for (const std::string& name : present) {
            if (lower(name) != wanted) continue;
            std::string text = f.text_attribute(NcFile::global(), name.c_str()).value_or("");
            const std::vector<double> number = f.number_attribute(NcFile::global(), name.c_str());
            if (!number.empty() && std::isfinite(number[0]) && std::fabs(number[0]) < 1e15)
                text = std::to_string(static_cast<long long>(std::fabs(number[0])));
            const auto digit = text.find_first_of("0123456789");
            if (digit == std::string::npos) continue;
            long long value = 0;
            for (std::size_t i = digit; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
                value = std::min<long long>(value * 10 + (text[i] - '0'), std::numeric_limits<int>::max());
            return static_cast<int>(value);
        }
    }
    return 0;
}

void read_glider_netcdf(std::span<const NcSource> files, FileHeader& header, DiveTable& t) {
    t = DiveTable();
    header = FileHeader();
    DiveTimes times;
    std::vector<FileProfiles> read;
    std::vector<std::string> candidates;
    for (const NcSource& src : files) {
        std::unique_ptr<NcFile> f = open(src);
        try {
            read.push_back(read_file(*f, t, times));
            if (read.size() == 1) {
                header.serial_no = serial_number(*f);
                for (const NcVariable* v : fourth_variable_candidates(*f, find_layout(*f))) candidates.push_back(v->name);
            }
        } catch (const NcError& e) {
            refuse(src, e.what());
        }
    }
    set_days(times, t);

    const int n_files = static_cast<int>(files.size());
    miscli::console().write_line((miscli::ListLine() << "Read" << t.size() << " profiles from" << n_files
                                                     << (n_files == 1 ? " netCDF file" : " netCDF files"))
                                     .str());

    header.n_vars = 3;
    if (!candidates.empty()) {
        const std::string name = candidates[ask_fourth_variable(candidates)];
        header.n_vars = 4;
        header.var4_name = miscli::field(name, 8);
        for (std::size_t i = 0; i < read.size(); ++i) {
            std::unique_ptr<NcFile> f = open(files[i]);
            try {
                const NcLayout l = find_layout(*f);
                Samples s;
                fill_column(*f, find_on_samples(*f, l, name), l.sample_dim, read[i], 4, t, s);
            } catch (const NcError& e) {
                refuse(files[i], e.what());
            }
        }
    }
    header.n_dives = t.size();
    header.n_read = t.size();
    header.adcp_kind = "No ADCP ";
    header.opened = true;
}

}  // namespace data
