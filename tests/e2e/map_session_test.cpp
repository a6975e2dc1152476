// The track map step of the built program: ending there, and a file
// without positions going on without a map.
#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace testing_support;

namespace {

RunResult run_on(const std::string& file_text, const std::string& script) {
    TempDir dir;
    write_file(dir / "small.SCI", file_text);
    return run_program(dir.path(), "small.SCI\n" + script, {"--headless"});
}

}  // namespace

TEST(MapSession, QuitOnTheMapEndsTheRunWithStatusZero) {
    for (const char* script : {"click\nkey Q\n", "click\nkey N 5 4\nkey q\n"}) {
        auto r = run_on(read_file(test_file("small.SCI")), script);
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(lines_of(r.output), (std::vector<std::string>{"Name *.SCI file", " RD_SCI: Finish at dive 4 of 4"}));
    }
}

TEST(MapSession, AFileWithoutPositionsShowsNoMapAndIsDrawnAgainstTime) {
    std::string file;
    for (std::string line : lines_of(read_file(test_file("small.SCI")))) {
        if (line.compare(3, 5, " 2026") == 0)  // a dive's first line: both positions missing
            line.replace(16, 21, " -999.00000 -99.90000").replace(45, 21, " -999.00000 -99.90000");
        file += line + "\n";
    }
    auto r = run_on(file, "n\ns\nq\n");
    EXPECT_EQ(r.status, 0) << r.output;
    const auto lines = lines_of(r.output);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
              (std::vector<std::string>{
                  "Name *.SCI file", " RD_SCI: Finish at dive 4 of 4",
                  " No dive from 1 to 4 has a position, so no map is shown; the range stays 1 to 4.",
                  " Dives 1 to 4 have no positions, so no distance between them to draw a section along: the "
                  "section is drawn against time."}));
}
