#pragma once
// A classic netCDF file built in memory from CDL text, through the netCDF
// library's own writer, so what it holds is always a well-formed file. It
// takes the part of CDL the test files use: dimensions, variables of the
// classic types with attributes, global attributes, and data ("_" for the
// fill, NaN, strings for characters). Sizes are capped to keep each file
// small.
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace fuzz {

// The file's bytes; nullopt when the text is not CDL of that kind or the
// library refuses what it describes.
std::optional<std::vector<std::byte>> cdl_to_netcdf(std::string_view cdl);

}  // namespace fuzz
