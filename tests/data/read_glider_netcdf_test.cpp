// The glider netCDF reader on one file of each family (made by ncgen from
// tests/files/netcdf): what the dive table holds afterwards.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/nc_file.h"
#include "data/nc_values.h"
#include "miscli/text_field.h"
#include "data/read_dive_data.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

struct Dive {
    int n_samp;
    float day_start, day_end;
    float lon_start, lat_start, lon_end, lat_end;
};

struct Sample {
    int dive, k, v;
    float value;
    int flag;
};

struct Case {
    std::string name;    // a file of tests/files/netcdf, or a pattern in its folder
    std::string answer;  // to the fourth-variable question
    std::string console;
    int serial, year;
    std::string var4;
    std::vector<Dive> dives;
    std::vector<Sample> samples;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {"og1_upper.nc", "",
         " Read 3 profiles from 1 netCDF file\n Fourth variable (Enter for CHLA): CHLA DOXY CNDC TEMP_DOXY BBP700\n",
         28, 2024, "CHLA    ",
         // Profile numbers 1, 2, 3 in that order; the time and position
         // used are TIME and LATITUDE, not their GPS twins.
         {{4, 1.5277778f, 1.5486111f, -20.05f, 50.05f, -20.07f, 50.07f},
          {3, 1.5f, 1.5138889f, -20.0f, 50.0f, -20.02f, 50.02f},
          {2, 1.5555556f, 1.5555556f, -20.08f, 50.08f, -20.09f, 50.09f}},
         {{1, 1, 1, -0.5f, 1}, {1, 2, 1, -0.05f, 0}, {1, 3, 1, 60.0f, 1}, {1, 4, 1, 200.0f, 0},
          {1, 1, 2, 14.0f, 0}, {1, 2, 2, -999.9f, 9}, {1, 3, 2, 16.0f, 0}, {1, 4, 2, 17.0f, 4},
          {2, 2, 2, 11.0f, 0}, {2, 3, 2, 12.0f, 3}, {3, 2, 2, 19.0f, 8}, {1, 1, 4, 0.4f, 0}}},
        {"og1_lower.nc", "CDOM",
         " Read 2 profiles from 1 netCDF file\n"
         " Fourth variable (Enter for oxygen_concentration): oxygen_concentration cdom\n",
         35, 2023, "cdom    ",
         // Days since 2000; the second profile, in the new year, goes on counting.
         {{3, 365.5f, 365.58333f, 5.0f, 60.0f, 5.0f, 60.0f}, {3, 366.25f, 366.33333f, 5.1f, 60.1f, 5.1f, 60.1f}},
         {{1, 2, 2, 7.0f, 3}, {2, 3, 2, 8.0f, 0}, {1, 1, 1, 10.0f, 0}, {2, 1, 4, 4.0f, 0}}},
        {"p542*.nc", "",
         " Read 4 profiles from 2 netCDF files\n"
         " Fourth variable (Enter for dissolved_oxygen): dissolved_oxygen temperature_raw\n",
         542, 2024, "dissolve",
         // Each dive down to its deepest sample and up; the second file has
         // no salinity and no oxygen.
         {{4, 61.25f, 61.270833f, -122.0f, 36.8f, -122.03f, 36.83f},
          {3, 61.277778f, 61.291667f, -122.04f, 36.84f, -122.06f, 36.86f},
          {3, 61.305556f, 61.319444f, -122.07f, 36.87f, -122.09f, 36.89f},
          {2, 61.326389f, 61.333333f, -122.1f, 36.9f, -122.11f, 36.91f}},
         {{1, 4, 1, 300.0f, 0}, {1, 4, 2, 8.0f, 4}, {2, 1, 2, 9.0f, 0}, {1, 1, 4, 240.0f, 0},
          {1, 3, 3, 33.8f, 0}, {3, 3, 2, 9.0f, 0}, {3, 1, 3, -999.9f, 9}, {3, 1, 4, -999.9f, 9}}},
        {"toolbox.nc", "",
         " Read 2 profiles from 1 netCDF file\n Fourth variable (Enter for chlorophyll): chlorophyll\n", 35, 2023,
         "chloroph",
         // Half-integer and NaN profile indices belong to no profile.
         {{3, 201.0013889f, 201.0027778f, 7.5f, 43.0f, 7.5f, 43.0f}, {3, 201.0048611f, 201.0062500f, 7.5f, 43.0f, 7.5f, 43.0f}},
         {{1, 1, 1, 20.0f, 0}, {1, 1, 2, 14.0f, 0}, {1, 2, 2, 12.5f, 0}, {1, 3, 2, -999.9f, 9}, {2, 1, 2, 11.5f, 0},
          {2, 1, 3, -999.9f, 9}, {1, 1, 4, 0.5f, 0}}},
        {"depth_only.nc", "", " Read 3 profiles from 1 netCDF file\n", 0, 2024, "        ",
         // Turning points at 100 m and 5 m; pressure by Saunders at 45
         // degrees where the latitude is missing, 60 elsewhere.
         {{4, 153.0f, 153.0625f, 10.0f, 60.0f, 10.0f, 60.0f},
          {5, 153.083333f, 153.1666667f, 10.0f, 60.0f, 10.0f, 60.0f},
          {3, 153.1875f, 153.229167f, 10.0f, 60.0f, 10.0f, 60.0f}},
         {{1, 1, 1, 2.0172464f, 0}, {1, 2, 1, 30.300718f, 0}, {3, 2, 1, -999.9f, 1}, {3, 3, 1, 80.811027f, 0},
          {1, 1, 4, -999.9f, 1}}},
        {"ngdac.nc", "density",
         " Read 1 profiles from 1 netCDF file\n Fourth variable (Enter for conductivity): conductivity density\n", 29,
         2023, "density ",
         // QC that was never filled in judges nothing.
         {{4, 1.0f, 1.0010417f, -70.0f, 40.0f, -70.0f, 40.0f}},
         {{1, 1, 1, 1.0f, 0}, {1, 1, 2, 12.0f, 0}, {1, 4, 2, 9.0f, 0}, {1, 4, 3, 35.0f, 0}, {1, 4, 4, 1026.0f, 0}}},
        {"level0.nc", "", " Read 2 profiles from 1 netCDF file\n Fourth variable (Enter for chlorophyll): chlorophyll\n",
         35, 2023, "chloroph",
         // Where a sample has depth but no pressure, its pressure comes from
         // the depth (Saunders at its latitude) with the depth's QC; one
         // with neither is missing. Its other variables are kept.
         {{5, 201.0006944f, 201.0034722f, 7.5f, 43.0f, 7.5f, 43.0f}, {5, 201.0048611f, 201.0076389f, 7.6f, 43.0f, 7.6f, 43.0f}},
         {{1, 1, 1, 0.5f, 0}, {1, 2, 1, 10.084551f, 0}, {1, 3, 1, 30.255013f, 1}, {1, 4, 1, 60.0f, 0},
          {1, 5, 1, 100.86591f, 0}, {2, 1, 1, 90.777283f, 0}, {2, 2, 1, 80.0f, 0}, {2, 3, 1, 50.427288f, 0},
          {2, 4, 1, -999.9f, 1}, {2, 5, 1, 10.0f, 0}, {1, 2, 4, 0.3f, 0}, {1, 1, 4, -999.9f, 9}, {2, 4, 2, 17.0f, 0},
          {2, 4, 4, 0.4f, 0}}},
    };
    return all;
}

}  // namespace

TEST(ReadGliderNetcdf, EveryFamilyFillsTheDiveTable) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        data::FileHeader h;
        auto t = std::make_unique<data::DiveTable>();
        miscli::ProgramStop stop{"", -1};
        const std::string name = (nc_test_file("x").parent_path() / c.name).string();
        const std::string out = with_console(c.answer + "\n", [&] { data::read_dive_data(name, h, *t); }, &stop);
        ASSERT_EQ(stop.status, -1) << stop.line;
        EXPECT_EQ(out, c.console);
        EXPECT_EQ(h.serial_no, c.serial);
        EXPECT_EQ(miscli::field(h.column(4).name, 8), c.var4);
        EXPECT_EQ(h.n_vars, c.var4 == "        " ? 3 : 4);
        EXPECT_EQ(h.profiler, data::Profiler::None);
        EXPECT_TRUE(h.opened);
        ASSERT_EQ(h.n_dives, static_cast<int>(c.dives.size()));
        EXPECT_EQ(h.n_read, h.n_dives);
        for (int d = 1; d <= h.n_dives; ++d) {
            const Dive& want = c.dives[static_cast<std::size_t>(d - 1)];
            SCOPED_TRACE(d);
            EXPECT_EQ(t->n_samp(d), want.n_samp);
            EXPECT_EQ(t->dive_year(d), c.year);
            EXPECT_NEAR(t->day_start(d), want.day_start, 2e-5);
            EXPECT_NEAR(t->day_end(d), want.day_end, 2e-5);
            EXPECT_FLOAT_EQ(t->lon_start(d), want.lon_start);
            EXPECT_FLOAT_EQ(t->lat_start(d), want.lat_start);
            EXPECT_FLOAT_EQ(t->lon_end(d), want.lon_end);
            EXPECT_FLOAT_EQ(t->lat_end(d), want.lat_end);
            EXPECT_EQ(t->dive_weight(d), 0.0f);
            EXPECT_EQ(t->n_adcp(d), 0);
        }
        for (const Sample& s : c.samples) {
            EXPECT_FLOAT_EQ(t->prof(s.k, s.dive, s.v), s.value) << "dive " << s.dive << " sample " << s.k << " v " << s.v;
            EXPECT_EQ(t->prof_flag(s.k, s.dive, s.v), s.flag) << "dive " << s.dive << " sample " << s.k << " v " << s.v;
        }
    }
}

// A file of many thousand samples is read a piece at a time: every value and
// flag must be what the whole variable, read at once, says of its sample,
// also where a profile runs on from one piece into the next.
TEST(ReadGliderNetcdf, ALongFileReadInPiecesHoldsEverySampleOfTheVariable) {
    TempDir dir;
    const std::filesystem::path gen = std::filesystem::path(GLIDERSECT_BINARY).parent_path() / "gen_nc";
    const std::string file = (dir.path() / "long.nc").string();
    std::string command = gen.string();
    command.append(" --dives 40 --samples 1000 ").append(file).append(" > /dev/null");
    ASSERT_EQ(std::system(command.c_str()), 0);
    data::FileHeader h;
    auto t = std::make_unique<data::DiveTable>();
    miscli::ProgramStop stop{"", -1};
    with_console("\n", [&] { data::read_dive_data(file, h, *t); }, &stop);
    ASSERT_EQ(stop.status, -1) << stop.line;
    ASSERT_EQ(h.n_dives, 80);

    const data::NcFile f(file);
    data::NcDoubles number, temp;
    data::read_values(f, *f.find("PROFILE_NUMBER"), number);
    data::read_values(f, *f.find("TEMP"), temp);
    ASSERT_GT(temp.size(), std::size_t{1} << 16);
    // Profiles come in increasing number; k counts a profile's samples.
    std::map<double, std::vector<std::size_t>> samples;
    for (std::size_t i = 0; i < number.size(); ++i) samples[number[i]].push_back(i);
    int d = 0, wrong = 0;
    for (const auto& [n, list] : samples) {
        ASSERT_EQ(t->n_samp(++d), static_cast<int>(list.size()));
        EXPECT_EQ(t->dive_number(d), static_cast<int>(n));
        for (std::size_t k = 0; k < list.size(); ++k) {
            const float want = std::isfinite(temp[list[k]]) ? static_cast<float>(temp[list[k]]) : data::SAMPLE_FILL;
            wrong += t->prof(static_cast<int>(k) + 1, d, 2) != want;
            wrong += (t->prof_flag(static_cast<int>(k) + 1, d, 2) == 9) != (want == data::SAMPLE_FILL);
        }
    }
    EXPECT_EQ(wrong, 0);
}

// A Seaglider's dives keep their numbers, each cut into its down and up
// cast, and its variables their names and units (from the first file).
TEST(ReadGliderNetcdf, ProfilesKeepTheFilesNumbersAndVariablesTheirNames) {
    TempDir dir;
    for (const char* name : {"p5420012", "p5420013"})
        std::filesystem::copy_file(nc_test_file(name), dir.path() / (std::string(name) + ".nc"));
    data::FileHeader h;
    auto t = std::make_unique<data::DiveTable>();
    miscli::ProgramStop stop{"", -1};
    with_console("\n", [&] { data::read_dive_data(dir.path().string(), h, *t); }, &stop);
    ASSERT_EQ(stop.status, -1) << stop.line;
    std::vector<std::string> labels;
    for (int d = 1; d <= t->size(); ++d) labels.push_back(t->dive_label(d));
    EXPECT_EQ(labels, (std::vector<std::string>{"12a", "12b", "13a", "13b"}));
    EXPECT_EQ(h.column(2).name, "temperature");
    EXPECT_EQ(h.column(2).long_name, "Temperature (in situ)");
    EXPECT_EQ(h.column(2).unit, "degrees_Celsius");
    EXPECT_EQ(h.column(3).name, "salinity");
}
