#pragma once
// TEOS-10 values of a dive's samples, for the variable registry: Absolute
// Salinity, Conservative Temperature, sigma-0 and spiciness-0 of sample k of
// dive d, each false where temperature or salinity is not good.
#include <optional>

#include "data/dive_table.h"

namespace data {

struct Position {
    double lon;  // [deg E], -180..180
    double lat;  // [deg N]
};

// Where a dive was: the middle of its start and end positions (across 180
// degrees the short way), or the one of them that is known; none when
// neither is (its Absolute Salinity is then the Reference Salinity).
std::optional<Position> dive_position(const DiveTable& t, int d);

// Works out the Absolute Salinity and Conservative Temperature of every
// sample of dives 1..n_dives into the table, on two threads, unless they
// are there already; the samples must be in their final order.
void work_out_teos10(DiveTable& t, int n_dives);

// The sea pressure of a sample [dbar], also while column 1 holds density.
float sample_pressure(const DiveTable& t, int k, int d);

bool sample_absolute_salinity(const DiveTable& t, int k, int d, float& value);
bool sample_conservative_temperature(const DiveTable& t, int k, int d, float& value);
bool sample_sigma0(const DiveTable& t, int k, int d, float& value);
bool sample_spiciness0(const DiveTable& t, int k, int d, float& value);
// The sample's pressure as a value, where it has one.
bool sample_pressure_value(const DiveTable& t, int k, int d, float& value);

}  // namespace data
