#pragma once
// Guards on the sizes of the tables. Storage is sized by what a file holds;
// these only refuse files far beyond real missions (and beyond memory).
namespace data {
inline constexpr int MXZ = 100000;   // samples or profiler bins per dive
inline constexpr int MXPR = 100000;  // dives per file; profiles per section
inline constexpr int MXLEV = 10000;  // grid levels of a section
inline constexpr int MXSAMP = 100000000;  // samples of one netCDF file (a mission has millions)
}  // namespace data
