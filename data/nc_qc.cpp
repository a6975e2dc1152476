#include "data/nc_qc.h"

#include <netcdf.h>

#include <cmath>
#include <limits>

namespace data {

void read_qc_flags(const NcFile& f, const NcVariable& qc, NcInts& flags) {
    if (qc.type == NC_CHAR) {
        const std::vector<char> chars = f.read_chars(qc);
        flags.resize(chars.size());
        for (std::size_t i = 0; i < chars.size(); ++i)
            flags[i] = chars[i] >= '0' && chars[i] <= '9' ? table_flag(chars[i] - '0') : 0;
        return;
    }
    std::vector<double> absent = f.number_attribute(qc.id, "_FillValue");
    const std::vector<double> missing = f.number_attribute(qc.id, "missing_value");
    absent.insert(absent.end(), missing.begin(), missing.end());
    if (qc.type != NC_FLOAT && qc.type != NC_DOUBLE) {
        // Whole numbers: read as such.
        f.read_ints(qc, flags);
        for (int& x : flags) {
            bool gone = false;
            for (double m : absent) gone = gone || static_cast<double>(x) == m;
            x = gone ? 0 : table_flag(x);
        }
        return;
    }
    NcDoubles raw;
    f.read_doubles(qc, raw);
    flags.resize(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const double x = raw[i];
        bool gone = !std::isfinite(x);
        for (double m : absent) gone = gone || x == m;
        constexpr double kMost = std::numeric_limits<int>::max();
        const double r = std::round(x);
        flags[i] = gone ? 0 : table_flag(static_cast<int>(r > kMost ? kMost : r < -kMost ? -kMost : r));
    }
}

}  // namespace data
