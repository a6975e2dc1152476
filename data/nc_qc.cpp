#include "data/nc_qc.h"

#include <netcdf.h>

#include <cmath>
#include <limits>

namespace data {

void read_qc_flags(const NcFile& f, const NcVariable& qc, std::size_t start, std::size_t count, int* flags,
                   NcDoubles& raw) {
    if (qc.type == NC_CHAR) {
        // The characters are read into the flags' own room, then widened
        // from the back so none is overwritten before it is read.
        char* chars = reinterpret_cast<char*>(flags);
        f.read_chars(qc, start, count, chars);
        for (std::size_t i = count; i-- > 0;) {
            const char c = chars[i];
            flags[i] = c >= '0' && c <= '9' ? table_flag(c - '0') : 0;
        }
        return;
    }
    std::vector<double> absent = f.number_attribute(qc.id, "_FillValue");
    const std::vector<double> missing = f.number_attribute(qc.id, "missing_value");
    absent.insert(absent.end(), missing.begin(), missing.end());
    if (qc.type != NC_FLOAT && qc.type != NC_DOUBLE) {
        // Whole numbers: read as such.
        f.read_ints(qc, start, count, flags);
        for (std::size_t i = 0; i < count; ++i) {
            bool gone = false;
            for (double m : absent) gone = gone || static_cast<double>(flags[i]) == m;
            flags[i] = gone ? 0 : table_flag(flags[i]);
        }
        return;
    }
    raw.resize(count);
    f.read_doubles(qc, start, count, raw.data());
    for (std::size_t i = 0; i < count; ++i) {
        const double x = raw[i];
        bool gone = !std::isfinite(x);
        for (double m : absent) gone = gone || x == m;
        constexpr double kMost = std::numeric_limits<int>::max();
        const double r = std::round(x);
        flags[i] = gone ? 0 : table_flag(static_cast<int>(r > kMost ? kMost : r < -kMost ? -kMost : r));
    }
}

}  // namespace data
