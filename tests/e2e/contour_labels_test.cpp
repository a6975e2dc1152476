// Contour labels placed on the screen of a headless session come back in
// the hardcopy at the same page positions; new variables start without.
#include <gtest/gtest.h>

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
    Outcome r = session(kStart + place(kFirst, 3, 5) + "key Q\ntype First\nkey Q\nT\nD\nS\n0 500\nkey Q\ntype Second\nkey H\n");
    ASSERT_EQ(r.run.status, 0) << r.run.output;
    ASSERT_FALSE(r.pic.segments.empty());
    EXPECT_EQ(label_at(r.pic, kFirst), "");
}
