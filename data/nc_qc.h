#pragma once
// Quality flags of a netCDF QC variable as the dive table keeps them.
#include <cstddef>
#include <vector>

#include "data/nc_file.h"

namespace data {

// The table flags of samples start .. start + count - 1, into `flags`, from a
// QC variable of bytes, integers or characters '0'..'9', on the scale 0 no
// QC performed, 1 good, 2 probably good, 3 probably bad, 4 bad, ...: 0, 1
// and 2 give flag 0 (good), any other value is kept as the flag. A sample
// whose QC value is itself absent (the variable's fill or missing value, a
// character that is not a digit) carries no judgement, like a file without
// QC, and is good. `raw` is room the reading reuses.
void read_qc_flags(const NcFile& file, const NcVariable& qc, std::size_t start, std::size_t count, int* flags,
                   NcDoubles& raw);

// The table flag of one QC value.
inline int table_flag(int qc) { return qc == 0 || qc == 1 || qc == 2 ? 0 : qc; }

}  // namespace data
