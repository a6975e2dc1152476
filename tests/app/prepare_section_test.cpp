#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/session.h"
#include "miscli/fixed_format.h"
#include "seawater/seawater.h"
#include "section/plotcom.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// Three dives 10 km apart along the equator, five samples each.
std::unique_ptr<app::Session> three_dives() {
    auto s = std::make_unique<app::Session>();
    auto& h = s->header;
    h.serial_no = 7;
    h.n_dives = 3;
    h.n_read = 3;
    h.n_vars = 4;
    s->dives = data::DiveTable(3, 5, 3);
    auto& t = s->dives;
    for (int d = 1; d <= 3; ++d) {
        t.dive_year(d) = 2026;
        t.day_start(d) = 100.0f + static_cast<float>(d);
        t.day_end(d) = t.day_start(d) + 0.4f;
        t.n_samp(d) = 5;
        for (int k = 1; k <= 5; ++k) {
            t.prof(k, d, 1) = 100.0f - 20.0f * static_cast<float>(k - 1);  // 100 .. 20
            t.prof(k, d, 2) = 10.0f + static_cast<float>(k);
            t.prof(k, d, 3) = 34.0f;
            for (int v = 1; v <= 4; ++v) t.prof_flag(k, d, v) = 0;
        }
    }
    s->size_for_dives();
    for (int d = 1; d <= 3; ++d) s->track_km(d) = 10.0f * static_cast<float>(d - 1);
    s->first_dive = 1;
    s->last_dive = 3;
    s->color_var = 'T';
    s->line_var = 'X';
    return s;
}

}  // namespace

TEST(PrepareSection, StationsTextsRangeAndFrameOnThePressureAxis) {
    auto s = three_dives();
    s->reverse = true;
    section::plotcom.vertical = section::Vertical::SqrtPressure;
    auto out = with_console("30 300\n", [&] { app::prepare_section(*s); });
    EXPECT_EQ(out, " Min, Max P is   20.0  100.0  Give Min, Max to plot \n");
    EXPECT_FLOAT_EQ(s->station_x(1), 20.0f);  // reversed: the last dive at 0
    EXPECT_FLOAT_EQ(s->station_x(3), 0.0f);
    EXPECT_FLOAT_EQ(s->station_day(1), 0.25f * 101.0f + 0.75f * 101.4f);
    EXPECT_EQ(s->date_text, "Date 2026 101.0 103.0");
    EXPECT_EQ(s->sn_text, "SN  7   1   3  ");
    EXPECT_EQ(s->n_levels, 109);
    EXPECT_FLOAT_EQ(s->color_lo, 11.0f);
    EXPECT_FLOAT_EQ(s->color_hi, 14.0f);  // the 20 dbar sample lies above the typed range
    const auto& p = section::plotcom;
    EXPECT_FLOAT_EQ(p.z_min, 0.0f);  // pressure axes start at the surface
    EXPECT_FLOAT_EQ(p.z_max, 300.0f);
    EXPECT_FLOAT_EQ(p.x_left, 0.0f);
    EXPECT_FLOAT_EQ(p.x_right, 20.0f);
    EXPECT_FLOAT_EQ(p.x_scale, 7.2f / 20.0f);
    EXPECT_FLOAT_EQ(p.z_scale, 6.4f / (std::sqrt(309.0f) - 3.0f));
}

TEST(PrepareSection, DensityAxisConvertsOnceAndBinsNeedSamplesOnBothSides) {
    auto s = three_dives();
    auto& t = s->dives;
    t.prof_flag(3, 2, 2) = 4;  // one bad temperature: no density there
    t.n_adcp(2) = 3;
    t.adcp(1, 2, 1) = 50.0f;   // between 40 and the bad sample at 60: neighbours 40 and 80
    t.adcp(2, 2, 1) = 10.0f;   // above every sample
    t.adcp(3, 2, 1) = 70.0f;   // neighbours 40 and 80 as well
    // Two samples at 40 dbar in dive 3: the first in the file is the neighbour.
    t.prof(5, 3, 1) = 40.0f;
    t.prof(5, 3, 2) = 20.0f;
    t.n_adcp(3) = 1;
    t.adcp(1, 3, 1) = 50.0f;
    section::plotcom.vertical = section::Vertical::Density;
    with_console("26 27\n", [&] { app::prepare_section(*s); });
    EXPECT_TRUE(s->density_converted);
    EXPECT_FLOAT_EQ(t.adcp(1, 3, 1), 0.5f * seawater::sigma_(34.0f, 14.0f, 40.0f, 0.0f) +
                                         0.5f * seawater::sigma_(34.0f, 13.0f, 60.0f, 0.0f));
    EXPECT_FLOAT_EQ(s->grid_step, 0.1f);
    float s40 = seawater::sigma_(34.0f, 14.0f, 40.0f, 0.0f), s80 = seawater::sigma_(34.0f, 12.0f, 80.0f, 0.0f);
    EXPECT_FLOAT_EQ(t.adcp(1, 2, 1), 0.75f * s40 + 0.25f * s80);
    EXPECT_FLOAT_EQ(t.adcp(2, 2, 1), -999.0f);
    EXPECT_FLOAT_EQ(t.adcp(3, 2, 1), 0.25f * s40 + 0.75f * s80);
    // The bad sample went to the end of the sorted profile and was dropped.
    EXPECT_EQ(t.n_samp(2), 4);
    EXPECT_EQ(t.n_samp(1), 5);
    EXPECT_FLOAT_EQ(section::plotcom.z_min, 26.0f);  // the density axis keeps the typed range
    float first = t.prof(1, 1, 1);
    with_console("26 27\n", [&] { app::prepare_section(*s); });
    EXPECT_FLOAT_EQ(t.prof(1, 1, 1), first);  // not converted twice

    // East velocity: the bin above every sample has no density and is not
    // shown as the data's minimum. The range answer may take two lines.
    s->color_var = 'U';
    const float lo = std::min({t.adcp(1, 2, 1), t.adcp(3, 2, 1), t.adcp(1, 3, 1)});
    const float hi = std::max({t.adcp(1, 2, 1), t.adcp(3, 2, 1), t.adcp(1, 3, 1)});
    auto out = with_console("25.5\n\n26.5\n", [&] { app::prepare_section(*s); });
    EXPECT_EQ(out, " Min, Max P is" + miscli::fmt_f(lo, 7, 1) + miscli::fmt_f(hi, 7, 1) + "  Give Min, Max to plot \n");
    EXPECT_FLOAT_EQ(section::plotcom.z_min, 25.5f);
    EXPECT_FLOAT_EQ(section::plotcom.z_max, 26.5f);
}

TEST(PrepareSection, DateWithoutAnyTimeAndAOneStationFrame) {
    auto s = three_dives();
    for (int d = 1; d <= 3; ++d) s->dives.day_start(d) = -9.99f;
    s->first_dive = 2;
    s->last_dive = 2;
    section::plotcom.vertical = section::Vertical::Pressure;
    with_console("0 100\n", [&] { app::prepare_section(*s); });
    EXPECT_EQ(s->date_text, "Date                 ");
    EXPECT_EQ(s->sn_text, "SN  7   2   2  ");
    EXPECT_GT(section::plotcom.x_right, section::plotcom.x_left);
    EXPECT_TRUE(std::isfinite(section::plotcom.x_scale));
    EXPECT_FLOAT_EQ(section::plotcom.z_scale, 6.4f / 100.0f);
}
