#pragma once
#include <string_view>

#include "data/dive_table.h"

namespace data {

// Reads the dive file into the dive table, after filling the table with fill
// values. A file that cannot be opened gives its console line and
// header.n_dives = 0; every other fault of the file stops the program with
// the line that names it.
void rd_sci2_(std::string_view file_name, FileHeader& header, DiveTable& dives);

}  // namespace data
