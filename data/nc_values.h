#pragma once
// The values of a netCDF variable as the CF conventions mean them: fill and
// missing values, valid ranges and not-finite values become NaN, packed
// values are unpacked; times become seconds since 1970-01-01 UTC.
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "data/nc_file.h"
#include "miscli/calendar.h"

namespace data {

// The variable's values into `out`: value * scale_factor + add_offset, NaN where the
// stored value equals _FillValue or missing_value, lies outside
// valid_min/valid_max (or valid_range), or is not finite. A floating-point
// variable without _FillValue also takes the library's default fill as
// missing, since no measurement is ever that value.
void read_values(const NcFile& file, const NcVariable& v, NcDoubles& out);

// The attributes that say which stored values are missing and how the
// rest unpack, gathered once for a variable read piece by piece.
struct ValueRule {
    std::optional<double> fill;
    std::vector<double> missing;
    double lo, hi;      // the valid range
    bool stored_units;  // lo and hi are in stored (packed) units
    double scale, offset;
    bool packed;
};
ValueRule value_rule(const NcFile& file, const NcVariable& v);
// Stored values as read_values gives them.
void apply(const ValueRule& rule, std::span<double> values);

// A time unit: seconds per unit and the epoch in seconds since 1970-01-01
// UTC (Gregorian calendar).
struct TimeUnits {
    double seconds_per_unit;
    double epoch;
};

// "<unit> since <date>[ <time>][<zone>]": unit seconds, minutes, hours or
// days (also milli-, micro- or nanoseconds; singular or plural, any
// case); date Y-M-D; time H:M[:S[.f]] after a blank or a T; zone Z, UTC,
// GMT or +HH[:MM] / -HH[:MM]. nullopt otherwise.
std::optional<TimeUnits> parse_time_units(std::string_view units);

// The calendar's day numbers and years (miscli/calendar.h), as the
// readers use them.
using miscli::days_from_civil;
using miscli::year_of;

}  // namespace data
