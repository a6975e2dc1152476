#include "data/read_glider_netcdf.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "data/fourth_variable.h"
#include "data/nc_file.h"
#include "data/nc_profiles.h"
#include "data/nc_qc.h"
#include "data/nc_samples.h"
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
    std::vector<SampleRun> runs;
};

// A pressure from depth at latitude lat (45 degrees where it is missing).
double pressure_of_depth(double depth, double lat) {
    const double phi = std::isfinite(lat) ? lat : kNoLatitude;
    return std::isfinite(depth) ? seawater::pressure_from_depth(depth, phi) : kNaN;
}

// Writes column `column` (2 temperature, 3 salinity, 4 the fourth variable)
// of the file's dives from variable v; every sample is missing without it.
void fill_column(const NcFile& f, const NcVariable* v, int sample_dim, std::size_t n, const FileProfiles& fp,
                 int column, DiveTable& t, PieceRoom& room) {
    const NcVariable* qc = v ? find_qc(f, *v, sample_dim) : nullptr;
    for_each_run<1>(f, {v}, qc, n, fp.runs, room, [&](const RunPiece<1>& p) {
        const int d = fp.first_dive + p.profile;
        float* value = t.prof.column(d, column).data() + p.k;
        Flag* flag = t.prof_flag.column(d, column).data() + p.k;
        for (std::size_t i = 0; i < p.count; ++i) {
            const float x = static_cast<float>(p.value[0][i]);
            const bool present = std::isfinite(x);
            value[i] = present ? x : SAMPLE_FILL;
            flag[i] = present ? as_flag(p.flag[i]) : 9;
        }
    });
}

// The pressure and its flags, from depth and latitude where the file has no
// pressure: a pressure made from depth takes the depth's QC.
void fill_pressure(const NcFile& f, const NcLayout& l, std::size_t n, const FileProfiles& fp, DiveTable& t,
                   PieceRoom& room) {
    const NcVariable* source = l.pressure ? l.pressure : l.depth;
    const NcVariable* qc = find_qc(f, *source, l.sample_dim);
    const bool from_depth = !l.pressure;
    for_each_run<2>(f, {source, from_depth ? l.latitude : nullptr}, qc, n, fp.runs, room, [&](const RunPiece<2>& p) {
        const int d = fp.first_dive + p.profile;
        float* value = t.prof.column(d, 1).data() + p.k;
        Flag* flag = t.prof_flag.column(d, 1).data() + p.k;
        for (std::size_t i = 0; i < p.count; ++i) {
            const double x = from_depth ? pressure_of_depth(p.value[0][i], p.value[1][i]) : p.value[0][i];
            const float pressure = static_cast<float>(x);
            const bool present = std::isfinite(pressure);
            value[i] = present ? pressure : SAMPLE_FILL;
            // Deep gliders pass 999.9 dbar: only the surface bounds a good pressure.
            const bool good = present && pressure > -0.1f && p.flag[i] == 0;
            flag[i] = good ? 0 : 1;
        }
    });
}

// The first and last sample of each profile with a finite position.
void set_positions(const NcFile& f, const NcLayout& l, std::size_t n, const FileProfiles& fp, DiveTable& t,
                   PieceRoom& room) {
    std::vector<unsigned char> have_position(fp.runs.size(), 0);  // by profile; no more profiles than runs
    for_each_run<2>(f, {l.latitude, l.longitude}, nullptr, n, fp.runs, room, [&](const RunPiece<2>& p) {
        const int d = fp.first_dive + p.profile;
        for (std::size_t i = 0; i < p.count; ++i) {
            const double lat = p.value[0][i], lon = p.value[1][i];
            if (!std::isfinite(lat) || !std::isfinite(lon)) continue;
            if (!have_position[static_cast<std::size_t>(p.profile)]) {
                t.lon_start(d) = static_cast<float>(lon);
                t.lat_start(d) = static_cast<float>(lat);
                have_position[static_cast<std::size_t>(p.profile)] = 1;
            }
            t.lon_end(d) = static_cast<float>(lon);
            t.lat_end(d) = static_cast<float>(lat);
        }
    });
}

// The variable's times as seconds since 1970-01-01 UTC.
TimeUnits time_units(const NcFile& f, const NcVariable& time) {
    const std::string units = f.text_attribute(time.id, "units").value_or("");
    const std::optional<TimeUnits> u = parse_time_units(units);
    if (!u)
        throw NcError("the time variable " + time.name + " has units \"" + units +
                      "\", not \"<seconds|minutes|hours|days> since <date>\"");
    return *u;
}

// The pressure of every sample (from depth where the file has none) and,
// when the profiles are cut at turning points, the times, for cutting the
// samples into profiles.
Profiles cut(const NcFile& f, const NcLayout& l, std::size_t n, PieceRoom& room) {
    if (l.profile) {
        ProfilesByNumber by_number;
        const std::vector<SampleRun> all{{0, n, 0, 0}};
        for_each_run<1>(f, {l.profile}, nullptr, n, all, room,
                        [&](const RunPiece<1>& p) { by_number.add({p.value[0], p.count}, static_cast<std::size_t>(p.k)); });
        return by_number.take();
    }
    if (l.per_profile) return one_profile(static_cast<int>(n));
    NcDoubles pressure, values;
    read_values(f, l.pressure ? *l.pressure : *l.depth, pressure);
    if (!l.pressure) {
        NcDoubles& lat = values;
        if (l.latitude) read_values(f, *l.latitude, lat);
        else lat.assign(n, kNaN);
        for (std::size_t i = 0; i < pressure.size(); ++i) pressure[i] = pressure_of_depth(pressure[i], lat[i]);
    }
    if (l.per_dive) return profiles_of_dive(pressure);
    NcDoubles& time = values;
    read_values(f, *l.time, time);
    const TimeUnits u = time_units(f, *l.time);
    for (double& x : time) x = u.epoch + x * u.seconds_per_unit;
    return profiles_at_turns(pressure, time);
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

    const TimeUnits units = time_units(f, *l.time);
    PieceRoom room;
    FileProfiles fp;
    std::vector<int> sizes;
    {
        const Profiles profiles = cut(f, l, n, room);
        if (profiles.empty()) throw NcError("no profile holds a sample");
        if (static_cast<std::size_t>(t.size()) + profiles.size() > static_cast<std::size_t>(MXPR))
            throw NcError((miscli::ListLine() << "more profiles in the set than the table holds (" << MXPR << ")")
                              .str()
                              .substr(1));
        for (const auto& profile : profiles) {
            if (profile.size() > static_cast<std::size_t>(MXZ))
                throw NcError((miscli::ListLine() << "a profile of" << static_cast<long>(profile.size())
                                                  << " samples; the table holds" << MXZ << " a profile")
                                  .str()
                                  .substr(1));
            sizes.push_back(static_cast<int>(profile.size()));
        }
        // Only the runs are kept: the list of every sample is let go before the table grows.
        fp.runs = runs_of(profiles);
    }

    fp.first_dive = t.size() + 1;
    const std::size_t total = static_cast<std::size_t>(t.size()) + sizes.size();
    t.resize(static_cast<int>(total));
    std::size_t sample_count = 0;
    for (int size : sizes) sample_count += static_cast<std::size_t>(size);
    t.reserve_samples(sample_count);
    for (std::size_t j = 0; j < sizes.size(); ++j) {
        const int d = fp.first_dive + static_cast<int>(j);
        // Every column is written below; the fourth once it is chosen (or
        // found missing), so the room is not touched before.
        t.set_samples(d, sizes[j], 4);
        t.n_samp(d) = sizes[j];
        t.dive_weight(d) = 0.0f;
    }

    const std::size_t before = times.first.size();
    times.first.resize(before + sizes.size(), kNaN);
    times.last.resize(before + sizes.size(), kNaN);
    for_each_run<1>(f, {l.time}, nullptr, n, fp.runs, room, [&](const RunPiece<1>& p) {
        const std::size_t j = before + static_cast<std::size_t>(p.profile);
        for (std::size_t i = 0; i < p.count; ++i) {
            const double x = units.epoch + p.value[0][i] * units.seconds_per_unit;
            if (!std::isfinite(x)) continue;
            if (std::isnan(times.first[j])) times.first[j] = x;
            times.last[j] = x;
        }
    });
    fill_pressure(f, l, n, fp, t, room);
    set_positions(f, l, n, fp, t, room);
    fill_column(f, l.temperature, l.sample_dim, n, fp, 2, t, room);
    fill_column(f, l.salinity, l.sample_dim, n, fp, 3, t, room);
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
                PieceRoom room;
                fill_column(*f, find_on_samples(*f, l, name), l.sample_dim, f->dimension_length(l.sample_dim), read[i],
                            4, t, room);
            } catch (const NcError& e) {
                refuse(files[i], e.what());
            }
        }
    } else {
        for (int d = 1; d <= t.size(); ++d) {
            std::ranges::fill(t.prof.column(d, 4), SAMPLE_FILL);
            std::ranges::fill(t.prof_flag.column(d, 4), Flag{1});
        }
    }
    header.n_dives = t.size();
    header.n_read = t.size();
    header.adcp_kind = "No ADCP ";
    header.opened = true;
}

}  // namespace data
