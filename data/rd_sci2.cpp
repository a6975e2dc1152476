#include "data/rd_sci2.h"

#include <algorithm>
#include <utility>

#include "data/sample_lines.h"
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

bool is_blank_line(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

[[noreturn]] void fail(const ListLine& line) { miscli::stop(line.str()); }

// Waits for the sample lines handed on; a fault in them ends the read.
void finish_samples(SampleLines& samples) {
    if (auto f = samples.finish())
        fail(ListLine() << "RD_SCI: Error reading line" << f->line << " of dive" << f->dive);
}

// A fault found past sample lines handed on: theirs, if any, comes first.
[[noreturn]] void fail_after(SampleLines& samples, const ListLine& line) {
    finish_samples(samples);
    fail(line);
}

bool read_header_line(std::string_view line, FileHeader& h) {
    FixedReader r(line);
    h.serial_no = r.i(4);
    h.n_dives = r.i(4);
    h.n_vars = r.i(2);
    r.x(1);
    h.var4_name = r.a(8);
    r.x(1);
    h.text5 = r.a(5);
    r.x(1);
    h.adcp_kind = r.a(8);
    r.x(1);
    h.text7 = r.a(8);
    return r.ok();
}

bool read_dive_header(std::string_view line, DiveTable& t, int d) {
    FixedReader r(line);
    r.i(3);
    int year = r.i(5);
    float day0 = r.f(8, 3), lon0 = r.f(11, 5), lat0 = r.f(10, 5);
    float day1 = r.f(8, 3), lon1 = r.f(11, 5), lat1 = r.f(10, 5);
    float h9 = r.f(6, 1), h10 = r.f(6, 1);
    int h11 = r.i(2);
    if (!r.ok()) return false;
    t.dive_year(d) = year;
    t.day_start(d) = day0;
    t.lon_start(d) = lon0;
    t.lat_start(d) = lat0;
    t.day_end(d) = day1;
    t.lon_end(d) = lon1;
    t.lat_end(d) = lat1;
    t.head9(d) = h9;
    t.head10(d) = h10;
    t.head11(d) = h11;
    return true;
}

bool read_second_line(std::string_view line, DiveTable& t, int d) {
    FixedReader r(line);
    float weight = r.f(6, 1);
    int n_samp = r.i(4);
    float sal = r.f(8, 3), var4 = r.f(8, 3);
    r.x(1);
    char text = r.a(1)[0];
    float real6 = r.f(10, 3);
    int n_adcp = r.i(10);
    // A negative count cannot describe the lines that follow.
    if (!r.ok() || n_samp < 0 || n_adcp < 0) return false;
    t.dive_weight(d) = weight;
    t.n_samp(d) = n_samp;
    t.sal_offset(d) = sal;
    t.var4_offset(d) = var4;
    t.line2_text(d) = text;
    t.line2_real(d) = real6;
    t.n_adcp(d) = n_adcp;
    return true;
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
        l << "RD_SCI: No file " << miscli::field(file_name, std::max<std::size_t>(40, file_name.size()))
          << " to read.";
        miscli::console().write_line(l.str());
        return;
    }
    header.opened = true;

    auto first = file.next();
    if (!first || !read_header_line(*first, header)) {
        header.n_dives = 0;
        fail(ListLine() << "RD_SCI: Read error first line of " << name);
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

    // The sample lines are read on a second thread; a fault found here
    // waits for it, since a fault in the lines before comes first.
    SampleLines samples(file.text(), header.n_vars);
    constexpr std::size_t kReleaseEvery = std::size_t{4} << 20;
    std::size_t next_release = kReleaseEvery;
    for (int d = 1;; ++d) {
        auto line = file.next();
        // Blank lines between dives (or at the end of the file) are passed over.
        while (line && is_blank_line(*line)) line = file.next();
        if (!line) {
            finish_samples(samples);
            header.n_read = d - 1;
            miscli::console().write_line((ListLine() << "RD_SCI: Finish at dive" << d - 1 << " of"
                                                     << header.n_dives).str());
            break;
        }
        if (d > MXPR) fail_after(samples, ListLine() << "Increase MXPR for RD_SCI");
        if (d > t.size()) t.resize(d);
        if (!read_dive_header(*line, t, d))
            fail_after(samples, ListLine() << "RD_SCI: Error in header for dive " << d);

        line = file.next();
        if (!line || !read_second_line(*line, t, d))
            fail_after(samples, ListLine() << "RD_SCI: Read error in line 2 of dive" << d);
        if (t.n_samp(d) > MXZ) fail_after(samples, ListLine() << "RD_SCI: Increase MXZ");
        if (t.n_adcp(d) > MXZ) fail_after(samples, ListLine() << "RD_SCI: Increase MXZ");
        t.set_samples(d, t.n_samp(d), header.n_vars);
        t.set_bins(d, t.n_adcp(d), true);

        // Here only counted; the second thread reads them.
        const std::size_t first_sample = file.position();
        int present = 0;
        while (present < t.n_samp(d) && file.next()) ++present;
        samples.add(d, first_sample, present, t);
        if (present < t.n_samp(d))
            fail_after(samples, ListLine() << "RD_SCI: Error reading line" << present + 1 << " of dive" << d);

        for (int j = 1; j <= t.n_adcp(d); ++j) {
            float depth, u, v, col4, col5;
            int f1, f2, f3;
            // Nearly always a record is one line of eight numbers, read at
            // once; otherwise the list-directed read starts again at that line.
            auto first = file.next();
            std::string_view item[8];
            const bool whole = first && miscli::list_tokens(*first, item, 8) == 8 &&
                               miscli::read_real_token(item[0], depth) && miscli::read_real_token(item[1], u) &&
                               miscli::read_real_token(item[2], v) && miscli::read_int_token(item[3], f1) &&
                               miscli::read_real_token(item[4], col4) && miscli::read_int_token(item[5], f2) &&
                               miscli::read_real_token(item[6], col5) && miscli::read_int_token(item[7], f3);
            if (!whole) {
                bool again = true;
                auto from_first = [&]() { return std::exchange(again, false) ? first : file.next(); };
                miscli::ListReader r(from_first);
                if (!(r.real(depth) && r.real(u) && r.real(v) && r.integer(f1) && r.real(col4) && r.integer(f2) &&
                      r.real(col5) && r.integer(f3)))
                    fail_after(samples, ListLine() << "RD_SCI: Error reading ADP line" << j << " of dive" << d);
            }
            t.adcp(j, d, 1) = depth;
            t.adcp(j, d, 2) = u;
            t.adcp(j, d, 3) = v;
            t.adcp(j, d, 4) = col4;
            t.adcp(j, d, 5) = col5;
            t.adcp_flag(j, d, 1) = as_flag(f1);
            t.adcp_flag(j, d, 2) = as_flag(f2);
            t.adcp_flag(j, d, 3) = as_flag(f3);
        }
        // What both readers have passed is given back now and then.
        if (file.position() >= next_release) {
            file.release_before(std::min(file.position(), samples.read_up_to()));
            next_release = file.position() + kReleaseEvery;
        }
    }
    // The dive loops run to the stated count, so it must fit the table.
    if (header.n_dives > MXPR) fail(ListLine() << "Increase MXPR for RD_SCI");
}

}  // namespace data
