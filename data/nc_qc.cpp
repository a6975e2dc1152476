#include "data/nc_qc.h"

#include <netcdf.h>

#include <cmath>
#include <limits>

namespace data {

std::vector<int> read_qc_flags(const NcFile& f, const NcVariable& qc) {
    std::vector<int> flags;
    if (qc.type == NC_CHAR) {
        const std::vector<char> chars = f.read_chars(qc);
        flags.reserve(chars.size());
        for (char c : chars) flags.push_back(c >= '0' && c <= '9' ? table_flag(c - '0') : 0);
        return flags;
    }
    const std::vector<double> raw = f.read_doubles(qc);
    const std::vector<double> fill = f.number_attribute(qc.id, "_FillValue");
    const std::vector<double> missing = f.number_attribute(qc.id, "missing_value");
    flags.reserve(raw.size());
    for (double x : raw) {
        bool absent = !std::isfinite(x);
        for (double m : fill) absent = absent || x == m;
        for (double m : missing) absent = absent || x == m;
        if (absent) {
            flags.push_back(0);
            continue;
        }
        constexpr double kMost = std::numeric_limits<int>::max();
        const double r = std::round(x);
        flags.push_back(table_flag(static_cast<int>(r > kMost ? kMost : r < -kMost ? -kMost : r)));
    }
    return flags;
}

}  // namespace data
