#pragma once
// The mixed-layer depth of each profile by the density threshold criterion
// of de Boyer Montégut et al. (2004), and the CSV file of a section's
// depths, one line per profile.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/dive_table.h"
#include "data/teos10_samples.h"

namespace section {

// The usual density threshold [kg/m3] of the mixed layer's base.
inline constexpr double kMldThreshold = 0.03;

// The mixed-layer depth of one profile [dbar]: the first pressure below
// reference_p where sigma-0 exceeds its value at reference_p by threshold.
//   p       sea pressure of each sample [dbar], in any order
//   sigma0  sigma-0 of each sample [kg/m3]
// A sample with either value not finite is skipped; samples of equal
// pressure count as one with their mean sigma-0, so the order of the input
// never matters. The reference is interpolated between the samples around
// reference_p, and the crossing between the last sample not over and the
// first one over (the reference itself standing for the last one when no
// sample lies between). No value when no sample lies at or above reference_p
// or none at or below it, when the threshold is never crossed (the profile
// ends in the mixed layer), for lists of unequal length or a threshold that
// is not positive.
std::optional<double> mixed_layer_depth(std::span<const double> p, std::span<const double> sigma0,
                                        double threshold = kMldThreshold, double reference_p = 10.0);

struct ProfileMld {
    int dive;                        // of the table
    std::string label;               // as the table names it: "304", "304a"
    std::optional<double> time;      // [days since 1970-01-01 UTC]
    std::optional<data::Position> position;  // of the profile's Absolute Salinity
    std::optional<double> mld;       // [dbar]
};

// The mixed-layer depth of each of dives first..last (held to the table)
// from sigma-0 by TEOS-10, of the samples whose pressure, temperature and
// salinity are all flagged good. Absolute Salinity takes the dive's
// position (data::dive_position); without one, Reference Salinity. The
// pressures are the samples' own, also while the table holds densities.
std::vector<ProfileMld> profile_mlds(const data::DiveTable& dives, int first, int last, double threshold = kMldThreshold);

// Writes the profiles to `path` as CSV, "profile,time,lon,lat,mld_dbar"
// and a line each: the label, the ISO 8601 UTC time, the position with 5
// decimals and the depth with 2, each field empty where it has no value.
// The file takes its name only when it is complete; "-" is standard output.
// False with the console line naming the file and the reason in `error`,
// and then no file is left.
bool write_mld_csv(const std::string& path, const std::vector<ProfileMld>& profiles, std::string& error);

}  // namespace section
