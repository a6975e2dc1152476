#include <gtest/gtest.h>

#include <string>

#include "miscli/stop.h"
#include "miscli/two_threads.h"

// A fatal stop in either part of a split loop reaches the caller, the first
// in loop order winning, as when the loop runs in one piece.
TEST(SplitOverTwoThreads, AStopInEitherPartReachesTheCaller) {
    struct Row {
        int stop_a, stop_b;  // steps that stop (0: none)
        std::string line;
    } rows[] = {{1000, 0, " stop at 1000"}, {10, 0, " stop at 10"}, {10, 1000, " stop at 10"}};
    for (const auto& row : rows) {
        std::string line = "(none)";
        try {
            miscli::split_over_two_threads(1, 1000, [](int) { return 100; }, [&](int lo, int hi) {
                for (int i = lo; i <= hi; ++i)
                    if (i == row.stop_a || i == row.stop_b) miscli::stop(" stop at " + std::to_string(i));
            });
        } catch (const miscli::ProgramStop& s) {
            line = s.line;
        }
        EXPECT_EQ(line, row.line);
    }
}
