// N² on the section grid: each inner level from its neighbours above and
// below, as python3-gsw's Nsquared gives it for those two levels.
#include <gtest/gtest.h>

#include <array>

#include "data/missing.h"
#include "section/buoyancy_grid.h"

TEST(BuoyancyGrid, EachInnerLevelFromItsNeighboursAsGswGivesIt) {
    constexpr std::array<float, 4> sa{35.10f, 35.12f, 35.20f, 35.25f}, ct{14.0f, 12.5f, 10.0f, 9.0f},
        p{10.0f, 12.5f, 15.0f, 17.5f};
    // Dive 1 whole; dive 2 without the salinity of its third level.
    miscli::Array2<float> SA(4, 2), CT(4, 2), P(4, 2), n2(4, 2);
    for (int d = 1; d <= 2; ++d)
        for (int k = 1; k <= 4; ++k) {
            SA(k, d) = sa[k - 1];
            CT(k, d) = ct[k - 1];
            P(k, d) = p[k - 1];
        }
    SA(3, 2) = data::SAMPLE_FILL;
    const std::array<double, 2> lat{36.2, 36.2};
    section::buoyancy_grid(SA, CT, P, lat, 1, 2, 4, n2);
    // gsw.Nsquared(SA[[0,2]], CT[[0,2]], p[[0,2]], lat=36.2), and of levels 2 and 4
    // (the float inputs move it by less than 1e-7).
    EXPECT_NEAR(n2(2, 1), 0.0016174608330088087, 1e-7);
    EXPECT_NEAR(n2(3, 1), 0.001396470746162641, 1e-7);
    for (auto [k, d] : {std::pair{1, 1}, {4, 1}, {2, 2}}) EXPECT_EQ(n2(k, d), data::SAMPLE_FILL) << k << "," << d;
    EXPECT_NEAR(n2(3, 2), 0.001396470746162641, 1e-7);
}
