#pragma once
// Which variables of a glider netCDF file hold what: the sample dimension,
// the variable of each role (time, position, pressure, depth, temperature,
// salinity), the variable that numbers the profiles, QC variables and the
// candidates for the fourth variable.
#include <string>
#include <vector>

#include "data/nc_file.h"

namespace data {

enum class NcRole { time, latitude, longitude, pressure, depth, temperature, salinity };

struct NcLayout {
    int sample_dim = -1;
    const NcVariable* time = nullptr;
    const NcVariable* latitude = nullptr;
    const NcVariable* longitude = nullptr;
    const NcVariable* pressure = nullptr;  // nullptr: pressure comes from depth
    const NcVariable* depth = nullptr;
    const NcVariable* temperature = nullptr;
    const NcVariable* salinity = nullptr;
    const NcVariable* profile = nullptr;  // numbers the profiles on the sample dimension
    bool per_dive = false;                // one dive: cut at the deepest sample
    bool per_profile = false;             // one profile (a scalar profile_id)

    const NcVariable* role(NcRole r) const;
};

// The variable of a role among the one-dimensional numeric variables on
// dimension `dim` (any dimension when dim is -1): by standard_name first,
// preferring the role's own names, then names without gps, deployment,
// profile, uv or raw, then the first in the file; else by the role's names
// in their order, ignoring case. nullptr when none matches.
const NcVariable* find_role(const NcFile& f, NcRole role, int dim);

// The sample dimension and every role. Throws NcError when the file has no
// pressure or depth, or no time on the sample dimension, and when a role
// is left without a variable while one that would take it (by standard
// name or name) is not one-dimensional on the sample dimension or holds
// text; per-file scalars are passed over.
NcLayout find_layout(const NcFile& f);

// The QC variable of x: the one its ancillary_variables names (a variable
// with flag_values or flag_meanings, or with qc in its name), else x_QC or
// x_qc; nullptr when there is none. Throws NcError when it is not one-
// dimensional on the sample dimension.
const NcVariable* find_qc(const NcFile& f, const NcVariable& x, int sample_dim);

// The candidates for the fourth variable, chlorophyll first, then oxygen,
// then the rest, each group in the file's order.
std::vector<const NcVariable*> fourth_variable_candidates(const NcFile& f, const NcLayout& layout);

// The numeric variable of that name (ignoring case, the exact name first)
// on the sample dimension; nullptr when the file has none.
const NcVariable* find_on_samples(const NcFile& f, const NcLayout& layout, const std::string& name);

}  // namespace data
