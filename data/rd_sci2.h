#pragma once
#include <string_view>

#include "data/dive_table.h"

namespace data {

// Reads the dive file into the dive table, after filling the table with fill
// values. A file that cannot be opened gives its console line (no such
// file, or the system's reason) and header.n_dives = 0; every other fault
// of the file stops the program with the line that names it and the file.
// It is given the files that are not netCDF: one whose first line is not a
// dive file's header is neither. Each dive's salinity and fourth-variable
// offsets are added to its good samples.
void rd_sci2_(std::string_view file_name, FileHeader& header, DiveTable& dives);

}  // namespace data
