// Glider netCDF files through the whole dialogue or one command: one file,
// a folder, a pattern and files named together to a hardcopy, and every
// refusal, damaged file or failure of the library as one line with status 1.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include "support/eps_reader.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// After the file name and the fourth-variable answer: the whole track,
// temperature on the linear axis, the hardcopy.
// The answers from the map to a hardcopy; the map's range is typed as the
// dives' numbers, 1 to `dives` unless `numbers` says otherwise.
std::string pass(int dives, const std::string& line_var, const std::string& range, const std::string& numbers = "") {
    const std::string typed = numbers.empty() ? "1 " + std::to_string(dives) : numbers;
    std::string s = "click\nkey G\ntype " + typed + "\nN\nL\nT\n" + line_var + "\nS\n" + range + "\n";
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
        const char* refusal;  // one profile makes no section
        bool against_time = false;  // profiles at one place are drawn against time
    } rows[] = {
        {"og1_lower", "\n", 2, "0 200", nullptr},
        {"toolbox", "\n", 2, "0 100", nullptr, true},
        {"depth_only", "", 3, "0 100", nullptr, true},  // no candidate: no question
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
            EXPECT_EQ(r.output.find("at one place, with no distance between them to draw a section along: the section "
                                    "is drawn against time.") != std::string::npos,
                      row.against_time);
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
        // A Seaglider's dives keep their numbers.
        RunResult r = run_program(dir.path(), name + "\n\n" + pass(4, "X", "0 300", "12 13"), {"--headless"});
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
        {"not netCDF inside", "", std::string("CDF\x02", 4), "x.nc", " x.nc: not a valid netCDF file"},
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
                              "\tbyte TEMP_QC(N_OTHER) ;\ndata:\n PRES = 1, 2, 3 ;\n}\n",
         "", "x.nc",
         " x.nc: the QC variable TEMP_QC of TEMP is not one-dimensional on the sample dimension N_MEASUREMENTS"},
        {"a temperature of two dimensions", head + time + pres + "\tfloat TEMP(N_MEASUREMENTS, N_OTHER) ;\n}\n", "",
         "x.nc", " x.nc: the temperature variable TEMP is not one-dimensional on the sample dimension N_MEASUREMENTS"},
        {"a salinity of text",
         head + time + pres + "\tchar salinity(N_MEASUREMENTS) ;\n\t\tsalinity:standard_name = \"sea_water_practical_salinity\" ;\n}\n",
         "", "x.nc", " x.nc: the salinity variable salinity holds text, not numbers"},
        {"no pressure at all", head + time + pres + "data:\n TIME = 1, 2, 3 ;\n}\n", "", "x.nc",
         " x.nc: the pressure variable PRES holds no value"},
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

// A damaged file ends the run with one line naming it, however the netCDF
// library takes it: a header that claims more than the file holds, a file
// cut short, an attribute that would take twelve gigabytes (the library
// takes them, in a child whose memory is limited), or a bit flipped in
// the metadata of a netCDF-4 file (on which this system's HDF5 crashes).
TEST(NetcdfSession, ADamagedFileEndsWithOneLineHoweverTheLibraryTakesIt) {
    const std::string records =
        "netcdf r {\ndimensions:\n\ttime = UNLIMITED ;\nvariables:\n\tdouble time(time) ;\n"
        "\t\ttime:units = \"seconds since 1970-01-01\" ;\n\tdouble pressure(time) ;\n\t\tpressure:valid_max = 12000. ;\n"
        "\tint profile_index(time) ;\ndata:\n time = 1, 2, 3, 4 ;\n pressure = 1, 50, 100, 5 ;\n"
        " profile_index = 1, 1, 1, 1 ;\n}\n";
    const std::string og1 = read_file(fs::path(GLIDERSECT_TEST_FILES) / "netcdf" / "og1_upper.cdl");
    // A classic file's numbers are big-endian.
    auto set_number = [](std::string& b, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b.at(at + static_cast<std::size_t>(i)) = static_cast<char>(v >> (24 - 8 * i));
    };
    const std::string cut_short = " x.nc: the file is cut short or its header is damaged: its header calls for at least ";
    struct Row {
        const char* what;
        const std::string& cdl;
        std::function<void(std::string&)> damage;
        std::string start;  // of the line
    } rows[] = {
        // The record count follows the four bytes of the format's name.
        {"two thousand million records", records, [&](std::string& b) { set_number(b, 4, 0x7fffffff); }, cut_short},
        {"cut short", records, [](std::string& b) { b.resize(b.size() - 40); }, cut_short},
        // An attribute's name (padded to 12 bytes) is followed by its type and count.
        {"an attribute of twelve gigabytes", records,
         [&](std::string& b) { set_number(b, b.find("valid_max") + 12 + 4, 0x60000000); }, " x.nc: "},
        {"a bit flipped in the HDF5 metadata", og1, [](std::string& b) { b.at(8270) ^= 1; }, " x.nc: "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        ASSERT_TRUE(make_netcdf(row.cdl, dir / "x.nc"));
        std::string bytes = read_file(dir / "x.nc");
        row.damage(bytes);
        write_file(dir / "x.nc", bytes);
        RunResult r = run_program(dir.path(), "x.nc\n\n", {"--headless"});
        auto lines = lines_of(r.output);
        ASSERT_EQ(lines.size(), 2u) << r.output;
        EXPECT_EQ(lines.back().rfind(row.start, 0), 0u) << lines.back();
        EXPECT_EQ(lines.back().find("Read"), std::string::npos) << lines.back();
        EXPECT_EQ(r.status, 1);
    }
}

// Files named together on the command line (a pattern the shell expanded)
// are one mission in the order given; a dive file or a missing file among
// them is refused.
TEST(NetcdfSession, FilesNamedTogetherAreOneMissionInTheirOrder) {
    TempDir dir;
    fs::create_directory(dir / "sg");
    fs::copy_file(nc_test_file("p5420012"), dir / "sg" / "p5420012.nc");
    fs::copy_file(nc_test_file("p5420013"), dir / "sg" / "p5420013.nc");
    const std::string sample = (fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample.SCI").string();
    RunResult list = run_program(dir.path(), "", {"sg/p5420012.nc", "sg/p5420013.nc", "-o", "list.eps"});
    RunResult folder = run_program(dir.path(), "", {"sg", "-o", "folder.eps"});
    RunResult back = run_program(dir.path(), "", {"sg/p5420013.nc", "sg/p5420012.nc", "-o", "back.eps"});
    EXPECT_EQ(list.output, " Read 4 profiles from 2 netCDF files\n Open list.eps\n");
    EXPECT_EQ(list.status + folder.status + back.status, 0) << folder.output << back.output;
    EXPECT_TRUE(read_file(dir / "list.eps") == read_file(dir / "folder.eps"));
    EXPECT_FALSE(read_file(dir / "list.eps") == read_file(dir / "back.eps"));

    struct Row {
        std::vector<std::string> files;
        std::string line;
    } rows[] = {
        {{"sg/p5420012.nc", sample}, " " + sample + ": not a netCDF file; files named together must all be netCDF"},
        {{"sg/p5420012.nc", "sg/p5420014.nc"}, " sg/p5420014.nc: no such file"},
        {{"sg/p5420013.nc", "sg/p5420012.nc", "--var4", "DOXY"},
         " --var4 DOXY: sg/p5420013.nc (the first of 2 files) offers no choice of fourth variable."},
    };
    for (const Row& row : rows) {
        RunResult r = run_program(dir.path(), "", row.files, true);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.errors, row.line + "\n");
    }
}

// A folder of profile files in the data assembly centre's way, more than
// the map's dive numbers had room for, is read and drawn without --dives.
// The files are one written by ncgen and copies with other longitudes.
TEST(NetcdfSession, AFolderOfOverAThousandProfileFilesIsDrawn) {
    TempDir dir;
    std::string cdl = read_file(fs::path(GLIDERSECT_TEST_FILES) / "netcdf" / "ngdac.cdl");
    const std::string lon = " lon = -70, -70, -70, -70 ;";
    ASSERT_NE(cdl.find(lon), std::string::npos);
    cdl.replace(cdl.find(lon), lon.size(), " lon = 1234.5, 1234.5, 1234.5, 1234.5 ;");
    ASSERT_TRUE(make_netcdf(cdl, dir / "one.nc"));
    const std::string one = read_file(dir / "one.nc");
    // The marker as the classic format stores a double: big-endian.
    auto big_endian = [](double x) {
        std::uint64_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        std::string b(8, '\0');
        for (int i = 0; i < 8; ++i) b[static_cast<std::size_t>(i)] = static_cast<char>(bits >> (56 - 8 * i));
        return b;
    };
    const std::string marker = big_endian(1234.5);
    fs::create_directory(dir / "dac");
    constexpr int kFiles = 1200;
    for (int i = 1; i <= kFiles; ++i) {
        std::string copy = one;
        const std::string at = big_endian(-70.0 + 0.001 * i);
        for (std::size_t p = copy.find(marker); p != std::string::npos; p = copy.find(marker, p + 8))
            copy.replace(p, 8, at);
        char name[32];
        std::snprintf(name, sizeof name, "ru29-%04d.nc", i);
        write_file(dir / "dac" / name, copy);
    }
    RunResult r = run_program(dir.path(), "", {"dac", "--var4", "density", "-o", "dac.eps"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, " Read 1200 profiles from 1200 netCDF files\n Open dac.eps\n");
    EXPECT_GT(read_eps(read_file(dir / "dac.eps")).fills.size(), 1000u);
}
