// gen_sci: writes realistic glider dive files (*.SCI) in the fixed-column
// layout the reader expects. With no options it writes the bundled sample:
// 120 dives across a coastal upwelling front. Deterministic for a seed.
//
//   gen_sci [--dives N] [--samples N] [--bins N] [--seed N] OUTFILE
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "miscli/fixed_format.h"
#include "miscli/stop.h"
#include "miscli/text_field.h"
#include "tools/glider_track.h"
#include "tools/number_option.h"
#include "tools/upwelling_model.h"

namespace gen_sci {

constexpr std::string_view kUsage = "Usage: gen_sci [--dives N] [--samples N] [--bins N] [--seed N] OUTFILE";

struct Options {
    int dives = 120;
    int samples = 100;
    int bins = -1;  // -1: 20 to 40 bins a dive, as in the sample
    std::uint32_t seed = 2019;
    std::string out;
};

long parse_whole(std::string_view opt, std::string_view text, long lo, long hi) {
    return tools::number_option("gen_sci", "whole number", opt, text, lo, hi);
}

Options parse_options(int argc, char** argv) {
    Options o;
    bool have_out = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "-h" || a == "--help") miscli::stop(kUsage, 0);
        if (a.size() > 1 && a[0] == '-') {
            if (a != "--dives" && a != "--samples" && a != "--bins" && a != "--seed")
                miscli::stop("gen_sci: unknown option " + std::string(a) + "\n" + std::string(kUsage));
            if (i + 1 >= argc) miscli::stop("gen_sci: " + std::string(a) + " needs a number\n" + std::string(kUsage));
            std::string_view v = argv[++i];
            // The dive number has three columns; the counts four.
            if (a == "--dives") o.dives = static_cast<int>(parse_whole(a, v, 0, 999));
            else if (a == "--samples") o.samples = static_cast<int>(parse_whole(a, v, 0, 1000));
            else if (a == "--bins") o.bins = static_cast<int>(parse_whole(a, v, 0, 1000));
            else o.seed = static_cast<std::uint32_t>(parse_whole(a, v, 0, 4294967295L));
            continue;
        }
        if (have_out) miscli::stop("gen_sci: more than one output file given\n" + std::string(kUsage));
        o.out = std::string(a);
        have_out = true;
    }
    if (!have_out) miscli::stop("gen_sci: no output file given\n" + std::string(kUsage));
    return o;
}

// A line built from fixed fields. A field that would come out as asterisks
// is a fault of the generator: the reader would refuse the file.
class Line {
public:
    Line& i(long v, int w) { return put(miscli::fmt_i(v, w), "I", w, 0); }
    Line& f(double v, int w, int d) { return put(miscli::fmt_f(v, w, d), "F", w, d); }
    Line& a(std::string_view s, int n) {
        text_ += miscli::field(s, static_cast<std::size_t>(n));
        return *this;
    }
    Line& x(int n) {
        text_.append(static_cast<std::size_t>(n), ' ');
        return *this;
    }
    const std::string& str() const { return text_; }

private:
    Line& put(const std::string& s, const char* kind, int w, int d) {
        if (s.find('*') != std::string::npos) {
            std::string form = kind + std::to_string(w);
            if (d > 0) form += '.', form += std::to_string(d);
            miscli::stop("gen_sci: a value does not fit its " + form + " field in column " +
                         std::to_string(text_.size() + 1));
        }
        text_ += s;
        return *this;
    }
    std::string text_;
};

constexpr double kFillLon = -999.0, kFillLat = -99.9;

// What happens on dive number c of each 120-dive cycle, so the sample and
// every bigger file show the same kinds of trouble.
struct Events {
    bool no_position = false;   // no GPS fix at either end
    bool no_start = false;      // start fix lost, end known
    bool no_end = false;        // end fix lost, start known
    double weight = 20.0;       // 0.0: not recorded
    double sal_offset = 0.0;    // conductivity cell fouling
    double var4_offset = 0.0;   // fluorometer dark-count correction
};

Events events_of(int dive) {
    int c = (dive - 1) % kPass + 1;
    Events e;
    e.no_position = c == 33 || c == 34 || c == 87;
    e.no_start = c == 71;  // the previous dive's end stands in for it
    e.no_end = c == 32 || c == 86;  // so 33-34 and 87 lie between known fixes
    if (c <= 10 || c == 86) e.weight = 0.0;
    if (c == 33) e.weight = 30.0;
    if (c >= 41 && c <= 55) e.sal_offset = 0.020 + 0.002 * (c - 41);
    if (c >= 101 && c <= 108) e.var4_offset = 0.010;
    return e;
}

struct Sample {
    double p, t, s, f;
    int tf, sf, ff;
};

struct Bin {
    double z, u, v, b, w;
    int vf, bf, wf;
};

// Index of the sample nearest to pressure p (samples run deepest first).
int nearest(const std::vector<Sample>& s, double p) {
    int best = 0;
    for (int k = 1; k < static_cast<int>(s.size()); ++k)
        if (std::fabs(s[k].p - p) < std::fabs(s[best].p - p)) best = k;
    return best;
}

// Sensor faults written into the sample, flagged as the processing would.
void add_faults(int dive, std::vector<Sample>& s, Noise& noise) {
    if (s.empty()) return;
    int n = static_cast<int>(s.size());
    int c = (dive - 1) % kPass + 1;
    if (c == 12) {  // temperature spike
        Sample& k = s[nearest(s, 150.0)];
        k.t = 24.871;
        k.tf = 4;
    }
    if (c == 27) {  // air in the conductivity cell at the surface
        const double bad[3] = {2.113, 1.874, 3.402};
        for (int j = 0; j < 3 && j < n; ++j) {
            s[n - 1 - j].s = bad[j];
            s[n - 1 - j].sf = 4;
        }
    }
    if (c == 58) {  // fluorometer spike
        Sample& k = s[nearest(s, 80.0)];
        k.f = 38.5012;
        k.ff = 3;
    }
    if (c == 64) {  // doubtful surface sample
        s[n - 1].t += 0.35;
        s[n - 1].s -= 0.08;
        s[n - 1].tf = s[n - 1].sf = 3;
    }
    if (c == 93) {  // a sample lost altogether
        Sample& k = s[nearest(s, 250.0)];
        k.t = k.s = k.f = -999.9;
        k.tf = k.sf = k.ff = 4;
    }
    if (c == 105) {  // thermal lag in the thermocline
        int k0 = nearest(s, 60.0);
        for (int j = k0; j < k0 + 4 && j < n; ++j) s[j].tf = 3;
    }
    for (Sample& k : s)  // the odd doubtful salinity anywhere
        if (noise.chance(0.0008) && k.sf == 0) k.sf = 3;
}

struct Writer {
    Options opt;
    Noise noise;
    std::ofstream file;
    std::vector<Sample> samples;
    std::vector<Bin> bins;

    explicit Writer(const Options& o) : opt(o), noise(o.seed) {}

    void header() {
        Line l;
        l.i(147, 4).i(opt.dives, 4).i(4, 2).x(1).a("Fluor", 8).x(1).a("SCI02", 5).x(1);
        l.a(opt.bins == 0 ? "No ADCP " : "BackScat", 8).x(1).a("Sect-19a", 8);
        file << l.str() << '\n';
    }

    void profile(const Column& col) {
        int n = opt.samples;
        samples.resize(static_cast<std::size_t>(n));
        double step = n > 0 ? 500.0 / n : 0.0;
        double wave = 5.0 * noise.normal();  // internal-wave heave, dbar
        double fine = 0.0;
        for (int k = 0; k < n; ++k) {
            double p = 500.0 - step * k;  // ascent: deepest first
            double pe = p + wave * std::sin(kPi * p / 500.0);
            if (pe < 0.0) pe = 0.0;
            fine = 0.85 * fine + 0.5 * 0.04 * std::exp(-p / 200.0) * noise.normal();
            Sample& s = samples[static_cast<std::size_t>(k)];
            s.p = p;
            s.t = temperature(col, pe) + fine + 0.01 * noise.normal();
            s.s = salinity(col, pe) - 0.1 * fine + 0.003 * noise.normal();
            s.f = fluorescence(col, pe) * (1.0 + 0.06 * noise.normal());
            if (s.f < 0.003) s.f = 0.003;
            s.tf = s.sf = s.ff = 0;
        }
    }

    void profiler(const Column& col, double days) {
        int n = opt.bins >= 0 ? opt.bins : noise.pick(20, 40);
        double spacing = opt.bins > 0 ? std::fmin(8.0, 500.0 / opt.bins) : 8.0;
        bins.resize(static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j) {
            Bin& b = bins[static_cast<std::size_t>(j)];
            b.z = spacing * (j + 1);
            current(col, b.z, days, b.u, b.v);
            b.u += 0.02 * noise.normal();
            b.v += 0.02 * noise.normal();
            b.b = backscatter(col, b.z) + 1.0 * noise.normal();
            b.w = 0.004 * noise.normal();
            b.vf = b.bf = b.wf = 0;
            if (noise.chance(0.003)) {  // a velocity outlier
                b.v = (noise.chance(0.5) ? 1.0 : -1.0) * (0.9 + 0.5 * noise.uniform());
                b.vf = b.wf = 4;
            }
            if (noise.chance(0.002)) {  // a saturated echo
                b.b = 128.0;
                b.bf = 3;
            }
        }
    }

    void dive(int d, double& day, double& tau) {
        Events ev = events_of(d);
        double duration = 0.140 + 0.006 * noise.normal();
        double day_start = day, day_end = day + duration;
        Position p0 = position_at(tau), p1 = position_at(tau + 0.93);
        Position mid = position_at(tau + 0.47);
        double gps = 0.00005;
        double lon0 = p0.lon + gps * noise.normal(), lat0 = p0.lat + gps * noise.normal();
        double lon1 = p1.lon + gps * noise.normal(), lat1 = p1.lat + gps * noise.normal();
        if (ev.no_position || ev.no_start) lon0 = kFillLon, lat0 = kFillLat;
        if (ev.no_position || ev.no_end) lon1 = kFillLon, lat1 = kFillLat;

        double days = (day_start + day_end) / 2.0 - 160.35;
        Column col = column_at(mid.x_km, days, (day_start + day_end) / 2.0, mid.lon, noise);
        profile(col);
        add_faults(d, samples, noise);
        for (Sample& s : samples) {  // the file holds the raw readings
            if (s.sf == 0) s.s -= ev.sal_offset;
            if (s.ff == 0) s.f = std::fmax(s.f - ev.var4_offset, 0.002);
        }
        profiler(col, days);
        if (!bins.empty() && d % 15 == 7) {  // surface interference in the first bin
            bins[0].vf = bins[0].wf = 4;
            bins[0].u += 0.3;
        }

        double p_max = samples.empty() ? 0.0 : samples.front().p;
        Line h;
        h.i(d, 3).i(2019, 5).f(day_start, 8, 3).f(lon0, 11, 5).f(lat0, 10, 5);
        h.f(day_end, 8, 3).f(lon1, 11, 5).f(lat1, 10, 5);
        h.f(p_max, 6, 1).f(duration * 1440.0, 6, 1).i(ev.no_position || ev.no_start || ev.no_end ? 1 : 0, 2);
        file << h.str() << '\n';

        Line second;
        second.f(ev.weight, 6, 1).i(static_cast<long>(samples.size()), 4).f(ev.sal_offset, 8, 3);
        second.f(ev.var4_offset, 8, 3).x(1).a(bins.empty() ? "-" : "A", 1);
        second.f(15.1 - 0.0025 * (d - 1) + 0.01 * noise.normal(), 10, 3).i(static_cast<long>(bins.size()), 10);
        file << second.str() << '\n';

        for (const Sample& s : samples) {
            Line l;
            l.f(s.p, 6, 1).f(s.t, 9, 3).i(s.tf, 2).f(s.s, 9, 3).i(s.sf, 2).f(s.f, 9, 4).i(s.ff, 2);
            file << l.str() << '\n';
        }
        // Profiler lines are read in free format: the blank between the
        // numbers is what separates them.
        for (const Bin& b : bins) {
            Line l;
            l.f(b.z, 6, 1).x(1).f(b.u, 7, 3).x(1).f(b.v, 7, 3).x(1).i(b.vf, 1).x(1);
            l.f(b.b, 6, 1).x(1).i(b.bf, 1).x(1).f(b.w, 7, 4).x(1).i(b.wf, 1);
            file << l.str() << '\n';
        }

        day = day_end + 0.012 + 0.003 * std::fabs(noise.normal());  // time at the surface
        tau += 1.0;
    }

    void run() {
        file.open(opt.out, std::ios::binary | std::ios::trunc);
        if (!file) miscli::stop("gen_sci: cannot write " + opt.out);
        try {
            header();
            double day = 160.35, tau = 0.0;
            for (int d = 1; d <= opt.dives; ++d) dive(d, day, tau);
            file.close();
            if (!file) miscli::stop("gen_sci: error writing " + opt.out);
        } catch (const miscli::ProgramStop&) {
            // No half-written file left behind for a reader to trip over.
            file.close();
            std::error_code ec;
            std::filesystem::remove(opt.out, ec);
            throw;
        }
    }
};

}  // namespace gen_sci

int main(int argc, char** argv) {
    try {
        gen_sci::Writer w(gen_sci::parse_options(argc, argv));
        w.run();
    } catch (const miscli::ProgramStop& s) {
        (s.status == 0 ? std::cout : std::cerr) << s.line << '\n';
        return s.status;
    }
    return 0;
}
