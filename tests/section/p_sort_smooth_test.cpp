#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "miscli/array.h"
#include "miscli/ragged_array.h"
#include "section/p_sort.h"
#include "section/smooth.h"
#include "support/test_support.h"

namespace {

// Samples a profile and profiles a section hold in these tests.
constexpr int MXZ = 500, MXPR = 800;

struct Profiles {
    miscli::Array1<int> n{MXPR};
    miscli::RaggedArray3<float> prof{MXZ, MXPR, 4};
    miscli::RaggedArray3<std::int8_t> flag{MXZ, MXPR, 4};
    void set(int i, const std::vector<float>& keys) {
        n(i) = static_cast<int>(keys.size());
        for (int k = 1; k <= n(i); ++k) {
            prof(k, i, 1) = keys[static_cast<std::size_t>(k - 1)];
            prof(k, i, 2) = static_cast<float>(k);  // remembers where each sample came from
            flag(k, i, 2) = static_cast<std::int8_t>(k % 128);
        }
    }
    std::vector<float> column(int i, int v) const {
        std::vector<float> out;
        for (int k = 1; k <= n(i); ++k) out.push_back(prof(k, i, v));
        return out;
    }
};

// The plain scan the order is defined by.
void reference_sort(std::vector<float>& key, std::vector<float>& origin) {
    int n = static_cast<int>(key.size());
    for (int j = 0; j < n - 1; ++j) {
        float best = 0.0f;
        int m = j;
        for (int k = j; k < n; ++k)
            if (key[static_cast<std::size_t>(k)] > best) {
                best = key[static_cast<std::size_t>(k)];
                m = k;
            }
        std::swap(key[static_cast<std::size_t>(j)], key[static_cast<std::size_t>(m)]);
        std::swap(origin[static_cast<std::size_t>(j)], origin[static_cast<std::size_t>(m)]);
    }
    while (n > 0 && key[static_cast<std::size_t>(n - 1)] < 0.0f) --n;
    key.resize(static_cast<std::size_t>(n));
    origin.resize(static_cast<std::size_t>(n));
}

}  // namespace

TEST(PSort, OrdersDescendingMovesEveryVariableAndTrims) {
    Profiles p;
    p.set(1, {30, 10, 20});
    p.set(2, {5, 8, 8, 1});
    p.set(3, {10, 5, -999, -999});
    p.set(4, {10, -5, 0});
    p.set(5, {-1, -2});
    p.set(6, {-3});
    section::p_sort_(6, 4, p.n, p.prof, p.flag);
    EXPECT_EQ(p.column(1, 1), (std::vector<float>{30, 20, 10}));
    EXPECT_EQ(p.column(1, 2), (std::vector<float>{1, 3, 2}));
    EXPECT_EQ(p.flag(2, 1, 2), 3);
    // Of two equal largest keys the earlier one comes forward first.
    EXPECT_EQ(p.column(2, 2), (std::vector<float>{2, 3, 1, 4}));
    EXPECT_EQ(p.n(3), 2);
    EXPECT_EQ(p.column(4, 1), (std::vector<float>{10, -5, 0}));  // a last key of 0.0 stops the trim
    EXPECT_EQ(p.n(5), 0);
    EXPECT_EQ(p.n(6), 0);
}

TEST(PSort, MatchesThePlainSelectionScanOnRandomProfiles) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> len(0, 60), pick(0, 9);
    Profiles p;
    std::vector<std::vector<float>> want_key, want_origin;
    // Enough samples that the profiles are sorted on two threads.
    for (int i = 1; i <= MXPR; ++i) {
        std::vector<float> keys;
        int n = i == 1 ? MXZ : len(rng);
        for (int k = 0; k < n; ++k) {
            int c = pick(rng);
            // Many ties, zeros and fill values, in any order.
            keys.push_back(c < 2 ? -999.0f : c < 3 ? 0.0f : static_cast<float>(pick(rng) * 10));
        }
        if (i % 5 == 0) std::sort(keys.rbegin(), keys.rend());
        if (i % 5 == 1) std::sort(keys.begin(), keys.end());  // rising, with equal keys
        if (i % 5 == 2) {  // strictly rising, as a descent is recorded, fills first
            for (int k = 0; k < n; ++k) keys[static_cast<std::size_t>(k)] = k == 0 ? -999.0f : 0.5f * k;
        }
        if (i % 5 == 3) {  // all different, nearly rising or nearly falling, or shuffled
            std::uniform_real_distribution<float> wobble(-0.2f, 0.2f);
            for (int k = 0; k < n; ++k) keys[static_cast<std::size_t>(k)] = 0.5f * k + wobble(rng);
            if (i % 15 == 3) std::reverse(keys.begin(), keys.end());
            if (i % 15 == 8) std::shuffle(keys.begin(), keys.end(), rng);
            // Pressures to a fifth of a dbar (ties between neighbours), and
            // ties at and above the surface scattered through the profile.
            if (i % 15 == 13)
                for (float& k : keys) {
                    k = std::round(k * 5.0f) / 5.0f;
                    if (pick(rng) < 2) k = pick(rng) < 5 ? 0.0f : -999.0f;
                }
        }
        p.set(i, keys);
        std::vector<float> origin;
        for (int k = 1; k <= n; ++k) origin.push_back(static_cast<float>(k));
        reference_sort(keys, origin);
        want_key.push_back(keys);
        want_origin.push_back(origin);
    }
    section::p_sort_(MXPR, 2, p.n, p.prof, p.flag);
    section::p_sort_(MXPR, 2, p.n, p.prof, p.flag);  // sorted already: nothing moves
    for (int i = 1; i <= MXPR; ++i) {
        ASSERT_EQ(p.column(i, 1), want_key[static_cast<std::size_t>(i - 1)]) << "profile " << i;
        ASSERT_EQ(p.column(i, 2), want_origin[static_cast<std::size_t>(i - 1)]) << "profile " << i;
    }
}

namespace {

struct Grid {
    miscli::RaggedArray2<float> val{MXZ, MXPR, -999.9f}, z{MXZ, MXPR};
    miscli::Array1<int> n{MXPR};
    miscli::Array1<float> grid_z{MXZ + 1};
    miscli::Array2<float> g{MXZ, MXPR};
    std::vector<int> work = std::vector<int>(MXZ);
    int levels = 0;
    void add(int i, float zz, float v) {
        ++n(i);
        z(n(i), i) = zz;
        val(n(i), i) = v;
    }
    void run(int first, int last, float step, float lo, float hi, float threshold = -99.9f) {
        section::smooth_(val, z, n, first, last, grid_z, g, work, levels, step, threshold, {lo, hi});
    }
};

}  // namespace

TEST(Smooth, LevelsBinsAndTheFiveBinMean) {
    Grid s;
    s.add(1, 7.4f, 1.0f);    // bin 3
    s.add(1, 8.0f, 3.0f);    // bin 4
    s.add(1, 60.0f, 9.0f);   // bin 25
    s.add(1, -3.0f, 50.0f);  // above the grid: not binned
    s.add(1, 102.6f, 50.0f); // below the last level: not binned
    s.add(1, 30.0f, -999.9f);
    s.run(1, 1, 5.0f, 0.0f, 100.0f);
    EXPECT_EQ(s.levels, 41);
    EXPECT_FLOAT_EQ(s.grid_z(1), 0.0f);
    EXPECT_FLOAT_EQ(s.grid_z(42), 102.5f);
    EXPECT_FLOAT_EQ(s.g(1, 1), 1.0f);   // bins 1..3
    EXPECT_FLOAT_EQ(s.g(3, 1), 2.0f);   // bins 1..5 hold both samples
    EXPECT_FLOAT_EQ(s.g(6, 1), 3.0f);   // bins 4..8
    EXPECT_FLOAT_EQ(s.g(7, 1), -999.9f);
    EXPECT_FLOAT_EQ(s.g(23, 1), 9.0f);  // two bins away still counts
    EXPECT_FLOAT_EQ(s.g(22, 1), -999.9f);
    EXPECT_FLOAT_EQ(s.g(41, 1), -999.9f);
}

TEST(Smooth, NegativeValuesAreAveragedNotBlanked) {
    Grid s;
    for (int j = 0; j < 4; ++j) s.add(1, 10.0f, -40.0f);  // a bin sum of -160
    s.run(1, 1, 5.0f, 0.0f, 20.0f);
    EXPECT_FLOAT_EQ(s.g(5, 1), -40.0f);
}

TEST(Smooth, SingleMissingProfilesAreFilledFromTheirNeighbours) {
    Grid s;
    s.add(1, 10.0f, 2.0f);
    s.add(3, 10.0f, 4.0f);
    s.add(5, 10.0f, 6.0f);
    s.run(1, 5, 5.0f, 0.0f, 20.0f);
    EXPECT_FLOAT_EQ(s.g(5, 2), 3.0f);
    EXPECT_FLOAT_EQ(s.g(5, 4), 5.0f);

    Grid two;
    two.add(1, 10.0f, 2.0f);
    two.add(4, 10.0f, 4.0f);
    two.run(1, 4, 5.0f, 0.0f, 20.0f);
    EXPECT_FLOAT_EQ(two.g(5, 2), -999.9f);  // a run of two stays missing
    EXPECT_FLOAT_EQ(two.g(5, 3), -999.9f);

    Grid pair;
    pair.add(1, 10.0f, 2.0f);
    pair.run(1, 2, 5.0f, 0.0f, 20.0f);
    EXPECT_FLOAT_EQ(pair.g(5, 2), -999.9f);
}

TEST(Smooth, TooManyLevelsStops) {
    Grid s;
    miscli::ProgramStop stop{"", -1};
    testing_support::with_console("", [&] { s.run(1, 1, 5.0f, 0.0f, 1250.0f); }, &stop);
    EXPECT_EQ(stop.status, 1);
    EXPECT_EQ(stop.line, " Increase MXZ for SMOOTH");
    s.run(1, 1, 5.0f, 0.0f, 1247.5f);
    EXPECT_EQ(s.levels, 500);
}
