#pragma once
// Missing values: the fills the readers write into the dive table and the
// thresholds that tell a fill from a value further on. One place, so that
// a reader, the gridding and the plots cannot disagree on them.

namespace data {

// Samples, profiler bins and section values.
inline constexpr float SAMPLE_FILL = -999.9f;
// Below this a value or a vertical coordinate is a fill (the gridding, the
// contours, the section's range); a longitude above it is a position.
inline constexpr float MISSING_BELOW = -990.0f;
inline constexpr float KNOWN_LON = MISSING_BELOW;
// The colour plot's and the label editor's threshold: at or below it a
// grid value is missing. A converted pressure without a density takes it.
inline constexpr float GRID_MISSING = -999.0f;
// The gridding counts only samples above this for the colour variable.
inline constexpr float COLOUR_SAMPLE_ABOVE = -99.9f;

// The dive header's fills, as the dive file leaves a field it does not give.
inline constexpr int YEAR_FILL = -999;
inline constexpr float DAY_FILL = -9.99f;
inline constexpr float LON_FILL = -999.0f;
inline constexpr float LAT_FILL = -99.9f;
inline constexpr float HEADER_FILL = -99.9f;  // the dive's weight in a gap of the track

}  // namespace data
