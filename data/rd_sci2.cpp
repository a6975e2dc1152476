#include "data/rd_sci2.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "data/dive_lines.h"
#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/fixed_read.h"
#include "miscli/line_file.h"
#include "miscli/stop.h"
#include "miscli/text_field.h"

namespace data {

namespace {

using miscli::FixedReader;
using miscli::ListLine;

// A dive's salinity and fourth-variable offsets, from its second line.
struct DiveOffsets {
    float salinity = 0.0f;
    float var4 = 0.0f;
};
using Offsets = std::vector<DiveOffsets>;

bool is_blank_line(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

[[noreturn]] void fail(const ListLine& line) { miscli::stop(line.str()); }

// The first bytes of a line as printable text, in quotes: other bytes as
// escapes, and cut short with "..." when it is long.
std::string shown(std::string_view bytes) {
    constexpr std::size_t kShown = 32;
    std::string out = "\"";
    for (const char c : bytes.substr(0, kShown)) {
        if (c == '"' || c == '\\') out += '\\';
        out += miscli::one_line(std::string_view(&c, 1), true);
    }
    if (bytes.size() > kShown) out += "...";
    return out + '"';
}

// A file that cannot be read on: a read that failed, or a line too long
// for a dive file.
ListLine file_fault_line(const miscli::LineFileFault& f, std::string_view name) {
    if (f.error != 0) return ListLine() << "RD_SCI: Cannot read " << name << ": " << std::strerror(f.error);
    return ListLine() << "RD_SCI: Line" << f.line << " of " << name << " is longer than 1 MiB";
}

// What the header's profiler text says the file's profiler records:
// "No ADCP " none, "BackScat" backscatter, anything else vertical velocity.
Profiler profiler_of(std::string_view adcp_kind) {
    if (adcp_kind == "No ADCP ") return Profiler::None;
    if (adcp_kind == "BackScat") return Profiler::Backscatter;
    return Profiler::Velocity;
}

// The file's first line. Its fifth and seventh fields are read (they must
// be there) but say nothing the program uses.
bool read_header_line(std::string_view line, FileHeader& h) {
    FixedReader r(line);
    h.serial_no = r.i(4);
    h.n_dives = r.i(4);
    h.n_vars = r.i(2);
    r.x(1);
    h.column(1).name = "pressure";
    h.column(2).name = "temperature";
    h.column(3).name = "salinity";
    h.column(4).name = std::string(miscli::trim_right(r.a(8)));
    r.x(1);
    r.a(5);
    r.x(1);
    h.profiler = profiler_of(r.a(8));
    r.x(1);
    r.a(8);
    return r.ok();
}

bool read_dive_header(std::string_view line, DiveTable& t, int d) {
    FixedReader r(line);
    r.i(3);
    int year = r.i(5);
    float day0 = r.f(8, 3), lon0 = r.f(11, 5), lat0 = r.f(10, 5);
    float day1 = r.f(8, 3), lon1 = r.f(11, 5), lat1 = r.f(10, 5);
    // Three more values that the program does not use.
    r.f(6, 1);
    r.f(6, 1);
    r.i(2);
    if (!r.ok()) return false;
    t.dive_year(d) = year;
    t.day_start(d) = day0;
    t.lon_start(d) = lon0;
    t.lat_start(d) = lat0;
    t.day_end(d) = day1;
    t.lon_end(d) = lon1;
    t.lat_end(d) = lat1;
    return true;
}

bool read_second_line(std::string_view line, DiveTable& t, int d, Offsets& offsets) {
    FixedReader r(line);
    float weight = r.f(6, 1);
    int n_samp = r.i(4);
    float sal = r.f(8, 3), var4 = r.f(8, 3);
    // A letter and a value that the program does not use.
    r.x(1);
    r.a(1);
    r.f(10, 3);
    int n_adcp = r.i(10);
    // A negative count cannot describe the lines that follow.
    if (!r.ok() || n_samp < 0 || n_adcp < 0) return false;
    t.dive_weight(d) = weight;
    t.n_samp(d) = n_samp;
    if (offsets.size() < static_cast<std::size_t>(d)) offsets.resize(static_cast<std::size_t>(d));
    offsets[static_cast<std::size_t>(d - 1)] = {sal, var4};
    t.n_adcp(d) = n_adcp;
    return true;
}

// The next line that is not blank: blank lines between dives (or at the
// end of the file) are passed over.
std::optional<std::string_view> next_dive_line(miscli::LineFile& file) {
    auto line = file.next();
    while (line && is_blank_line(*line)) line = file.next();
    return line;
}

void finish_line(const FileHeader& header) {
    miscli::console().write_line((ListLine() << "RD_SCI: Finish at dive" << header.n_read << " of"
                                             << header.n_dives).str());
}

// Reads the two heading lines of dive d (the first given), making room
// for its samples and bins. Gives the fault's line, or nothing.
std::optional<ListLine> read_heading(std::string_view first, miscli::LineFile& file, std::string_view name,
                                     DiveTable& t, int d, int n_vars, Offsets& offsets) {
    if (d > MXPR) return ListLine() << "Increase MXPR for RD_SCI";
    if (d > t.size()) t.resize(d);
    if (!read_dive_header(first, t, d))
        return ListLine() << "RD_SCI: Error in header for dive " << d << " of " << name;
    auto line = file.next();
    if (!line || !read_second_line(*line, t, d, offsets))
        return ListLine() << "RD_SCI: Read error in line 2 of dive" << d << " of " << name;
    if (t.n_samp(d) > MXZ || t.n_adcp(d) > MXZ) return ListLine() << "RD_SCI: Increase MXZ";
    // The readers write every sample variable of the file and every bin.
    t.set_samples(d, t.n_samp(d), n_vars);
    t.set_bins(d, t.n_adcp(d), true);
    return std::nullopt;
}

void store_sample(const float value[5], const int flag[5], int n_vars, DiveTable& t, int k, int d) {
    t.prof(k, d, 1) = value[1];
    t.prof_flag(k, d, 1) = pressure_flag(value[1]);
    for (int v = 2; v <= n_vars; ++v) {
        t.prof(k, d, v) = value[v];
        t.prof_flag(k, d, v) = as_flag(flag[v]);
    }
}

// Each dive's salinity and fourth-variable offsets, added to its good
// samples: the table holds the corrected values, as no other reader has
// offsets to give.
void apply_offsets(const Offsets& offsets, DiveTable& t) {
    const int n = std::min(t.size(), static_cast<int>(offsets.size()));
    for (int d = 1; d <= n; ++d) {
        const DiveOffsets& o = offsets[static_cast<std::size_t>(d - 1)];
        for (int k = 1; k <= t.n_samp(d); ++k) {
            if (t.prof_flag(k, d, 3) == 0) t.prof(k, d, 3) += o.salinity;
            if (t.prof_flag(k, d, 4) == 0) t.prof(k, d, 4) += o.var4;
        }
    }
}

ListLine fault_line(const FilePlace& place, std::string_view name) {
    if (place.part == FilePlace::Samples)
        return ListLine() << "RD_SCI: Error reading line" << place.line << " of dive" << place.dive << " of " << name;
    return ListLine() << "RD_SCI: Error reading ADP line" << place.line << " of dive" << place.dive << " of "
                      << name;
}

// Reads the dives with their sample and profiler lines read on two threads
// (see DiveLines). False when a profiler record runs over several lines
// before any fault: then nothing read can be trusted past it.
bool read_dives_ahead(miscli::LineFile& file, std::string_view name, FileHeader& header, DiveTable& t,
                      Offsets& offsets) {
    DiveLines lines(header.n_vars);
    // A fault met while walking at `place`: one in the dives handed on
    // comes first.
    auto settle = [&lines, name](FilePlace place) {
        if (auto f = lines.finish(); f && f->place < place) {
            if (f->several_lines) return false;
            place = f->place;
        }
        fail(fault_line(place, name));
    };
    // Faults in the dives handed on, which all come before the walk's place.
    auto settle_handed_on = [&lines, name]() {
        if (auto f = lines.finish()) {
            if (f->several_lines) return false;
            fail(fault_line(f->place, name));
        }
        return true;
    };
    // The walk keeps no further ahead of the reading than this, helping to
    // read meanwhile.
    constexpr std::size_t kLead = std::size_t{4} << 20;
    try {
        for (int d = 1;; ++d) {
            while (lines.waiting_bytes() > kLead && lines.read_one()) {
            }
            auto line = next_dive_line(file);
            if (!line) break;
            if (auto fault = read_heading(*line, file, name, t, d, header.n_vars, offsets)) {
                if (!settle_handed_on()) return false;
                fail(*fault);
            }
            std::string text;
            const int samples = file.pass_lines(t.n_samp(d), text);
            const std::size_t records_at = text.size();
            const int records = samples < t.n_samp(d) ? 0 : file.pass_lines(t.n_adcp(d), text);
            lines.add(d, std::move(text), samples, records_at, records, t);
            if (samples < t.n_samp(d)) return settle({d, FilePlace::Samples, samples + 1});
            if (records < t.n_adcp(d)) return settle({d, FilePlace::Records, records + 1});
            header.n_read = d;
        }
    } catch (const miscli::LineFileFault&) {
        if (!settle_handed_on()) return false;
        throw;
    }
    if (!settle_handed_on()) return false;
    finish_line(header);
    return true;
}

// Reads the dives line by line in file order, each profiler record as the
// list-directed read takes it, over as many lines as it needs.
void read_dives_in_order(miscli::LineFile& file, std::string_view name, FileHeader& header, DiveTable& t,
                         Offsets& offsets) {
    auto next_line = [&file]() { return file.next(); };
    header.n_read = 0;
    for (int d = 1;; ++d) {
        auto line = next_dive_line(file);
        if (!line) break;
        if (auto fault = read_heading(*line, file, name, t, d, header.n_vars, offsets)) fail(*fault);
        float value[5] = {};
        int flag[5] = {};
        for (int k = 1; k <= t.n_samp(d); ++k) {
            line = file.next();
            if (!line || !read_sample_line(*line, header.n_vars, value, flag))
                fail(fault_line({d, FilePlace::Samples, k}, name));
            store_sample(value, flag, header.n_vars, t, k, d);
        }
        for (int j = 1; j <= t.n_adcp(d); ++j) {
            miscli::ListReader r(next_line);
            float depth, u, v, col4, col5;
            int f1, f2, f3;
            if (!(r.real(depth) && r.real(u) && r.real(v) && r.integer(f1) && r.real(col4) && r.integer(f2) &&
                  r.real(col5) && r.integer(f3)))
                fail(fault_line({d, FilePlace::Records, j}, name));
            t.adcp(j, d, 1) = depth;
            t.adcp(j, d, 2) = u;
            t.adcp(j, d, 3) = v;
            t.adcp(j, d, 4) = col4;
            t.adcp(j, d, 5) = col5;
            t.adcp_flag(j, d, 1) = as_flag(f1);
            t.adcp_flag(j, d, 2) = as_flag(f2);
            t.adcp_flag(j, d, 3) = as_flag(f3);
        }
        header.n_read = d;
    }
    finish_line(header);
}

}  // namespace

void rd_sci2_(std::string_view file_name, FileHeader& header, DiveTable& t) {
    t = DiveTable();
    header.n_dives = 0;
    header.n_read = 0;
    header.opened = false;
    std::string name(miscli::trim_right(file_name));
    miscli::LineFile file;
    if (name.empty() || !file.open(name)) {
        ListLine l;
        if (name.empty())
            l << "RD_SCI: No file named.";
        else if (file.error() == ENOENT)
            l << "RD_SCI: No file " << name << " to read.";
        else
            l << "RD_SCI: Cannot read " << name << ": " << std::strerror(file.error());
        miscli::console().write_line(l.str());
        return;
    }
    header.opened = true;

    Offsets offsets;
    try {
        auto first = file.next();
        if (!first || !read_header_line(*first, header)) {
            // Files that are netCDF go to their own reader: this one is neither.
            header.n_dives = 0;
            fail(ListLine() << "RD_SCI: " << name << " is neither a dive file nor netCDF ("
                            << (first ? "it begins " + shown(*first) : std::string("it is empty")) << ")");
        }
        if (header.n_dives <= 0) return;
        // The driver loops over the stated dives: those the file lacks keep their fills.
        t.resize(std::min(header.n_dives, MXPR));
        if (header.n_vars < 1 || header.n_vars > 4) {
            int n = header.n_vars;
            header.n_dives = 0;
            fail(ListLine() << "RD_SCI: The file states" << n
                            << " sample variables; 1 to 4 (pressure included) can be stored");
        }

        if (!read_dives_ahead(file, name, header, t, offsets)) {
            // A profiler record runs over several lines: only reading in order
            // tells where each dive ends.
            file.restart();
            file.next();
            t = DiveTable();
            t.resize(std::min(header.n_dives, MXPR));
            offsets.clear();
            read_dives_in_order(file, name, header, t, offsets);
        }
    } catch (const miscli::LineFileFault& f) {
        fail(file_fault_line(f, name));
    }
    // The dive loops run to the stated count, so it must fit the table.
    if (header.n_dives > MXPR) fail(ListLine() << "Increase MXPR for RD_SCI");
    apply_offsets(offsets, t);
}

}  // namespace data
