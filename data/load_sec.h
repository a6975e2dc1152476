#pragma once
#include <string>
#include <string_view>

#include "data/dive_table.h"

namespace data {

// Copies variable `code` of dives first..last into the section arrays:
// sec_val holds good values (SAMPLE_FILL everywhere else), sec_z their
// vertical coordinate, sec_n the count per dive. Column d of both arrays
// has room for the dive's samples and its profiler bins. Sets the plot label (20
// characters), the log flag (asks on the console for a variable with a log
// question) and is_adcp. A code the variable registry does not know loads
// no values, and nor does a variable worked out from gridded ones (its
// samples get their coordinates only).
void load_sec_(miscli::RaggedArray2<float>& sec_val, miscli::RaggedArray2<float>& sec_z, int first, int last,
               miscli::Array1<int>& sec_n, char code, std::string& label, int& log_flag, int& is_adcp,
               const DiveTable& dives, std::string_view var4_name);

struct Variable;

// The values of one variable without labels or questions, as load_sec_
// loads them (no log10).
void load_values(miscli::RaggedArray2<float>& sec_val, miscli::RaggedArray2<float>& sec_z, int first, int last,
                 miscli::Array1<int>& sec_n, const Variable* var, const DiveTable& dives);

}  // namespace data
