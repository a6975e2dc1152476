// The console dialogue of the built program, from the file name to the
// section range, checked line by line.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

using namespace testing_support;

namespace {

// On the track map: a click to begin, then G and the whole range.
const std::string kMapEvents = "click\nkey G\ntype 1 4\n";

RunResult run_small(const std::string& answers, const std::string& map_events = kMapEvents) {
    TempDir dir;
    std::filesystem::copy_file(test_file("small.SCI"), dir / "small.SCI");
    return run_program(dir.path(), "small.SCI\n" + map_events + answers, {"--headless"});
}

const std::vector<std::string> kStart = {
    "Name *.SCI file",
    " RD_SCI: Finish at dive 4 of 4",
    " Normally 1st station to left. Reverse? Y/N? ",
    " Choose a vertical axis. (S)quare root of depth, (L)inear depth,",
    " (D)ensity (sigma 0)? S/L/D? ",
};
const std::vector<std::string> kMenus = {
    " S/N 12       4 dives from yr 2026 days 100.3 to 101.0",
    " T=temp, S=salty, D=sigmat, 4=Fluor   , U=east, V=north, B=backscat, Q=quit",
    " Give T, S, D, 4, U, V, B or Q for color contour ",
    " T=temp, S=salty, D=sigmat, 4=Fluor   , U=east, V=north, B=backscat, X=none",
    " Give T, S, D, 4, U, V, B or X for line contours ",
};

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace

TEST(ConsoleDialogue, AWholePassAndQuit) {
    auto r = run_small("n\ns\nt\nx\ns\n0,\n100\ntype A title\nkey Q\nq\n");  // the range over two lines
    EXPECT_EQ(r.status, 0) << r.output;
    std::vector<std::string> want = concat({kStart, kMenus,
                                            {" (D)ay or (S)tation tics/labels? S/D? ",
                                             " Min, Max P is    5.0  100.0  Give Min, Max to plot "},
                                            {kMenus[0], kMenus[1], kMenus[2]}});
    EXPECT_EQ(lines_of(r.output), want);
}

TEST(ConsoleDialogue, BadAnswersAreAskedAgainWithAReason) {
    // A wrong axis letter, a blank colour answer (both menus again), a letter
    // not offered, then range answers that cannot be gridded (blank lines
    // are passed over, one number waits for the next line).
    auto r = run_small("\nx\nd\n\nT\nZ\nS\nK\nB\nd\n\nabc\n27\n\n26\n0 600\n20 27\nkey Q\ntype T\nclick\nq\n");
    EXPECT_EQ(r.status, 0) << r.output;
    auto lines = lines_of(r.output);
    std::vector<std::string> want = concat({kStart,
                                            {" (D)ensity (sigma 0)? S/L/D? "},
                                            kMenus,
                                            {kMenus[1], kMenus[2]},
                                            {" Z is not in the menu: give one of its letters.", kMenus[1], kMenus[2],
                                             kMenus[3], kMenus[4],
                                             " K is not in the menu: give one of its letters.", kMenus[3], kMenus[4],
                                             " (D)ay or (S)tation tics/labels? S/D? "}});
    ASSERT_GE(lines.size(), want.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(want.size())), want);
    std::vector<std::string> reasons;
    for (const auto& l : lines)
        if (l.rfind(" Give two", 0) == 0 || l.rfind(" The ", 0) == 0 || l.rfind(" That ", 0) == 0) reasons.push_back(l);
    EXPECT_EQ(reasons, (std::vector<std::string>{
                           " Give two numbers, the minimum and the maximum.",
                           " The minimum must be below the maximum.",
                           " That range needs more than 10000 grid levels; the largest span at this grid step is 499.95.",
                       }));
}

TEST(ConsoleDialogue, EndOfInputAtAnyQuestionEndsWithStatusOne) {
    const std::string answers[] = {"", "n\n", "n\ns\n", "n\ns\nt\n", "n\ns\nt\nx\n", "n\ns\nt\nx\ns\n",
                                   "n\ns\n4\nx\ns\n"};
    for (const auto& a : answers) {
        auto r = run_small(a);
        EXPECT_EQ(r.status, 1) << a;
        EXPECT_EQ(lines_of(r.output).back(), " Console input ended before the question was answered.") << a;
    }
    // In the window's questions the session script ends instead: on the
    // map, and at the title and device questions.
    const std::pair<std::string, std::string> window_ends[] = {
        {"", ""}, {"", "click\n"}, {"", "click\nkey G\n"}, {"", "click\nkey G\ntype 9 2\n"},
        {"n\ns\nt\nx\ns\n0 100\n", kMapEvents}, {"n\ns\nt\nx\ns\n0 100\ntype x\n", kMapEvents}};
    for (const auto& [a, map] : window_ends) {
        auto r = run_small(a, map);
        EXPECT_EQ(r.status, 1) << map << a;
        EXPECT_NE(lines_of(r.output).back().find("ended"), std::string::npos) << r.output;
    }
}

TEST(ConsoleDialogue, FilesThatGiveNothingToPlot) {
    TempDir dir;
    auto r = run_program(dir.path(), "missing.SCI\n", {"--headless"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.output), (std::vector<std::string>{
                                      "Name *.SCI file",
                                      " RD_SCI: No file missing.SCI to read."}));

    write_file(dir / "none.SCI", "  12   0 4 Fluor    abcde BackScat xtra    \n");
    r = run_program(dir.path(), "none.SCI\n", {"--headless"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.output).back(), " The file states no dives: there is nothing to plot.");

    write_file(dir / "empty.SCI", "  12   3 4 Fluor    abcde BackScat xtra    \n");
    r = run_program(dir.path(), "empty.SCI\n", {"--headless"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.output).back(), " The file holds no dives: there is nothing to plot.");

    write_file(dir / "bad.SCI", "  12   3 4 Fluor    abcde BackScat xtra    \n  1 2026 x\n");
    r = run_program(dir.path(), "bad.SCI\n", {"--headless"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.output).back(), " RD_SCI: Error in header for dive 1 of bad.SCI");
}
