#pragma once
// Seawater properties by TEOS-10 (IOC, SCOR and IAPSO 2010), beside the
// EOS-80 ones of seawater.h. Pure functions without state, in double
// precision; density and its derivatives come from the 75-term specific
// volume polynomial (Roquet et al. 2015).
#include <span>
#include <vector>

namespace seawater {

// Absolute Salinity from Practical Salinity with the Absolute Salinity
// Anomaly Ratio atlas (McDougall et al. 2012): SA = SR (1 + SAAR).
//   SP      practical salinity [PSS-78]
//   p_dbar  sea pressure [dbar]; the atlas is held at its 2025 dbar level below
//   lon     longitude [deg E]
//   lat     latitude [deg N]
// Returns SA [g/kg]; the Reference Salinity far inland, where the atlas is 0.
double absolute_salinity(double SP, double p_dbar, double lon, double lat);

// Reference Salinity, SR = SP * 35.16504/35, the Absolute Salinity of a
// sample without position.
//   SP  practical salinity [PSS-78]
// Returns SR [g/kg].
double reference_salinity(double SP);

// Potential temperature referred to 0 dbar, where the specific entropy
// of the TEOS-10 Gibbs function equals that of the sample.
//   SA  Absolute Salinity [g/kg]
//   t   in-situ temperature [deg C, ITS-90]
//   p   sea pressure [dbar]
// Returns the potential temperature [deg C].
double potential_temperature0(double SA, double t, double p);

// Conservative Temperature: potential enthalpy at 0 dbar over cp0.
//   SA  Absolute Salinity [g/kg]
//   t   in-situ temperature [deg C, ITS-90]
//   p   sea pressure [dbar]
// Returns CT [deg C].
double conservative_temperature(double SA, double t, double p);

// Specific volume, 75-term polynomial.
//   SA  Absolute Salinity [g/kg]
//   CT  Conservative Temperature [deg C]
//   p   sea pressure [dbar]
// Returns the specific volume [m3/kg].
double specific_volume(double SA, double CT, double p);

// Thermal expansion coefficient with respect to CT [1/K] and saline
// contraction coefficient [kg/g] at constant pressure, from the same
// polynomial; arguments as specific_volume.
double alpha(double SA, double CT, double p);
double beta(double SA, double CT, double p);

// Potential density anomaly referred to 0 dbar, 1/v(SA, CT, 0) - 1000.
//   SA  Absolute Salinity [g/kg]
//   CT  Conservative Temperature [deg C]
// Returns sigma-0 [kg/m3].
double sigma0(double SA, double CT);

// Spiciness referred to 0 dbar (McDougall and Krzysik 2015).
//   SA  Absolute Salinity [g/kg]
//   CT  Conservative Temperature [deg C]
// Returns spiciness-0 [kg/m3].
double spiciness0(double SA, double CT);

// Gravitational acceleration at a latitude and sea pressure (Moritz 2000
// with the free-air gradient; the depth of p from Saunders 1981).
//   lat  latitude [deg N]
//   p    sea pressure [dbar]
// Returns g [m/s2].
double gravity(double lat, double p);

// Buoyancy frequency squared between adjacent levels of a profile, at the
// midpoint pressures:
//   N2 = g^2 (beta dSA - alpha dCT) / (v dP),
// with v, alpha and beta of the midpoint SA, CT and p, g the mean gravity of
// the two levels and dP in Pa.
struct BuoyancyLevel {
  double p_mid;  // [dbar]
  double n2;     // [1/s2]
};
//   SA   Absolute Salinity at each level [g/kg]
//   CT   Conservative Temperature at each level [deg C]
//   p    sea pressure at each level [dbar]
//   lat  latitude of the profile [deg N]
// Returns one value fewer than there are levels (none for fewer than two
// levels or lists of unequal length).
std::vector<BuoyancyLevel> n_squared(std::span<const double> SA, std::span<const double> CT,
                                     std::span<const double> p, double lat);

}  // namespace seawater
