// The dive range chosen on the track map, driven by session-script events
// in the headless window.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "daz/input.h"
#include "daz/plot_device.h"
#include "data/limits.h"
#include "miscli/console.h"
#include "miscli/stop.h"
#include "screen/screen.h"
#include "section/get_div.h"
#include "support/test_support.h"

using testing_support::with_console;

namespace {

// Dive positions as the dive table holds them, all missing at first.
struct Positions {
    miscli::Array1<float> lon_start{data::MXPR + 1, -999.0f}, lat_start{data::MXPR + 1, -99.9f};
    miscli::Array1<float> lon_end{data::MXPR + 1, -999.0f}, lat_end{data::MXPR + 1, -99.9f};
    void set(int d, float lon, float lat) {
        lon_start(d) = lon_end(d) = lon;
        lat_start(d) = lat_end(d) = lat;
    }
};

// n dives on a straight line running north-east.
Positions diagonal(int n) {
    Positions p;
    for (int d = 1; d <= n; ++d) p.set(d, -125.0f + 0.01f * static_cast<float>(d), 36.0f + 0.006f * static_cast<float>(d));
    return p;
}

// Hands the session to the program one line at a time; before line i it
// runs probes[i], while the program waits for that event with the window
// showing what it has drawn.
class ProbedLines : public std::streambuf {
public:
    ProbedLines(std::vector<std::string> lines, std::map<std::size_t, std::function<void()>> probes)
        : lines_(std::move(lines)), probes_(std::move(probes)) {}
    std::size_t probes_run = 0;

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (next_ >= lines_.size()) return traits_type::eof();
        if (auto p = probes_.find(next_); p != probes_.end()) {
            p->second();
            ++probes_run;
        }
        current_ = lines_[next_++] + "\n";
        setg(current_.data(), current_.data(), current_.data() + current_.size());
        return traits_type::to_int_type(*gptr());
    }

private:
    std::vector<std::string> lines_;
    std::map<std::size_t, std::function<void()>> probes_;
    std::size_t next_ = 0;
    std::string current_;
};

struct Run {
    int first = 1, last = 0;
    std::string console;
    bool stopped = false;
    miscli::ProgramStop stop{"", -1};
    std::size_t probes_run = 0;
};

Run run_get_div(const Positions& p, int n_dives, int first, int last, std::vector<std::string> lines,
                std::map<std::size_t, std::function<void()>> probes = {}) {
    screen::configure(true, false);
    screen::set_headless_size(1000, 800);
    ProbedLines source(std::move(lines), std::move(probes));
    std::istream in(&source);
    std::ostringstream out;
    Run r;
    r.first = first;
    r.last = last;
    {
        miscli::ConsoleRedirect redirect(in, out);
        try {
            section::get_div_(p.lon_start, p.lat_start, p.lon_end, p.lat_end, n_dives, r.first, r.last);
        } catch (const miscli::ProgramStop& s) {
            r.stopped = true;
            r.stop = s;
        }
        daz::close_open_plot();
    }
    r.console = out.str();
    r.probes_run = source.probes_run;
    return r;
}

// Pixels of the message strip.
std::vector<screen::Rgb> strip() {
    int x2, y2;
    screen::windowunitstopixels_(5990, 200, x2, y2);
    std::vector<screen::Rgb> px;
    for (int y = 0; y <= y2; ++y)
        for (int x = 0; x <= x2; ++x) px.push_back(screen::pixel_at(x, y));
    return px;
}

// Whether the strip shows exactly `text`, and not `other`: both are drawn
// there and compared with what was shown.
bool strip_shows(const std::string& text, const std::string& other) {
    auto shown = strip();
    daz::scrtxt_(other);
    auto with_other = strip();
    daz::scrtxt_(text);
    return strip() == shown && with_other != shown;
}

// The most saturated pixel near the page point, as 'r', 'g', 'b', or ' '
// when there is no colour there.
char colour_near(float x, float y) {
    daz::PagePoint p = daz::device_page(x, y);
    double px, py;
    screen::user_to_pixel(p.x, p.y, px, py);
    char best = ' ';
    int best_sat = 60;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            screen::Rgb c = screen::pixel_at(static_cast<int>(px + 0.5) + dx, static_cast<int>(py + 0.5) + dy);
            int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
            if (hi - lo > best_sat) {
                best_sat = hi - lo;
                best = hi == c.r ? 'r' : hi == c.g ? 'g' : 'b';
            }
        }
    return best;
}

char colour_between(const section::TrackMap& m, int d1, int d2) {
    return colour_near(0.5f * (m.map_x(d1) + m.map_x(d2)), 0.5f * (m.map_y(d1) + m.map_y(d2)));
}

std::string at(const section::TrackMap& m, int dive) {
    return std::to_string(m.map_x(dive)) + " " + std::to_string(m.map_y(dive));
}

const std::string kRange45 = "Station range   1  45. Tell dive (N)umber, (G)ive dive range, (Q)uit";

}  // namespace

TEST(Av2, MeanOfTheKnownValues) {
    EXPECT_FLOAT_EQ(section::av2_(-122.0f, -122.2f, -999.0f), -122.1f);
    EXPECT_FLOAT_EQ(section::av2_(-999.0f, -122.2f, -999.0f), -122.2f);  // start missing: the end
    EXPECT_FLOAT_EQ(section::av2_(36.5f, -99.9f, -99.0f), 36.5f);
    EXPECT_FLOAT_EQ(section::av2_(-99.9f, -99.9f, -99.0f), -99.0f);
}

TEST(TrackMap, LimitsPointsAndDivesWithoutPosition) {
    Positions p = diagonal(5);
    p.lon_start(2) = -999.0f;  // only the end known: mapped there
    p.lat_start(2) = -99.9f;
    p.lon_end(2) = -124.98f;
    p.set(4, -999.0f, -99.9f);  // nothing known: left out
    auto m = section::track_map(p.lon_start, p.lat_start, p.lon_end, p.lat_end, 1, 5);
    EXPECT_EQ(m.n_mapped, 4);
    EXPECT_NEAR(m.lon_min, -124.99f - 0.004f, 1e-4);
    EXPECT_NEAR(m.lon_max, -124.95f + 0.004f, 1e-4);
    EXPECT_NEAR(m.lat_max, 36.03f + 0.0024f, 1e-4);
    EXPECT_EQ(m.orientation, 'X');
    EXPECT_FLOAT_EQ(m.map_x(4), -99.0f);
    EXPECT_FLOAT_EQ(m.map_y(4), -99.0f);
    EXPECT_NEAR(m.map_x(2), m.left + (m.right - m.left) * (0.004f + 0.01f) / 0.048f, 5e-3);
    EXPECT_NEAR(m.map_x(1), m.left + (m.right - m.left) * 0.004f / 0.048f, 5e-3);

    // One dive alone still gets a box (0.01 degree and the margins).
    auto one = section::track_map(p.lon_start, p.lat_start, p.lon_end, p.lat_end, 5, 5);
    EXPECT_NEAR(one.lon_max - one.lon_min, 0.012f, 1e-5);
    EXPECT_NEAR(one.lat_max - one.lat_min, 0.012f, 1e-5);
    EXPECT_NEAR(one.map_x(5), 0.5f * (one.left + one.right), 1e-3);
}

TEST(TrackMap, NearestDiveTakesTheFirstOfEqualDistances) {
    section::TrackMap m;
    m.first = 3;
    m.last = 6;
    m.x = {2.0f, 4.0f, 2.0f, -99.0f};
    m.y = {3.0f, 3.0f, 3.0f, -99.0f};
    EXPECT_EQ(section::nearest_dive(m, 3.0f, 3.0f), 3);   // 3 and 4 both 1 inch away
    EXPECT_EQ(section::nearest_dive(m, 3.01f, 3.0f), 4);
    EXPECT_EQ(section::nearest_dive(m, 2.0f, 3.0f), 3);   // 5 lies on 3
    EXPECT_EQ(section::nearest_dive(m, -60.0f, -60.0f), 3);  // a dive without position is never found
    EXPECT_EQ(section::nearest_dive(m, 500.0f, 3.0f), 0);   // nothing within 100 inches
}

TEST(ReadDiveRange, CommasOrBlanksAndTheReasonsForRefusing) {
    int first = 0, last = 0;
    std::string why;
    EXPECT_TRUE(section::read_dive_range("10, 50", 60, first, last, why));
    EXPECT_EQ(first, 10);
    EXPECT_EQ(last, 50);
    EXPECT_TRUE(section::read_dive_range("  7   7  99", 60, first, last, why));  // the first two count
    EXPECT_EQ(first, 7);
    EXPECT_EQ(last, 7);
    const std::pair<const char*, const char*> refused[] = {
        {"", "Type two dive numbers."},
        {"10", "Type two dive numbers."},
        {"10 5x", "Dive numbers are whole numbers."},
        {"1.5 3", "Dive numbers are whole numbers."},
        {"0 5", "Dives are 1 to 60."},
        {"10 61", "Dives are 1 to 60."},
        {"10 99999999999999", "Dive numbers are whole numbers."},
        {"50,10", "The first dive is after the last."},
    };
    for (const auto& [typed, reason] : refused) {
        first = last = -1;
        EXPECT_FALSE(section::read_dive_range(typed, 60, first, last, why)) << typed;
        EXPECT_EQ(why, reason) << typed;
        EXPECT_EQ(first, -1);
    }
}

TEST(GetDiv, TrackColoursChangeEvery20DivesAndBreakWithoutPosition) {
    Positions p = diagonal(45);
    p.set(30, -999.0f, -99.9f);
    auto m = section::track_map(p.lon_start, p.lat_start, p.lon_end, p.lat_end, 1, 45);
    std::string colours;
    auto look = [&] {
        for (auto [a, b] : {std::pair{19, 20}, {20, 21}, {21, 22}, {40, 41}, {41, 42}}) colours += colour_between(m, a, b);
        colours += colour_between(m, 29, 31);  // dive 30 has no position
    };
    std::string before_click;
    auto r = run_get_div(p, 45, 1, 45, {"click", "key G", "type 1 45"},
                         {{0, [&] { before_click += colour_between(m, 20, 21); }}, {1, look}});
    EXPECT_EQ(r.probes_run, 2u);
    EXPECT_EQ(before_click, " ");  // nothing drawn until the click
    EXPECT_EQ(colours, "rbbgg ");  // the 21st dive and the segment into it are blue
    EXPECT_FALSE(r.stopped) << r.stop.line;
}

TEST(GetDiv, StripFollowsTheKeysAndTheSecondDiveReplacesTheFirst) {
    Positions p = diagonal(45);
    auto m = section::track_map(p.lon_start, p.lat_start, p.lon_end, p.lat_end, 1, 45);
    std::vector<std::string> seen;
    auto expect_strip = [&](std::string text, std::string not_text) {
        return [&seen, text, not_text] { seen.push_back(strip_shows(text, not_text) ? "ok" : "not " + text); };
    };
    const std::string dive5 = "Dive   5. Tell dive (N)umber, (G)ive station range, (Q)uit";
    const std::string dive12 = "Dive  12. Tell dive (N)umber, (G)ive station range, (Q)uit";
    auto r = run_get_div(p, 45, 1, 45,
                         {"click", "key N " + at(m, 5), "key n " + at(m, 12), "key X", "key G", "type 3, 30"},
                         {{0, expect_strip("Click plot area to begin", kRange45)},
                          {1, expect_strip(kRange45, dive5)},
                          {2, expect_strip(dive5, dive12)},
                          {3, expect_strip(dive12, dive5)},
                          {4, expect_strip(kRange45, dive12)},
                          {5, expect_strip("Give First, Last dive to plot:", kRange45)}});
    EXPECT_EQ(seen, std::vector<std::string>(6, "ok"));
    EXPECT_EQ(r.first, 3);
    EXPECT_EQ(r.last, 30);
    EXPECT_FALSE(screen::window_is_open());
}

TEST(GetDiv, RangeTypedWithCommaOrBlanksAndAskedAgainWhenUnusable) {
    Positions p = diagonal(60);
    auto comma = run_get_div(p, 60, 1, 60, {"click", "key G", "type 10, 50"});
    EXPECT_EQ(comma.first, 10);
    EXPECT_EQ(comma.last, 50);
    auto blanks = run_get_div(p, 60, 1, 60, {"click", "key g", "type   10   50"});
    EXPECT_EQ(blanks.first, 10);
    EXPECT_EQ(blanks.last, 50);

    std::vector<bool> shown;
    auto shows = [&](const char* text) {
        return [&shown, text] { shown.push_back(strip_shows(text, "Give First, Last dive to plot:")); };
    };
    auto again = run_get_div(p, 60, 1, 60, {"click", "key G", "type 50 10", "type 5 61", "type 12 40"},
                             {{3, shows("The first dive is after the last. Give First, Last dive to plot:")},
                              {4, shows("Dives are 1 to 60. Give First, Last dive to plot:")}});
    EXPECT_EQ(shown, (std::vector<bool>{true, true}));
    EXPECT_EQ(again.first, 12);
    EXPECT_EQ(again.last, 40);
    EXPECT_EQ(again.console, "");
}

TEST(GetDiv, NoPositionsOrTooManyDivesOpenNoWindow) {
    Positions none;
    auto r = run_get_div(none, 4, 1, 4, {});
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 4);
    EXPECT_EQ(r.console, " No dive from 1 to 4 has a position, so no map is shown; the range stays 1 to 4.\n");

    Positions many = diagonal(701);
    auto over = run_get_div(many, 701, 1, 701, {});
    EXPECT_TRUE(over.stopped);
    EXPECT_EQ(over.stop.status, 1);
    EXPECT_EQ(over.stop.line, " Increase MXPTS or GRT_DIV");

    // 700 dives fit, wherever they start.
    auto fits = run_get_div(many, 701, 2, 701, {"click", "key G", "type 2 701"});
    EXPECT_FALSE(fits.stopped) << fits.stop.line;
    EXPECT_EQ(fits.last, 701);
}
