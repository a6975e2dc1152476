// Input in the graphics window, driven by session-script events.
#include <gtest/gtest.h>

#include <sstream>

#include "daz/input.h"
#include "daz/plot_device.h"
#include "miscli/console.h"
#include "screen/screen.h"
#include "support/test_support.h"

namespace {

using testing_support::with_console;

struct ScreenPlot {
    explicit ScreenPlot(char orientation = 'X', int width = 1000, int height = 800) {
        screen::configure(true, false);
        screen::set_headless_size(width, height);
        daz::plopen_('S', orientation);
    }
    ~ScreenPlot() {
        daz::close_open_plot();
        screen::set_headless_size(1000, 800);
    }
};

// Ink (non-white pixels) in a window-unit rectangle.
int ink(int x1, int y1, int x2, int y2) {
    int px1, py1, px2, py2, n = 0;
    screen::windowunitstopixels_(x1, y1, px1, py1);
    screen::windowunitstopixels_(x2, y2, px2, py2);
    for (int y = py1; y <= py2; ++y)
        for (int x = px1; x <= px2; ++x) n += !(screen::pixel_at(x, y) == screen::Rgb{255, 255, 255});
    return n;
}

int strip_ink() { return ink(0, 0, 5990, 200); }
int echo_ink() { return ink(6010, 0, 9999, 200); }

int text_end_after(std::string_view text) {
    screen::windowoutstring_(100, 170, text);
    int x, y;
    screen::text_position(x, y);
    return x;
}

TEST(InputPrompts, ScrtxtShowsUpToTheLastPrintableCharacter) {
    ScreenPlot plot;
    daz::scrtxt_("Pick the first dive");
    EXPECT_GT(strip_ink(), 50);
    daz::scrtxt_("      ");
    EXPECT_EQ(strip_ink(), 0);  // cleared, nothing written
    int x;
    int expected = text_end_after("Pick a point:");
    with_console("key y\n", [&] {
        char answer = '?';
        daz::getchar_("Pick a point   ", answer, miscli::QuestionId::Device);
        EXPECT_EQ(answer, 'y');  // no upper-casing here
        int y;
        screen::text_position(x, y);
    });
    EXPECT_EQ(x, expected);  // the 12 characters and a colon, the blank dropped
}

TEST(InputPrompts, ALongPromptStaysInsideTheStripOfANarrowWindowAlsoAfterAResize) {
    ScreenPlot plot('X', 420, 500);
    const std::string prompt = "Station range   1 120. Tell dive (N)umber, (G)ive dive range, (Q)uit";
    // Nothing right of the strip or under it, where the strip's clear would
    // not reach (its last pixel column is also the echo area's first in a
    // narrow window); the prompt runs up to the strip's end.
    auto inside_the_strip_only = [] {
        EXPECT_GT(ink(5000, 0, 5990, 200), 0);
        EXPECT_EQ(ink(6100, 0, 9999, 200), 0);
        EXPECT_EQ(ink(0, 250, 9999, 600), 0);
    };
    daz::scrtxt_(prompt);
    inside_the_strip_only();
    with_console("resize 300 400\nkey x\n", [&] {
        char answer = '?';
        daz::getchar_(prompt, answer, miscli::QuestionId::Device);
    });
    daz::scrtxt_(prompt);
    inside_the_strip_only();
    daz::scrtxt_("Short");
    EXPECT_EQ(ink(1500, 0, 9999, 600), 0);  // the long prompt is gone whole
}

TEST(InputKeys, GetcharTakesTheFirstKeyOrAClick) {
    ScreenPlot plot;
    with_console("resize 900 700\nclick 1 1\nkey Escape\n", [] {
        char answer = '?';
        daz::getchar_("Again", answer, miscli::QuestionId::Device);
        EXPECT_EQ(answer, 'K');
        daz::getchar_("Again", answer, miscli::QuestionId::Device);
        EXPECT_EQ(answer, 27);
    });
}

TEST(InputKeys, GetstringEchoesAndEditsTheLine) {
    ScreenPlot plot;
    with_console("key 1\nkey 2\nkey Backspace\nkey 3\nkey Enter\n", [] {
        std::string answer(8, '?');
        daz::getstring_("Title", answer, miscli::QuestionId::Title);
        EXPECT_EQ(answer, "13      ");
        EXPECT_EQ(echo_ink(), 0);  // Enter clears the echo
    });
    with_console("key Delete\ntype a b\n", [] {
        std::string answer(5, '?');
        daz::getstring_("Title", answer, miscli::QuestionId::Title);
        EXPECT_EQ(answer, "a b  ");
    });
    with_console("key x\nkey y\nclick 5 5\n", [] {
        std::string answer(4, '?');
        daz::getstring_("Title", answer, miscli::QuestionId::Title);
        EXPECT_EQ(answer, "xy  ");  // a click ends it as typed so far
        EXPECT_GT(echo_ink(), 0);    // and the echo stays
    });
    with_console("type overlong\n", [] {
        std::string answer(4, '?');
        daz::getstring_("Title", answer, miscli::QuestionId::Title);
        EXPECT_EQ(answer, "over");  // keys past the field are ignored
    });
}

TEST(InputPoints, GinchGivesPageInchesOfThePageShown) {
    {
        ScreenPlot plot('X');
        with_console("click 4.5 2.25\nkey q 7 1\n", [] {
            float x = 0, y = 0;
            char key = ' ';
            daz::ginch_(x, y, key);
            EXPECT_FLOAT_EQ(x, 4.5f);
            EXPECT_FLOAT_EQ(y, 2.25f);
            EXPECT_EQ(key, '$');
            daz::ginch_(x, y, key);
            EXPECT_FLOAT_EQ(x, 7);
            EXPECT_FLOAT_EQ(y, 1);
            EXPECT_EQ(key, 'q');
        });
    }
    ScreenPlot plot('Y');
    with_console("click 3 6\n", [] {
        float x = 0, y = 0;
        char key = ' ';
        daz::ginch_(x, y, key);
        EXPECT_FLOAT_EQ(x, 2);
        EXPECT_FLOAT_EQ(y, 3);
        EXPECT_EQ(key, '$');
    });
}

TEST(InputHardcopy, InputRoutinesReturnAtOnceWithResultsUnchanged) {
    testing_support::TempDir dir;
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    screen::configure(true, false);
    std::istringstream in("key a\n");
    std::ostringstream out;
    {
        miscli::ConsoleRedirect guard(in, out);
        daz::plopen_('H', 'X');
        char c = '?';
        std::string s = "keep";
        float x = 1, y = 2;
        daz::getchar_("Q", c, miscli::QuestionId::Device);
        daz::getstring_("Q", s, miscli::QuestionId::Title);
        daz::ginch_(x, y, c);
        EXPECT_EQ(c, '?');
        EXPECT_EQ(s, "keep");
        EXPECT_EQ(x, 1);
        EXPECT_EQ(y, 2);
        daz::plclosnow_();
    }
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, "key a");  // no event was read
    std::filesystem::current_path(old);
}

TEST(InputErrors, BadEventOrEndOfScriptStopsWithOneLine) {
    ScreenPlot plot;
    miscli::ProgramStop stop{"", 0};
    with_console("key 1\nkey Tab\n", [] {
        std::string answer(4, ' ');
        daz::getstring_("Title", answer, miscli::QuestionId::Title);
    }, &stop);
    EXPECT_EQ(stop.status, 1);
    EXPECT_EQ(stop.line, " Bad event line in the session script: \"key Tab\" (the key is one printable character "
                         "or Enter, Backspace, Delete, Escape, Space).");
    stop = {"", 0};
    with_console("", [] {
        float x, y;
        char k;
        daz::ginch_(x, y, k);
    }, &stop);
    EXPECT_EQ(stop.status, 1);
    EXPECT_NE(stop.line.find("ended"), std::string::npos);
}

}  // namespace
