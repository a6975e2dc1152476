#pragma once
// Seawater properties: EOS-80 density, potential temperature, sigma-theta.
// Pure functions without state; callers pass only samples that are present.
namespace seawater {

// Density of seawater by the 1980 equation of state (secant bulk modulus),
// evaluated in double precision from single-precision coefficients.
//   s  practical salinity [PSS-78], not negative
//   t  in-situ temperature [deg C]
//   p  sea pressure [dbar]
// Returns the density divided by 1000 [g/cm3]; NaN for a negative salinity.
float rho80_(float s, float t, float p);

// Potential temperature: the adiabatic lapse rate integrated from p to pr by
// Runge-Kutta-Gill in sub-steps of less than 1000 dbar, in single precision.
//   s   practical salinity [PSS-78]
//   t   in-situ temperature [deg C]
//   p   sea pressure of the sample [dbar]
//   pr  reference pressure [dbar]
// Returns the temperature at pr [deg C]; NaN when pr - p is not finite or
// wider than max_potemp_span.
float potemp_(float s, float t, float p, float pr);

// Potential density anomaly, 1000 * (rho80_(s, potemp_(s, t, p, pr), pr) - 1);
// sigma-theta for pr = 0.
//   s   practical salinity [PSS-78], not negative
//   t   in-situ temperature [deg C]
//   p   sea pressure of the sample [dbar]
//   pr  reference pressure [dbar]
// Returns the density minus 1000 [kg/m3].
float sigma_(float s, float t, float p, float pr);

// Sigma-theta of many samples at once, the same values sigma_(s[i], t[i],
// p[i], 0) gives, bit for bit; out has the length of s, t and p.
void sigma_theta_of(const float* s, const float* t, const float* p, float* out, int n);

// Sea pressure at a depth by Saunders (1981), for files that hold depth
// but no pressure:
//   p = ((1 - c1) - sqrt((1 - c1)^2 - 8.84e-6 z)) / 4.42e-6,
//   c1 = (5.92 + 5.25 sin^2(lat)) 1e-3
//   z    depth [m], positive down
//   lat  latitude [deg N]
// Returns the pressure [dbar]; NaN beyond the depth the formula holds.
double pressure_from_depth(double z, double lat);

// Widest pressure span potemp_ integrates [dbar]; beyond it the count of
// sub-steps would grow without bound, so potemp_ gives NaN instead.
inline constexpr float max_potemp_span = 1.0e6f;

// Number of Runge-Kutta-Gill sub-steps potemp_ takes for a pressure
// increment h [dbar]: floor(|h| / 1000) + 1; 0 when h is not integrable.
int potemp_sub_steps(float h);

}  // namespace seawater
