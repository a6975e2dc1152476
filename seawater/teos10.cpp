#include "seawater/teos10.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

#include "seawater/sa_atlas.h"
#include "seawater/seawater.h"
#include "seawater/teos10_coefficients.h"

namespace seawater {
namespace {

using teos10::Term;

constexpr double ups = 35.16504 / 35.0;         // g/kg per unit of practical salinity
constexpr double salinity_unit = 40.188617;     // g/kg, x^2 = SA / salinity_unit
constexpr double sfac = 1.0 / (40.0 * ups);     // reduced salinity of the 75-term form
constexpr double soffset = 24.0 * sfac;
constexpr double db_to_pa = 1.0e4;

// A polynomial and its derivatives in its first two reduced variables.
struct PolyValue {
  double value = 0, d_x = 0, d_y = 0;
};

constexpr int kMaxPower = 9, kX2LnX = kMaxPower + 1;  // f of x: x^0..x^9, then x^2 ln x

// A polynomial's terms gathered by their f(x) and power of y, each group a
// polynomial in z evaluated by Horner's rule: the groups do not wait on
// each other, and z's powers are never formed.
struct Group {
  int f, j;
  std::vector<double> c;  // of z^0, z^1, ...
};

std::vector<Group> grouped(const Term* terms, std::size_t count) {
  std::vector<Group> groups;
  for (std::size_t n = 0; n < count; ++n) {
    const Term& t = terms[n];
    const int f = t.kind == 2 ? kX2LnX : (t.kind == 1 ? t.i : 0);
    auto g = std::find_if(groups.begin(), groups.end(), [&](const Group& x) { return x.f == f && x.j == t.j; });
    if (g == groups.end()) g = groups.insert(groups.end(), Group{f, t.j, {}});
    if (g->c.size() <= static_cast<std::size_t>(t.k)) g->c.resize(static_cast<std::size_t>(t.k) + 1, 0.0);
    g->c[static_cast<std::size_t>(t.k)] += t.c;
  }
  return groups;
}

// Sum of the terms c f(x) y^j z^k, with f = 1, x^i or x^2 ln x, and, when
// asked, its derivatives in x and y.
template <bool with_derivatives = true>
PolyValue evaluate(const std::vector<Group>& groups, double x, double y, double z) {
  std::array<double, kMaxPower + 2> f{}, df{};
  std::array<double, kMaxPower + 1> yp{}, dyp{};
  f[0] = yp[0] = 1.0;
  for (int n = 1; n <= kMaxPower; ++n) {
    f[n] = f[n - 1] * x;
    df[n] = n * f[n - 1];
    yp[n] = yp[n - 1] * y;
    dyp[n] = n * yp[n - 1];
  }
  const double lnx = x > 0 ? std::log(x) : 0.0;
  f[kX2LnX] = x * x * lnx;
  df[kX2LnX] = x > 0 ? x * (2 * lnx + 1) : 0.0;
  PolyValue r;
  for (const Group& g : groups) {
    double in_z = g.c.back();
    for (std::size_t k = g.c.size() - 1; k-- > 0;) in_z = in_z * z + g.c[k];
    const std::size_t fi = static_cast<std::size_t>(g.f), j = static_cast<std::size_t>(g.j);
    r.value += in_z * f[fi] * yp[j];
    if constexpr (with_derivatives) {
      r.d_x += in_z * df[fi] * yp[j];
      r.d_y += in_z * f[fi] * dyp[j];
    }
  }
  return r;
}

// The tables, gathered once. The term tables are constants, there before
// any of this runs.
const std::vector<Group> kSpecificVolume = grouped(teos10::specific_volume_terms, teos10::specific_volume_terms_count);
const std::vector<Group> kEntropy = grouped(teos10::entropy_terms, teos10::entropy_terms_count);
const std::vector<Group> kCtFromPt = grouped(teos10::ct_from_pt_terms, teos10::ct_from_pt_terms_count);
const std::vector<Group> kSpiciness0 = grouped(teos10::spiciness0_terms, teos10::spiciness0_terms_count);

// Specific volume and its derivatives in SA and CT.
struct Volume {
  double v, v_sa, v_ct;
};

Volume volume(double SA, double CT, double p) {
  const double xs = std::sqrt(sfac * SA + soffset);
  const PolyValue r = evaluate(kSpecificVolume, xs, CT * 0.025, p * 1e-4);
  return {r.value, r.d_x * 0.5 * sfac / xs, r.d_y * 0.025};
}

// Specific entropy [J/(kg K)] and, when asked, its derivative in temperature.
template <bool with_derivatives = true>
PolyValue entropy(double SA, double t, double p) {
  const double x = std::sqrt(std::fmax(SA, 0.0) / salinity_unit);
  PolyValue r = evaluate<with_derivatives>(kEntropy, x, t / 40.0, p * 1e-4);
  r.d_y /= 40.0;
  return r;
}

}  // namespace

double reference_salinity(double SP) { return SP * ups; }

double absolute_salinity(double SP, double p_dbar, double lon, double lat) {
  return reference_salinity(SP) * (1.0 + sa_atlas::ratio(p_dbar, lon, lat));
}

double potential_temperature0(double SA, double t, double p) {
  // Newton on s(SA, pt, 0) = s(SA, t, p), from the EOS-80 potential
  // temperature, which is within a few mK. The error left after a step is
  // about its square times 0.005 per K, so a step under 1e-6 K leaves less
  // than 1e-14 K.
  const double target = entropy<false>(SA, t, p).value;
  double pt = t;
  if (p != 0.0) {
    const double start = potemp_(static_cast<float>(SA / ups), static_cast<float>(t), static_cast<float>(p), 0.0f);
    if (std::isfinite(start) && std::fabs(start - t) < 10.0) pt = start;
  }
  for (int n = 0; n < 8; ++n) {
    const PolyValue s = entropy(SA, pt, 0.0);
    const double step = (s.value - target) / s.d_y;
    pt -= step;
    if (!(std::fabs(step) > 1e-6)) break;
  }
  return pt;
}

double conservative_temperature(double SA, double t, double p) {
  const double pt = potential_temperature0(SA, t, p);
  const double x = std::sqrt(std::fmax(SA, 0.0) / salinity_unit);
  return evaluate<false>(kCtFromPt, x, pt / 40.0, 0.0).value;
}

double specific_volume(double SA, double CT, double p) { return volume(SA, CT, p).v; }

double alpha(double SA, double CT, double p) {
  const Volume v = volume(SA, CT, p);
  return v.v_ct / v.v;
}

double beta(double SA, double CT, double p) {
  const Volume v = volume(SA, CT, p);
  return -v.v_sa / v.v;
}

double sigma0(double SA, double CT) { return 1.0 / specific_volume(SA, CT, 0.0) - 1000.0; }

double spiciness0(double SA, double CT) {
  const double xs = std::sqrt(sfac * SA + soffset);
  return evaluate<false>(kSpiciness0, xs, CT * 0.025, 0.0).value;
}

double gravity(double lat, double p) {
  const double s2 = std::pow(std::sin(lat * std::numbers::pi / 180.0), 2);
  const double g0 = 9.780327 * (1.0 + (5.2792e-3 + 2.32e-5 * s2) * s2);
  const double c1 = (5.92 + 5.25 * s2) * 1e-3;
  const double depth = (1.0 - c1) * p - 2.21e-6 * p * p;  // Saunders (1981) solved for depth
  return g0 * (1.0 + 2.26e-7 * depth);
}

std::vector<BuoyancyLevel> n_squared(std::span<const double> SA, std::span<const double> CT,
                                     std::span<const double> p, double lat) {
  std::vector<BuoyancyLevel> out;
  if (SA.size() != CT.size() || SA.size() != p.size() || SA.size() < 2) return out;
  out.reserve(SA.size() - 1);
  for (std::size_t n = 0; n + 1 < SA.size(); ++n) {
    const double sa = 0.5 * (SA[n] + SA[n + 1]), ct = 0.5 * (CT[n] + CT[n + 1]);
    const double pm = 0.5 * (p[n] + p[n + 1]);
    const Volume v = volume(sa, ct, pm);
    const double g = 0.5 * (gravity(lat, p[n]) + gravity(lat, p[n + 1]));
    // -v_sa dSA - v_ct dCT over v is beta dSA - alpha dCT.
    const double db = (-v.v_sa * (SA[n + 1] - SA[n]) - v.v_ct * (CT[n + 1] - CT[n])) / v.v;
    out.push_back({pm, g * g * db / (v.v * (p[n + 1] - p[n]) * db_to_pa)});
  }
  return out;
}

}  // namespace seawater
