#include "data/units.h"

#include <gtest/gtest.h>

TEST(Units, PrintedAsFiguresPrintThem) {
    const std::pair<const char*, const char*> rows[] = {
        {"degree_Celsius", "°C"},  {"degC", "°C"},           {"kg m-3", "kg m⁻³"},   {"kg/m3", "kg m⁻³"},
        {"kg/m^3", "kg m⁻³"},      {"umol/kg", "µmol kg⁻¹"}, {"umol kg-1", "µmol kg⁻¹"}, {"m s-1", "m s⁻¹"},
        {"mg m-3", "mg m⁻³"},      {"1", ""},                {"PSU", ""},            {"1e-3", ""},
        {"m-1 sr-1", "m⁻¹ sr⁻¹"},  {"dbar", "dbar"},         {"furlongs", "furlongs"},
    };
    for (const auto& [units, printed] : rows) EXPECT_EQ(data::printed_unit(units), printed) << units;

    // The file's long name and units win; else the registry's title and unit.
    data::FileHeader h;
    h.column(2) = {"TEMP", "sea water temperature", "degree_Celsius"};
    h.column(4) = {"CHLA", "", "mg m-3"};
    EXPECT_EQ(data::variable_title(*data::find_variable('T'), h), "Sea water temperature, °C");
    EXPECT_EQ(data::variable_title(*data::find_variable('4'), h), "CHLA, mg m⁻³");
    EXPECT_EQ(data::variable_title(*data::find_variable('S'), h), "Salinity");
    EXPECT_EQ(data::variable_title(*data::find_variable('D'), h), "σθ, kg m⁻³");
}
