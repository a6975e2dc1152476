// Glider netCDF files through the whole dialogue: one file, a folder and a
// pattern to a hardcopy, and every refusal as one line with status 1.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/eps_reader.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// After the file name and the fourth-variable answer: the whole track,
// temperature on the linear axis, the hardcopy.
std::string pass(int dives, const std::string& line_var, const std::string& range) {
    std::string s = "click\nkey G\ntype 1 " + std::to_string(dives) + "\nN\nL\nT\n" + line_var + "\nS\n" + range + "\n";
    if (line_var == "4") s += "N\n";  // not its log10
    if (line_var != "X") s += "key Q\n";
    return s + "type A glider\nkey H\n";
}

void expect_hardcopy(const TempDir& dir, const RunResult& r) {
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(lines_of(r.output).back(), " Open OUT01.EPS") << r.output;
    ASSERT_TRUE(fs::exists(dir / "OUT01.EPS"));
    const std::string eps = read_file(dir / "OUT01.EPS");
    EXPECT_EQ(lines_of(eps).back(), "%%EOF");
    EXPECT_GT(read_eps(eps).fills.size(), 50u + 10u);  // the colour bar and the cells
    if (have_ghostscript()) {
        RunResult gs = render_eps(dir / "OUT01.EPS", dir / "x.png");
        EXPECT_EQ(gs.status, 0);
        EXPECT_EQ(gs.output, "");
    }
}

}  // namespace

TEST(NetcdfSession, OneFileToAHardcopy) {
    TempDir dir;
    fs::copy_file(nc_test_file("og1_upper"), dir / "og1_upper.nc");
    // The fourth variable (DOXY, typed in lower case) as the line contours.
    RunResult r = run_program(dir.path(), "og1_upper.nc\ndoxy\n" + pass(3, "4", "0 200"), {"--headless"});
    auto lines = lines_of(r.output);
    ASSERT_GE(lines.size(), 4u) << r.output;
    EXPECT_EQ(lines[1], " Read 3 profiles from 1 netCDF file");
    EXPECT_EQ(lines[2], " Fourth variable (Enter for CHLA): CHLA DOXY CNDC TEMP_DOXY BBP700");
    EXPECT_NE(r.output.find(" S/N 28       3 dives from yr 2024 days   1.5 to   1.6"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("4=DOXY    , X=none"), std::string::npos);
    expect_hardcopy(dir, r);
}

TEST(NetcdfSession, EveryOtherFamilyToAHardcopy) {
    struct Row {
        const char* file;
        const char* answers;  // to the fourth-variable question, if asked
        int profiles;
        const char* range;
        const char* refusal;  // profiles at one place make no section along the track
    } rows[] = {
        {"og1_lower", "\n", 2, "0 200", nullptr},
        {"toolbox", "\n", 2, "0 100",
         " Dives 1 to 2 lie at one place, with no distance between them to draw a section along; choose dives along "
         "the track."},
        {"depth_only", "", 3, "0 100",  // no candidate: no question
         " Dives 1 to 3 lie at one place, with no distance between them to draw a section along; choose dives along "
         "the track."},
        {"ngdac", "\n", 1, "0 30", " Dive 1 alone makes no section: choose two or more dives along the track."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        TempDir dir;
        fs::copy_file(nc_test_file(row.file), dir / "f.nc");
        RunResult r = run_program(dir.path(), "f.nc\n" + std::string(row.answers) + pass(row.profiles, "T", row.range),
                                  {"--headless"});
        EXPECT_EQ(lines_of(r.output).at(1), " Read " + std::to_string(row.profiles) + " profiles from 1 netCDF file");
        if (!row.refusal) {
            expect_hardcopy(dir, r);
            continue;
        }
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(lines_of(r.output).back(), row.refusal);
        EXPECT_FALSE(fs::exists(dir / "OUT01.EPS"));
    }
}

TEST(NetcdfSession, AFolderAndAPatternReadTheSameDives) {
    for (const std::string& name : {std::string("sg"), std::string("sg/p542*")}) {
        TempDir dir;
        fs::create_directory(dir / "sg");
        fs::copy_file(nc_test_file("p5420013"), dir / "sg" / "p5420013.nc");
        fs::copy_file(nc_test_file("p5420012"), dir / "sg" / "p5420012.NC");
        write_file(dir / "sg" / "notes.txt", "not a glider file\n");
        RunResult r = run_program(dir.path(), name + "\n\n" + pass(4, "X", "0 300"), {"--headless"});
        EXPECT_NE(r.output.find(" Read 4 profiles from 2 netCDF files\n"), std::string::npos) << name << r.output;
        if (name == "sg") expect_hardcopy(dir, r);
    }
}

TEST(NetcdfSession, EveryRefusalIsOneLineNamingTheFile) {
    const std::string head = "netcdf x {\ndimensions:\n\tN_MEASUREMENTS = 3 ;\n\tN_OTHER = 2 ;\nvariables:\n";
    const std::string time = "\tdouble TIME(N_MEASUREMENTS) ;\n\t\tTIME:units = \"seconds since 1970-01-01\" ;\n";
    const std::string pres = "\tfloat PRES(N_MEASUREMENTS) ;\n";
    struct Row {
        const char* what;
        std::string cdl;    // written as x.nc by ncgen; empty: `bytes` are the file
        std::string bytes;
        std::string typed;  // the answer to the file question
        std::string line;   // the last console line
    } rows[] = {
        {"not netCDF inside", "", std::string("CDF\x02", 4), "x.nc",
         " x.nc: not readable as netCDF (NetCDF: Unknown file format)"},
        {"no time", head + pres + "data:\n PRES = 1, 2, 3 ;\n}\n", "", "x.nc",
         " x.nc: no time variable on the sample dimension N_MEASUREMENTS"},
        {"time on another dimension only",
         head + pres + "\tdouble TIME(N_OTHER) ;\n\t\tTIME:units = \"seconds since 1970-01-01\" ;\n}\n", "", "x.nc",
         " x.nc: no time variable on the sample dimension N_MEASUREMENTS"},
        {"no pressure or depth", head + time + "\tfloat TEMP(N_MEASUREMENTS) ;\n}\n", "", "x.nc",
         " x.nc: no pressure or depth variable"},
        {"time units unknown",
         head + pres + "\tdouble TIME(N_MEASUREMENTS) ;\n\t\tTIME:units = \"fortnights since 1970-01-01\" ;\n}\n", "", "x.nc",
         " x.nc: the time variable TIME has units \"fortnights since 1970-01-01\", not \"<seconds|minutes|hours|days> "
         "since <date>\""},
        {"a QC variable on another dimension",
         head + time + pres + "\tfloat TEMP(N_MEASUREMENTS) ;\n\t\tTEMP:ancillary_variables = \"TEMP_QC\" ;\n"
                              "\tbyte TEMP_QC(N_OTHER) ;\n}\n",
         "", "x.nc",
         " x.nc: the QC variable TEMP_QC of TEMP is not one-dimensional on the sample dimension N_MEASUREMENTS"},
        {"no profile with a sample",
         head + time + pres + "\tint PROFILE_NUMBER(N_MEASUREMENTS) ;\n\t\tPROFILE_NUMBER:_FillValue = -1 ;\ndata:\n"
                              " TIME = 1, 2, 3 ;\n PROFILE_NUMBER = _, _, _ ;\n}\n",
         "", "x.nc", " x.nc: no profile holds a sample"},
        {"a folder without .nc files", "", "", ".", " .: the folder holds no .nc file"},
        {"a pattern matching nothing", "", "", "*.nc", " *.nc: no file matches"},
        {"a set with a file that is not netCDF", "", "not netCDF", "x*", " x.txt: not a netCDF file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        std::string said;
        if (!row.cdl.empty()) {
            ASSERT_TRUE(make_netcdf(row.cdl, dir / "x.nc", &said)) << said;
        }
        if (!row.bytes.empty()) write_file(dir / (row.typed == "x*" ? "x.txt" : "x.nc"), row.bytes);
        if (row.typed == "x*") {
            ASSERT_TRUE(make_netcdf(head + time + pres + "}\n", dir / "x.nc"));
        }
        RunResult r = run_program(dir.path(), row.typed + "\n", {"--headless"});
        auto lines = lines_of(r.output);
        ASSERT_EQ(lines.size(), 2u) << r.output;
        EXPECT_EQ(lines.back(), row.line);
        EXPECT_EQ(r.status, 1);
    }
}
