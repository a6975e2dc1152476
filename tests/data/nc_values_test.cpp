// Time units as the CF conventions write them, and the turning points of a
// pressure record.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "data/nc_profiles.h"
#include "data/nc_values.h"

TEST(TimeUnits, TheFormsFilesUseAndNothingElse) {
    const double day = 86400.0, y2000 = 10957.0 * day;
    struct Row {
        const char* units;
        std::optional<double> per, epoch;  // nullopt: refused
    } rows[] = {
        {"seconds since 1970-01-01T00:00:00Z", 1.0, 0.0},
        {"second since 1970-1-1 00:00:00", 1.0, 0.0},
        {"days since 2000-01-01 00:00:00", day, y2000},
        {"Days since 2000-01-01", day, y2000},
        {"hours since 2000-01-01T06:30:00+02:00", 3600.0, y2000 + 4.5 * 3600.0},
        {"minutes since 2000-01-01 00:00:00 UTC", 60.0, y2000},
        {"seconds since 2000-01-01T00:00:00.5Z", 1.0, y2000 + 0.5},
        {"seconds since 1969-12-31T23:00:00-01:00", 1.0, 0.0},
        {"milliseconds since 1970-01-01", 1e-3, 0.0},
        {"fortnights since 1970-01-01", std::nullopt, std::nullopt},
        {"seconds after 1970-01-01", std::nullopt, std::nullopt},
        {"seconds since 1970-13-01", std::nullopt, std::nullopt},
        {"seconds since 1970-01-01 junk", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const Row& r : rows) {
        const auto u = data::parse_time_units(r.units);
        ASSERT_EQ(u.has_value(), r.per.has_value()) << r.units;
        if (!u) continue;
        EXPECT_DOUBLE_EQ(u->seconds_per_unit, *r.per) << r.units;
        EXPECT_DOUBLE_EQ(u->epoch, *r.epoch) << r.units;
    }
    // Years before and after a leap day.
    EXPECT_EQ(data::year_of(data::days_from_civil(2024, 12, 31) * day + 86399.0), 2024);
    EXPECT_EQ(data::year_of(data::days_from_civil(2025, 1, 1) * day), 2025);
    EXPECT_EQ(data::days_from_civil(2024, 3, 1) - data::days_from_civil(2024, 2, 28), 2);
}

TEST(TurningPoints, ProfilesEndAtTheirExtremeOnceThePressureComesBackTenDbar) {
    const double nan = std::nan("");
    // Down to 100 (a wobble of 8 dbar does not turn it), up to 5, down again;
    // a missing pressure is passed over but kept in its profile; the second
    // 100 ties the first, which stays the extreme.
    const std::vector<double> p = {2, 30, 100, 92, 100, 60, 20, nan, 5, 6, 14, 40};
    const std::vector<double> t = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_EQ(data::profiles_at_turns(p, t),
              (data::Profiles{{0, 1, 2}, {3, 4, 5, 6, 7, 8}, {9, 10, 11}}));
    // Samples out of time order are walked in time order (30 first, then
    // up to 2: a profile of its own) and listed in file order.
    const std::vector<double> swapped = {1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_EQ(data::profiles_at_turns(p, swapped), (data::Profiles{{0, 1}, {2, 3, 4, 5, 6, 7, 8}, {9, 10, 11}}));
    // Never 10 dbar of movement: one profile.
    EXPECT_EQ(data::profiles_at_turns(std::vector<double>{5, 9, 14.9, 6}, std::vector<double>{0, 1, 2, 3}),
              (data::Profiles{{0, 1, 2, 3}}));
}
