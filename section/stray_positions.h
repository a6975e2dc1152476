#pragma once
// Positions that cannot be degrees: a latitude beyond -90..90 or a longitude
// beyond -180..360 (a file that writes ddmm.mmmm, say). They are taken out of
// the track before its distances are measured, and remembered so that the
// line refusing a section without distance can say what was wrong.
#include <cmath>
#include <string>

#include "data/missing.h"

#include "miscli/array.h"

namespace section {

struct StrayPositions {
    int count = 0;                   // values taken out
    float lat_extreme = 0.0f;        // the stray latitude farthest from 0 [file's unit]
    float lon_extreme = 0.0f;        // the stray longitude farthest from 0
    bool lat_stray = false, lon_stray = false;
    bool all_stray = false;          // no value of the file was a position in degrees
    bool like_degrees_minutes = true;  // every stray value reads as ddmm.mm
};

// Whether a dive end holds a position at all (not a reader's fill).
inline bool has_position(float lon, float lat) {
    return std::isfinite(lon) && std::isfinite(lat) && lon > data::KNOWN_LON && lat > -90.0f;
}

// Replaces each stray latitude or longitude of the n_dives dives, with its
// partner, by the fills of a missing position (-99.9, -999.0).
StrayPositions drop_stray_positions(miscli::Array1<float>& lon_start, miscli::Array1<float>& lat_start,
                                    miscli::Array1<float>& lon_end, miscli::Array1<float>& lat_end, int n_dives);

// "latitudes up to 4839.1 are outside -90..90; are they ddmm.mm?", or empty
// when nothing was stray.
std::string stray_note(const StrayPositions& stray);

}  // namespace section
