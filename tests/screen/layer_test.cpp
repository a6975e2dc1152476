// The screen layer on the headless canvas: conversions, mapping, clipping,
// fills, colours, events.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "screen/display.h"
#include "screen/screen.h"
#include "support/test_support.h"

namespace {

using screen::Rgb;
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};

// A headless window with the plot library's settings.
struct Window {
    explicit Window(int w = 1000, int h = 800) {
        screen::configure(true, false);
        screen::set_headless_size(w, h);
        screen::windowopen_(screen::WindowRecord{}, 0);
        screen::igrarea_(0, 0, 1, 1);
        screen::igrunits_(0, 0, 10, 8);
        screen::igrcolourmodel_(24);
        screen::reset_error_state();
    }
    ~Window() {
        screen::windowclose_();
        screen::set_headless_size(1000, 800);
    }
};

Rgb at_user(double x, double y) {
    double px, py;
    screen::user_to_pixel(x, y, px, py);
    return screen::pixel_at(static_cast<int>(std::lround(px)), static_cast<int>(std::lround(py)));
}

void fill_all(int colour) {
    screen::igrcolourn_(colour);
    std::vector<float> x{0, 10, 10, 0}, y{0, 0, 8, 8};
    screen::igrpolygoncomplex_(x, y, 4);
}

// Antialiased diagonal strokes are not pure red on every pixel.
bool reddish(Rgb c) { return c.r > 200 && c.g < 160 && c.b < 160; }

int count_colour(Rgb c, int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) n += screen::pixel_at(x, y) == c;
    return n;
}

TEST(ScreenUnits, WindowUnitsAndPixelsFollowTheIntegerRules) {
    Window w(800, 600);
    int px, py, ux, uy;
    screen::windowunitstopixels_(6000, 200, px, py);
    EXPECT_EQ(px, 480);
    EXPECT_EQ(py, 12);
    screen::windowunitstopixels_(9999, 9999, px, py);
    EXPECT_EQ(px, 799);  // the last pixel, not one past it
    EXPECT_EQ(py, 599);
    screen::windowunitsfrompixels_(799, 599, ux, uy);
    EXPECT_EQ(ux, 9999);
    EXPECT_EQ(uy, 9999);
    screen::windowunitsfrompixels_(400, 1, ux, uy);
    EXPECT_EQ(ux, 9999 * 400 / 799);
    EXPECT_EQ(uy, 16);
}

TEST(ScreenUnits, ClearAreaIncludesBothCorners) {
    Window w(800, 600);
    fill_all(0);
    screen::windowcleararea_(0, 0, 6000, 200);
    EXPECT_EQ(screen::pixel_at(0, 0), kWhite);
    EXPECT_EQ(screen::pixel_at(480, 12), kWhite);
    EXPECT_EQ(screen::pixel_at(481, 12), (Rgb{0, 0, 0}));
    EXPECT_EQ(screen::pixel_at(480, 13), (Rgb{0, 0, 0}));
    screen::windowclear_();
    EXPECT_EQ(count_colour(kWhite, 0, 0, 799, 599), 800 * 600);
}

TEST(ScreenMapping, UserUnitsRunUpwardsOverTheWholeWindow) {
    Window w(800, 600);
    double px, py;
    screen::user_to_pixel(5, 4, px, py);
    EXPECT_DOUBLE_EQ(px, 799 / 2.0);
    EXPECT_DOUBLE_EQ(py, 599 / 2.0);
    screen::user_to_pixel(0, 0, px, py);
    EXPECT_DOUBLE_EQ(px, 0);
    EXPECT_DOUBLE_EQ(py, 599);  // lower left corner
    screen::user_to_pixel(10, 8, px, py);
    EXPECT_DOUBLE_EQ(px, 799);
    EXPECT_DOUBLE_EQ(py, 0);
}

TEST(ScreenMapping, BadAreaAndUnitRangesFallBackToZeroOne) {
    Window w(800, 600);
    double px, py;
    screen::igrunits_(3, 0, 3, 8);
    EXPECT_EQ(screen::error_state(), 16);
    screen::user_to_pixel(1, 8, px, py);
    EXPECT_DOUBLE_EQ(px, 799);  // horizontal range is now 0..1
    screen::igrunits_(0, 0, 10, 8);
    screen::reset_error_state();
    screen::igrarea_(0.6f, 0, 0.2f, 0.5f);
    EXPECT_EQ(screen::error_state(), 44);
    screen::user_to_pixel(10, 8, px, py);
    EXPECT_DOUBLE_EQ(px, 799);  // x back to the whole width
    EXPECT_DOUBLE_EQ(py, 300);  // y kept to the lower half
}

TEST(ScreenLines, LineLandsOnItsPixelsAndIsClippedToTheArea) {
    Window w;
    screen::igrcolourn_(255);
    screen::igrmoveto_(1, 2);
    screen::igrlineto_(9, 2);
    EXPECT_EQ(at_user(5, 2), kRed);
    EXPECT_EQ(at_user(1, 2), kRed);
    EXPECT_EQ(at_user(9, 2), kRed);
    EXPECT_EQ(at_user(0.5, 2), kWhite);
    EXPECT_EQ(at_user(5, 2.05), kWhite);  // one pixel wide
}

TEST(ScreenLines, PenMovesToAnOutsidePointAndTheNextLineStartsThere) {
    Window w;
    screen::igrcolourn_(255);
    screen::igrmoveto_(5, 2);
    screen::igrlineto_(15, 2);
    EXPECT_EQ(at_user(9.99, 2), kRed);
    screen::igrlineto_(5, 6);  // from (15, 2): enters the window at x = 10, y = 4
    EXPECT_TRUE(reddish(at_user(7.5, 5)));
    EXPECT_TRUE(reddish(at_user(9.0, 4.4)));
    int red = count_colour(kRed, 0, 0, 999, 799);
    screen::igrlineto_(20, 30);  // wholly outside: nothing drawn, the pen follows
    screen::igrlineto_(20, -30);
    EXPECT_EQ(count_colour(kRed, 0, 0, 999, 799), red);
    screen::igrlineto_(15, 1);  // from (20, -30): still nothing inside
    EXPECT_EQ(count_colour(kRed, 0, 0, 999, 799), red);
}

TEST(ScreenFills, CrossingPolygonIsFilledEvenOdd) {
    Window w;
    screen::igrcolourn_(255);
    // A five-pointed star drawn in one stroke: its middle is crossed twice.
    std::vector<float> x, y;
    for (int k = 0; k < 5; ++k) {
        double a = M_PI / 2 + k * 4 * M_PI / 5;
        x.push_back(static_cast<float>(5 + 3 * std::cos(a)));
        y.push_back(static_cast<float>(4 + 3 * std::sin(a)));
    }
    screen::igrpolygoncomplex_(x, y, 5);
    EXPECT_EQ(at_user(5, 4), kWhite);     // centre: inside twice
    EXPECT_EQ(at_user(5, 6.5), kRed);     // the top point
    EXPECT_EQ(at_user(5, 7.5), kWhite);   // beyond the star
}

TEST(ScreenFills, RepeatedLastVertexAndTooFewVertices) {
    Window w;
    screen::igrcolourn_(255);
    std::vector<float> x{2, 4, 4, 2}, y{2, 2, 4, 4};
    screen::igrpolygoncomplex_(x, y, 4);
    int once = count_colour(kRed, 0, 0, 999, 799);
    EXPECT_GT(once, 0);
    screen::windowclear_();
    std::vector<float> xr{2, 4, 4, 2, 2}, yr{2, 2, 4, 4, 2};
    screen::igrpolygoncomplex_(xr, yr, 5);
    EXPECT_EQ(count_colour(kRed, 0, 0, 999, 799), once);
    screen::windowclear_();
    std::vector<float> x2{1, 9}, y2{1, 7};
    screen::igrpolygoncomplex_(x2, y2, 2);
    EXPECT_EQ(count_colour(kRed, 0, 0, 999, 799), 0);
    // The pen is left at the first vertex.
    screen::igrlineto_(1, 5);
    EXPECT_EQ(at_user(1, 3), kRed);
}

TEST(ScreenFills, FillOfTheWholeUnitRangeCoversEveryPixelAndAdjacentCellsLeaveNoSeam) {
    Window w(200, 160);
    screen::igrcolourn_(65280);
    for (int i = 0; i < 10; ++i) {
        std::vector<float> x{float(i), float(i + 1), float(i + 1), float(i)}, y{0, 0, 8, 8};
        screen::igrpolygoncomplex_(x, y, 4);
    }
    EXPECT_EQ(count_colour(Rgb{0, 255, 0}, 0, 0, 199, 159), 200 * 160);
}

TEST(ScreenFills, HatchedStylesMarkPartOfTheInside) {
    Window w;
    screen::igrfillpattern_(-2);
    screen::igrcolourn_(255);
    std::vector<float> x{2, 8, 8, 2}, y{2, 2, 6, 6};
    screen::igrpolygoncomplex_(x, y, 4);
    int red = count_colour(kRed, 200, 200, 800, 600);
    EXPECT_GT(red, 1000);
    EXPECT_LT(red, 601 * 401 / 2);
}

TEST(ScreenColours, PackedRgbAndPaletteNumbers) {
    Window w;
    screen::igrcolourn_(255);
    EXPECT_EQ(screen::colour_state().rgb, kRed);
    screen::igrcolourn_(65280);
    EXPECT_EQ(screen::colour_state().rgb, (Rgb{0, 255, 0}));
    EXPECT_EQ(screen::colour_state().previous_number, 255);
    screen::igrcolourn_(16711680);
    EXPECT_EQ(screen::colour_state().rgb, (Rgb{0, 0, 255}));
    EXPECT_EQ(screen::colour_state().palette_index, 12);  // exact palette match

    screen::igrcolourmodel_(1);
    screen::igrcolourn_(9);
    EXPECT_EQ(screen::colour_state().rgb, kRed);
    screen::igrcolourn_(300);
    EXPECT_EQ(screen::error_state(), 42);
    EXPECT_EQ(screen::colour_state().rgb, kRed);  // unchanged
    EXPECT_EQ(screen::colour_state().number, 9);
}

TEST(ScreenWindow, OpenTwiceSelectAndEnableTable) {
    Window w(640, 480);
    screen::WindowRecord other;
    other.width = 300;
    other.height = 200;
    screen::windowopen_(other, 0);
    int ww, hh;
    screen::window_size(ww, hh);
    EXPECT_EQ(ww, 640);
    EXPECT_EQ(hh, 480);
    screen::windowselect_(3);
    EXPECT_EQ(screen::error_state(), 1003);
    bool before[16];
    for (int t = 0; t < 16; ++t) before[t] = screen::message_enabled(t);
    screen::wmessageenable_(20, 0);
    for (int t = 0; t < 16; ++t) EXPECT_EQ(screen::message_enabled(t), before[t]);
}

TEST(ScreenText, TextIsWrittenOnItsBaselineAndMovesTheTextPosition) {
    Window w;
    screen::windowoutstring_(100, 170, "Hello");
    int x5, y;
    screen::text_position(x5, y);
    EXPECT_EQ(y, 170);
    screen::windowoutstring_(100, 170, "Hello, world");
    int x12;
    screen::text_position(x12, y);
    // Monospace: the end moves by the same step per character.
    EXPECT_NEAR(static_cast<double>(x12 - 100) / 12, static_cast<double>(x5 - 100) / 5, 1.5);
    // Ink lies above the baseline (pixel row 13) inside the strip.
    EXPECT_GT(800 * 14 - count_colour(kWhite, 0, 0, 799, 13), 20);
    EXPECT_EQ(count_colour(kWhite, 0, 17, 999, 40), 1000 * 24);
}

TEST(ScreenEvents, KeysClicksAndTypedTextFromTheSessionScript) {
    Window w;
    int type;
    screen::EventRecord e;
    testing_support::with_console("key a\nclick 2.5 6\nKEY enter\nkey Space 10 0\ntype  Hi  there\n", [&] {
        screen::wmessage_(type, e);
        EXPECT_EQ(type, screen::kKeyPress);
        EXPECT_EQ(e.value[0], 'a');
        EXPECT_FLOAT_EQ(e.gx, 5);  // the pointer starts at the centre
        EXPECT_FLOAT_EQ(e.gy, 4);
        screen::wmessage_(type, e);
        EXPECT_EQ(type, screen::kButtonPress);
        EXPECT_FLOAT_EQ(e.gx, 2.5);
        EXPECT_FLOAT_EQ(e.gy, 6);
        EXPECT_EQ(e.x, 9999 * 250 / 999);  // window units, down from the top
        EXPECT_EQ(e.y, 9999 * 200 / 799);
        screen::wmessage_(type, e);
        EXPECT_EQ(e.value[0], 13);
        EXPECT_FLOAT_EQ(e.gx, 2.5);  // the pointer stayed
        screen::wmessage_(type, e);
        EXPECT_EQ(e.value[0], ' ');
        EXPECT_EQ(e.x, 9999);
        EXPECT_EQ(e.y, 9999);
        std::string typed;
        for (int i = 0; i < 11; ++i) {
            screen::wmessage_(type, e);
            typed += static_cast<char>(e.value[0]);
        }
        EXPECT_EQ(typed, " Hi  there\r");  // blanks kept, then Enter
    });
}

TEST(ScreenEvents, ResizeChangesTheMappingAndTheNextWindowsSizeAndDisabledTypesAreSkipped) {
    Window w;
    int type;
    screen::EventRecord e;
    testing_support::with_console("resize 500 400\nkey x\nclick 10 8\n", [&] {
        screen::wmessageenable_(screen::kKeyPress, 0);
        screen::wmessage_(type, e);
        EXPECT_EQ(type, screen::kButtonPress);
        int ww, hh;
        screen::window_size(ww, hh);
        EXPECT_EQ(ww, 500);
        EXPECT_EQ(hh, 400);
        double px, py;
        screen::user_to_pixel(10, 8, px, py);
        EXPECT_DOUBLE_EQ(px, 499);
        EXPECT_DOUBLE_EQ(py, 0);
    });
    // A redraw opens the window anew at the default size: it keeps the
    // size the user gave it.
    screen::windowclose_();
    screen::windowopen_(screen::WindowRecord{}, 0);
    int ww, hh;
    screen::window_size(ww, hh);
    EXPECT_EQ(ww, 500);
    EXPECT_EQ(hh, 400);
}

TEST(ScreenEvents, ADragThroughATinySizeAndBackLeavesThePictureAsDrawn) {
    Window w(640, 480);
    screen::igrcolourn_(255);
    screen::igrmoveto_(1, 1);
    screen::igrlineto_(9, 1);  // a one-pixel line
    const int red_before = count_colour(Rgb{255, 0, 0}, 0, 0, 639, 479);
    testing_support::with_console("resize 64 48\nresize 300 200\nresize 640 480\nkey x\n", [] {
        int type;
        screen::EventRecord e;
        screen::wmessage_(type, e);
    });
    // Each size is scaled from the picture as drawn, not from the last size.
    EXPECT_EQ(count_colour(Rgb{255, 0, 0}, 0, 0, 639, 479), red_before);
    EXPECT_EQ(at_user(5, 1), (Rgb{255, 0, 0}));
}

TEST(ScreenEvents, EventLineParsing) {
    screen::ScriptEvent e;
    std::string why;
    ASSERT_TRUE(screen::parse_event_line("key Backspace", e, why));
    EXPECT_EQ(e.code, 8);
    ASSERT_TRUE(screen::parse_event_line("  KEY delete 1 2", e, why));
    EXPECT_EQ(e.code, 127);
    EXPECT_TRUE(e.has_position);
    ASSERT_TRUE(screen::parse_event_line("key escape", e, why));
    EXPECT_EQ(e.code, 27);
    ASSERT_TRUE(screen::parse_event_line("type  two  blanks ", e, why));
    EXPECT_EQ(e.text, " two  blanks ");
    ASSERT_TRUE(screen::parse_event_line("type", e, why));
    EXPECT_EQ(e.text, "");
    ASSERT_TRUE(screen::parse_event_line("resize 640 480", e, why));
    EXPECT_EQ(e.width, 640);
    // UTF-8 is typed character by character; broken UTF-8 is no text.
    ASSERT_TRUE(screen::parse_event_line("type caf\xc3\xa9", e, why));
    EXPECT_EQ(e.text, "caf\xc3\xa9");
    ASSERT_TRUE(screen::parse_event_line("key \xc2\xb0", e, why));
    EXPECT_EQ(e.code, 0xB0);
    EXPECT_FALSE(screen::parse_event_line("type caf\xe9", e, why));
    EXPECT_FALSE(screen::parse_event_line("resize 640 480 1", e, why));
}

TEST(ScreenEvents, WaitingWithNoWindowStopsInsteadOfHanging) {
    screen::configure(true, false);
    miscli::ProgramStop stop{"", 0};
    int type;
    screen::EventRecord e;
    testing_support::with_console("key a\n", [&] { screen::wmessage_(type, e); }, &stop);
    EXPECT_EQ(stop.status, 1);
    EXPECT_FALSE(stop.line.empty());
}

// Runs in a fresh folder so the pictures land there.
struct InFolder {
    testing_support::TempDir dir;
    std::filesystem::path old = std::filesystem::current_path();
    InFolder() { std::filesystem::current_path(dir.path()); }
    ~InFolder() { std::filesystem::current_path(old); }
};

// A headless canvas that no picture is taken of is left blank by lines,
// fills and text; text still says (roughly) where it ends. With pictures it is drawn as ever.
TEST(ScreenUnseen, OnlyACanvasWithoutPicturesSkipsLinesAndFills) {
    for (bool shots : {false, true}) {
        InFolder here;
        screen::configure(true, shots);
        screen::skip_unseen_drawing();
        screen::windowopen_(screen::WindowRecord{}, 0);
        screen::igrunits_(0, 0, 10, 8);
        screen::igrcolourmodel_(24);
        fill_all(255);
        screen::igrcolourn_(0xFF00);
        screen::igrmoveto_(1, 2);
        screen::igrlineto_(9, 2);
        EXPECT_EQ(at_user(5, 5), shots ? kRed : kWhite);
        EXPECT_EQ(at_user(5, 2), shots ? (Rgb{0, 255, 0}) : kWhite);
        screen::windowoutstring_(100, 170, "Hello");
        int x, y;
        screen::text_position(x, y);
        EXPECT_GT(x, 100);
        screen::windowclose_();
    }
    screen::configure(true, false);
}

TEST(ScreenShots, PicturesOfDrawnWindowsTakeTheNextFreeNumber) {
    InFolder here;
    testing_support::write_file(here.dir / "SCREEN02.PNG", "keep");
    screen::configure(true, true);
    screen::windowopen_(screen::WindowRecord{}, 0);
    screen::igrunits_(0, 0, 10, 8);
    screen::windowclear_();  // nothing drawn yet: no picture
    EXPECT_FALSE(std::filesystem::exists(here.dir / "SCREEN01.PNG"));
    screen::igrmoveto_(1, 1);
    screen::igrlineto_(9, 7);
    screen::windowcleararea_(0, 0, 6000, 200);  // the prompt strip does not count
    EXPECT_FALSE(std::filesystem::exists(here.dir / "SCREEN01.PNG"));
    screen::windowclear_();
    EXPECT_TRUE(std::filesystem::exists(here.dir / "SCREEN01.PNG"));
    screen::igrlineto_(1, 7);
    screen::windowclose_();
    EXPECT_TRUE(std::filesystem::exists(here.dir / "SCREEN03.PNG"));
    EXPECT_EQ(testing_support::read_file(here.dir / "SCREEN02.PNG"), "keep");
    auto png = testing_support::read_file(here.dir / "SCREEN03.PNG");
    EXPECT_EQ(png.substr(1, 3), "PNG");
    screen::configure(true, false);
}

}  // namespace
