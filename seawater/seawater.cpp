#include "seawater/seawater.h"

#include <cmath>
#include <limits>

namespace seawater {

namespace {

// The coefficients are single-precision constants on purpose: the results
// must match the published single-precision evaluations bit for bit, so
// rho80_ promotes each float constant rather than using the decimal value.
inline double d(float c) { return static_cast<double>(c); }

// Adiabatic lapse rate [deg C / dbar] at salinity anomaly ds = S - 35,
// temperature t [deg C] and pressure p [dbar], in single precision.
float lapse_rate(float ds, float t, float p) {
    return (((-2.1687e-16f * t + 1.8676e-14f) * t - 4.6206e-13f) * p +
            ((2.7759e-12f * t - 1.1351e-10f) * ds +
             ((-5.4481e-14f * t + 8.733e-12f) * t - 6.7795e-10f) * t + 1.8741e-8f)) *
               p +
           (-4.2393e-8f * t + 1.8932e-6f) * ds +
           ((6.6228e-10f * t - 6.836e-8f) * t + 8.5258e-6f) * t + 3.5803e-5f;
}

// One Runge-Kutta-Gill step of h [dbar] from temperature t at pressure p:
// the temperature at the step's end, p moved there.
inline float rk_gill_step(float ds, float t, float& p, float h) {
    float k = h * lapse_rate(ds, t, p);
    t = t + 0.5f * k;
    float q = k;
    p = p + 0.5f * h;

    k = h * lapse_rate(ds, t, p);
    t = t + 0.29289322f * (k - q);
    q = 0.58578644f * k + 0.121320344f * q;

    k = h * lapse_rate(ds, t, p);
    t = t + 1.707106781f * (k - q);
    q = 3.414213562f * k - 4.121320344f * q;
    p = p + 0.5f * h;

    k = h * lapse_rate(ds, t, p);
    return t + (k - 2.0f * q) / 6.0f;
}

// The density at the surface divided by 1000 [g/cm3], in double.
inline double surface_density(double s, double t) {
    const double sr = std::sqrt(s);
    const double rhow =
        ((((d(6.536332e-9f) * t - d(1.120083e-6f)) * t + d(1.001685e-4f)) * t - d(9.095290e-3f)) * t +
         d(6.793952e-2f)) * t + d(999.842594f);
    const double a = (((d(5.3875e-9f) * t - d(8.2467e-7f)) * t + d(7.6438e-5f)) * t - d(4.0899e-3f)) * t +
                     d(8.24493e-1f);
    const double b = (d(-1.6546e-6f) * t + d(1.0227e-4f)) * t - d(5.72466e-3f);
    return (((d(4.8314e-4f) * s + b * sr) + a) * s + rhow) / d(1000.0f);
}

}  // namespace

float rho80_(float s_in, float t_in, float p_in) {
    const double s = s_in;
    const double t = t_in;
    const double p = d(0.1f) * p_in;  // bars
    const double sr = std::sqrt(s);
    const double rho0 = surface_density(s, t);

    // At the surface the bulk modulus term is exactly 1; skip forming it.
    if (p == 0.0) return static_cast<float>(rho0);

    const double kw = (((d(-5.155288e-5f) * t + d(1.360477e-2f)) * t - d(2.327105f)) * t + d(148.4206f)) * t +
                      d(19652.21f);
    const double k0 = kw + s * (((d(-6.1670e-5f) * t + d(1.09987e-2f)) * t - d(0.603459f)) * t + d(54.6746f)) +
                      s * sr * ((d(-5.3009e-4f) * t + d(1.6483e-2f)) * t + d(7.944e-2f));
    const double ak = (((d(-5.77905e-7f) * t + d(1.16092e-4f)) * t + d(1.43713e-3f)) * t + d(3.239908f)) +
                      s * ((d(-1.6078e-6f) * t - d(1.0981e-5f)) * t + d(2.2838e-3f)) +
                      d(1.91075e-4f) * s * sr;
    const double bk = ((d(5.2787e-8f) * t - d(6.12293e-6f)) * t + d(8.50935e-5f)) +
                      s * ((d(9.1697e-10f) * t + d(2.0816e-8f)) * t - d(9.9348e-7f));
    const double k = (bk * p + ak) * p + k0;
    return static_cast<float>(rho0 / (1.0 - p / k));
}

int potemp_sub_steps(float h) {
    const float span = std::fabs(h);
    if (!(span <= max_potemp_span)) return 0;  // also catches NaN
    return static_cast<int>(span / 1000.0f) + 1;
}

float potemp_(float s, float t0, float p0, float pr) {
    const float hh = pr - p0;
    const int n = potemp_sub_steps(hh);
    if (n == 0) return std::numeric_limits<float>::quiet_NaN();
    const float h = hh / static_cast<float>(n);
    const float ds = s - 35.0f;
    float p = p0;
    float t = t0;
    for (int step = 0; step < n; ++step) t = rk_gill_step(ds, t, p, h);
    return t;
}

float sigma_(float s, float t, float p, float pr) {
    const float theta = potemp_(s, t, p, pr);
    return (rho80_(s, theta, pr) - 1.0f) * 1000.0f;
}

namespace {

// Sigma-theta of a sample shallower than 1000 dbar (one sub-step), as
// sigma_ works it out, written without branches so that a loop of them
// runs on vector lanes.
inline float surface_sigma(float s, float t, float p) {
    const float theta = rk_gill_step(s - 35.0f, t, p, 0.0f - p);
    return (static_cast<float>(surface_density(s, theta)) - 1.0f) * 1000.0f;
}

// Built for the wider vector lanes too, where the processor has them.
__attribute__((target_clones("avx2", "default"))) void
surface_sigmas(const float* __restrict s, const float* __restrict t, const float* __restrict p, float* __restrict out,
               int n) {
    for (int i = 0; i < n; ++i) out[i] = surface_sigma(s[i], t[i], p[i]);
}

}  // namespace

void sigma_theta_of(const float* s, const float* t, const float* p, float* out, int n) {
    surface_sigmas(s, t, p, out, n);
    // Deeper samples take more sub-steps, and some none: those go one by one.
    for (int i = 0; i < n; ++i)
        if (potemp_sub_steps(0.0f - p[i]) != 1) out[i] = sigma_(s[i], t[i], p[i], 0.0f);
}

double pressure_from_depth(double z, double lat) {
    constexpr double kDegree = 3.14159265358979323846 / 180.0;
    const double s = std::sin(lat * kDegree);
    const double c1 = (5.92 + 5.25 * s * s) * 1e-3;
    const double a = 1.0 - c1;
    const double root = a * a - 8.84e-6 * z;
    if (!(root >= 0.0)) return std::numeric_limits<double>::quiet_NaN();
    return (a - std::sqrt(root)) / 4.42e-6;
}

}  // namespace seawater
