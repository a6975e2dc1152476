// The dive range chosen on the track map, driven by session-script events
// in the headless window.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "daz/input.h"
#include "daz/plot_device.h"
#include "data/limits.h"
#include "miscli/console.h"
#include "miscli/stop.h"
#include "screen/screen.h"
#include "section/get_div.h"

namespace {

// Dive positions as the dive table holds them, all missing at first.
struct Positions {
    miscli::Array1<float> lon_s{data::MXPR + 1, -999.0f}, lat_s{data::MXPR + 1, -99.9f};
    miscli::Array1<float> lon_e{data::MXPR + 1, -999.0f}, lat_e{data::MXPR + 1, -99.9f};
    void set(int d, float lon, float lat) { lon_s(d) = lon_e(d) = lon, lat_s(d) = lat_e(d) = lat; }
    section::TrackMap map(int first, int last) const { return section::track_map(lon_s, lat_s, lon_e, lat_e, first, last); }
};

// n dives on a straight line running north-east.
Positions diagonal(int n) {
    Positions p;
    for (int d = 1; d <= n; ++d) p.set(d, -125.0f + 0.01f * static_cast<float>(d), 36.0f + 0.006f * static_cast<float>(d));
    return p;
}

// Hands the script over one line at a time and, before line i, runs
// probes[i] while the program waits for that event with its window shown.
class ProbedLines : public std::streambuf {
public:
    ProbedLines(std::vector<std::string> lines, std::map<std::size_t, std::function<void()>> probes)
        : lines_(std::move(lines)), probes_(std::move(probes)) {}

protected:
    int_type underflow() override {
        if (next_ >= lines_.size()) return traits_type::eof();
        if (auto p = probes_.find(next_); p != probes_.end()) p->second();
        line_ = lines_[next_++] + "\n";
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(line_[0]);
    }

private:
    std::vector<std::string> lines_;
    std::map<std::size_t, std::function<void()>> probes_;
    std::size_t next_ = 0;
    std::string line_;
};

struct Run {
    int first, last;
    std::string console;
    miscli::ProgramStop stop{"", -1};  // status -1: none
};

Run run_get_div(const Positions& p, int n_dives, int first, int last, std::vector<std::string> lines,
                std::map<std::size_t, std::function<void()>> probes = {}) {
    screen::configure(true, false);
    ProbedLines source(std::move(lines), std::move(probes));
    std::istream in(&source);
    std::ostringstream out;
    Run r{first, last, "", {"", -1}};
    {
        miscli::ConsoleRedirect redirect(in, out);
        try {
            miscli::Array1<int> numbers(n_dives);
            for (int d = 1; d <= n_dives; ++d) numbers(d) = d;
            section::get_div_(p.lon_s, p.lat_s, p.lon_e, p.lat_e, numbers, n_dives, r.first, r.last);
        } catch (const miscli::ProgramStop& s) {
            r.stop = s;
        }
        daz::close_open_plot();
    }
    r.console = out.str();
    return r;
}

std::vector<screen::Rgb> strip() {
    std::vector<screen::Rgb> px;
    for (int y = 0; y <= 20; ++y)
        for (int x = 0; x < 600; ++x) px.push_back(screen::pixel_at(x, y));
    return px;
}

// Whether the message strip shows `text` and not `other`: both are drawn
// there and compared with what was shown.
bool strip_shows(const std::string& text, const std::string& other) {
    auto shown = strip();
    daz::scrtxt_(other);
    auto with_other = strip();
    daz::scrtxt_(text);
    return strip() == shown && with_other != shown;
}

// The strongest colour next to the middle of the segment from dive a to
// dive b on a landscape map: 'r', 'g', 'b', or ' ' for none.
char colour_between(const section::TrackMap& m, int a, int b) {
    double px, py;
    screen::user_to_pixel(0.5 * (m.map_x(a) + m.map_x(b)), 0.5 * (m.map_y(a) + m.map_y(b)), px, py);
    char best = ' ';
    int strongest = 60;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            auto c = screen::pixel_at(static_cast<int>(px + 0.5) + dx, static_cast<int>(py + 0.5) + dy);
            const int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
            if (hi - lo > strongest) strongest = hi - lo, best = hi == c.r ? 'r' : hi == c.g ? 'g' : 'b';
        }
    return best;
}

std::string key_at(const char* key, const section::TrackMap& m, int dive) {
    return std::string("key ") + key + " " + std::to_string(m.map_x(dive)) + " " + std::to_string(m.map_y(dive));
}

std::string dive_text(const char* number) {
    return std::string("Dive ") + number + ". Tell dive (N)umber, (G)ive station range, (Q)uit";
}

}  // namespace

TEST(TrackMap, MeanPositionsLimitsAndTheNearestDive) {
    EXPECT_FLOAT_EQ(section::av2_(-122.0f, -122.2f, -999.0f), -122.1f);
    EXPECT_FLOAT_EQ(section::av2_(-99.9f, -99.9f, -99.0f), -99.0f);
    Positions p = diagonal(5);
    p.lon_s(2) = -999.0f;  // only the end known: mapped there
    p.set(4, -999.0f, -99.9f);
    auto m = p.map(1, 5);
    EXPECT_EQ(m.n_mapped, 4);
    EXPECT_NEAR(m.lon_min, -124.99f - 0.004f, 1e-4);  // a tenth of the range beyond the dives
    EXPECT_NEAR(m.lat_max, 36.03f + 0.0024f, 1e-4);
    EXPECT_NEAR(m.map_x(2), m.left + (m.right - m.left) * 0.014f / 0.048f, 5e-3);
    EXPECT_FLOAT_EQ(m.map_x(4), -99.0f);

    // Dives 1, 3 and 4 all lie 1 inch from the click: the first wins.
    m.x = {2, 9, 2, 4, -99};
    m.y = {3, 9, 3, 3, -99};
    EXPECT_EQ(section::nearest_dive(m, 3.0f, 3.0f), 1);
    EXPECT_EQ(section::nearest_dive(m, 3.01f, 3.0f), 4);
    EXPECT_EQ(section::nearest_dive(m, 500.0f, 3.0f), 0);  // none within 100 inches
}

TEST(GetDiv, TrackColoursChangeEvery20DivesAndBreakWithoutPosition) {
    Positions p = diagonal(45);
    p.set(30, -999.0f, -99.9f);
    auto m = p.map(1, 45);
    std::string before, after;
    run_get_div(p, 45, 1, 45, {"click", "key G", "type 1 45"},
                {{0, [&] { before += colour_between(m, 20, 21); }},
                 {1, [&] {
                      for (auto [a, b] : {std::pair{19, 20}, {20, 21}, {40, 41}, {41, 42}, {29, 31}})
                          after += colour_between(m, a, b);
                  }}});
    EXPECT_EQ(before, " ");       // nothing drawn before the click
    EXPECT_EQ(after, "rbgg ");    // the 21st dive and the segment into it are blue
}

TEST(GetDiv, StripFollowsTheKeysAndASecondDiveReplacesTheFirst) {
    Positions p = diagonal(45);
    auto m = p.map(1, 45);
    const std::string range = "Station range   1  45. Tell dive (N)umber, (G)ive dive range, (Q)uit";
    std::vector<bool> seen;
    auto shows = [&](std::string text, std::string other) {
        return [&seen, text, other] { seen.push_back(strip_shows(text, other)); };
    };
    auto r = run_get_div(p, 45, 1, 45, {"click", key_at("N", m, 5), key_at("n", m, 12), "key X", "key G", "type 3, 30"},
                         {{0, shows("Click plot area to begin", range)},
                          {1, shows(range, dive_text("  5"))},
                          {2, shows(dive_text("  5"), dive_text(" 12"))},
                          {3, shows(dive_text(" 12"), dive_text("  5"))},
                          {4, shows(range, dive_text(" 12"))},
                          {5, shows("Give First, Last dive to plot:", range)}});
    EXPECT_EQ(seen, std::vector<bool>(6, true));
    EXPECT_EQ(r.first, 3);
    EXPECT_EQ(r.last, 30);
    EXPECT_FALSE(screen::window_is_open());
}

TEST(GetDiv, RangeWithCommaOrBlanksAndAskedAgainUntilUsable) {
    Positions p = diagonal(60);
    for (const char* typed : {"type 10, 50", "type   10   50 7"}) {
        auto r = run_get_div(p, 60, 1, 60, {"click", "key g", typed});
        EXPECT_EQ(r.first * 100 + r.last, 1050) << typed;
    }
    const std::string prompt = " Give First, Last dive to plot:";
    std::vector<std::string> reasons = {"Type two dive numbers.", "Dive numbers are whole numbers.",
                                        "Dive numbers are whole numbers.", "Dives are 1 to 60.",
                                        "The first dive is after the last."};
    std::map<std::size_t, std::function<void()>> probes;
    std::vector<bool> seen;
    for (std::size_t i = 0; i < reasons.size(); ++i)
        probes[3 + i] = [&, i] { seen.push_back(strip_shows(reasons[i] + prompt, prompt.substr(1))); };
    auto r = run_get_div(p, 60, 1, 60,
                         {"click", "key G", "type 10", "type 1.5 3", "type 2 5x", "type 0 5", "type 50,10", "type 12 40"},
                         probes);
    EXPECT_EQ(seen, std::vector<bool>(5, true));
    EXPECT_EQ(r.first * 100 + r.last, 1240);
}

TEST(GetDiv, NoPositionsOrTooManyDivesOpenNoWindow) {
    auto none = run_get_div(Positions{}, 4, 1, 4, {});
    EXPECT_EQ(none.first * 100 + none.last, 104);
    EXPECT_EQ(none.console, " No dive from 1 to 4 has a position, so no map is shown; the range stays 1 to 4.\n");

    // The map holds every dive a file can have.
    Positions many = diagonal(800);
    auto fits = run_get_div(many, 800, 1, 800, {"click", "key G", "type 2 800"});
    EXPECT_EQ(fits.stop.status, -1) << fits.stop.line;
    EXPECT_EQ(fits.first * 1000 + fits.last, 2800);
}
