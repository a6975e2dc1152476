#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <thread>

#include "data/limits.h"
#include "data/rd_sci2.h"
#include "miscli/line_file.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

const std::string kHeader = "  12   2 4 Fluor    abcde BackScat xtra    \n";
const std::string kDive1 =
    "  1 2026 100.250 -122.00000  36.50000 100.450 -122.10000  36.50000   1.0   2.0 0\n"
    "  20.0   2   0.010   0.000 -     0.000         1\n"
    " 100.0   10.100 0   34.000 0   1.5000 0\n"
    "   5.0   14.850 3   33.525 0   0.5500 4\n"
    "20.0 -9.00 5.00 0 -70.5 0 1.0 0\n";
const std::string kDive2Head =
    "  2 2026 100.500 -122.10000  36.50000 100.700 -122.20000  36.50000   1.0   2.0 0\n";

struct Read {
    std::unique_ptr<data::DiveTable> t = std::make_unique<data::DiveTable>();
    data::FileHeader h;
    std::string console;
    miscli::ProgramStop stop{"", -1};
};

Read read_text(const std::string& text) {
    TempDir dir;
    write_file(dir / "f.SCI", text);
    Read r;
    r.console = with_console("", [&] { data::rd_sci2_((dir / "f.SCI").string(), r.h, *r.t); }, &r.stop);
    return r;
}

}  // namespace

TEST(RdSci2, ReadsHeaderDivesSamplesAndProfilerBins) {
    Read r = read_text(kHeader + kDive1 + kDive2Head + "  20.0   0   0.000   0.000 -     0.000         0\n");
    EXPECT_EQ(r.stop.status, -1);
    EXPECT_EQ(r.console, " RD_SCI: Finish at dive 2 of 2\n");
    EXPECT_EQ(r.h.serial_no, 12);
    EXPECT_EQ(r.h.n_vars, 4);
    EXPECT_EQ(r.h.column(4).name, "Fluor");
    EXPECT_EQ(r.h.profiler, data::Profiler::Backscatter);
    EXPECT_EQ(r.h.n_read, 2);
    auto& t = *r.t;
    EXPECT_EQ(t.dive_year(1), 2026);
    EXPECT_FLOAT_EQ(t.day_start(1), 100.25f);
    EXPECT_FLOAT_EQ(t.lon_end(1), -122.1f);
    EXPECT_FLOAT_EQ(t.dive_weight(1), 20.0f);
    EXPECT_EQ(t.n_samp(1), 2);
    EXPECT_FLOAT_EQ(t.prof(2, 1, 2), 14.85f);
    EXPECT_EQ(t.prof_flag(2, 1, 2), 3);
    EXPECT_EQ(t.prof_flag(2, 1, 4), 4);
    EXPECT_EQ(t.prof_flag(1, 1, 1), 0);
    EXPECT_EQ(t.n_adcp(1), 1);
    EXPECT_FLOAT_EQ(t.adcp(1, 1, 4), -70.5f);
    EXPECT_EQ(t.n_samp(2), 0);
    EXPECT_EQ(t.size(), 2);
}

TEST(RdSci2, PressureFlagImpliedDecimalsAndShortLines) {
    std::string text = "  12   1 3 Fluor    abcde No ADCP  xtra    \n"
                       "  1 2026 100.250 -122.00000  36.50000 100.450 -122.10000  36.50000   1.0   2.0 0\n"
                       "  20.0   4   0.000   0.000 -     0.000         0\n"
                       "  -0.1    12345 0   34.000 0\n"
                       " 999.9   10.000 0   34.000 0\n"
                       "   0.0   10.000 0   34.000 0   9.9999 0\n"
                       "  10.0\n";
    Read r = read_text(text);
    ASSERT_EQ(r.stop.status, -1) << r.stop.line;
    auto& t = *r.t;
    EXPECT_FLOAT_EQ(t.prof(1, 1, 2), 12.345f);
    EXPECT_EQ(t.prof_flag(1, 1, 1), 1);
    EXPECT_EQ(t.prof_flag(2, 1, 1), 1);
    EXPECT_EQ(t.prof_flag(3, 1, 1), 0);
    // Three variables: the fourth is not read, whatever the line holds.
    EXPECT_FLOAT_EQ(t.prof(3, 1, 4), -999.9f);
    // Missing columns read as blanks, so as zeros with a good flag.
    EXPECT_FLOAT_EQ(t.prof(4, 1, 2), 0.0f);
    EXPECT_EQ(t.prof_flag(4, 1, 2), 0);
}

TEST(RdSci2, ProfilerLinesAreFreeFormatAcrossLinesAndCrLfIsAccepted) {
    std::string text = "  12   1 4 Fluor    abcde BackScat xtra    \r\n"
                       "  1 2026 100.250 -122.00000  36.50000 100.450 -122.10000  36.50000   1.0   2.0 0\r\n"
                       "  20.0   0   0.000   0.000 -     0.000         2\r\n"
                       "20.0, -9.00 5.00\r\n 0 -70.5 0 1.0 0 99 99\r\n"
                       "30.0 1 2 256 3 -300 4 0\r\n\r\n\r\n";
    Read r = read_text(text);
    ASSERT_EQ(r.stop.status, -1) << r.stop.line;
    EXPECT_FLOAT_EQ(r.t->adcp(1, 1, 2), -9.0f);
    EXPECT_FLOAT_EQ(r.t->adcp(1, 1, 5), 1.0f);
    EXPECT_FLOAT_EQ(r.t->adcp(2, 1, 1), 30.0f);  // the extra numbers went with line 1
    // Flags are kept in a byte: larger ones stay flags of their sign.
    EXPECT_EQ(r.t->adcp_flag(2, 1, 1), 127);
    EXPECT_EQ(r.t->adcp_flag(2, 1, 2), -128);
    EXPECT_EQ(r.t->adcp_flag(2, 1, 3), 0);
    EXPECT_EQ(r.console, " RD_SCI: Finish at dive 1 of 1\n");

    // Through a pipe, which cannot be read again from its start.
    TempDir dir;
    const auto fifo = dir / "f.SCI";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo) << text; });
    Read p;
    p.console = with_console("", [&] { data::rd_sci2_(fifo.string(), p.h, *p.t); }, &p.stop);
    writer.join();
    ASSERT_EQ(p.stop.status, -1) << p.stop.line;
    EXPECT_FLOAT_EQ(p.t->adcp(1, 1, 5), 1.0f);
    EXPECT_FLOAT_EQ(p.t->adcp(2, 1, 1), 30.0f);
    EXPECT_EQ(p.console, r.console);
}

TEST(RdSci2, FewerDivesThanStatedAndNoDives) {
    Read r = read_text("  12   5 4 Fluor    abcde BackScat xtra    \n" + kDive1);
    EXPECT_EQ(r.console, " RD_SCI: Finish at dive 1 of 5\n");
    EXPECT_EQ(r.h.n_dives, 5);
    EXPECT_EQ(r.h.n_read, 1);
    // Dives stated but not in the file are there with their fill values.
    ASSERT_EQ(r.t->size(), 5);
    EXPECT_EQ(r.t->dive_year(3), -999);
    EXPECT_FLOAT_EQ(r.t->lon_start(5), -999.0f);
    EXPECT_FLOAT_EQ(r.t->lat_start(6), -99.9f);  // the track's extra entry
    EXPECT_EQ(r.t->n_samp(5), 0);

    Read empty = read_text("  12   3 4 Fluor    abcde BackScat xtra    \n");
    EXPECT_EQ(empty.console, " RD_SCI: Finish at dive 0 of 3\n");

    Read zero = read_text("  12   0 4 Fluor    abcde BackScat xtra    \n" + kDive1);
    EXPECT_EQ(zero.console, "");
    EXPECT_EQ(zero.h.n_dives, 0);
    EXPECT_EQ(zero.t->size(), 0);
}

TEST(RdSci2, AFileThatCannotBeOpenedGetsTheReason) {
    data::FileHeader h;
    auto t = std::make_unique<data::DiveTable>();
    auto out = with_console("", [&] { data::rd_sci2_("no-such.SCI", h, *t); });
    EXPECT_EQ(out, " RD_SCI: No file no-such.SCI to read.\n");
    EXPECT_EQ(h.n_dives, 0);
    EXPECT_FALSE(h.opened);
    EXPECT_EQ(with_console("", [&] { data::rd_sci2_("   ", h, *t); }), " RD_SCI: No file named.\n");

    TempDir dir;
    const std::string folder = (dir / "a.SCI").string(), loop = (dir / "loop.SCI").string();
    std::filesystem::create_directory(folder);
    std::filesystem::create_symlink("loop.SCI", loop);
    EXPECT_EQ(with_console("", [&] { data::rd_sci2_(folder, h, *t); }),
              " RD_SCI: Cannot read " + folder + ": Is a directory\n");
    EXPECT_EQ(with_console("", [&] { data::rd_sci2_(loop, h, *t); }),
              " RD_SCI: Cannot read " + loop + ": Too many levels of symbolic links\n");
    EXPECT_FALSE(h.opened);
    // Root reads a file without read permission: then there is nothing to see.
    const std::string locked = (dir / "rand.bin").string();
    write_file(locked, "x");
    chmod(locked.c_str(), 0);
    if (access(locked.c_str(), R_OK) != 0) {
        EXPECT_EQ(with_console("", [&] { data::rd_sci2_(locked, h, *t); }),
                  " RD_SCI: Cannot read " + locked + ": Permission denied\n");
    }

    // A read that fails once the file is open.
    miscli::ProgramStop stop{"", -1};
    with_console("", [&] { data::rd_sci2_("/proc/self/mem", h, *t); }, &stop);
    EXPECT_EQ(stop.line, " RD_SCI: Cannot read /proc/self/mem: Input/output error");
    EXPECT_EQ(stop.status, 1);
}

TEST(RdSci2, EveryFaultOfTheFileStopsWithItsLine) {
    const std::string second = "  20.0   1   0.000   0.000 -     0.000         0\n";
    const std::string sample = " 100.0   10.100 0   34.000 0   1.5000 0\n";
    // The table grows with the file up to guards far beyond real missions;
    // a dive of two short lines keeps the file small.
    std::string too_many_dives = kHeader;
    for (int d = 0; d <= data::MXPR; ++d) too_many_dives += "  1\n  0.0\n";
    std::string many_bins = kHeader + kDive2Head + "  20.0   0   0.000   0.000 -     0.000    100001\n";

    // An "@" in the line stands for the file's name.
    const std::string very_long(miscli::kMaxLine + 1, ' ');
    const std::string longest(miscli::kMaxLine, ' ');
    struct Row {
        std::string text, line;
    } rows[] = {
        // Not a dive file: the first line is no dive file's header.
        {"", " RD_SCI: @ is neither a dive file nor netCDF (it is empty)"},
        {"  12  x2 4 Fluor\n", " RD_SCI: @ is neither a dive file nor netCDF (it begins \"  12  x2 4 Fluor\")"},
        {"time,pres,temp\r\n1.0,2.0,3.0\n",
         " RD_SCI: @ is neither a dive file nor netCDF (it begins \"time,pres,temp\")"},
        {std::string("\x89\0\"\\\t\xff", 6) + std::string(40, 'z') + "\n",
         " RD_SCI: @ is neither a dive file nor netCDF (it begins \"\\x89\\x00\\\"\\\\\\t\\xff" + std::string(26, 'z') +
             "...\")"},
        {very_long, " RD_SCI: Line 1 of @ is longer than 1 MiB"},
        {"  12   2 5 Fluor    abcde BackScat xtra    \n",
         " RD_SCI: The file states 5 sample variables; 1 to 4 (pressure included) can be stored"},
        // A dive file that breaks later: its line, with the file named.
        {kHeader + kDive1 + "  2 2026 1OO.500\n", " RD_SCI: Error in header for dive 2 of @"},
        {kHeader + kDive2Head, " RD_SCI: Read error in line 2 of dive 1 of @"},
        {kHeader + kDive2Head + "  20.0  -1   0.000   0.000 -     0.000         0\n",
         " RD_SCI: Read error in line 2 of dive 1 of @"},
        {kHeader + kDive2Head + second, " RD_SCI: Error reading line 1 of dive 1 of @"},
        {kHeader + kDive2Head + second + " 100.0   10,100 0\n", " RD_SCI: Error reading line 1 of dive 1 of @"},
        {kHeader + kDive2Head + "  20.0   1   0.000   0.000 -     0.000         2\n" + sample + "1 2 3 0 4 0 5 0\n",
         " RD_SCI: Error reading ADP line 2 of dive 1 of @"},
        {kHeader + kDive2Head + "  20.0   0   0.000   0.000 -     0.000         1\n1 2 3 x 4 0 5 0\n",
         " RD_SCI: Error reading ADP line 1 of dive 1 of @"},
        // Sample lines are read apart from the rest: the first fault in the
        // file is still the one named.
        {kHeader + kDive2Head + "  20.0   2   0.000   0.000 -     0.000         1\n" + sample + " 1OO.0\n" +
             "1 2 3 x 4 0 5 0\n",
         " RD_SCI: Error reading line 2 of dive 1 of @"},
        {kHeader + kDive2Head + second + " 1OO.0\n" + "  2 2026 1OO.500\n",
         " RD_SCI: Error reading line 1 of dive 1 of @"},
        {kHeader + kDive2Head + second + " 1OO.0\n" + kDive2Head + very_long,
         " RD_SCI: Error reading line 1 of dive 1 of @"},
        // A line of the longest kind is read (as blanks); one longer is not.
        {kHeader + kDive2Head + "  20.0   2   0.000   0.000 -     0.000         0\n" + longest + "\n 1OO.0\n",
         " RD_SCI: Error reading line 2 of dive 1 of @"},
        {kHeader + kDive2Head + second + very_long + "\n", " RD_SCI: Line 4 of @ is longer than 1 MiB"},
        // A record over two lines: the file is read again in order, which
        // finds the fault where it is.
        {kHeader + kDive2Head + "  20.0   0   0.000   0.000 -     0.000         1\n1 2 3\n0 4 0 5 0\n" +
             "  2 2026 1OO.500\n",
         " RD_SCI: Error in header for dive 2 of @"},
        {kHeader + kDive2Head + "  20.0   0   0.000   0.000 -     0.000         1\n1 2 3\n0 4 0 5 0\n" + kDive2Head +
             second + very_long,
         " RD_SCI: Line 8 of @ is longer than 1 MiB"},
        {many_bins, " RD_SCI: Increase MXZ"},
        {too_many_dives, " Increase MXPR for RD_SCI"},
    };
    for (const auto& row : rows) {
        TempDir dir;
        const std::string name = (dir / "f.SCI").string();
        write_file(name, row.text);
        Read r;
        r.console = with_console("", [&] { data::rd_sci2_(name, r.h, *r.t); }, &r.stop);
        std::string line = row.line;
        if (auto at = line.find('@'); at != std::string::npos) line.replace(at, 1, name);
        EXPECT_EQ(r.stop.status, 1) << row.line;
        EXPECT_EQ(r.stop.line, line);
    }
}
