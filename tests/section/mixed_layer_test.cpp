#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "data/dive_table.h"
#include "section/mixed_layer.h"
#include "support/test_support.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(MixedLayer, DepthOfEachProfileShape) {
    struct Case {
        const char* what;
        std::vector<double> p, sigma0;
        std::optional<double> mld;
    };
    const std::vector<Case> cases = {
        {"mixed to 50, then 0.1 per 10 dbar", {2, 10, 20, 30, 40, 50, 60}, {25, 25, 25, 25, 25, 25, 25.1}, 53.0},
        {"reference between samples", {5, 15, 30, 40}, {25.0, 25.02, 25.02, 25.06}, 35.0},
        {"crossed before the next sample", {5, 15}, {25.0, 25.2}, 11.5},
        {"never crossed", {10, 50, 100}, {25.0, 25.01, 25.02}, std::nullopt},
        {"shallowest at 20 dbar", {20, 30, 60}, {25.0, 25.0, 26.0}, std::nullopt},
        // The two samples at 10 dbar count as one of 25.0; NaNs drop out.
        {"unsorted, equal pressures, NaN", {50, kNaN, 10, 60, 10, 30}, {25, 20, 24.9, 25.1, 25.1, kNaN}, 53.0},
        {"one sample", {10}, {25.0}, std::nullopt},
        {"none", {}, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<double> got = section::mixed_layer_depth(c.p, c.sigma0);
        ASSERT_EQ(got.has_value(), c.mld.has_value()) << c.what;
        if (got) {
            EXPECT_NEAR(*got, *c.mld, 1e-9) << c.what;
        }
    }
}

TEST(MixedLayer, DivesByTeos10AndTheirCsv) {
    data::DiveTable t(2, 4, 0);
    t.dive_number(1) = 304;
    t.cast(1) = 'a';
    t.dive_year(1) = 2019;
    t.day_start(1) = 185.501953125f;  // 4 July, 12:02:48.75
    // Across 180 degrees: the middle is -179.7, not 0.3.
    t.lon_start(1) = 179.6f, t.lat_start(1) = 50.0f;
    t.lon_end(1) = -179.0f, t.lat_end(1) = 50.0f;
    const float samples[4][3] = {{10, 15.0f, 35.0f}, {40, 14.9375f, 35.0f}, {60, 12.5f, 35.25f}, {20, 5.0f, 36.0f}};
    for (int k = 1; k <= 4; ++k)
        for (int v = 1; v <= 3; ++v) {
            t.prof(k, 1, v) = samples[k - 1][v - 1];
            t.prof_flag(k, 1, v) = 0;
        }
    t.prof_flag(4, 1, 3) = 1;  // a dense sample that must not count
    t.n_samp(1) = 4;
    t.n_samp(2) = 4;  // fills only

    const std::vector<section::ProfileMld> mlds = section::profile_mlds(t, 1, 2);
    ASSERT_EQ(mlds.size(), 2u);
    // sigma-0 of the three good samples by python3-gsw 3.6.16 (SA_from_SP at
    // -179.7, 50; CT_from_t; sigma0): 25.979208547353437, 25.995012276523312,
    // 26.69584239939968, which cross 0.03 over the first at this pressure.
    ASSERT_TRUE(mlds[0].mld.has_value());
    EXPECT_NEAR(*mlds[0].mld, 40.4051273016594, 1e-3);
    EXPECT_FALSE(mlds[1].mld.has_value());

    testing_support::TempDir dir;
    std::string error;
    ASSERT_TRUE(section::write_mld_csv((dir / "mld.csv").string(), mlds, error)) << error;
    EXPECT_EQ(testing_support::read_file(dir / "mld.csv"),
              "profile,time,lon,lat,mld_dbar\n"
              "304a,2019-07-04T12:02:49Z,-179.70000,50.00000,40.41\n"
              "2,,,,\n");
    const std::string nowhere = (dir / "no" / "mld.csv").string();
    EXPECT_FALSE(section::write_mld_csv(nowhere, mlds, error));
    EXPECT_NE(error.find(nowhere), std::string::npos) << error;
}
