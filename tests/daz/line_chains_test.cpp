#include "daz/line_chains.h"

#include <gtest/gtest.h>

#include <vector>

namespace daz {
namespace {

using Line = std::vector<std::pair<int, int>>;

std::vector<Line> lines_of(LineChains& chains, double tolerance) {
    std::vector<Line> out;
    for (const auto& line : chains.take(tolerance)) {
        Line l;
        for (FilePoint p : line) l.push_back({p.x, p.y});
        out.push_back(l);
    }
    return out;
}

TEST(LineChains, JoinsSegmentsEndToEndAndThinsThem) {
    LineChains chains;
    // A staircase handed over out of order and partly reversed, as a
    // contour comes cell by cell: (0,0) (1,0) (2,1) (3,1) (4,2) (10,5).
    chains.add({2, 1}, {3, 1});
    chains.add({1, 0}, {0, 0});
    chains.add({7, 7}, {7, 7});  // no length: nothing to draw
    chains.add({4, 2}, {3, 1});
    chains.add({20, 0}, {20, 9});  // a line of its own
    chains.add({1, 0}, {2, 1});
    chains.add({4, 2}, {10, 5});
    // A corner that stands out by more than the tolerance stays.
    chains.add({30, 0}, {33, 0});
    chains.add({33, 0}, {33, 3});

    const std::vector<Line> thin = lines_of(chains, 1.0);
    ASSERT_EQ(thin.size(), 3u);
    EXPECT_EQ(thin[0], (Line{{0, 0}, {10, 5}}));
    EXPECT_EQ(thin[1], (Line{{20, 0}, {20, 9}}));
    EXPECT_EQ(thin[2], (Line{{30, 0}, {33, 0}, {33, 3}}));
    EXPECT_TRUE(chains.empty());

    // With no tolerance only points exactly on the line go: every segment
    // is there, once.
    chains.add({0, 0}, {1, 0});
    chains.add({1, 0}, {2, 0});
    chains.add({2, 0}, {2, 2});
    chains.add({2, 2}, {0, 0});  // closes the loop
    const std::vector<Line> exact = lines_of(chains, 0.0);
    ASSERT_EQ(exact.size(), 1u);
    EXPECT_EQ(exact[0], (Line{{0, 0}, {2, 0}, {2, 2}, {0, 0}}));
}

}  // namespace
}  // namespace daz
