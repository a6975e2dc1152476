#pragma once
// Units and names as a figure prints them: a CF or UDUNITS units text
// ("degree_Celsius", "kg m-3", "umol/kg", "m s^-1") in its usual printed
// form ("°C", "kg m⁻³", "µmol kg⁻¹", "m s⁻¹"), and a variable's full title.
#include <string>
#include <string_view>

#include "data/dive_table.h"
#include "data/variables.h"

namespace data {

// The printed form of a units text, in UTF-8; empty for a dimensionless
// one ("1", "PSU", "PSS-78", "1e-3"). A text it does not know is kept.
std::string printed_unit(std::string_view units);

// "Temperature, °C": the variable's long name (the file's, else its title
// in the registry, the file's own name for the fourth variable), with its
// first letter in capitals, and its printed unit (the file's, else the
// registry's) after a comma.
std::string variable_title(const Variable& v, const FileHeader& header);

}  // namespace data
