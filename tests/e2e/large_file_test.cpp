// A dive file beyond the sizes the tables once had (800 dives, 500 samples
// a dive, 300 levels for line contours) reads and draws end to end.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/eps_reader.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

constexpr int kDives = 900, kLongDive = 850;

std::string line(const char* format, auto... values) {
    char buf[160];
    std::snprintf(buf, sizeof buf, format, values...);
    return std::string(buf) + "\n";
}

// 900 dives of 81 samples from 0 to 800 dbar, except one of 700 samples
// down to 805 dbar with 600 profiler bins.
std::string large_file() {
    std::string text = line("%4d%4d%2d %-8s %-5s %-8s %-8s", 12, kDives, 4, "Fluor", "abcde", "BackScat", "xtra");
    for (int d = 1; d <= kDives; ++d) {
        const float day = 100.0f + 0.1f * static_cast<float>(d), lon = -125.0f + 0.01f * static_cast<float>(d);
        text += line("%3d%5d%8.3f%11.5f%10.5f%8.3f%11.5f%10.5f%6.1f%6.1f%2d", d % 1000, 2026, day, lon, 36.5f,
                     day + 0.05f, lon + 0.005f, 36.5f, 0.0f, 0.0f, 0);
        const bool long_dive = d == kLongDive;
        const int n = long_dive ? 700 : 81, bins = long_dive ? 600 : 0;
        text += line("%6.1f%4d%8.3f%8.3f %c%10.3f%10d", 20.0f, n, 0.0f, 0.0f, '-', 0.0f, bins);
        for (int k = 0; k < n; ++k) {
            const float p = long_dive ? 805.0f - 805.0f * static_cast<float>(k) / 699.0f : 800.0f - 10.0f * static_cast<float>(k);
            text += line("%6.1f%9.3f%2d%9.3f%2d%9.4f%2d", p, 4.0f + 10.0f * (1.0f - p / 805.0f), 0, 34.0f, 0, 0.5f, 0);
        }
        for (int j = 1; j <= bins; ++j) text += line("%.1f 0.1 -0.2 0 70.0 0 0.0 0", static_cast<float>(j));
    }
    return text;
}

struct Drawn {
    RunResult run;
    EpsPicture eps;
};

// The whole track on the map, the last hundred dives in the section.
Drawn session(const std::string& answers) {
    TempDir dir;
    write_file(dir / "big.SCI", large_file());
    Drawn r;
    r.run = run_program(dir.path(), "big.SCI\nclick\nkey G\ntype 801 900\n" + answers, {"--headless"});
    if (fs::exists(dir / "OUT01.EPS")) {
        const std::string eps = read_file(dir / "OUT01.EPS");
        r.eps = read_eps(eps);
        EXPECT_EQ(lines_of(eps).back(), "%%EOF");
        if (have_ghostscript()) {
            EXPECT_EQ(render_eps(dir / "OUT01.EPS", dir / "x.png").status, 0);
        }
    }
    return r;
}

bool has_line(const RunResult& r, const std::string& text) {
    for (const auto& l : lines_of(r.output))
        if (l == text) return true;
    return false;
}

}  // namespace

TEST(LargeFile, NineHundredDivesALongDiveAndItsBinsReadAndDraw) {
    // Temperature with its own line contours over 321 grid levels.
    Drawn t = session("N\nL\nT\nT\nS\n0 800\nkey Q\ntype Large\nkey H\n");
    EXPECT_EQ(t.run.status, 0) << t.run.output;
    EXPECT_TRUE(has_line(t.run, " RD_SCI: Finish at dive 900 of 900"));
    EXPECT_TRUE(has_line(t.run, " S/N 12     900 dives from yr 2026 days 100.1 to 190.0"));
    // The long dive's deepest sample is there: the data reach 805 dbar.
    EXPECT_TRUE(has_line(t.run, " Min, Max P is    0.0  805.0  Give Min, Max to plot ")) << t.run.output;
    EXPECT_GT(t.eps.fills.size(), 100u * 300u);
    EXPECT_GT(t.eps.segments.size(), 1000u);  // the contours

    // East velocity: the 600 bins of the long dive, 1 to 600 dbar.
    Drawn u = session("N\nL\nU\nX\nS\n0 600\ntype Bins\nkey H\n");
    EXPECT_EQ(u.run.status, 0) << u.run.output;
    EXPECT_TRUE(has_line(u.run, " Min, Max P is    1.0  600.0  Give Min, Max to plot ")) << u.run.output;
}
