#include <gtest/gtest.h>

#include <cmath>

#include "miscli/array.h"
#include "miscli/stop.h"
#include "section/trak.h"

namespace {

// Dives the tables of these tests hold.
constexpr int MXPR = 800;

// The position columns as the reader leaves them: fill values until set.
struct Track {
    miscli::Array1<float> lon_start{MXPR + 1, -999.0f}, lat_start{MXPR + 1, -99.9f};
    miscli::Array1<float> lon_end{MXPR, -999.0f}, lat_end{MXPR, -99.9f};
    miscli::Array1<float> weight{MXPR, -99.9f}, km{MXPR, -1.0f};

    Track& start(int d, float lon, float lat) { return lon_start(d) = lon, lat_start(d) = lat, *this; }
    Track& end(int d, float lon, float lat) { return lon_end(d) = lon, lat_end(d) = lat, *this; }
    Track& weights(std::initializer_list<float> w) {
        int d = 1;
        for (float v : w) weight(d++) = v;
        return *this;
    }
    Track& run(int n) { return section::trak_(lon_start, lat_start, lon_end, lat_end, weight, km, n), *this; }
};

constexpr float tol = 1e-4f;

}  // namespace

TEST(TrakFill, InterpolatesByWeightWithinAGap) {
    // Known at 1, 2 and 5 (5 ends where it starts); 3 and 4 open.
    auto gap = [](std::initializer_list<float> w) {
        return Track().start(1, 9, 49).start(2, 10, 50).start(5, 13, 53).end(5, 13, 53).weights(w).run(5);
    };
    Track equal = gap({20, 20, 20, 20, 20});  // W = 60 over dives 2..4
    EXPECT_NEAR(equal.lon_start(3), 11.0f, tol);
    EXPECT_NEAR(equal.lat_start(4), 52.0f, tol);
    Track unequal = gap({20, 20, 40, 60, 20});  // each dive steps by its share
    EXPECT_NEAR(unequal.lon_start(3), 11.0f, tol);
    EXPECT_NEAR(unequal.lon_start(4), 12.5f, tol);
    Track unweighted = gap({20, 20, 5, 60, 20});  // equal steps of 1/(5 - 2)
    EXPECT_NEAR(unweighted.lon_start(3), 11.0f, tol);
    EXPECT_NEAR(unweighted.lat_start(4), 52.0f, tol);
}

TEST(TrakFill, ExtrapolatesGapsAtTheStart) {
    // The window reaches before dive 1, so the weights play no part.
    Track one = Track().start(2, 10, 50).start(3, 10.5f, 50.25f).weights({20, 20, 20}).run(3);
    EXPECT_NEAR(one.lon_start(1), 9.5f, tol);
    EXPECT_NEAR(one.lat_start(1), 49.75f, tol);
    // The first gap stays open past dive 2 until a second known position
    // comes; dive 2 keeps its own position exactly.
    Track wide = Track().start(2, 10.1f, 50.3f).start(4, 10.7f, 50.9f).run(4);
    EXPECT_EQ(wide.lon_start(2), 10.1f);
    EXPECT_EQ(wide.lat_start(2), 50.3f);
    EXPECT_NEAR(wide.lon_start(3), 10.4f, tol);
    EXPECT_NEAR(wide.lon_start(1), 9.8f, tol);
    EXPECT_NEAR(wide.lat_start(1), 50.0f, tol);
}

TEST(TrakFill, ExtrapolatesGapsAtTheEnd) {
    // The last two dives and the last end have no position, on a full
    // table: the window's index n + 1 lies beyond the weights.
    Track t;
    for (int d = 1; d <= MXPR; ++d) t.weight(d) = 20.0f;
    for (int d = 1; d <= MXPR - 2; ++d) t.start(d, 0.01f * d, 0.005f * d);
    t.run(MXPR);
    for (int d = MXPR - 1; d <= MXPR + 1; ++d) {
        EXPECT_NEAR(t.lon_start(d), 0.01f * d, 1e-3f) << d;
        EXPECT_NEAR(t.lat_start(d), 0.005f * d, 1e-3f) << d;
    }
    EXPECT_GT(t.km(MXPR), t.km(MXPR - 1));
}

TEST(TrakFill, StartsFromThePreviousEnd) {
    Track t = Track().start(1, -122, 36.5f).end(1, -122.1f, 36.6f).start(3, -122.4f, 36.9f);
    t.end(2, -122.3f, 36.8f).end(3, -122.5f, 37).weights({20, 20, 20}).run(3);
    EXPECT_EQ(t.lon_start(2), -122.1f);  // copied, not interpolated
    EXPECT_EQ(t.lat_start(2), 36.6f);
    EXPECT_EQ(t.lon_start(4), -122.5f);  // the entry after the last dive
}

TEST(TrakDistance, FlatEarthLegsAddUp) {
    // Same place, one degree east at 60 N, one degree north, and back.
    Track t = Track().start(1, 5, 60).start(2, 5, 60).start(3, 6, 60).start(4, 6, 61).start(5, 6, 60);
    t.end(5, 6, 60).run(5);
    EXPECT_EQ(t.km(1), 0.0f);
    EXPECT_EQ(t.km(2), 0.0f);
    EXPECT_NEAR(t.km(3), 55.0f, 1e-2f);
    EXPECT_NEAR(t.km(4) - t.km(3), 110.0f, 1e-3f);
    EXPECT_NEAR(t.km(5) - t.km(4), 110.0f, 1e-3f);
    // At 60 N a factor of pi/180 for the sum of the latitudes would give the
    // same 55 km (cos 120 = -cos 60); at 30 N it would give 55 for 95.26.
    Track south = Track().start(1, 5, 30).start(2, 6, 30).end(2, 6, 30).run(2);
    EXPECT_NEAR(south.km(2), 110.0f * std::cos(30.0f * 3.14159265f / 180.0f), 1e-2f);
}

TEST(TrakFewPositions, FillValuesNeverEnterDistances) {
    Track none = Track().weights({20, 20, 20, 20}).run(4);
    Track single = Track().start(2, 10, 0).weights({20, 20, 20, 20}).run(4);
    for (int d = 1; d <= 4; ++d) {
        EXPECT_EQ(none.km(d), 0.0f) << d;
        EXPECT_EQ(single.km(d), 0.0f) << d;
    }
    EXPECT_EQ(none.lon_start(2), -999.0f);  // nothing to fill from
    EXPECT_EQ(single.lon_start(1), -999.0f);
    EXPECT_EQ(single.lon_start(2), 10.0f);
}

TEST(TrakBadInput, RefusesShortArraysAndIgnoresNoDives) {
    Track t;
    EXPECT_EQ(t.run(0).km(1), -1.0f);  // nothing done, nothing read
    for (int n : {MXPR + 1, MXPR + 50}) {  // lon_start would need n + 1 entries
        try {
            t.run(n);
            ADD_FAILURE() << "no stop for " << n;
        } catch (const miscli::ProgramStop& stop) {
            EXPECT_EQ(stop.line, "TRAK: Increase MXPR");
            EXPECT_EQ(stop.status, 1);
        }
    }
}
