// Whole sessions on the bundled sample that end in a hardcopy, for every
// vertical axis and both tick styles; Ghostscript must render each file.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/eps_reader.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// On the track map: a click to begin, then G and every dive of the sample.
const std::string kMapEvents = "click\nkey G\ntype 1 120\n";

struct Session {
    RunResult run;
    std::string eps;
    RunResult gs;
};

Session hardcopy_session(const std::string& axis, const std::string& tics, const std::string& range,
                         const std::string& variable = "T") {
    TempDir dir;
    fs::copy_file(fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample.SCI", dir / "sample.SCI");
    const std::string script = "sample.SCI\n" + kMapEvents + "N\n" + axis + "\n" + variable + "\nX\n" + tics + "\n" + range +
                               "\ntype A test section\nkey H\n";
    Session s;
    s.run = run_program(dir.path(), script, {"--headless"});
    if (fs::exists(dir / "OUT01.EPS")) {
        s.eps = read_file(dir / "OUT01.EPS");
        if (have_ghostscript()) s.gs = render_eps(dir / "OUT01.EPS", dir / "x.png");
    }
    return s;
}

}  // namespace

TEST(SectionPlot, EveryAxisAndTickStyleGivesACompleteHardcopy) {
    struct Case {
        std::string axis, tics, range;
    } cases[] = {{"S", "S", "0 500"}, {"L", "D", "0 300"}, {"D", "S", "24.5 27"}, {"D", "D", "25 26.8"}};
    for (const auto& c : cases) {
        Session s = hardcopy_session(c.axis, c.tics, c.range);
        EXPECT_EQ(s.run.status, 0) << c.axis << c.tics << "\n" << s.run.output;
        EXPECT_EQ(lines_of(s.run.output).back(), " Open OUT01.EPS");
        ASSERT_FALSE(s.eps.empty());
        EXPECT_EQ(lines_of(s.eps).back(), "%%EOF");
        if (have_ghostscript()) {
            EXPECT_EQ(s.gs.status, 0) << c.axis << c.tics;
            EXPECT_EQ(s.gs.output, "") << c.axis << c.tics;
        }
        // Every cell of the section lies inside the frame (with its overlap).
        EpsPicture pic = read_eps(s.eps);
        ASSERT_GT(pic.fills.size(), 1000u);
        for (std::size_t i = 50; i < pic.fills.size(); ++i)
            for (const auto& p : pic.fills[i].points) {
                ASSERT_GE(p.x, 0.8f - 0.002f);
                ASSERT_LE(p.x, 8.0f + 0.012f);
                ASSERT_GE(p.y, 0.8f - 0.012f);
                ASSERT_LE(p.y, 7.2f + 0.002f);
            }
    }
}

TEST(SectionPlot, ScreenThenHardcopyThenTheMenusAgain) {
    TempDir dir;
    fs::copy_file(fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample.SCI", dir / "sample.SCI");
    // S redraws on the screen, a click at the device question answers K
    // (back to the menus), and Q there ends the run.
    auto r = run_program(dir.path(), "sample.SCI\n" + kMapEvents + "y\nl\n4\nx\nd\nn\n0 200\ntype Fluorescence\nkey s\nclick\nq\n",
                         {"--headless", "--screenshots"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_FALSE(fs::exists(dir / "OUT01.EPS"));
    EXPECT_TRUE(fs::exists(dir / "SCREEN01.PNG"));  // the track map
    EXPECT_TRUE(fs::exists(dir / "SCREEN02.PNG"));
    EXPECT_TRUE(fs::exists(dir / "SCREEN03.PNG"));
    auto lines = lines_of(r.output);
    EXPECT_EQ(lines.back(), " Give T, S, D, 4, U, V, B or Q for color contour ");
}
