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
#include "data/nc_set.h"
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
        refuse(s, e.what());
    }
}

using FileProfiles = NcSetRead::File;

// A pressure from depth at latitude lat (45 degrees where it is missing).
double pressure_of_depth(double depth, double lat) {
    const double phi = std::isfinite(lat) ? lat : kNoLatitude;
    return std::isfinite(depth) ? seawater::pressure_from_depth(depth, phi) : kNaN;
}

// Writes column `column` (2 temperature, 3 salinity, 4 the fourth variable)
// of the file's dives from variable v; every sample is missing without it.
void fill_column(const NcFile& f, const NcVariable* v, int sample_dim, std::size_t n, const FileProfiles& fp,
                 int column, DiveTable& t, NcSampleSink& sink, PieceRoom& room) {
    const NcVariable* qc = v ? find_qc(f, *v, sample_dim) : nullptr;
    for_each_run<1>(f, {v}, qc, n, fp.runs, room, [&](const RunPiece<1>& p) {
        const auto [value, flag] = sink.samples(t, fp.first_dive + p.profile, column, p.k, p.count);
        for (std::size_t i = 0; i < p.count; ++i) {
            const float x = static_cast<float>(p.value[0][i]);
            const bool present = std::isfinite(x);
            value[i] = present ? x : SAMPLE_FILL;
            flag[i] = present ? as_flag(p.flag[i]) : 9;
        }
    });
}

// The table's flag of a pressure: good when present, not above the
// surface and good by its own QC (or its depth's). Deep gliders pass 999.9
// dbar, so only the surface bounds it.
Flag pressure_flag(float pressure, int qc_flag) { return pressure > -0.1f && qc_flag == 0 ? 0 : 1; }

// Pressures from depth and latitude for the samples of a file with
// pressure that have none, a piece at a time: a level-0 series records
// pressure at some samples and depth at all.
class DepthForMissingPressure {
public:
    DepthForMissingPressure(const NcFile& f, const NcLayout& l)
        : f_(f), depth_(*l.depth), latitude_(l.latitude), qc_(find_qc(f, *l.depth, l.sample_dim)),
          depth_rule_(value_rule(f, depth_)), latitude_rule_(l.latitude ? value_rule(f, *l.latitude) : ValueRule{}) {}

    // Of samples first .. first + count - 1 of the file, with `pressure`,
    // those without take it from their depth where they have one, into
    // value and flag; gives whether any did.
    bool fill(std::size_t first, std::size_t count, const double* pressure, float* value, Flag* flag) {
        depth_values_.resize(count);
        latitudes_.resize(count);
        flags_.resize(count);
        f_.read_doubles(depth_, first, count, depth_values_.data());
        data::apply(depth_rule_, depth_values_);
        if (latitude_) {
            f_.read_doubles(*latitude_, first, count, latitudes_.data());
            data::apply(latitude_rule_, latitudes_);
        } else {
            std::ranges::fill(latitudes_, kNaN);
        }
        if (qc_) read_qc_flags(f_, *qc_, first, count, flags_.data(), raw_);
        else std::ranges::fill(flags_, 0);
        bool any = false;
        for (std::size_t i = 0; i < count; ++i) {
            if (std::isfinite(static_cast<float>(pressure[i]))) continue;  // its own pressure
            const float pressure = static_cast<float>(pressure_of_depth(depth_values_[i], latitudes_[i]));
            if (!std::isfinite(pressure)) continue;
            value[i] = pressure;
            flag[i] = pressure_flag(pressure, flags_[i]);
            any = true;
        }
        return any;
    }

private:
    const NcFile& f_;
    const NcVariable& depth_;
    const NcVariable* latitude_;
    const NcVariable* qc_;
    ValueRule depth_rule_, latitude_rule_;
    NcDoubles depth_values_, latitudes_, raw_;
    NcInts flags_;
};

// The pressure and its flags, from depth and latitude where the file has no
// pressure, or where a sample has none: a pressure made from depth takes
// the depth's QC. Refuses a file where no sample has either.
void fill_pressure(const NcFile& f, const NcLayout& l, std::size_t n, const FileProfiles& fp, DiveTable& t,
                   NcSampleSink& sink, PieceRoom& room) {
    const bool from_depth = !l.pressure;
    const NcVariable* source = from_depth ? l.depth : l.pressure;
    const NcVariable* qc = find_qc(f, *source, l.sample_dim);
    std::optional<DepthForMissingPressure> depth_for_missing;
    if (!from_depth && l.depth) depth_for_missing.emplace(f, l);
    bool some_present = false;
    for_each_run<2>(f, {source, from_depth ? l.latitude : nullptr}, qc, n, fp.runs, room, [&](const RunPiece<2>& p) {
        const auto [value, flag] = sink.samples(t, fp.first_dive + p.profile, 1, p.k, p.count);
        bool some_missing = false;
        for (std::size_t i = 0; i < p.count; ++i) {
            const double x = from_depth ? pressure_of_depth(p.value[0][i], p.value[1][i]) : p.value[0][i];
            const float pressure = static_cast<float>(x);
            const bool present = std::isfinite(pressure);
            value[i] = present ? pressure : SAMPLE_FILL;
            flag[i] = present ? pressure_flag(pressure, p.flag[i]) : 1;
            some_present = some_present || present;
            some_missing = some_missing || !present;
        }
        if (some_missing && depth_for_missing)
            some_present = depth_for_missing->fill(p.first, p.count, p.value[0], value, flag) || some_present;
    });
    if (!some_present) {
        if (from_depth) throw NcError("the depth variable " + l.depth->name + " holds no value");
        if (!l.depth) throw NcError("the pressure variable " + l.pressure->name + " holds no value");
        throw NcError("neither the pressure variable " + l.pressure->name + " nor the depth variable " + l.depth->name +
                      " holds a value");
    }
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
        // Shown with its control characters as escapes: a NUL would end the message.
        throw NcError("the time variable " + time.name + " has units \"" + miscli::one_line(units) +
                      "\", not \"<seconds|minutes|hours|days> since <date>\"");
    return *u;
}

// The pressure of every sample, from depth and latitude where a sample has
// none, into `pressure`.
void sample_pressures(const NcFile& f, const NcLayout& l, std::size_t n, NcDoubles& pressure) {
    read_values(f, l.pressure ? *l.pressure : *l.depth, pressure);
    const bool from_depth = !l.pressure;
    if (!from_depth && (!l.depth || std::all_of(pressure.begin(), pressure.end(), [](double x) { return std::isfinite(x); })))
        return;
    NcDoubles depth, lat;
    if (!from_depth) read_values(f, *l.depth, depth);
    if (l.latitude) read_values(f, *l.latitude, lat);
    else lat.assign(n, kNaN);
    for (std::size_t i = 0; i < pressure.size(); ++i) {
        if (from_depth) pressure[i] = pressure_of_depth(pressure[i], lat[i]);
        else if (!std::isfinite(pressure[i])) pressure[i] = pressure_of_depth(depth[i], lat[i]);
    }
}

// A file's profiles and the numbers the file gives them: its profile
// numbers, or a per-dive file's dive number for both casts. Without
// numbers, the profiles go on from the dives before.
struct CutProfiles {
    Profiles profiles;
    std::vector<int> numbers;  // one a profile, or none
    bool casts = false;        // the down and up casts of one dive
};

int whole_number(double x) {
    return static_cast<int>(std::clamp(x, -2.0e9, 2.0e9));
}

// The samples cut into profiles: by the profile numbers, per dive, one per
// file, or at the turning points of the pressure (from depth where a sample
// has none) in time order.
CutProfiles cut(const NcFile& f, const NcLayout& l, std::size_t n, PieceRoom& room) {
    CutProfiles out;
    if (l.profile) {
        ProfilesByNumber by_number;
        const std::vector<SampleRun> all{{0, n, 0, 0}};
        for_each_run<1>(f, {l.profile}, nullptr, n, all, room,
                        [&](const RunPiece<1>& p) { by_number.add({p.value[0], p.count}, static_cast<std::size_t>(p.k)); });
        for (double x : by_number.numbers()) out.numbers.push_back(whole_number(x));
        out.profiles = by_number.take();
        return out;
    }
    if (l.per_profile) {
        out.profiles = one_profile(static_cast<int>(n));
        return out;
    }
    NcDoubles pressure;
    sample_pressures(f, l, n, pressure);
    if (l.per_dive) {
        out.profiles = profiles_of_dive(pressure);
        const std::vector<double> dive = f.number_attribute(NcFile::global(), "dive_number");
        if (!dive.empty() && std::isfinite(dive[0]))
            out.numbers.assign(out.profiles.size(), whole_number(dive[0]));
        out.casts = out.profiles.size() == 2;
        return out;
    }
    NcDoubles time;
    read_values(f, *l.time, time);
    const TimeUnits u = time_units(f, *l.time);
    for (double& x : time) x = u.epoch + x * u.seconds_per_unit;
    out.profiles = profiles_at_turns(pressure, time);
    return out;
}

// The first and last times of every dive so far, gathered before the year
// of the whole set is known.
struct DiveTimes {
    std::vector<double> first, last;  // seconds since 1970; NaN when none
};

// Reads one file into the table after its dives so far; gives its profiles.
FileProfiles read_file(const NcFile& f, DiveTable& t, DiveTimes& times, NcSampleSink& sink) {
    const NcLayout l = find_layout(f);
    const std::size_t n = f.dimension_length(l.sample_dim);
    if (n > static_cast<std::size_t>(MXSAMP))
        throw NcError("the sample dimension " + f.dimension_name(l.sample_dim) + " claims " + std::to_string(n) +
                      " samples, more than the " + std::to_string(MXSAMP) + " a file may hold");

    const TimeUnits units = time_units(f, *l.time);
    PieceRoom room;
    FileProfiles fp;
    std::vector<int> sizes;
    CutProfiles cut_profiles = cut(f, l, n, room);
    {
        const Profiles profiles = std::move(cut_profiles.profiles);
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
    t.resize(t.size() + static_cast<int>(sizes.size()));
    for (std::size_t j = 0; j < sizes.size(); ++j) {
        const int d = fp.first_dive + static_cast<int>(j);
        t.n_samp(d) = sizes[j];
        t.dive_weight(d) = 0.0f;
        // Unnumbered profiles go on from the dive before; both casts of a
        // dive take one number.
        const std::vector<int>& numbers = cut_profiles.numbers;
        const int next = fp.first_dive > 1 ? t.dive_number(fp.first_dive - 1) + 1 : 1;
        const int unnumbered = cut_profiles.casts ? next : next + static_cast<int>(j);
        t.dive_number(d) = j < numbers.size() ? numbers[j] : unnumbered;
        if (cut_profiles.casts) t.cast(d) = j == 0 ? 'a' : 'b';
    }
    sink.dives_added(t, fp.first_dive, sizes);

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
    fill_pressure(f, l, n, fp, t, sink, room);
    set_positions(f, l, n, fp, t, room);
    fill_column(f, l.temperature, l.sample_dim, n, fp, 2, t, sink, room);
    fill_column(f, l.salinity, l.sample_dim, n, fp, 3, t, sink, room);
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


}  // namespace

int serial_number(const NcFile& f) {
    const std::vector<std::string> present = f.global_attribute_names();
    for (const char* wanted : {"glider_serial", "platform_serial_number", "glider", "platform_id", "id"}) {
        for (const std::string& name : present) {
            if (miscli::lower_case(name) != wanted) continue;
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

void make_sample_room(DiveTable& t, int first, std::span<const int> sizes) {
    std::size_t sample_count = 0;
    for (int size : sizes) sample_count += static_cast<std::size_t>(size);
    t.reserve_samples(sample_count);
    // Every column is written by the reader; the fourth once it is chosen
    // (or found missing), so the room is not touched before.
    for (std::size_t j = 0; j < sizes.size(); ++j) t.set_samples(first + static_cast<int>(j), sizes[j], 4);
}

NcSampleSink::Room NcTableSink::samples(DiveTable& t, int d, int column, int k, std::size_t) {
    return {t.prof.column(d, column).data() + k, t.prof_flag.column(d, column).data() + k};
}

namespace {

// A variable's name, long_name and units, in one line each.
ColumnText column_text(const NcFile& f, const NcVariable& v) {
    auto attribute = [&](const char* name) {
        const auto text = f.text_attribute(v.id, name);
        return text ? miscli::one_line(*text) : std::string();
    };
    return {v.name, attribute("long_name"), attribute("units")};
}

}  // namespace

NcSetRead read_netcdf_set(std::span<const NcSource> files, DiveTable& t, NcSampleSink& sink) {
    t = DiveTable();
    NcSetRead set;
    DiveTimes times;
    for (std::size_t i = 0; i < files.size(); ++i) {
        sink.file_starts(i);
        std::unique_ptr<NcFile> f = open(files[i]);
        try {
            set.files.push_back(read_file(*f, t, times, sink));
            if (i == 0) {
                set.serial_no = serial_number(*f);
                const NcLayout l = find_layout(*f);
                set.texts.push_back(l.pressure ? column_text(*f, *l.pressure)
                                               : ColumnText{"pressure", "pressure from depth", "dbar"});
                for (const NcVariable* v : {l.temperature, l.salinity})
                    set.texts.push_back(v ? column_text(*f, *v) : ColumnText{});
                for (const NcVariable* v : fourth_variable_candidates(*f, l)) {
                    set.candidates.push_back(v->name);
                    set.texts.push_back(column_text(*f, *v));
                }
            }
        } catch (const NcError& e) {
            refuse(files[i], e.what());
        }
    }
    set_days(times, t);
    return set;
}

void read_fourth_variable(std::span<const NcSource> files, const NcSetRead& set, const std::string& name, DiveTable& t,
                          NcSampleSink& sink) {
    for (std::size_t i = 0; i < set.files.size() && i < files.size(); ++i) {
        sink.file_starts(i);
        std::unique_ptr<NcFile> f = open(files[i]);
        try {
            const NcLayout l = find_layout(*f);
            PieceRoom room;
            fill_column(*f, find_on_samples(*f, l, name), l.sample_dim, f->dimension_length(l.sample_dim), set.files[i],
                        4, t, sink, room);
        } catch (const NcError& e) {
            refuse(files[i], e.what());
        }
    }
}

std::string tell_and_ask(int n_profiles, std::size_t n_files, const std::vector<std::string>& candidates) {
    const long files = static_cast<long>(n_files);
    miscli::console().write_line((miscli::ListLine() << "Read" << n_profiles << " profiles from" << files
                                                     << (files == 1 ? " netCDF file" : " netCDF files"))
                                     .str());
    return candidates.empty() ? std::string() : candidates[ask_fourth_variable(candidates)];
}

void no_fourth_variable(DiveTable& t) {
    for (int d = 1; d <= t.size(); ++d) {
        std::ranges::fill(t.prof.column(d, 4), SAMPLE_FILL);
        std::ranges::fill(t.prof_flag.column(d, 4), Flag{1});
    }
}

void fill_netcdf_header(const NcSetRead& set, const std::string& var4, int n_dives, FileHeader& header) {
    header = FileHeader();
    header.serial_no = set.serial_no;
    for (std::size_t i = 0; i < 3 && i < set.texts.size(); ++i) header.columns[i] = set.texts[i];
    for (std::size_t i = 0; i < set.candidates.size() && 3 + i < set.texts.size(); ++i)
        if (set.candidates[i] == var4) header.column(4) = set.texts[3 + i];
    header.n_vars = var4.empty() ? 3 : 4;
    header.column(4).name = var4;
    header.offered = set.candidates;
    header.n_dives = n_dives;
    header.n_read = n_dives;
    header.opened = true;
}

void read_glider_netcdf_here(std::span<const NcSource> files, FileHeader& header, DiveTable& t) {
    header = FileHeader();
    NcTableSink sink;
    const NcSetRead set = read_netcdf_set(files, t, sink);
    const std::string name = tell_and_ask(t.size(), files.size(), set.candidates);
    if (name.empty()) no_fourth_variable(t);
    else read_fourth_variable(files, set, name, t, sink);
    fill_netcdf_header(set, name, t.size(), header);
}

}  // namespace data
