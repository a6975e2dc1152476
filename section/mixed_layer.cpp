#include "section/mixed_layer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <utility>

#include "daz/hardcopy_target.h"
#include "data/missing.h"
#include "miscli/calendar.h"
#include "section/frame_axes.h"

namespace section {

namespace {

struct Sample {
    double p, sigma;
};

// The finite samples by increasing pressure, those of equal pressure made
// one with their mean sigma-0.
std::vector<Sample> by_pressure(std::span<const double> p, std::span<const double> sigma0) {
    std::vector<Sample> s;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (std::isfinite(p[i]) && std::isfinite(sigma0[i])) s.push_back({p[i], sigma0[i]});
    std::sort(s.begin(), s.end(), [](const Sample& a, const Sample& b) { return a.p < b.p; });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t j = i;
        double sum = 0.0;
        for (; j < s.size() && s[j].p == s[i].p; ++j) sum += s[j].sigma;
        s[kept++] = {s[i].p, sum / static_cast<double>(j - i)};
        i = j;
    }
    s.resize(kept);
    return s;
}

// Pressure, temperature and salinity flagged good and none a fill.
bool good_sample(const data::DiveTable& t, int k, int d) {
    for (int v = 1; v <= 3; ++v)
        if (t.prof_flag(k, d, v) != 0 || !(t.prof(k, d, v) > data::MISSING_BELOW)) return false;
    return data::sample_pressure(t, k, d) > data::MISSING_BELOW;
}

std::string fixed(double v, int decimals) {
    char text[400];  // room for the widest double
    const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals);
    return r.ec == std::errc{} ? std::string(text, r.ptr) : std::string();
}

}  // namespace

std::optional<double> mixed_layer_depth(std::span<const double> p, std::span<const double> sigma0, double threshold,
                                        double reference_p) {
    if (p.size() != sigma0.size() || !(threshold > 0.0) || !std::isfinite(threshold) || !std::isfinite(reference_p))
        return std::nullopt;
    const std::vector<Sample> s = by_pressure(p, sigma0);
    const auto deeper = std::lower_bound(s.begin(), s.end(), reference_p,
                                         [](const Sample& a, double v) { return a.p < v; });
    if (deeper == s.end() || (deeper == s.begin() && deeper->p > reference_p)) return std::nullopt;
    Sample under = *deeper;
    if (deeper->p > reference_p) {
        const Sample& a = *(deeper - 1);
        under = {reference_p, a.sigma + (reference_p - a.p) * (deeper->sigma - a.sigma) / (deeper->p - a.p)};
    }
    const double over = under.sigma + threshold;
    for (auto it = deeper; it != s.end(); ++it) {
        if (it->sigma > over) {
            const double mld = under.p + (over - under.sigma) * (it->p - under.p) / (it->sigma - under.sigma);
            return std::isfinite(mld) ? std::optional(mld) : std::nullopt;
        }
        under = *it;
    }
    return std::nullopt;
}

std::vector<ProfileMld> profile_mlds(const data::DiveTable& t, int first, int last, double threshold) {
    std::vector<ProfileMld> profiles;
    const int n = std::min({t.size(), t.prof.dim2(), t.prof_flag.dim2()});
    std::vector<double> p, sigma;
    for (int d = std::max(first, 1); d <= std::min(last, n); ++d) {
        ProfileMld m{d, t.dive_label(d), dive_time(t, d), data::dive_position(t, d), std::nullopt};
        if (m.time && !std::isfinite(*m.time)) m.time.reset();
        p.clear();
        sigma.clear();
        const int samples = std::min({t.n_samp(d), t.prof.length(d), t.prof_flag.length(d)});
        for (int k = 1; k <= samples; ++k) {
            float s0 = 0.0f;
            if (!good_sample(t, k, d) || !data::sample_sigma0(t, k, d, s0)) continue;
            p.push_back(data::sample_pressure(t, k, d));
            sigma.push_back(s0);
        }
        m.mld = mixed_layer_depth(p, sigma, threshold);
        profiles.push_back(std::move(m));
    }
    return profiles;
}

bool write_mld_csv(const std::string& path, const std::vector<ProfileMld>& profiles, std::string& error) {
    if (path.empty()) {
        error = " No file is named for the mixed-layer depths.";
        return false;
    }
    std::string text = "profile,time,lon,lat,mld_dbar\n";
    for (const ProfileMld& m : profiles) {
        text += m.label + ',';
        if (m.time) text += miscli::iso_date_time(*m.time);
        text += ',';
        if (m.position) text += fixed(m.position->lon, 5) + ',' + fixed(m.position->lat, 5);
        else text += ',';
        text += ',';
        if (m.mld) text += fixed(*m.mld, 2);
        text += '\n';
    }
    daz::HardcopyTarget target;
    if (!target.open(path, "CSV", error)) return false;
    target.write(text.data(), text.size());
    return target.commit(error);
}

}  // namespace section
