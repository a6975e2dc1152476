#pragma once
// Contour labels: numbers the user places by hand on the screen. They live
// in one static store that outlives the plot, so the next drawing of the
// same section (the hardcopy after the screen) shows them at the same page
// positions. The caller keeps the count (label_count); resetting it to 0
// empties the store.
#include <array>
#include <span>
#include <string>

#include "miscli/array.h"

namespace section {

inline constexpr int MXLAB = 100;  // labels the store holds

struct ContourLabel {
    float x = 0.0f, y = 0.0f;     // lower-left corner, page inches
    std::array<char, 8> text{};   // the first `length` characters count
    int length = 0;
};

// The label store; entries 1..label_count are labels[0..label_count-1].
struct Labstore {
    std::array<ContourLabel, MXLAB> labels{};
};
extern Labstore labstore;

// The value as a short label text at the start of `text` (a blank-padded
// field of at least 8 characters; a shorter one is widened to 8): F8.3
// without leading blanks, trailing zeros or a bare point, e.g. 25.5, 100,
// -1, 0; eight asterisks when it does not fit. n = its length.
void wr_label_(float value, std::string& text, int& n);

// Draws stored labels 1..label_count, height 0.1, in the current colour.
void draw_labels(int label_count);
// Draws one label as draw_labels does.
void draw_label(const ContourLabel& label);

// What the editor reads of the contoured field.
struct LabelField {
    std::span<const float> level_y;          // page y of grid levels 1..n
    const miscli::Array2<float>& grid;       // G(k, j)
    const miscli::Array1<float>& station_x; // X(j)
    int first, last;                         // profiles j
    std::span<const float> levels;           // contour levels, increasing
    float missing;                           // values at or below are missing
};

// The label editor in the graphics window: "(A)sk value, (M)ove, (K)ill,
// (Q)uit" until Q. A asks the nearest contour level at the pointer and lets
// the user place it (K) or skip it; M moves and K kills the nearest label.
// label_count is updated. Screen only: returns at once on the hardcopy.
void edit_labels(const LabelField& field, int& label_count);

}  // namespace section
