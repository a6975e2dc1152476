// The dive file generator: its files must be in the exact columns the reader
// takes, and the committed sample must be what the generator writes today.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "miscli/fixed_read.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

fs::path generator() { return fs::path(GLIDERSECT_BINARY).parent_path() / "gen_sci"; }
fs::path committed_sample() { return fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample.SCI"; }

RunResult run_gen(const TempDir& dir, const std::string& args) {
    fs::path out = dir / ".gen_out.txt";
    std::string cmd = "cd '" + dir.path().string() + "' && timeout 60 '" + generator().string() + "' " + args +
                      " > '" + out.string() + "' 2>&1";
    int rc = std::system(cmd.c_str());
    RunResult r;
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.output = read_file(out);
    fs::remove(out);
    return r;
}

struct RealField {
    int col, w, d;  // first column (1-based), width, decimals
};

// Each real field right-aligned in its columns, its point where the layout
// puts it, and no overflow.
void expect_reals(const std::string& line, std::initializer_list<RealField> fields) {
    for (const RealField& f : fields) {
        std::string s = line.substr(std::min(line.size(), std::size_t(f.col - 1)), std::size_t(f.w));
        EXPECT_TRUE(s.size() == std::size_t(f.w) && s.find('*') == std::string::npos &&
                    s[std::size_t(f.w - f.d - 1)] == '.')
            << "F" << f.w << "." << f.d << " at column " << f.col << ": [" << s << "] in [" << line << "]";
    }
}

std::string cols(const std::string& line, int from, int to) {
    if (line.size() < static_cast<std::size_t>(from)) return {};
    return line.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}

// What a walk through a whole file in the reader's layout found.
struct Walk {
    int stated = 0, dives = 0, no_position = 0, start_only_missing = 0, offsets = 0, zero_weight = 0;
    int flagged_dives = 0, flagged_bins = 0, bins_min = 1 << 30, bins_max = 0;
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};  // good T, S, fourth variable
};

// Walks the file as the reader would, failing on anything it would refuse
// or read wrongly: overflowing fields, short lines, counts that do not
// match, pressures out of order or outside the good-pressure range.
Walk walk(const std::string& text) {
    Walk w;
    std::vector<std::string> lines = lines_of(text);
    EXPECT_EQ(text.find('*'), std::string::npos);
    if (lines.empty()) return w;
    miscli::FixedReader head(lines[0]);
    head.i(4);
    w.stated = head.i(4);
    EXPECT_EQ(head.i(2), 4);
    float prev_lon_end = -999.0f;
    for (std::size_t i = 1; i < lines.size();) {
        SCOPED_TRACE("dive " + std::to_string(w.dives + 1));
        if (i + 1 >= lines.size()) {
            ADD_FAILURE() << "no second line";
            return w;
        }
        EXPECT_EQ(lines[i].size(), 80u);
        EXPECT_EQ(lines[i + 1].size(), 48u);
        miscli::FixedReader h(lines[i]);
        EXPECT_EQ(h.i(3), ++w.dives);
        h.i(5), h.f(8, 3);
        float lon0 = h.f(11, 5);
        h.f(10, 5), h.f(8, 3);
        float lon1 = h.f(11, 5);
        miscli::FixedReader s2(lines[i + 1]);
        float weight = s2.f(6, 1);
        int n_samp = s2.i(4);
        float sal_off = s2.f(8, 3);
        s2.f(8, 3), s2.x(1), s2.a(1), s2.f(10, 3);
        int n_adcp = s2.i(10);
        EXPECT_TRUE(h.ok() && s2.ok());
        w.no_position += lon0 < -990.0f && lon1 < -990.0f;
        w.start_only_missing += lon0 < -990.0f && lon1 > -990.0f && prev_lon_end > -990.0f;
        prev_lon_end = lon1;
        w.zero_weight += weight == 0.0f;
        w.offsets += sal_off != 0.0f;
        w.bins_min = std::min(w.bins_min, n_adcp);
        w.bins_max = std::max(w.bins_max, n_adcp);
        i += 2;
        if (i + static_cast<std::size_t>(n_samp + n_adcp) > lines.size()) {
            ADD_FAILURE() << "file ends early";
            return w;
        }
        float prev_p = 1e9f;
        bool flagged = false;
        for (int k = 0; k < n_samp; ++k, ++i) {
            EXPECT_EQ(lines[i].size(), 39u);
            miscli::FixedReader s(lines[i]);
            float p = s.f(6, 1);
            EXPECT_TRUE(p < prev_p && p > -0.1f && p < 999.9f) << "deepest first, good pressures: " << lines[i];
            prev_p = p;
            for (int v = 0; v < 3; ++v) {
                float value = s.f(9, v < 2 ? 3 : 4);
                int flag = s.i(2);
                flagged = flagged || flag != 0;
                if (flag == 0) w.lo[v] = std::min(w.lo[v], value), w.hi[v] = std::max(w.hi[v], value);
            }
            EXPECT_TRUE(s.ok()) << lines[i];
        }
        w.flagged_dives += flagged;
        for (int j = 0; j < n_adcp; ++j, ++i) {  // eight numbers, flags as whole numbers
            std::istringstream in(lines[i]);
            std::vector<std::string> t{std::istream_iterator<std::string>(in), {}};
            EXPECT_EQ(t.size(), 8u) << lines[i];
            if (t.size() == 8u) w.flagged_bins += t[3] != "0" || t[5] != "0" || t[7] != "0";
        }
    }
    return w;
}

}  // namespace

TEST(GenSci, SmallFileIsInTheReadersColumns) {
    TempDir dir;
    RunResult r = run_gen(dir, "--dives 3 --samples 4 --bins 2 --seed 7 small.SCI");
    ASSERT_EQ(r.status, 0) << r.output;
    std::string text = read_file(dir / "small.SCI");
    std::vector<std::string> lines = lines_of(text);
    ASSERT_EQ(lines.size(), 1u + 3u * (2u + 4u + 2u));

    const std::string& head = lines[0];
    EXPECT_EQ(cols(head, 5, 8), "   3");
    EXPECT_EQ(cols(head, 9, 10), " 4");
    EXPECT_EQ(cols(head, 12, 19), "Fluor   ");
    EXPECT_EQ(cols(head, 27, 34), "BackScat");
    for (int c : {11, 20, 26, 35}) EXPECT_EQ(head[static_cast<std::size_t>(c - 1)], ' ') << "column " << c;

    const std::string& dive = lines[1];
    EXPECT_EQ(cols(dive, 1, 8), "  1 2019");
    expect_reals(dive, {{9, 8, 3}, {17, 11, 5}, {28, 10, 5}, {38, 8, 3},  // start and end: day, lon, lat
                        {46, 11, 5}, {57, 10, 5}, {67, 6, 1}, {73, 6, 1}});
    EXPECT_TRUE(miscli::parse_int_field(cols(dive, 79, 80)).has_value());

    const std::string& second = lines[2];
    expect_reals(second, {{1, 6, 1}, {11, 8, 3}, {19, 8, 3}, {29, 10, 3}});
    EXPECT_EQ(cols(second, 7, 10), "   4");
    EXPECT_EQ(cols(second, 27, 28), " A");
    EXPECT_EQ(cols(second, 39, 48), "         2");

    const std::string& sample = lines[3];
    EXPECT_EQ(cols(sample, 1, 6), " 500.0");
    expect_reals(sample, {{7, 9, 3}, {18, 9, 3}, {29, 9, 4}});
    for (int c : {16, 27, 38}) EXPECT_TRUE(miscli::parse_int_field(cols(sample, c, c + 1)).has_value());
    EXPECT_EQ(cols(lines[6], 1, 6), " 125.0");  // 500 dbar in four steps

    Walk w = walk(text);
    EXPECT_EQ(w.dives, 3);
    EXPECT_EQ(w.bins_min, 2);

    ASSERT_EQ(run_gen(dir, "--dives 2 --samples 0 --bins 0 none.SCI").status, 0);
    text = read_file(dir / "none.SCI");
    EXPECT_EQ(cols(lines_of(text)[0], 27, 34), "No ADCP ");
    EXPECT_EQ(walk(text).dives, 2);
}

TEST(GenSci, SameSeedSameFileAndTheCommittedSampleIsCurrent) {
    TempDir dir;
    ASSERT_EQ(run_gen(dir, "a.SCI").status, 0);
    ASSERT_EQ(run_gen(dir, "--seed 2019 b.SCI").status, 0);
    ASSERT_EQ(run_gen(dir, "--seed 5 c.SCI").status, 0);
    std::string a = read_file(dir / "a.SCI");
    EXPECT_EQ(a, read_file(dir / "b.SCI"));
    EXPECT_NE(a, read_file(dir / "c.SCI"));
    // Regenerate examples/sample.SCI with `gen_sci examples/sample.SCI`
    // whenever the generator changes.
    EXPECT_TRUE(a == read_file(committed_sample())) << "examples/sample.SCI is not what gen_sci writes";
}

TEST(GenSci, CommittedSampleHoldsWhatTheDemoShows) {
    std::string text = read_file(committed_sample());
    ASSERT_FALSE(text.empty());
    EXPECT_LT(text.size(), 1000000u);
    Walk w = walk(text);
    EXPECT_GE(w.stated, 100);
    EXPECT_LE(w.stated, 140);
    EXPECT_EQ(w.dives, w.stated);
    EXPECT_GE(w.no_position, 2);
    EXPECT_GE(w.start_only_missing, 1);
    EXPECT_GE(w.offsets, 1);
    EXPECT_GE(w.zero_weight, 1);
    EXPECT_GE(w.flagged_dives, 3);
    EXPECT_GT(w.flagged_bins, 0);
    EXPECT_GE(w.bins_min, 20);
    EXPECT_LE(w.bins_max, 40);
    // Upwelled water inshore, warm fresh water offshore, 6 C at depth.
    EXPECT_LT(w.lo[0], 6.5f);
    EXPECT_GT(w.hi[0], 14.0f);
    EXPECT_LT(w.hi[0], 16.5f);
    EXPECT_LT(w.lo[1], 33.3f);
    EXPECT_GT(w.hi[1], 34.1f);
    EXPECT_GT(w.lo[2], 0.0f);  // the log question needs positive values
    EXPECT_GT(w.hi[2], 1.0f);
}

TEST(GenSci, BadArgumentsGetOneClearLineAndStatus1) {
    TempDir dir;
    struct Case {
        const char* args;
        const char* says;
    } cases[] = {
        {"--dives 1000 x.SCI", "--dives wants a whole number from 0 to 999, not \"1000\""},
        {"--bins", "--bins needs a number"},
        {"--depth 5 x.SCI", "unknown option --depth"},
        {"x.SCI y.SCI", "more than one output file given"},
        {"no/such/dir/x.SCI", "cannot write no/such/dir/x.SCI"},
    };
    for (const Case& c : cases) {
        RunResult r = run_gen(dir, c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << " gave: " << r.output;
    }
    EXPECT_FALSE(fs::exists(dir / "x.SCI"));
    EXPECT_EQ(run_gen(dir, "--help").status, 0);
}
