// The contour label store, its redrawing and the label editor.
#include "section/contour_labels.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "daz/input.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/console.h"
#include "miscli/strings.h"
#include "section/pix_plot.h"

namespace section {

Labstore labstore;

namespace {

constexpr float kHeight = 0.1f;
constexpr std::string_view kMainPrompt = "(A)sk value, (M)ove, (K)ill, (Q)uit";
constexpr std::string_view kPlacePrompt = "  mar(K) Lower Left or (S)kip";
constexpr std::string_view kMovePrompt = "mar(K) Lower Left corner";

// Notes shown ahead of the main prompt after an A that adds nothing.
constexpr std::string_view kStoreFull = "No room for more labels: 100 are stored.  ";
constexpr std::string_view kNoLevels = "No contour levels to label.  ";
constexpr std::string_view kNoValue = "No value at that point.  ";

int clamp_count(int label_count) { return std::clamp(label_count, 0, MXLAB); }

std::string_view text_of(const ContourLabel& l) {
    return {l.text.data(), static_cast<std::size_t>(std::clamp(l.length, 0, 8))};
}

// A key from ginch_, upper case; 'Q' if nothing came (no window to ask).
char next_key(float& x, float& y) {
    char key = 'Q';
    daz::ginch_(x, y, key);
    miscli::ucase_(key);
    return key;
}

// The first index of the smallest |a(i) - v|, below `start`; 0 when none is.
template <class Get>
int nearest(int from, int to, float v, float start, Get a) {
    int best = 0;
    float dist = start;
    for (int i = from; i <= to; ++i) {
        const float d = std::fabs(a(i) - v);
        if (d < dist) {
            dist = d;
            best = i;
        }
    }
    return best;
}

// Why A added nothing, or empty when it made a label in the next free slot.
std::string_view ask_value(const LabelField& f, float x, float y, int label_count) {
    if (f.levels.empty()) return kNoLevels;
    if (label_count >= MXLAB) return kStoreFull;
    const int n_z = std::min(static_cast<int>(f.level_y.size()), f.grid.dim1());
    const int first = std::max(f.first, 1);
    const int last = std::min({f.last, f.grid.dim2(), f.station_x.size()});
    const int k = nearest(1, n_z, y, 100.0f, [&](int i) { return f.level_y[static_cast<std::size_t>(i - 1)]; });
    const int j = nearest(first, last, x, 100.0f, [&](int i) { return frame_x(f.station_x(i)); });
    if (k == 0 || j == 0) return kNoValue;
    const float g = f.grid(k, j);
    if (!(g > f.missing)) return kNoValue;
    const int m = nearest(1, static_cast<int>(f.levels.size()), g, 1.0e10f,
                          [&](int i) { return f.levels[static_cast<std::size_t>(i - 1)]; });
    if (m == 0) return kNoValue;

    ContourLabel& l = labstore.labels[static_cast<std::size_t>(label_count)];
    std::string text(8, ' ');
    int n = 0;
    wr_label_(f.levels[static_cast<std::size_t>(m - 1)], text, n);
    std::copy_n(text.begin(), 8, l.text.begin());
    l.length = n;
    return {};
}

// The stored label nearest to (x, y), 0 when the store is empty.
int nearest_label(float x, float y, int label_count) {
    int best = 0;
    float dist = 100.0f;
    for (int i = 1; i <= label_count; ++i) {
        const ContourLabel& l = labstore.labels[static_cast<std::size_t>(i - 1)];
        const float d = std::hypot(l.x - x, l.y - y);
        if (d < dist) {
            dist = d;
            best = i;
        }
    }
    return best;
}

}  // namespace

void draw_label(const ContourLabel& l) { daz::letter_(l.x, l.y, kHeight, 0.0f, text_of(l)); }

void draw_labels(int label_count) {
    const int n = clamp_count(label_count);
    for (int i = 0; i < n; ++i) draw_label(labstore.labels[static_cast<std::size_t>(i)]);
}

void edit_labels(const LabelField& field, int& label_count) {
    // ginch_ answers nothing on the hardcopy: asking there would never end.
    if (daz::devcom.device_code != 'S') return;
    label_count = clamp_count(label_count);
    std::string_view note;
    std::string prompt;
    for (;;) {
        prompt.assign(note);
        prompt += kMainPrompt;
        daz::scrtxt_(prompt, {miscli::QuestionId::EditorMain, {}, note});
        note = {};
        float x = 0.0f, y = 0.0f;
        const char key = next_key(x, y);
        miscli::console().write_prompt("  ");
        if (key == 'Q') return;

        if (key == 'A') {
            note = ask_value(field, x, y, label_count);
            if (!note.empty()) continue;
            ContourLabel& l = labstore.labels[static_cast<std::size_t>(label_count)];
            prompt.assign(text_of(l));
            prompt += kPlacePrompt;
            daz::scrtxt_(prompt, miscli::QuestionId::EditorPlace);
            float px = x, py = y;
            if (next_key(px, py) == 'K') {
                l.x = px;
                l.y = py;
                draw_label(l);
                ++label_count;
            }
        } else if (key == 'M' || key == 'K') {
            const int i = nearest_label(x, y, label_count);
            if (i == 0) continue;
            ContourLabel& l = labstore.labels[static_cast<std::size_t>(i - 1)];
            if (key == 'K') {
                daz::rgbcolor_(1.0f, 1.0f, 1.0f);
                draw_label(l);
                daz::rgbcolor_(0.0f, 0.0f, 0.0f);
                l = labstore.labels[static_cast<std::size_t>(label_count - 1)];
                --label_count;
            } else {
                daz::scrtxt_(kMovePrompt, miscli::QuestionId::EditorMove);
                float px = x, py = y;
                if (next_key(px, py) == 'K') {
                    l.x = px;
                    l.y = py;
                }
                draw_label(l);
            }
        }
    }
}

}  // namespace section
