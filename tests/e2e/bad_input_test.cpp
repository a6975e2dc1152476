// One table of bad input for the built program: each row gives a dive file
// (or none), the session script, the console line it must end with and the
// exit status. Every row must also leave an existing hardcopy untouched,
// and any hardcopy it writes must be complete and render in Ghostscript.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const std::string kHead = "  12   2 4 Fluor    abcde BackScat xtra    \n";
const std::string kDive =
    "  1 2026 100.250 -122.00000  36.50000 100.450 -122.10000  36.50000   1.0   2.0 0\n"
    "  20.0   2   0.000   0.000 -     0.000         1\n"
    " 100.0   10.100 0   34.000 0   1.5000 0\n"
    "   5.0   14.850 0   33.525 0   0.5500 0\n"
    "20.0 -9.00 5.00 0 -70.5 0 1.0 0\n";
const std::string kDive2 =
    "  2 2026 100.500 -122.10000  36.50000 100.700 -122.20000  36.50000   1.0   2.0 0\n"
    "  20.0   2   0.000   0.000 -     0.000         1\n"
    " 100.0   10.200 0   34.000 0   1.5000 0\n"
    "   5.0   14.950 0   33.525 0   0.5500 0\n"
    "20.0 -9.00 5.00 0 -70.5 0 1.0 0\n";
const std::string kGood = kHead + kDive + kDive2;
// On the track map: a click to begin, then G and both dives.
const std::string kMap = "click\nkey G\ntype 1 2\n";
// The answers of a whole pass on the good file, up to the window.
const std::string kPass = kMap + "N\nS\nT\nX\nS\n0 100\n";
const std::string kWindowEnded =
    " The session script ended while the program waited for a key or click in the graphics window.";

std::string many_dives(int n) {
    std::string text = "  12" + std::to_string(n).insert(0, 4 - std::to_string(n).size(), ' ') +
                       " 4 Fluor    abcde BackScat xtra    \n";
    for (int d = 0; d < n; ++d)
        text += "  1 2026 100.250 -122.00000  36.50000 100.450 -122.10000  36.50000   1.0   2.0 0\n"
                "  20.0   0   0.000   0.000 -     0.000         0\n";
    return text;
}

struct Row {
    const char* what;
    std::string file;    // written as d.SCI; empty: no file
    std::string script;  // after the file name line
    std::string last;    // the last console line
    int status;
    std::string name = "d.SCI";
};

std::vector<Row> rows() {
    std::string non_ascii = kGood;
    non_ascii.replace(non_ascii.find("10.100"), 6, "10.\xc3\xa9\x30");
    std::string too_many_bins = kHead + kDive;
    too_many_bins.replace(too_many_bins.find("         1\n"), 11, "    100001\n");
    // More dives than the guard lets in, each of two short lines.
    std::string too_many_dives = kHead;
    for (int d = 0; d <= 100000; ++d) too_many_dives += "  1\n  0.0\n";
    return {
        {"no such file", "", "", " RD_SCI: No file d.SCI to read.", 1},
        {"a file that cannot be opened", "", "", " RD_SCI: Cannot read loop.SCI: Too many levels of symbolic links", 1,
         "loop.SCI"},
        {"a folder without netCDF files", "", "", " .: the folder holds no .nc file", 1, "."},
        {"a blank first line", "\n", "", " The file states no dives: there is nothing to plot.", 1},
        {"an empty file", "", "", " RD_SCI: empty.SCI is neither a dive file nor netCDF (it is empty)", 1, "empty.SCI"},
        {"letters in the header", "  12  x2 4 Fluor\n", "",
         " RD_SCI: d.SCI is neither a dive file nor netCDF (it begins \"  12  x2 4 Fluor\")", 1},
        {"a table of numbers", "time,pres,temp\n1.5,10.0,12.25\n", "",
         " RD_SCI: d.SCI is neither a dive file nor netCDF (it begins \"time,pres,temp\")", 1},
        {"a device without line ends", "", "", " RD_SCI: Line 1 of /dev/zero is longer than 1 MiB", 1, "/dev/zero"},
        {"a dive header with letters", kHead + "  1 2026 1O0.250\n", "", " RD_SCI: Error in header for dive 1 of d.SCI",
         1},
        {"a file cut after a header", kHead + kDive.substr(0, 81), "",
         " RD_SCI: Read error in line 2 of dive 1 of d.SCI", 1},
        {"a file cut inside the samples", kHead + kDive.substr(0, 170), "",
         " RD_SCI: Error reading line 2 of dive 1 of d.SCI", 1},
        {"bytes that are not ASCII", non_ascii, "", " RD_SCI: Error reading line 1 of dive 1 of d.SCI", 1},
        {"a negative sample count", kHead + kDive.substr(0, 81) + "  20.0  -5   0.000   0.000 -     0.000         1\n",
         "", " RD_SCI: Read error in line 2 of dive 1 of d.SCI", 1},
        {"a sample count the file does not hold", kHead + kDive.substr(0, 81) + "  20.09999   0.000   0.000 -     0.000         1\n",
         "", " RD_SCI: Error reading line 1 of dive 1 of d.SCI", 1},
        {"too many profiler lines", too_many_bins, "", " RD_SCI: Increase MXZ", 1},
        {"more dives than the table holds", too_many_dives, "", " Increase MXPR for RD_SCI", 1},
        {"more than 4 variables", "  12   2 5 Fluor    abcde BackScat xtra    \n" + kDive, "",
         " RD_SCI: The file states 5 sample variables; 1 to 4 (pressure included) can be stored", 1},
        {"a file stating no dives", "  12   0 4 Fluor    abcde BackScat xtra    \n", "",
         " The file states no dives: there is nothing to plot.", 1},
        {"a file holding no dives", kHead, "", " The file holds no dives: there is nothing to plot.", 1},
        {"fewer dives than stated", "  12   5 4 Fluor    abcde BackScat xtra    \n" + kDive + kDive2,
         kPass + "type x\nkey Q\nQ\n", " Give T, S, D, 4, U, V, B or Q for color contour ", 0},
        {"empty lines and letters where numbers belong", kGood,
         kMap + "\n\nS\n\n\nT\nX\nS\nabc\n100 0\n5 5\n\n0 100\ntype x\nkey Q\nq\n",
         " Give T, S, D, 4, U, V, B or Q for color contour ", 0},
        {"end of input at the file name", kGood, "", " Console input ended before the question was answered.", 1,
         ""},
        {"end of input on the map", kGood, "", kWindowEnded, 1},
        {"a typed range that is not usable, then the end", kGood, "click\nkey G\ntype 0 9\ntype 2 1\n", kWindowEnded, 1},
        {"more dives than the old fixed table pass the map", many_dives(900), "click\nkey G\ntype 1 900\n",
         " Console input ended before the question was answered.", 1},
        {"end of input at the reverse question", kGood, kMap, " Console input ended before the question was answered.",
         1},
        {"end of input at the axis question", kGood, kMap + "N\n", " Console input ended before the question was answered.",
         1},
        {"end of input at a menu", kGood, kMap + "N\nS\n", " Console input ended before the question was answered.", 1},
        {"end of input at the log question", kGood, kMap + "N\nS\n4\nX\nS\n",
         " Console input ended before the question was answered.", 1},
        {"end of input at the range", kGood, kMap + "N\nS\nT\nX\nS\n", " Console input ended before the question was answered.",
         1},
        {"end of input in the window", kGood, kPass, kWindowEnded, 1},
        {"an unknown event word", kGood, kPass + "press H\n",
         " Bad event line in the session script: \"press H\" (expected key C [X Y], click [X Y], type TEXT or resize W H).",
         1},
        {"a position that is not a number", kGood, kPass + "click x 3\n",
         " Bad event line in the session script: \"click x 3\" (X and Y must be numbers).", 1},
        {"events past the end of the run", kGood, kPass + "type x\nkey H\nkey Q\nclick\n", " Open OUT02.EPS", 0},
    };
}

}  // namespace

TEST(BadInput, EveryRowEndsWithItsLineAndStatusAndLosesNothing) {
    for (const auto& row : rows()) {
        TempDir dir;
        if (!row.file.empty()) write_file(dir / "d.SCI", row.file);
        if (row.name == "empty.SCI") write_file(dir / "empty.SCI", "");
        if (row.name == "loop.SCI") fs::create_symlink("loop.SCI", dir / "loop.SCI");
        write_file(dir / "OUT01.EPS", "an earlier hardcopy\n");
        const std::string input = row.name.empty() && row.script.empty() ? "" : row.name + "\n" + row.script;
        RunResult r = run_program(dir.path(), input, {"--headless"});
        auto lines = lines_of(r.output);
        ASSERT_FALSE(lines.empty()) << row.what;
        EXPECT_EQ(lines.back(), row.last) << row.what << "\n" << r.output;
        EXPECT_EQ(r.status, row.status) << row.what;
        EXPECT_EQ(read_file(dir / "OUT01.EPS"), "an earlier hardcopy\n") << row.what;
        if (fs::exists(dir / "OUT02.EPS")) {
            EXPECT_EQ(lines_of(read_file(dir / "OUT02.EPS")).back(), "%%EOF") << row.what;
            if (have_ghostscript()) {
                auto gs = render_eps(dir / "OUT02.EPS", dir / "x.png");
                EXPECT_EQ(gs.status, 0) << row.what;
                EXPECT_EQ(gs.output, "") << row.what;
            }
        }
    }
}
