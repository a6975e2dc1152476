#include <gtest/gtest.h>

#include <memory>

#include "data/load_sec.h"
#include "seawater/seawater.h"
#include "support/test_support.h"

using namespace testing_support;
namespace {

constexpr int kDives = 3, kRoom = 5;

struct Fixture {
    std::unique_ptr<data::DiveTable> t = std::make_unique<data::DiveTable>(kDives, kRoom, kRoom);
    miscli::RaggedArray2<float> val{kRoom, kDives}, z{kRoom, kDives};
    miscli::Array1<int> n{kDives};
    std::string label;
    int log = -1, adcp = -1;

    Fixture() {
        auto& d = *t;
        d.n_samp(1) = 3;
        float p[] = {100.0f, 50.0f, 10.0f}, temp[] = {10.0f, 12.0f, 15.0f}, var4[] = {100.0f, 0.0f, -1.0f};
        for (int k = 1; k <= 3; ++k) {
            d.prof(k, 1, 1) = p[k - 1];
            d.prof(k, 1, 2) = temp[k - 1];
            d.prof(k, 1, 3) = 35.0f;
            d.prof(k, 1, 4) = var4[k - 1];
            for (int v = 1; v <= 4; ++v) d.prof_flag(k, 1, v) = 0;
        }
        d.prof_flag(2, 1, 2) = 3;  // a bad temperature
        d.prof_flag(3, 1, 1) = 1;  // a bad pressure
        d.n_adcp(1) = 2;
        d.adcp(1, 1, 1) = 20.0f;
        d.adcp(2, 1, 1) = 40.0f;
        d.adcp(1, 1, 4) = -70.0f;
        d.adcp(2, 1, 4) = -71.0f;
        d.adcp_flag(1, 1, 2) = 0;
        d.adcp_flag(2, 1, 2) = 2;
    }
    std::string load(char code, const std::string& answers = "") {
        return with_console(answers, [&] { data::load_sec_(val, z, 1, 2, n, code, label, log, adcp, *t, "Fluor   "); });
    }
};

}  // namespace

TEST(LoadSec, FlagsDecideWhichValuesArePresent) {
    Fixture f;
    f.load('T');
    EXPECT_EQ(f.n(1), 3);
    EXPECT_EQ(f.n(2), 0);
    EXPECT_FLOAT_EQ(f.val(1, 1), 10.0f);
    EXPECT_FLOAT_EQ(f.val(2, 1), -999.9f);
    EXPECT_FLOAT_EQ(f.z(2, 1), 50.0f);  // the coordinate stays
    EXPECT_EQ(f.label, "T" + std::string(19, ' '));
    EXPECT_EQ(f.adcp, 0);

    // Sigma-theta needs temperature and salinity, not the pressure flag.
    f.load('D');
    EXPECT_FLOAT_EQ(f.val(2, 1), -999.9f);
    EXPECT_FLOAT_EQ(f.val(3, 1), seawater::sigma_(35.0f, 15.0f, 10.0f, 0.0f));
    EXPECT_EQ(f.label, "\\sigma\\\\sub{\\theta\\}");
}

TEST(LoadSec, ProfilerVariablesAndTheirLabels) {
    Fixture f;
    f.load('B');
    EXPECT_EQ(f.label, "ABS" + std::string(17, ' '));
    EXPECT_EQ(f.adcp, 1);
    EXPECT_EQ(f.n(1), 2);
    EXPECT_FLOAT_EQ(f.val(1, 1), -70.0f);
    EXPECT_FLOAT_EQ(f.val(2, 1), -999.9f);
    EXPECT_FLOAT_EQ(f.z(2, 1), 40.0f);
    f.load('W');
    EXPECT_EQ(f.label, "W" + std::string(19, ' '));
    f.t->n_adcp(1) = 0;
    f.load('U');
    EXPECT_EQ(f.n(1), 0);
}

TEST(LoadSec, FourthVariableAsksForTheLogarithm) {
    Fixture f;
    EXPECT_EQ(f.load('4', "n\n"), " Contour Log10 (vs linear) of Fluor? Y/N? \n");
    EXPECT_EQ(f.log, 0);
    EXPECT_FLOAT_EQ(f.val(1, 1), 100.0f);
    EXPECT_EQ(f.label, "Fluor" + std::string(15, ' '));
    f.load('4', "Yes\n");
    EXPECT_EQ(f.log, 1);
    EXPECT_FLOAT_EQ(f.val(1, 1), 2.0f);
    // Zero and below have no logarithm: missing, not drawn as log10 = 0.
    EXPECT_FLOAT_EQ(f.val(2, 1), -999.9f);
    EXPECT_FLOAT_EQ(f.val(3, 1), -999.9f);
    // Values outside the loaded range stay missing.
    EXPECT_FLOAT_EQ(f.val(1, 3), -999.9f);
}
