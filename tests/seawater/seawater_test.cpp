#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "seawater/seawater.h"

using seawater::potemp_;
using seawater::rho80_;
using seawater::sigma_;

TEST(SeawaterCheckValues, MatchThePublishedTable) {
    struct Check {
        char routine;  // R rho80_, P potemp_, D sigma_
        float s, t, p;
        double expected, tolerance;
    };
    const Check table[] = {
        {'R', 40, 40, 10000, 1.0598204, 1e-7}, {'R', 35, 0, 0, 1.0281063, 1e-7},
        {'R', 0, 4, 0, 0.9999750, 1e-7},       {'P', 40, 40, 10000, 36.8907, 1e-4},
        {'D', 35, 20, 0, 24.763, 1e-3},        {'D', 35, 10, 1000, 26.973, 1e-3},
        {'D', 40, 40, 10000, 22.930, 1e-3},
    };
    for (const Check& c : table) {
        const double got = c.routine == 'R'   ? rho80_(c.s, c.t, c.p)
                           : c.routine == 'P' ? potemp_(c.s, c.t, c.p, 0.0f)
                                              : sigma_(c.s, c.t, c.p, 0.0f);
        EXPECT_NEAR(got, c.expected, c.tolerance) << c.routine << " at " << c.s << ", " << c.t << ", " << c.p;
    }
}

TEST(Rho80, SurfaceBranchJoinsThePressureBranch) {
    // p = 0 skips the bulk modulus: just above it the result must agree
    // (to one float step near 1) and grow with pressure.
    for (float s : {0.0f, 35.0f, 40.0f}) {
        for (float t : {-2.0f, 4.0f, 30.0f}) {
            const float surface = rho80_(s, t, 0.0f);
            EXPECT_EQ(rho80_(s, t, -0.0f), surface);
            EXPECT_GE(rho80_(s, t, 0.01f), surface);
            EXPECT_NEAR(rho80_(s, t, 0.01f), surface, 2e-7);
            EXPECT_GT(rho80_(s, t, 1000.0f), surface + 0.004f);
        }
    }
}

TEST(Potemp, NoPressureChangeGivesTheTemperatureExactly) {
    for (float p : {0.0f, 999.0f, 1000.0f, 4321.5f, 11000.0f}) {
        for (float t : {-1.9f, 0.0f, 12.345f, 40.0f}) EXPECT_EQ(potemp_(34.7f, t, p, p), t) << p << " " << t;
    }
    // With the same reference pressure sigma_ is the in-situ density.
    EXPECT_EQ(sigma_(35.0f, 10.0f, 2000.0f, 2000.0f), (rho80_(35.0f, 10.0f, 2000.0f) - 1.0f) * 1000.0f);
}

TEST(Potemp, SubStepsChangeAtEachThousandDecibars) {
    for (float h : {0.0f, 999.0f, -999.0f, 999.9999f}) EXPECT_EQ(seawater::potemp_sub_steps(h), 1) << h;
    EXPECT_EQ(seawater::potemp_sub_steps(1000.0f), 2);
    EXPECT_EQ(seawater::potemp_sub_steps(-1000.0f), 2);
    EXPECT_EQ(seawater::potemp_sub_steps(-10000.0f), 11);
    // Two sub-steps carry temperature and pressure over, bit for bit like
    // two chained calls of 500 dbar.
    const float s = 34.9f, t = 3.0f, p = 3000.0f;
    EXPECT_EQ(potemp_(s, t, p, p - 1000.0f), potemp_(s, potemp_(s, t, p, p - 500.0f), p - 500.0f, p - 1000.0f));
}

TEST(SeawaterBadInput, GivesNaNWithoutHanging) {
    EXPECT_TRUE(std::isnan(potemp_(35.0f, 10.0f, NAN, 0.0f)));
    EXPECT_TRUE(std::isnan(potemp_(35.0f, 10.0f, 1.0e30f, 0.0f)));
    EXPECT_TRUE(std::isnan(sigma_(35.0f, 10.0f, INFINITY, 0.0f)));
    EXPECT_TRUE(std::isnan(rho80_(-1.0f, 10.0f, 100.0f)));
    EXPECT_EQ(seawater::potemp_sub_steps(seawater::max_potemp_span), 1001);
    EXPECT_FALSE(std::isnan(potemp_(35.0f, 2.0f, 12000.0f, 0.0f)));
}

TEST(SigmaThetaOf, GivesSigmaBitForBit) {
    // A spread of ordinary samples, the sub-step edge at 1000 dbar, deep,
    // negative, missing and unintegrable ones, and more than one vector's worth.
    std::vector<float> s, t, p;
    const float edges[] = {0.0f, -0.0f, 5.0f, 999.9999f, std::nextafter(1000.0f, 0.0f), 1000.0f, 4500.0f,
                           -3.0f, NAN, 2.0e6f, INFINITY};
    for (int i = 0; i < 203; ++i) {
        s.push_back(i % 17 == 3 ? -1.0f : i % 19 == 5 ? NAN : 30.0f + 0.037f * static_cast<float>(i));
        t.push_back(-2.0f + 0.157f * static_cast<float>(i));
        p.push_back(i < 11 ? edges[i] : 4.93f * static_cast<float>(i));
    }
    std::vector<float> out(s.size());
    seawater::sigma_theta_of(s.data(), t.data(), p.data(), out.data(), static_cast<int>(s.size()));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float one = sigma_(s[i], t[i], p[i], 0.0f);
        EXPECT_TRUE(std::memcmp(&one, &out[i], sizeof one) == 0 || (std::isnan(one) && std::isnan(out[i])))
            << i << ": " << one << " " << out[i];
    }
}

TEST(PressureFromDepth, SaundersFormula) {
    // The formula's own values, and the UNESCO depth of 10,000 dbar at 30
    // degrees (9712.653 m) back to pressure within the formula's 0.1 %.
    EXPECT_NEAR(seawater::pressure_from_depth(1000.0, 45.0), 1010.8965, 1e-4);
    EXPECT_NEAR(seawater::pressure_from_depth(30.0, 60.0), 30.300718, 1e-6);
    EXPECT_NEAR(seawater::pressure_from_depth(9712.653, 30.0), 10000.0, 10.0);
    EXPECT_TRUE(std::isnan(seawater::pressure_from_depth(2.0e5, 0.0)));  // beyond the formula
}
