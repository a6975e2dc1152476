// The plot device: EPS lines, file names, rendering in Ghostscript, and the
// screen branch through the layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "daz/plot_device.h"
#include "miscli/fixed_format.h"
#include "screen/screen.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::lines_of;
using testing_support::read_file;
using testing_support::with_console;

struct InFolder {
    testing_support::TempDir dir;
    fs::path old = fs::current_path();
    InFolder() {
        fs::current_path(dir.path());
        screen::configure(true, false);
    }
    ~InFolder() {
        daz::close_open_plot();
        fs::current_path(old);
    }
};

// The lines written between the colour definitions and the trailer.
std::vector<std::string> body_of(const std::string& eps) {
    auto lines = lines_of(eps);
    if (lines.size() < 16) return {};
    return {lines.begin() + 14, lines.end() - 2};
}

// Ghostscript renders the file; gives its output (errors come on stdout).
bool renders(const fs::path& eps, std::string& output) {
    fs::path out = eps.parent_path() / "gs.txt";
    std::string cmd = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r20 -sOutputFile='" +
                      (eps.parent_path() / "page.png").string() + "' '" + eps.string() + "' > '" + out.string() +
                      "' 2>&1";
    int rc = std::system(cmd.c_str());
    output = read_file(out);
    return rc == 0 && output.empty();
}

bool have_gs() { return std::system("gs --version > /dev/null 2>&1") == 0; }

TEST(PlotDeviceFile, PrologueColoursAndTrailerAreExact) {
    InFolder here;
    std::string console = with_console("", [] {
        daz::plopen_('H', 'X');
        daz::plclosnow_();
    });
    EXPECT_EQ(console, " Open OUT01.EPS\n");
    EXPECT_EQ(read_file(here.dir / "OUT01.EPS"),
              "%!PS-Adobe-3.0 EPSF-3.0\n"
              "%%BoundingBox: 20 20 596 740\n"
              "/M %move with penup\n"
              "    {stroke newpath moveto} def\n"
              "/D %draw with pendown\n"
              "    {2 copy lineto stroke newpath moveto} def\n"
              "/NEW %newpage - initialize parameters\n"
              "    {0.072 0.072 scale  %units 0.001 inch\n"
              "     10 setlinewidth     %0.01 inches\n"
              "     2 setlinejoin      %bevel line joins\n"
              "     newpath moveto} def\n"
              "0 0 NEW\n"
              "/RGB00 { 0.00 0.00 0.00 setrgbcolor} def\n"
              "/RGB99 { 1.00 1.00 1.00 setrgbcolor} def\n"
              "0 0 moveto stroke showpage\n"
              "%%EOF\n");
    EXPECT_FALSE(daz::hardcopy_open());
}

TEST(PlotDeviceFile, MoveAndDrawLinesTakeTheirRunTimeWidths) {
    InFolder here;
    with_console("", [] {
        daz::plopen_('H', 'X');
        daz::ploti_(0, 0, 3);              // page origin
        daz::ploti_(0.099f, 7.991f, 2);    // file point (9, 99)
        daz::ploti_(1, 8.5f, 3);           // (-500, 1000): left of the sheet
        daz::ploti_(0.999f, 7.001f, 2);    // (999, 999): |PX| + 1 a power of ten
        daz::ploti_(5, 4, 7);              // other pen codes draw
        daz::rgbcolor_(1, 0.5f, 0);
        daz::linwid_(20);
        daz::rgbcolor_(1.7f, -0.2f, std::nanf(""));  // held to 0..1
        daz::plclosnow_();
    });
    EXPECT_EQ(body_of(read_file(here.dir / "OUT01.EPS")),
              (std::vector<std::string>{"8000 0 M", " 9  99 D", "-500 1000 M", " 999  999 D", "4000 5000 D",
                                        " 1.00 0.50 0.00 setrgbcolor", "        20 setlinewidth",
                                        " 1.00 0.00 0.00 setrgbcolor"}));
}

TEST(PlotDeviceFile, PortraitPageStandsUpright) {
    InFolder here;
    with_console("", [] {
        daz::plopen_('H', 'Y');
        daz::ploti_(0, 0, 3);
        daz::ploti_(2, 3, 2);
        daz::ploti_(8, 10, 2);
        daz::plclosnow_();
    });
    EXPECT_EQ(body_of(read_file(here.dir / "OUT01.EPS")),
              (std::vector<std::string>{"0 0 M", "2000 3000 D", "8000 10000 D"}));
    daz::devcom.orientation = 'Y';
    auto p = daz::device_page(2, 3);
    EXPECT_FLOAT_EQ(p.x, 3);
    EXPECT_FLOAT_EQ(p.y, 6);
    auto f = daz::file_point(daz::device_page(-1.5f, 0.0005f));
    EXPECT_EQ(f.x, -1500);
    EXPECT_EQ(f.y, 1);  // halves away from zero
}

TEST(PlotDeviceFile, NamesTakeTheFirstGapAndNeverOverwrite) {
    InFolder here;
    testing_support::write_file(here.dir / "OUT01.EPS", "one");
    testing_support::write_file(here.dir / "OUT03.EPS", "three");
    std::string console = with_console("", [] {
        daz::plopen_('H', 'X');
        EXPECT_EQ(daz::hardcopy_name(), "OUT02.EPS");
        daz::plclosnow_();
        daz::plopen_('H', 'X');
        daz::plclosnow_();
    });
    EXPECT_EQ(console, " Open OUT02.EPS\n Open OUT04.EPS\n");
    EXPECT_EQ(read_file(here.dir / "OUT03.EPS"), "three");

    for (int n = 5; n <= 99; ++n)
        testing_support::write_file(here.dir / ("OUT" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".EPS"),
                                    "x");
    miscli::ProgramStop stop{"", 0};
    with_console("", [] { daz::plopen_('H', 'X'); }, &stop);
    EXPECT_EQ(stop.status, 1);
    EXPECT_NE(stop.line.find("OUT01.EPS to OUT99.EPS all exist"), std::string::npos);
    EXPECT_FALSE(daz::hardcopy_open());
    EXPECT_EQ(read_file(here.dir / "OUT99.EPS"), "x");
    EXPECT_FALSE(fs::exists(here.dir / "OUT100.EPS"));
}

TEST(PlotDeviceFile, AHardcopyTakesItsNameOnlyWhenComplete) {
    InFolder here;
    const auto files = [&] {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(here.dir.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    // The free name is only chosen at open; another program takes it meanwhile.
    std::string console = with_console("", [&] {
        daz::plopen_('H', 'X');
        EXPECT_TRUE(files().empty());
        testing_support::write_file(here.dir / "OUT01.EPS", "theirs");
        daz::ploti_(1, 1, 3);
        daz::plclosnow_();
    });
    EXPECT_EQ(console, " Open OUT01.EPS\n OUT01.EPS was taken meanwhile; the hardcopy is OUT02.EPS\n");
    EXPECT_EQ(read_file(here.dir / "OUT01.EPS"), "theirs");
    EXPECT_EQ(lines_of(read_file(here.dir / "OUT02.EPS")).back(), "%%EOF");

    // A run stopped before the picture is complete leaves the file of that
    // name as it was, and nothing else.
    testing_support::write_file(here.dir / "pic.eps", "older");
    daz::set_hardcopy_output({daz::HardcopyFormat::Eps, 150, "pic.eps"});
    with_console("", [] {
        daz::plopen_('H', 'X');
        daz::ploti_(9, 7, 2);
    });
    daz::close_open_plot();
    EXPECT_FALSE(daz::hardcopy_open());
    EXPECT_EQ(read_file(here.dir / "pic.eps"), "older");
    with_console("", [] {
        daz::plopen_('H', 'X');
        daz::plclosnow_();
    });
    daz::set_hardcopy_output({});
    EXPECT_EQ(lines_of(read_file(here.dir / "pic.eps")).back(), "%%EOF");
    EXPECT_EQ(files(), (std::vector<std::string>{"OUT01.EPS", "OUT02.EPS", "pic.eps"}));
}

TEST(PlotDeviceFile, GhostscriptRendersWhatWeWrite) {
    if (!have_gs()) GTEST_SKIP() << "gs is not installed";
    InFolder here;
    with_console("", [] {
        for (char orientation : {'X', 'Y'}) {
            daz::plopen_('H', orientation);
            daz::linwid_(30);
            for (int i = 0; i <= 10; ++i) {
                daz::rgbcolor_(i / 10.0f, 0.5f, 1 - i / 10.0f);
                daz::ploti_(i, -1, 3);  // reaches off the page
                daz::ploti_(10 - i, 11, 2);
            }
            daz::linwid_(-5);
            daz::rgbcolor_(2, -1, 0.5f);
            daz::ploti_(1e9f, -1e9f, 2);
            daz::plclosnow_();
        }
    });
    for (const char* name : {"OUT01.EPS", "OUT02.EPS"}) {
        std::string out;
        EXPECT_TRUE(renders(here.dir / name, out)) << name << ": " << out;
    }
}

TEST(PlotDeviceScreen, StrokesColoursAndWidthsGoThroughTheLayer) {
    InFolder here;
    screen::set_headless_size(1000, 800);
    daz::plopen_('S', 'Y');
    EXPECT_TRUE(screen::window_is_open());
    EXPECT_EQ(screen::colour_state().model, 2);
    daz::rgbcolor_(0.5f, 0.5f, 0.5f);
    EXPECT_EQ(daz::screen_colour(), 128 + 256 * 128 + 65536 * 128);
    EXPECT_EQ(screen::colour_state().rgb, (screen::Rgb{128, 128, 128}));
    daz::rgbcolor_(1.5f, 0, -1);  // channels held to 0..255 instead of spilling over
    EXPECT_EQ(daz::screen_colour(), 255);
    daz::linwid_(50);  // nothing on the screen
    EXPECT_FALSE(daz::hardcopy_open());
    // Portrait (2, 3) to (2, 4) shows from window point (3, 6) to (4, 6).
    daz::ploti_(2, 3, 3);
    daz::ploti_(2, 4, 2);
    double px, py;
    screen::user_to_pixel(3.5, 6, px, py);
    EXPECT_EQ(screen::pixel_at(int(std::lround(px)), int(std::lround(py))), (screen::Rgb{255, 0, 0}));
    screen::user_to_pixel(3.5, 5.9, px, py);
    EXPECT_EQ(screen::pixel_at(int(std::lround(px)), int(std::lround(py))), (screen::Rgb{255, 255, 255}));
    daz::clearsc_();
    screen::user_to_pixel(3.5, 6, px, py);
    EXPECT_EQ(screen::pixel_at(int(std::lround(px)), int(std::lround(py))), (screen::Rgb{255, 255, 255}));
    daz::plclosnow_();
    EXPECT_FALSE(screen::window_is_open());
    EXPECT_EQ(daz::devcom.device_code, 'S');
    EXPECT_EQ(daz::devcom.orientation, 'Y');
}

// Only a canvas nobody sees, or a hardcopy already closed, says it draws
// nothing, so that what only draws can be left out.
TEST(PlotDeviceScreen, OnlyAnUnseenCanvasOrAClosedHardcopyDrawsNothing) {
    InFolder here;
    with_console("", [] {
        for (bool shots : {false, true}) {
            screen::configure(true, shots);
            screen::skip_unseen_drawing();
            daz::plopen_('S', 'X');
            EXPECT_EQ(daz::draws_nothing(), !shots);
            daz::plopen_('H', 'X');
            EXPECT_FALSE(daz::draws_nothing());
            daz::plclosnow_();
            EXPECT_TRUE(daz::draws_nothing());
        }
    });
    screen::configure(true, false);
}

}  // namespace

namespace {

TEST(PlotDeviceFile, ColourFieldsMatchTheFixedFormatForEveryValue) {
    InFolder here;
    std::vector<float> values{0.125f, 0.375f, 0.625f, 0.005f, 0.015f, 0.995f, 0.994999f, 1e-9f, 0.999999f};
    for (int k = 0; k <= 1000; ++k) values.push_back(k / 1000.0f);
    with_console("", [&] {
        daz::plopen_('H', 'X');
        for (float v : values) daz::rgbcolor_(v, v, v);
        daz::plclosnow_();
    });
    auto body = body_of(read_file(here.dir / "OUT01.EPS"));
    ASSERT_EQ(body.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::string f = miscli::fmt_f(values[i], 5, 2);
        EXPECT_EQ(body[i], f + f + f + " setrgbcolor") << values[i];
    }
}

}  // namespace
