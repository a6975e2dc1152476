#include "data/nc_variables.h"

#include <netcdf.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>
#include <string_view>

#include "miscli/text_field.h"

namespace data {

namespace {

std::string lower(std::string_view s) { return miscli::lower_case(s); }

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

bool contains_any(std::string_view text, std::initializer_list<std::string_view> parts) {
    return std::any_of(parts.begin(), parts.end(), [&](std::string_view p) { return contains(text, p); });
}

std::string trimmed(std::string s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// The blank-separated words of an attribute such as ancillary_variables.
std::vector<std::string> words(std::string_view list) {
    std::vector<std::string> out;
    for (;;) {
        const auto start = list.find_first_not_of(" \t");
        if (start == std::string_view::npos) return out;
        const auto end = std::min(list.size(), list.find_first_of(" \t", start));
        out.emplace_back(list.substr(start, end - start));
        list.remove_prefix(end);
    }
}

struct RoleNames {
    std::string_view standard_name;
    std::array<std::string_view, 3> names;  // lower case, in order of preference; empty ends
};

RoleNames names_of(NcRole r) {
    switch (r) {
        case NcRole::time: return {"time", {"time", "ctd_time", ""}};
        case NcRole::latitude: return {"latitude", {"latitude", "lat", ""}};
        case NcRole::longitude: return {"longitude", {"longitude", "lon", ""}};
        case NcRole::pressure: return {"sea_water_pressure", {"pres", "pressure", "ctd_pressure"}};
        case NcRole::depth: return {"depth", {"depth", "ctd_depth", ""}};
        case NcRole::temperature: return {"sea_water_temperature", {"temp", "temperature", ""}};
        case NcRole::salinity: return {"sea_water_practical_salinity", {"psal", "salinity", ""}};
    }
    return {};
}

bool one_dimensional_on(const NcVariable& v, int dim) {
    return v.dims.size() == 1 && (dim < 0 || v.dims[0] == dim);
}

bool is_role_name(const RoleNames& r, std::string_view lower_name) {
    return std::find(r.names.begin(), r.names.end(), lower_name) != r.names.end() && !lower_name.empty();
}

bool is_qc_like(const NcFile& f, const NcVariable& v) {
    return f.has_attribute(v.id, "flag_values") || f.has_attribute(v.id, "flag_meanings") ||
           contains(lower(v.name), "qc");
}

}  // namespace

const NcVariable* NcLayout::role(NcRole r) const {
    switch (r) {
        case NcRole::time: return time;
        case NcRole::latitude: return latitude;
        case NcRole::longitude: return longitude;
        case NcRole::pressure: return pressure;
        case NcRole::depth: return depth;
        case NcRole::temperature: return temperature;
        case NcRole::salinity: return salinity;
    }
    return nullptr;
}

namespace {

// The variables that would take the role, best first: by standard name
// (the role's own names, then names without gps, deployment, profile, uv
// or raw, then the rest), then by the role's names in their order.
std::vector<const NcVariable*> takers(const NcFile& f, NcRole role, const std::vector<const NcVariable*>& among) {
    const RoleNames r = names_of(role);
    std::vector<const NcVariable*> by_standard;
    for (const NcVariable* v : among) {
        auto sn = f.text_attribute(v->id, "standard_name");
        if (sn && lower(trimmed(*sn)) == r.standard_name) by_standard.push_back(v);
    }
    std::vector<const NcVariable*> out;
    auto add = [&](const NcVariable* v) {
        if (std::find(out.begin(), out.end(), v) == out.end()) out.push_back(v);
    };
    for (const NcVariable* v : by_standard)
        if (is_role_name(r, lower(v->name))) add(v);
    for (const NcVariable* v : by_standard)
        if (!contains_any(lower(v->name), {"gps", "deployment", "profile", "uv", "raw"})) add(v);
    for (const NcVariable* v : by_standard) add(v);
    for (std::string_view name : r.names) {
        if (name.empty()) break;
        for (const NcVariable* v : among)
            if (lower(v->name) == name) add(v);
    }
    return out;
}

const char* role_word(NcRole r) {
    switch (r) {
        case NcRole::time: return "time";
        case NcRole::latitude: return "latitude";
        case NcRole::longitude: return "longitude";
        case NcRole::pressure: return "pressure";
        case NcRole::depth: return "depth";
        case NcRole::temperature: return "temperature";
        case NcRole::salinity: return "salinity";
    }
    return "";
}

// Refuses a role left without a variable when the file has one that would
// take it but has the wrong shape or holds text. A per-file scalar (a
// profile's time or position) is no sample variable and is passed over.
void refuse_misfit(const NcFile& f, NcRole role, int dim) {
    std::vector<const NcVariable*> shaped;
    for (const NcVariable& v : f.variables())
        if (!v.dims.empty()) shaped.push_back(&v);
    const std::vector<const NcVariable*> misfits = takers(f, role, shaped);
    if (misfits.empty()) return;
    const NcVariable& v = *misfits.front();
    const std::string which = std::string("the ") + role_word(role) + " variable " + v.name;
    if (!one_dimensional_on(v, dim))
        throw NcError(which + " is not one-dimensional" +
                      (dim >= 0 ? " on the sample dimension " + f.dimension_name(dim) : std::string()));
    throw NcError(which + (v.type == NC_CHAR || v.type == NC_STRING ? " holds text" : " holds values of its own type") +
                  ", not numbers");
}

}  // namespace

const NcVariable* find_role(const NcFile& f, NcRole role, int dim) {
    std::vector<const NcVariable*> on_dim;
    for (const NcVariable& v : f.variables())
        if (one_dimensional_on(v, dim) && is_numeric_type(v.type)) on_dim.push_back(&v);
    const std::vector<const NcVariable*> found = takers(f, role, on_dim);
    return found.empty() ? nullptr : found.front();
}

NcLayout find_layout(const NcFile& f) {
    NcLayout l;
    l.pressure = find_role(f, NcRole::pressure, -1);
    if (!l.pressure) refuse_misfit(f, NcRole::pressure, -1);
    const NcVariable* depth_anywhere = l.pressure ? nullptr : find_role(f, NcRole::depth, -1);
    if (!l.pressure && !depth_anywhere) {
        refuse_misfit(f, NcRole::depth, -1);
        throw NcError("no pressure or depth variable");
    }
    l.sample_dim = (l.pressure ? l.pressure : depth_anywhere)->dims[0];
    const std::string& dim_name = f.dimension_name(l.sample_dim);

    l.time = find_role(f, NcRole::time, l.sample_dim);
    if (!l.time) throw NcError("no time variable on the sample dimension " + dim_name);
    // The other roles may be missing, but a variable that would take one
    // and has the wrong shape is refused: its samples would be lost.
    auto on_samples = [&](NcRole r) {
        const NcVariable* v = find_role(f, r, l.sample_dim);
        if (!v) refuse_misfit(f, r, l.sample_dim);
        return v;
    };
    l.latitude = on_samples(NcRole::latitude);
    l.longitude = on_samples(NcRole::longitude);
    l.depth = on_samples(NcRole::depth);
    l.temperature = on_samples(NcRole::temperature);
    l.salinity = on_samples(NcRole::salinity);

    // The variable that numbers the profiles: by name, then by its role.
    for (std::string_view name : {"profile_number", "profile_index", "profile_num", "profile_id"}) {
        for (const NcVariable& v : f.variables())
            if (!l.profile && one_dimensional_on(v, l.sample_dim) && is_numeric_type(v.type) && lower(v.name) == name)
                l.profile = &v;
    }
    for (const NcVariable& v : f.variables()) {
        auto role = f.text_attribute(v.id, "cf_role");
        const bool profile_role = role && trimmed(*role) == "profile_id";
        if (!l.profile && profile_role && one_dimensional_on(v, l.sample_dim) && is_numeric_type(v.type))
            l.profile = &v;
        if (v.dims.empty() && (profile_role || lower(v.name) == "profile_id")) l.per_profile = true;
    }
    const std::string dim_lower = lower(dim_name);
    l.per_dive = f.has_attribute(NcFile::global(), "dive_number") || dim_lower == "sg_data_point" ||
                 dim_lower == "ctd_data_point";
    return l;
}

const NcVariable* find_qc(const NcFile& f, const NcVariable& x, int sample_dim) {
    const NcVariable* qc = nullptr;
    for (const std::string& name : words(f.text_attribute(x.id, "ancillary_variables").value_or(""))) {
        const NcVariable* v = f.find(name);
        if (!qc && v && is_qc_like(f, *v)) qc = v;
    }
    if (!qc) qc = f.find(x.name + "_QC");
    if (!qc) qc = f.find(x.name + "_qc");
    if (!qc) return nullptr;
    const std::string which = "the QC variable " + qc->name + " of " + x.name;
    if (!one_dimensional_on(*qc, sample_dim))
        throw NcError(which + " is not one-dimensional on the sample dimension " + f.dimension_name(sample_dim));
    if (!is_numeric_type(qc->type) && qc->type != NC_CHAR) throw NcError(which + " holds neither numbers nor characters");
    return qc;
}

std::vector<const NcVariable*> fourth_variable_candidates(const NcFile& f, const NcLayout& l) {
    // Everything that is some variable's QC, or a coordinate of some variable.
    std::vector<const NcVariable*> qcs;
    std::vector<std::string> coordinates;
    for (const NcVariable& v : f.variables()) {
        if (one_dimensional_on(v, l.sample_dim)) {
            try {
                if (const NcVariable* q = find_qc(f, v, l.sample_dim)) qcs.push_back(q);
            } catch (const NcError&) {
                // A QC variable of the wrong shape is no candidate either way.
            }
        }
        for (std::string& name : words(f.text_attribute(v.id, "coordinates").value_or("")))
            coordinates.push_back(std::move(name));
    }
    auto is_coordinate = [&](const NcVariable& v) {
        return f.dimension_name(v.dims[0]) == v.name || f.has_attribute(v.id, "axis") ||
               std::find(coordinates.begin(), coordinates.end(), v.name) != coordinates.end();
    };
    std::vector<const NcVariable*> chlorophyll, oxygen, rest;
    for (const NcVariable& v : f.variables()) {
        if (!one_dimensional_on(v, l.sample_dim) || !is_numeric_type(v.type)) continue;
        bool is_role = false;
        for (NcRole r : {NcRole::time, NcRole::latitude, NcRole::longitude, NcRole::pressure, NcRole::depth,
                         NcRole::temperature, NcRole::salinity})
            is_role = is_role || l.role(r) == &v;
        const std::string name = lower(v.name);
        if (is_role || v.id == (l.profile ? l.profile->id : -1) || is_coordinate(v) ||
            std::find(qcs.begin(), qcs.end(), &v) != qcs.end() || f.has_attribute(v.id, "flag_values") ||
            contains_any(name, {"gps", "phase", "profile", "deployment", "qc", "time", "lat", "lon", "depth", "pres",
                                "eng_"}))
            continue;
        const std::string standard = lower(f.text_attribute(v.id, "standard_name").value_or(""));
        auto ends_with = [&](std::string_view tail) {
            return name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
        };
        const bool no_temp = !contains(name, "temp");
        if (no_temp && (contains(name, "chlorophyll") || contains(standard, "chlorophyll") || ends_with("chla")))
            chlorophyll.push_back(&v);
        else if (no_temp && (contains(name, "oxygen") || ends_with("doxy")))
            oxygen.push_back(&v);
        else
            rest.push_back(&v);
    }
    chlorophyll.insert(chlorophyll.end(), oxygen.begin(), oxygen.end());
    chlorophyll.insert(chlorophyll.end(), rest.begin(), rest.end());
    return chlorophyll;
}

const NcVariable* find_on_samples(const NcFile& f, const NcLayout& l, const std::string& name) {
    const NcVariable* exact = f.find(name);
    if (exact && one_dimensional_on(*exact, l.sample_dim) && is_numeric_type(exact->type)) return exact;
    for (const NcVariable& v : f.variables())
        if (one_dimensional_on(v, l.sample_dim) && is_numeric_type(v.type) && lower(v.name) == lower(name)) return &v;
    return nullptr;
}

}  // namespace data
