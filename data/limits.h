#pragma once
// The limits that size the dive table, the section arrays and the grids.
namespace data {
inline constexpr int MXZ = 500;   // samples or profiler bins per dive; grid levels
inline constexpr int MXPR = 800;  // dives per file; profiles per section
}  // namespace data
