#pragma once
// The question that picks a netCDF file's fourth variable.
#include <string>
#include <vector>

namespace data {

// Asks on the console " Fourth variable (Enter for FIRST): NAME NAME ..."
// (the list cut to about 200 characters) until the answer is a name of the
// list in any case, or empty for the first; a name not in the list is
// refused with the reason and asked again. Gives the index of the name
// chosen. `names` must not be empty.
std::size_t ask_fourth_variable(const std::vector<std::string>& names);

}  // namespace data
