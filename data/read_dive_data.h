#pragma once
// The answer to the file question: a dive file, a netCDF file, a folder of
// netCDF files or a pattern; the reader is chosen by the file's first bytes.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/dive_table.h"

namespace data {

// Whether bytes start a netCDF file: CDF\1, CDF\2 or CDF\5 (classic), or
// the HDF5 signature (netCDF-4).
bool starts_netcdf(std::span<const char> first_bytes);
bool is_netcdf_file(const std::string& path);

// The files a typed name stands for, in name order: a folder gives its
// files ending in .nc (any case); a name with * or ? that is not itself a
// file gives the files it matches; anything else is the one file named.
// `set` tells whether the name was a folder or a pattern.
std::vector<std::string> files_named(const std::string& name, bool& set);

// The answer to the file question that names several files at once, as
// the command line does: their names joined by '\0', which no path holds.
// And back: the names an answer holds (one for a typed answer).
std::string answer_naming(std::span<const std::string> names);
std::vector<std::string> names_in_answer(std::string_view answer);

// Reads what the name stands for into the table: one dive file with the
// dive file reader, or netCDF files with the glider netCDF reader; names
// given together are netCDF files read as one mission, in their order. A
// folder or pattern naming no file, or a set with a file that is not
// netCDF, stops the program with one console line naming it.
void read_dive_data(std::string_view typed, FileHeader& header, DiveTable& t);

}  // namespace data
