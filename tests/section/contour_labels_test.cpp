// Label texts and the label editor, driven by headless window events.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "daz/plot_device.h"
#include "miscli/console.h"
#include "miscli/text_field.h"
#include "screen/screen.h"
#include "section/contour_labels.h"
#include "section/lin_plot.h"
#include "section/lin_plot_fixture.h"
#include "support/test_support.h"

using namespace testing_support;
using lin_plot_testing::Field;
using section::labstore;

namespace {

struct ScreenPlot {
    ScreenPlot() {
        screen::configure(true, false);
        screen::set_headless_size(1000, 800);
        daz::plopen_('S', 'X');
    }
    ~ScreenPlot() { daz::close_open_plot(); }
};

// Dark pixels in a page rectangle (inches); the grey left where a white
// stroke went over an antialiased black one does not count.
int ink(float x1, float y1, float x2, float y2) {
    double ax, ay, bx, by;
    screen::user_to_pixel(x1, y1, ax, ay);
    screen::user_to_pixel(x2, y2, bx, by);
    int n = 0;
    for (int y = static_cast<int>(std::min(ay, by)); y <= static_cast<int>(std::max(ay, by)); ++y)
        for (int x = static_cast<int>(std::min(ax, bx)); x <= static_cast<int>(std::max(ax, bx)); ++x)
            n += screen::pixel_at(x, y).r < 150;
    return n;
}
// Around a label of `chars` characters standing at (x, y).
int ink_at(float x, float y, int chars = 2) { return ink(x - 0.03f, y - 0.03f, x + 0.1f * chars, y + 0.13f); }

// Profiles at page x 1, 3, 5; levels at page y 7.2, 5.2, 3.2; levels
// 24.2 .. 27.4 by 0.2. The node at (3, 5.2) holds 26.93, (5, 3.2) nothing.
Field field() {
    return Field({0, 2, 4}, {0, 2, 4}, {{24.55f, 25.05f, 25.45f}, {25.5f, 26.93f, 27.3f}, {26.0f, 27.4f, -999.9f}});
}

// Runs the screen plot with the editor on `events`; gives the console output.
std::string edit(const std::string& events, int& count, float lo = 24.1f, float hi = 27.5f) {
    return with_console(events, [&] { field().plot(lo, hi, count, 'S'); });
}

void store(int i, float x, float y, const std::string& text) {
    section::ContourLabel& l = labstore.labels[static_cast<std::size_t>(i - 1)];
    l = {};
    l.x = x;
    l.y = y;
    for (std::size_t c = 0; c < text.size(); ++c) l.text[c] = text[c];
    l.length = static_cast<int>(text.size());
}

std::string text(int i) {
    const section::ContourLabel& l = labstore.labels[static_cast<std::size_t>(i - 1)];
    return {l.text.data(), static_cast<std::size_t>(l.length)};
}

// Where the text of the main prompt ends when nothing stands before it.
int plain_prompt_end() {
    screen::windowoutstring_(100, 170, "(A)sk value, (M)ove, (K)ill, (Q)uit");
    int x, y;
    screen::text_position(x, y);
    return x;
}

int last_text_end() {
    int x, y;
    screen::text_position(x, y);
    return x;
}

}  // namespace

TEST(WrLabel, ShortTextsOfContourValues) {
    struct Case {
        float value;
        const char* text;
        int n;
    };
    for (Case c : {Case{25.5f, "25.5", 4}, {100.0f, "100", 3}, {0.25f, "0.25", 4}, {-1.0f, "-1", 2}, {0.0f, "0", 1},
                   {-999.5f, "-999.5", 6}, {1234.5f, "1234.5", 6}, {12345.0f, "********", 8}, {0.0004f, "0", 1},
                   {-0.0004f, "0", 1}, {27.4f, "27.4", 4}, {NAN, "********", 8}}) {
        std::string t(20, '?');
        int n = -1;
        section::wr_label_(c.value, t, n);
        EXPECT_EQ(n, c.n) << c.value;
        EXPECT_EQ(t, miscli::field(c.text, 20)) << c.value;
    }
    std::string small(3, '?');
    int n = 0;
    section::wr_label_(7.0f, small, n);
    EXPECT_EQ(small, "7       ");  // widened to the 8 the layout needs
    EXPECT_EQ(n, 1);
}

TEST(LabelEditor, AskValueThenPlaceOrSkip) {
    ScreenPlot plot;
    int count = 0;
    // 26.93 lies nearest the level 27.0.
    std::string out = edit("key A 3.1 5.3\nkey K 6 2\nkey Q\n", count);
    EXPECT_EQ(out, "  \n  \n");  // one line of two blanks per key at the main prompt
    ASSERT_EQ(count, 1);
    EXPECT_EQ(text(1), "27");
    EXPECT_FLOAT_EQ(labstore.labels[0].x, 6.0f);
    EXPECT_FLOAT_EQ(labstore.labels[0].y, 2.0f);
    EXPECT_GT(ink_at(6, 2), 10);

    // Lower case works; S or a click at the placing prompt drops the label.
    edit("key a 3 5\nkey s 7 2\nkey A 3 5\nclick 8 2\nkey q\n", count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(ink_at(7, 2) + ink_at(8, 2), 0);
    EXPECT_EQ(text(1), "27");

    edit("key A 1.2 7\nkey K 6 1\nkey Q\n", count);  // 24.55: the nearer level is 24.6
    ASSERT_EQ(count, 2);
    EXPECT_EQ(text(2), "24.6");
}

TEST(LabelEditor, MoveWithAndWithoutK) {
    ScreenPlot plot;
    store(1, 6, 1, "27");
    store(2, 8, 2, "26.8");
    int count = 2;
    edit("key M 6.1 1.1\nkey K 7 0.5\nkey Q\n", count);
    EXPECT_EQ(count, 2);
    EXPECT_FLOAT_EQ(labstore.labels[0].x, 7.0f);
    EXPECT_FLOAT_EQ(labstore.labels[0].y, 0.5f);
    EXPECT_GT(ink_at(7, 0.5f), 10);
    EXPECT_GT(ink_at(6, 1), 10);  // the old image is not wiped

    // Any other key, or a click, leaves it where it was (drawn again there).
    edit("key m 8.2 2.2\nkey X 9 3\nkey M 8 2\nclick 9 3\nkey Q\n", count);
    EXPECT_FLOAT_EQ(labstore.labels[1].x, 8.0f);
    EXPECT_FLOAT_EQ(labstore.labels[1].y, 2.0f);
    EXPECT_EQ(ink_at(9, 3), 0);
    EXPECT_EQ(text(2), "26.8");
}

TEST(LabelEditor, KillTheNearestOfThreeAndMoveTheLastIntoItsPlace) {
    ScreenPlot plot;
    store(1, 6, 1, "1");
    store(2, 7, 2, "2");
    store(3, 8, 1, "3");
    int count = 3;
    edit("key K 7.05 2.2\nkey Q\n", count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(text(1), "1");
    EXPECT_EQ(text(2), "3");
    EXPECT_FLOAT_EQ(labstore.labels[1].x, 8.0f);
    EXPECT_FLOAT_EQ(labstore.labels[1].y, 1.0f);
    EXPECT_EQ(ink_at(7, 2, 1), 0);  // wiped in white
    EXPECT_GT(ink_at(6, 1, 1), 5);
    EXPECT_GT(ink_at(8, 1, 1), 5);
    EXPECT_EQ(daz::screen_colour(), 0);  // black again for what follows
}

TEST(LabelEditor, ClicksAndKeysWithNothingToActOn) {
    ScreenPlot plot;
    int count = 0;
    // A click at the main prompt, and M or K with no labels: nothing.
    std::string out = edit("click 3 5\nkey M 3 5\nkey K 3 5\nkey Z 3 5\nkey Q\n", count);
    EXPECT_EQ(out, "  \n  \n  \n  \n  \n");
    EXPECT_EQ(count, 0);
    const int plain = plain_prompt_end();

    // A where the field has no value: no label, a note before the prompt.
    edit("key A 5.1 3.1\nkey Q\n", count);
    EXPECT_EQ(count, 0);
    EXPECT_GT(last_text_end(), plain);

    // A with no contour levels (a flat field).
    edit("key A 3 5\nkey Q\n", count, 26.0f, 26.0f);
    EXPECT_EQ(count, 0);
    EXPECT_GT(last_text_end(), plain);

    // A full store refuses the label and stays as it was.
    for (int i = 1; i <= section::MXLAB; ++i) store(i, 9.5f, 0.2f + 0.05f * static_cast<float>(i % 10), "1");
    count = section::MXLAB;
    edit("key A 3.1 5.3\nkey Q\n", count);
    EXPECT_EQ(count, section::MXLAB);
    EXPECT_GT(last_text_end(), plain);
    for (int i = 1; i <= section::MXLAB; ++i) EXPECT_EQ(text(i), "1");

    // The note lasts one prompt only.
    count = 0;
    edit("key A 5.1 3.1\nkey Z\nkey Q\n", count);
    EXPECT_EQ(last_text_end(), plain);
}

TEST(LabelEditor, RunsOnlyOnTheScreen) {
    TempDir dir;
    WorkingDir here(dir.path());
    store(1, 6, 2, "27");
    int count = 1;
    // With the hardcopy open nothing is asked, even when told 'S'.
    std::string out = with_console("", [&] {
        daz::plopen_('H', 'X');
        field().plot(24.1f, 27.5f, count, 'S');
        daz::plclosnow_();
    });
    EXPECT_EQ(out, " Open OUT01.EPS\n");
    EXPECT_EQ(count, 1);
}
