#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "seawater/teos10.h"

namespace {

struct Profile {
  double lat = 0;
  std::vector<double> sa, ct, p;
  std::vector<double> p_mid, n2;  // expected
};

// The numbers after the first word of a row; strtod reads "nan" too.
std::vector<double> numbers(std::istringstream& row) {
  std::vector<double> v;
  std::string word;
  while (row >> word) v.push_back(std::strtod(word.c_str(), nullptr));
  return v;
}

}  // namespace

// Random ocean samples and the published check casts, against the values
// python3-gsw gives (tools/make_teos10_reference.py); SA is nan in the
// file where it is not checked.
TEST(Teos10, MatchesTheReferenceValues) {
  std::ifstream in(std::string(GLIDERSECT_TEST_FILES) + "/teos10_reference.txt");
  ASSERT_TRUE(in) << "teos10_reference.txt missing";
  std::map<int, Profile> profiles;
  int points = 0, salinities = 0;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::string kind;
    row >> kind;
    if (kind == "point") {
      const std::vector<double> v = numbers(row);
      ASSERT_EQ(v.size(), 11u) << line;
      const double sp = v[0], t = v[1], p = v[2], lon = v[3], lat = v[4], sa = v[5], sa_in = v[6], ct = v[7],
                   ct_in = v[8], s0 = v[9], spice = v[10];
      const std::string at = " at SP " + std::to_string(sp) + ", p " + std::to_string(p) + ", " +
                             std::to_string(lon) + " E, " + std::to_string(lat) + " N";
      if (!std::isnan(sa)) {
        EXPECT_NEAR(seawater::absolute_salinity(sp, p, lon, lat), sa, 1e-4) << "SA" << at;
        ++salinities;
      }
      EXPECT_NEAR(seawater::conservative_temperature(sa_in, t, p), ct, 1e-5) << "CT" << at;
      EXPECT_NEAR(seawater::sigma0(sa_in, ct_in), s0, 1e-4) << "sigma0" << at;
      EXPECT_NEAR(seawater::spiciness0(sa_in, ct_in), spice, 1e-4) << "spiciness0" << at;
      ++points;
    } else if (kind == "level") {
      const std::vector<double> v = numbers(row);
      ASSERT_EQ(v.size(), 5u) << line;
      Profile& pr = profiles[static_cast<int>(v[0])];
      pr.lat = v[1];
      pr.sa.push_back(v[2]);
      pr.ct.push_back(v[3]);
      pr.p.push_back(v[4]);
    } else if (kind == "n2") {
      const std::vector<double> v = numbers(row);
      ASSERT_EQ(v.size(), 3u) << line;
      profiles[static_cast<int>(v[0])].p_mid.push_back(v[1]);
      profiles[static_cast<int>(v[0])].n2.push_back(v[2]);
    }
  }
  EXPECT_GT(points, 2000);
  EXPECT_GT(salinities, 2000);
  ASSERT_GT(profiles.size(), 10u);
  for (const auto& [id, pr] : profiles) {
    const auto got = seawater::n_squared(pr.sa, pr.ct, pr.p, pr.lat);
    ASSERT_EQ(got.size(), pr.n2.size()) << "profile " << id;
    for (std::size_t n = 0; n < got.size(); ++n) {
      EXPECT_NEAR(got[n].p_mid, pr.p_mid[n], 1e-6) << "profile " << id << " interval " << n;
      EXPECT_NEAR(got[n].n2, pr.n2[n], 1e-7) << "profile " << id << " interval " << n;
    }
  }
}

// Without a position the Absolute Salinity is the Reference Salinity; on
// land the atlas adds nothing either.
TEST(Teos10, ReferenceSalinityWithoutPosition) {
  EXPECT_DOUBLE_EQ(seawater::reference_salinity(35.0), 35.16504);
  EXPECT_DOUBLE_EQ(seawater::reference_salinity(0.0), 0.0);
  EXPECT_DOUBLE_EQ(seawater::absolute_salinity(35.0, 100.0, 90.0, 40.0), 35.16504);  // Tarim basin
  EXPECT_DOUBLE_EQ(seawater::absolute_salinity(35.0, 100.0, NAN, NAN), 35.16504);
}
