// The one-command section: the same picture as the session that answers
// the dialogue the same way, one line for each bad option with nothing
// written, and write errors that leave no file behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const std::string kSample = (fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample.SCI").string();

std::vector<std::string> files_in(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int shell_in(const fs::path& dir, const std::string& cmd) {
    const int rc = std::system(("cd '" + dir.string() + "' && (" + cmd + ")").c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

}  // namespace

TEST(OneCommand, GivesTheEpsOfTheSessionThatAnswersTheSameWay) {
    struct Case {
        std::vector<std::string> options;
        std::string script;  // after the file name
    } cases[] = {
        // The demo section with its two labels.
        {{"--contour", "D", "--range", "0,500", "--label", "3.0,5.0", "--label", "6.2,3.0", "--title",
          "Upwelling front: temperature and sigma-theta"},
         "click\nkey G\ntype 1 120\nN\nS\nT\nD\nS\n0,500\nkey A 3.0 5.0\nkey K 3.0 5.0\nkey A 6.2 3.0\n"
         "key K 6.2 3.0\nkey Q\ntype Upwelling front: temperature and sigma-theta\nkey H\n"},
        // Every other answer changed; the range the data shows by default.
        {{"--dives", "20:90", "--reverse", "--axis", "L", "--color", "S", "--contour", "T", "--ticks", "D", "--label",
          "4,4"},
         "click\nkey G\ntype 20 90\nY\nL\nS\nT\nD\n5.0 500.0\nkey A 4 4\nkey K 4 4\nkey Q\ntype \nkey H\n"},
    };
    for (const Case& c : cases) {
        TempDir one, session;
        std::vector<std::string> args{kSample};
        args.insert(args.end(), c.options.begin(), c.options.end());
        RunResult a = run_program(one.path(), "", args);
        RunResult b = run_program(session.path(), kSample + "\n" + c.script, {"--headless"});
        EXPECT_EQ(a.status, 0) << a.output;
        EXPECT_EQ(b.status, 0) << b.output;
        // The reader's line and the Open line; no prompts.
        EXPECT_EQ(a.output, " RD_SCI: Finish at dive 120 of 120\n Open OUT01.EPS\n");
        const std::string eps = read_file(one / "OUT01.EPS");
        ASSERT_GT(eps.size(), 100000u);
        EXPECT_TRUE(eps == read_file(session / "OUT01.EPS")) << c.options.front();
    }
}

TEST(OneCommand, AUtf8TitleDrawsAsItsEscapesAndTheDialogueAsksAgainForACharacterTheFontsLack) {
    const std::string title = "\xcf\x83\xce\xb8, kg m\xe2\x81\xbb\xc2\xb3";  // σθ, kg m⁻³
    auto eps_of = [](const std::vector<std::string>& options, const std::string& script = "") {
        TempDir dir;
        std::vector<std::string> args{kSample, "--contour", "D"};
        if (!script.empty()) args = {"--headless"};
        args.insert(args.end(), options.begin(), options.end());
        RunResult r = run_program(dir.path(), script.empty() ? "" : kSample + "\n" + script, args);
        EXPECT_EQ(r.status, 0) << r.output;
        return read_file(dir / "OUT01.EPS");
    };
    const std::string utf8 = eps_of({"--title", title});
    // Typed in the window: the snowman is refused, the question comes again.
    const std::string typed =
        eps_of({}, "click\nkey G\ntype 1 120\nN\nS\nT\nD\nS\n5.0 500.0\nkey Q\ntype snow \xe2\x98\x83\ntype " +
                       title + "\nkey H\n");
    const std::string escapes = eps_of({"--title", "\\sigma\\\\theta\\, kg m\\sup{\\sub{\\sup{-3}}}"});
    const std::string plain = eps_of({"--title", ", kg m"});
    ASSERT_GT(utf8.size(), 10000u);
    EXPECT_TRUE(utf8 == typed);
    EXPECT_TRUE(utf8 == escapes);
    // σ, θ, the minus and the 3 are strokes of their own.
    EXPECT_GT(lines_of(utf8).size(), lines_of(plain).size() + 20);
}

TEST(OneCommand, ANetcdfMissionWithItsFourthVariableGivesTheSessionsEps) {
    const std::string nc = (fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample_og1.nc").string();
    TempDir one, session;
    RunResult a = run_program(one.path(), "",
                              {nc, "--var4", "chla", "--color", "4", "--log", "--contour", "D", "--range", "0,200",
                               "--label", "5,5", "--title", "Chlorophyll"});
    RunResult b = run_program(session.path(),
                              nc + "\nchla\nclick\nkey G\ntype 1 48\nN\nS\n4\nD\nS\nY\n0,200\nkey A 5 5\n"
                                   "key K 5 5\nkey Q\ntype Chlorophyll\nkey H\n",
                              {"--headless"});
    EXPECT_EQ(a.status, 0) << a.output;
    EXPECT_EQ(b.status, 0) << b.output;
    EXPECT_EQ(a.output, " Read 48 profiles from 1 netCDF file\n Open OUT01.EPS\n");
    const std::string eps = read_file(one / "OUT01.EPS");
    ASSERT_GT(eps.size(), 10000u);
    EXPECT_TRUE(eps == read_file(session / "OUT01.EPS"));
}

TEST(OneCommand, ABadOptionGetsOneLineNamingItAndNothingIsWritten) {
    struct Row {
        std::vector<std::string> args;
        std::string line;  // the last console line
    } rows[] = {
        {{kSample, "--axis", "Q"}, " --axis Q: the axis is S (square root of pressure), L (linear pressure) or D (sigma-theta)"},
        {{kSample, "--color", "X"}, " --color X: give one of T, S, D, 4, U, V, B, W (with --eos teos10 or --style modern also A, C, G, N, P)"},
        {{kSample, "--contour", "TS"}, " --contour TS: give one of T, S, D, 4, U, V, B, W, or X for none (with --eos teos10 or --style modern also A, C, G, N, P)"},
        {{kSample, "--ticks", "W"}, " --ticks W: give S (station) or D (day)"},
        {{kSample, "--color", "C"}, " --color C: Conservative Temperature (TEOS-10) is offered with --eos teos10 or --style modern"},
        {{kSample, "--eos", "teos"}, " --eos teos: give eos80 (sigma-theta) or teos10 (sigma-0 and the TEOS-10 variables)"},
        {{kSample, "--mld", "--axis", "D"}, " --mld: the mixed-layer depth is drawn over a pressure axis; give --axis S or L"},
        {{kSample, "--mld=-1"}, " --mld -1: give the density threshold in kg/m3, above 0 and at most 10 (0.03 when none is given)"},
        {{kSample, "--dives", "5"}, " --dives 5: give FIRST:LAST, two whole dive numbers"},
        {{kSample, "--dives", "0:5"}, " --dives 0:5: dives are numbered from 1"},
        {{kSample, "--dives", "9:3"}, " --dives 9:3: the first dive is after the last"},
        {{kSample, "--range", "500,0"}, " --range 500,0: MIN must be below MAX"},
        {{kSample, "--range", "0,5,9"}, " --range 0,5,9: give MIN,MAX, two numbers"},
        {{kSample, "--contour", "D", "--label", "9.5,7.5"},
         " --label 9.5,7.5: outside the section frame, which is 0.8 to 8.0 inches across and 0.8 to 7.2 up"},
        {{kSample, "--log", "--color", "B"},
         " --log: only the fourth variable has a log10 scale; give --color 4 or --contour 4"},
        {{kSample, "--label", "3,3"}, " --label 3,3: labels name contour lines, so they need --contour"},
        {{kSample, "--title", std::string(46, 'x')}, " --title " + std::string(46, 'x') + ": at most 45 characters"},
        {{kSample, "--title", "Snow \xe2\x98\x83"},
         " --title Snow \xe2\x98\x83: the stroke font has no \"\xe2\x98\x83\" (U+2603 SNOWMAN)"},
        {{kSample, "--var4", ""}, " --var4 : give the name of one variable of the file"},
        {{kSample, "--hardcopy", "gif"}, " --hardcopy gif: give eps, pdf, svg or png"},
        {{kSample, "--dpi", "1201"}, " --dpi 1201: give a whole number of dots per inch from 50 to 1200"},
        {{kSample, "-o", "."}, " -o .: give the name of a file (not a folder)"},
        {{kSample, "-o", "fig.jpg"},
         " -o fig.jpg: the name must end in .eps, .pdf, .svg or .png (in any case), or have no extension"},
        {{kSample, "--hardcopy", "pdf", "-o", "x.png"}, " -o x.png: --hardcopy pdf asks for PDF, not PNG"},
        {{kSample, "--range"}, " --range needs a value (MIN,MAX)"},
        {{kSample, "--ci", "0"}, " --ci 0: give the contour interval, a number above 0"},
        {{kSample, "--ci", "-0.5"}, " --ci -0.5: give the contour interval, a number above 0"},
        {{kSample, "--frame"}, " Unknown option --frame (see glidersect --help)"},
        {{kSample, kSample}, " " + kSample + ": not a netCDF file; files named together must all be netCDF"},
        {{"--dives", "1:3"}, " --dives needs a dive file named on the command line (glidersect FILE --dives ...)"},
        {{kSample, "--headless"},
         " --headless belongs to the dialogue; with a dive file named the section is drawn without a window"},
        // Refused by the dialogue, after the reader's line.
        {{kSample, "--color", "W"}, " --color W: W is not in the menu: give one of its letters."},
        {{kSample, "--dives", "100:130"}, " --dives 100:130: Dives are 1 to 120."},
        {{kSample, "--contour", "T", "--range", "0,30000"},
         " --range 0,30000: That range needs more than 10000 grid levels; the largest span at this grid step is "
         "24997.50."},
        {{kSample, "--contour", "D", "--axis", "L", "--range", "0,700", "--label", "5,1"},
         " --label 5,1: No value at that point."},
        {{kSample, "--var4", "CHLA"}, " --var4 CHLA: " + kSample + " offers no choice of fourth variable."},
        {{kSample, "--range", "-10,50"},
         " --range -10,50: The minimum pressure must not be above the surface (below -0.1)."},
        // A sheet the figure cannot be laid out on, and a size for the
        // plotter's sheet.
        {{kSample, "--style", "modern", "--size", "3.5,8", "-o", "x.png"},
         " --size 3.5,8: too narrow or too low for the figure; give a sheet nearer 5:4 (as 7,5.6 or 3.5,2.8)"},
        {{kSample, "--size", "7,5.6"}, " --size: the classic EPS is the plotter's sheet; give --style modern, or a PDF, SVG or PNG"},
        // Stacked pages.
        {{kSample, "--stack", "T"}, " --stack T: give two to eight colour variables, one a panel, as T,S,D"},
        {{kSample, "--stack", "T,S"},
         " --stack T,S: the classic EPS is the plotter's sheet of one section; give --style modern, or a PDF, SVG or PNG"},
        {{kSample, "--stack", "T,S,D,4,U,V", "--size", "7,5.6", "-o", "x.png"},
         " --stack T,S,D,4,U,V: the sheet is too low for 6 panels; give a taller --size, or fewer panels"},
        {{kSample, "--stack", "T,C", "-o", "x.png"},
         " --stack T,C: Conservative Temperature (TEOS-10) is offered with --eos teos10 or --style modern"},
        {{kSample, "--stack", "T,W", "-o", "x.png"}, " --stack: W is not in the colour menu of this file."},
        // A colour field without a value is no picture.
        {{kSample, "--range", "2000,2100"},
         " --color T: The colour variable T has no value in dives 1 to 120 from 2000.0 to 2100.0: choose another "
         "variable, dives or range."},
        // A name with a newline in it cannot split the line.
        {{"no\nsuch.SCI"}, " RD_SCI: No file no\\nsuch.SCI to read."},
        // No distance between the dives: an empty frame is no section.
        {{kSample, "--dives", "7:7"}, " Dive 7 alone makes no section: choose two or more dives along the track."},
    };
    for (const Row& r : rows) {
        TempDir dir;
        // Positions written as degrees and minutes, as some level-0 series do.
        ASSERT_TRUE(make_netcdf("netcdf ddmm { dimensions: time = 8 ; variables:\n"
                                "double time(time) ; time:units = \"seconds since 1970-01-01\" ;\n"
                                "double latitude(time) ; double longitude(time) ; double pressure(time) ;\n"
                                "double temperature(time) ;\n"
                                "data: time = 0, 60, 120, 180, 240, 300, 360, 420 ;\n"
                                "temperature = 20, 18, 15, 12, 15, 18, 20, 20 ;\n"
                                "latitude = 4839.1, 4839.2, 4839.3, 4839.4, 4839.5, 4839.6, 4839.7, 4839.8 ;\n"
                                "longitude = -12330.1, -12330.2, -12330.3, -12330.4, -12330.5, -12330.6,\n"
                                "  -12330.7, -12330.8 ;\n"
                                "pressure = 1, 30, 60, 90, 60, 30, 1, 0.5 ; }\n",
                                dir / "ddmm.nc"));
        RunResult run = run_program(dir.path(), "", r.args, true);
        EXPECT_EQ(run.status, 1) << r.line;
        // The refusal on standard error; at most the reader's lines ahead of
        // it on standard output.
        EXPECT_EQ(run.errors, r.line + "\n");
        EXPECT_LE(lines_of(run.output).size(), 2u) << run.output;
        // Positions that are not degrees leave no distance: the section is
        // drawn against time, and the line says why.
        RunResult timed = run_program(dir.path(), "", {"ddmm.nc"}, true);
        EXPECT_EQ(timed.status, 0) << timed.errors;
        EXPECT_NE(timed.output.find(" Dives 1 to 2 have no positions, so no distance between them to draw a section "
                                    "along: the section is drawn against time; latitudes up to 4839.8 are outside "
                                    "-90..90 and longitudes down to -12330.8 are outside -180..360; are they "
                                    "ddmm.mm?"),
                  std::string::npos)
            << timed.output;
        EXPECT_TRUE(fs::exists(dir / "OUT01.EPS"));
        fs::remove(dir / "OUT01.EPS");
        fs::remove(dir / "ddmm.nc");
        EXPECT_TRUE(files_in(dir.path()).empty()) << r.line;
    }
}

TEST(OneCommand, AFailedWriteSaysWhyAndLeavesNoFile) {
    TempDir dir;
    write_file(dir / "plain", "a regular file");
    // A folder that is a regular file fails as root too.
    RunResult below_a_file = run_program(dir.path(), "", {kSample, "-o", "plain/x.pdf"});
    EXPECT_EQ(below_a_file.status, 1);
    EXPECT_EQ(lines_of(below_a_file.output).back(), " Cannot create plain/x.pdf: Not a directory");
    // A file size limit stands in for a full disk; the signal it raises is
    // ignored, so the write fails with EFBIG.
    for (const char* format : {"eps", "svg"}) {
        const std::string cmd = "cd '" + dir.path().string() + "' && (trap '' XFSZ; ulimit -f 64; exec '" +
                                GLIDERSECT_BINARY + "' '" + kSample + "' --contour D --hardcopy " + format +
                                ") > out.txt 2>&1";
        const int rc = std::system(cmd.c_str());
        EXPECT_EQ(WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, 1) << format;
        const std::string name = format == std::string("eps") ? "OUT01.EPS" : "OUT01.SVG";
        EXPECT_EQ(read_file(dir / "out.txt"),
                  " RD_SCI: Finish at dive 120 of 120\n Open " + name + "\n Cannot write " + name + ": File too large\n");
        fs::remove(dir / "out.txt");
    }
    EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"plain"});
}

TEST(OneCommand, AConsoleThatCannotBeWrittenIsNoSuccess) {
    TempDir dir;
    // Both uses: the one-command section, and the dialogue at its first line.
    for (const std::string& args : {"'" + kSample + "' -o x.eps", std::string("--headless")}) {
        const std::string cmd = "cd '" + dir.path().string() + "' && '" GLIDERSECT_BINARY "' " + args +
                                " < /dev/null > /dev/full 2> err.txt";
        const int rc = std::system(cmd.c_str());
        EXPECT_EQ(WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, 1) << args;
        EXPECT_NE(read_file(dir / "err.txt").find(" Cannot write to standard output"), std::string::npos)
            << read_file(dir / "err.txt");
    }
}

TEST(OneCommand, TheNameGivesTheFileAndItsExtensionTheFormat) {
    TempDir dir;
    write_file(dir / "old.eps", "older");
    // 8 characters short of the longest name the system takes.
    const std::string long_name = std::string(243, 'n') + ".eps";
    struct Row {
        std::vector<std::string> options;
        std::string name, head;  // the file written and how it begins
    } rows[] = {
        {{"-o", "fig"}, "fig.eps", "%!PS-Adobe"},
        {{"--hardcopy", "png", "-o", "fig"}, "fig.png", "\x89PNG"},
        {{"-o", "FIG.Pdf"}, "FIG.Pdf", "%PDF-"},
        {{"-o", "old.eps"}, "old.eps", "%!PS-Adobe"},
        {{"-o", long_name}, long_name, "%!PS-Adobe"},
    };
    for (const Row& r : rows) {
        std::vector<std::string> args{kSample};
        args.insert(args.end(), r.options.begin(), r.options.end());
        RunResult run = run_program(dir.path(), "", args);
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(lines_of(run.output).back(), " Open " + r.name);
        EXPECT_EQ(read_file(dir / r.name).substr(0, r.head.size()), r.head);
    }
    // Nothing else: no temporary is left.
    EXPECT_EQ(files_in(dir.path()), (std::vector<std::string>{"FIG.Pdf", "fig.eps", "fig.png", long_name, "old.eps"}));
}

TEST(OneCommand, StandardOutputAFifoOrADeviceIsWrittenToAndNeverReplaced) {
    TempDir dir;
    const std::string program = "'" GLIDERSECT_BINARY "' '" + kSample + "' ";
    ASSERT_EQ(shell_in(dir.path(), program + "-o file.eps > /dev/null"), 0);
    const std::string eps = read_file(dir / "file.eps");
    // "-": the picture on standard output, the console lines on standard error.
    EXPECT_EQ(shell_in(dir.path(), program + "-o - > piped.eps 2> console.txt"), 0);
    EXPECT_TRUE(read_file(dir / "piped.eps") == eps);
    EXPECT_EQ(read_file(dir / "console.txt"), " RD_SCI: Finish at dive 120 of 120\n Open standard output\n");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
    EXPECT_EQ(shell_in(dir.path(), "timeout 60 cat fifo > from_fifo & " + program + "-o fifo > /dev/null; wait"), 0);
    EXPECT_TRUE(read_file(dir / "from_fifo") == eps);
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    // Devices of our own, where the tests may make them (as root): a full
    // one and an empty one.
    if (mknod((dir / "full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0 ||
        mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        return;
    RunResult full = run_program(dir.path(), "", {kSample, "-o", "full"});
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(lines_of(full.output).back(), " Cannot write full: No space left on device");
    EXPECT_EQ(run_program(dir.path(), "", {kSample, "--hardcopy", "png", "-o", "null"}).status, 0);
    EXPECT_TRUE(fs::is_character_file(dir / "full") && fs::is_character_file(dir / "null"));
}

// The TEOS-10 variables beyond the classic menus: offered in modern style,
// drawn on either axis, and the mixed-layer depths written one line a profile.
TEST(OneCommand, Teos10VariablesAndTheMixedLayerDepths) {
    const std::string og1 = (fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample_og1.nc").string();
    TempDir dir;
    RunResult a = run_program(dir.path(), "", {og1, "--style", "modern", "--color", "N", "--log", "--contour", "G",
                                               "--mld", "--mld-csv", "mld.csv", "-o", "n2.png", "--dpi", "50"});
    EXPECT_EQ(a.status, 0) << a.output;
    EXPECT_NE(a.output.find(" Mixed-layer depths of 48 profiles in mld.csv\n"), std::string::npos) << a.output;
    const std::string csv = read_file(dir.path() / "mld.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "profile,time,lon,lat,mld_dbar");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 49);
    RunResult b = run_program(dir.path(), "", {og1, "--eos", "teos10", "--axis", "D", "--color", "A", "--contour", "D",
                                               "-o", "sa.svg"});
    EXPECT_EQ(b.status, 0) << b.output;
    RunResult c = run_program(dir.path(), og1 + "\n\nclick\nkey G\ntype 1 48\nN\nS\nQ\n", {"--headless", "--style", "modern"});
    EXPECT_NE(c.output.find("A=SA, C=CT, G=sigma0, N=N2, P=spice, Q=quit"), std::string::npos) << c.output;
}
