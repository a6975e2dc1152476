#pragma once
// Cutting the samples of a glider netCDF file into profiles. A profile is
// the list of its sample indices (0-based, in file order); profiles come
// in the order the dive table takes them, and none is empty.
#include <cstddef>
#include <map>
#include <span>
#include <vector>

namespace data {

using Profiles = std::vector<std::vector<int>>;

// Samples with the same whole profile number form one profile, in
// increasing order of the number; a missing (NaN) or fractional number
// belongs to none. The numbers come a piece at a time, in file order.
// More profiles than MXPR, or a profile of more samples than MXZ, throws
// NcError as soon as it is met, so a file claiming billions of samples
// does not fill memory with their numbers first.
class ProfilesByNumber {
public:
    // The numbers of samples first, first + 1, ...
    void add(std::span<const double> number, std::size_t first);
    // The profiles' numbers, in the order take() gives them.
    std::vector<double> numbers() const;
    Profiles take();

private:
    std::map<double, std::vector<int>> by_number_;
    std::vector<int>* last_ = nullptr;
    double last_key_ = 0.0;
};

// One dive: down to the deepest sample (included), then from it up. All
// samples are one profile when none has a pressure.
Profiles profiles_of_dive(std::span<const double> pressure);

// Every sample in one profile.
Profiles one_profile(int n_samples);

// Turning points, walking the samples in time order and passing over
// missing pressures: a profile's direction is set by its first move of
// turn_dbar from its first pressure; it keeps its extreme (the deepest
// sample going down, the shallowest going up) and ends there once the
// pressure comes back turn_dbar or more, the next profile beginning with
// the sample after the extreme. Samples without a time keep their place
// after the sample before them.
Profiles profiles_at_turns(std::span<const double> pressure, std::span<const double> time,
                           double turn_dbar = 10.0);

}  // namespace data
