// Contour labels placed on the screen of a headless session come back in
// the hardcopy at the same page positions; new variables start without.
// Labels placed by the program along the lines in one command.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "daz/letter_recorder.h"
#include "section/contour_labels.h"
#include "support/eps_reader.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct Placed {
    float x, y;
};
// Inside the sample's section, where sigma-theta contours are near.
constexpr Placed kFirst{3.05f, 5.05f}, kSecond{6.05f, 3.05f};

std::string place(Placed p, float ax, float ay) {
    return "key A " + std::to_string(ax) + " " + std::to_string(ay) + "\nkey K " + std::to_string(p.x) + " " +
           std::to_string(p.y) + "\n";
}

struct Outcome {
    RunResult run;
    EpsPicture pic;
    RunResult gs;
};

Outcome session(const std::string& script) {
    TempDir dir;
    fs::copy_file(fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample.SCI", dir / "sample.SCI");
    Outcome r;
    r.run = run_program(dir.path(), script, {"--headless"});
    if (fs::exists(dir / "OUT01.EPS")) {
        r.pic = read_eps(read_file(dir / "OUT01.EPS"));
        if (have_ghostscript()) r.gs = render_eps(dir / "OUT01.EPS", dir / "section.png");
    }
    return r;
}

// The longest contour label text (20.0 .. 30.0 by 0.1) whose every stroke
// the hardcopy holds with the label standing at p; empty when none.
std::string label_at(const EpsPicture& pic, Placed p) {
    EpsPicture near;
    for (const auto& s : pic.segments)
        if (s.from.x > p.x - 0.05f && s.from.x < p.x + 0.6f && s.from.y > p.y - 0.05f && s.from.y < p.y + 0.2f)
            near.segments.push_back(s);
    std::string best;
    for (int m = 200; m <= 300; ++m) {
        std::string text(8, ' ');
        int n = 0;
        section::wr_label_(static_cast<float>(m) * 0.1f, text, n);
        text.resize(static_cast<std::size_t>(n));
        letter_testing::Recording rec;
        daz::letter_(p.x, p.y, 0.1f, 0.0f, text);
        auto strokes = rec.take();
        bool all = strokes.size() > 1;
        for (std::size_t i = 1; i < strokes.size() && all; ++i)
            if (strokes[i].pen == 2)
                all = count_segments(near, strokes[i - 1].x, strokes[i - 1].y, strokes[i].x, strokes[i].y) > 0;
        if (all && text.size() > best.size()) best = text;
    }
    return best;
}

// The start points of every place where the hardcopy holds all strokes of
// `text` standing upright at height 0.1.
std::vector<PageXY> text_places(const EpsPicture& pic, const std::string& text) {
    letter_testing::Recording rec;
    daz::letter_(0.0f, 0.0f, 0.1f, 0.0f, text);
    const auto strokes = rec.take();
    // Its longest stroke finds the candidates.
    std::size_t longest = 0;
    float most = 0.0f;
    for (std::size_t i = 1; i < strokes.size(); ++i) {
        const float d = std::hypot(strokes[i].x - strokes[i - 1].x, strokes[i].y - strokes[i - 1].y);
        if (strokes[i].pen == 2 && d > most) {
            most = d;
            longest = i;
        }
    }
    const float dx = strokes[longest].x - strokes[longest - 1].x, dy = strokes[longest].y - strokes[longest - 1].y;
    std::vector<PageXY> found;
    for (const auto& s : pic.segments) {
        for (auto [a, b] : {std::pair{s.from, s.to}, std::pair{s.to, s.from}}) {
            if (std::fabs(b.x - a.x - dx) > 0.003f || std::fabs(b.y - a.y - dy) > 0.003f) continue;
            const PageXY at{a.x - strokes[longest - 1].x, a.y - strokes[longest - 1].y};
            bool all = true;
            for (std::size_t i = 1; i < strokes.size() && all; ++i)
                if (strokes[i].pen == 2)
                    all = count_segments(pic, at.x + strokes[i - 1].x, at.y + strokes[i - 1].y, at.x + strokes[i].x,
                                         at.y + strokes[i].y) > 0;
            if (all) found.push_back(at);
        }
    }
    return found;
}

const std::string kStart = "sample.SCI\nclick\nkey G\ntype 1 120\nN\nS\nT\nD\nS\n0 500\n";

}  // namespace

TEST(ContourLabelsSession, LabelsPlacedOnTheScreenAreInTheHardcopy) {
    // Two labels, Q; the title; S redraws (the editor again, Q); H.
    Outcome r = session(kStart + place(kFirst, 3, 5) + place(kSecond, 6, 3) +
                        "key Q\ntype Upwelling front\nkey S\nkey Q\nkey H\n");
    ASSERT_EQ(r.run.status, 0) << r.run.output;
    // One line of two blanks for every key at the editor's main prompt.
    int blanks = 0;
    for (const auto& l : lines_of(r.run.output)) blanks += l == "  ";
    EXPECT_EQ(blanks, 4);
    EXPECT_EQ(label_at(r.pic, kFirst), "26");
    EXPECT_EQ(label_at(r.pic, kSecond), "26.8");
    if (have_ghostscript()) {
        EXPECT_EQ(r.gs.status, 0);
        EXPECT_EQ(r.gs.output, "");
    }
}

TEST(ContourLabelsSession, NewVariablesStartWithoutLabels) {
    // A label, then Q at the device question and the same variables again.
    Outcome r =
        session(kStart + place(kFirst, 3, 5) + "key Q\ntype First\nkey Q\nT\nD\nS\n0 500\nkey Q\ntype Second\nkey H\n");
    ASSERT_EQ(r.run.status, 0) << r.run.output;
    ASSERT_FALSE(r.pic.segments.empty());
    EXPECT_EQ(label_at(r.pic, kFirst), "");
}

TEST(ContourLabelsOneCommand, LabelsAlongTheHeavyLinesAtAChosenIntervalAndHandLabelsInstead) {
    const std::string sample = (fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample.SCI").string();
    TempDir dir;
    const RunResult run =
        run_program(dir.path(), "", {sample, "--contour", "T", "--labels", "auto", "--ci", "0.5", "-o", "auto.eps"});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, " RD_SCI: Finish at dive 120 of 120\n Open auto.eps\n");
    const EpsPicture pic = read_eps(read_file(dir / "auto.eps"));
    EXPECT_EQ(text_places(pic, "CI=0.5").size(), 1u);
    // Temperature 7 to 15 degrees: labels on the heavy lines at 8, 10, 12
    // and 14 inside the frame (the axes' numbers stand outside it).
    int labels = 0;
    for (const std::string text : {"8", "10", "12", "14"})
        for (const PageXY& at : text_places(pic, text))
            labels += at.x > 0.8f && at.x < 8.0f && at.y > 0.8f && at.y < 7.2f;
    EXPECT_GE(labels, 5);
    if (have_ghostscript()) {
        EXPECT_EQ(render_eps(dir / "auto.eps", dir / "auto.png").status, 0);
    }

    // With a label placed by hand, the picture of hand labels alone.
    const std::vector<std::string> hand{sample, "--contour", "T", "--ci", "0.5", "--label", "4,4"};
    std::vector<std::string> both = hand;
    both.insert(both.end(), {"--labels", "auto", "-o", "both.eps"});
    std::vector<std::string> only = hand;
    only.insert(only.end(), {"-o", "hand.eps"});
    ASSERT_EQ(run_program(dir.path(), "", both).status, 0);
    ASSERT_EQ(run_program(dir.path(), "", only).status, 0);
    EXPECT_TRUE(read_file(dir / "both.eps") == read_file(dir / "hand.eps"));
}
