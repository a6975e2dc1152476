#pragma once
// Records the strokes of letter_ and glyph_ in place of the plot device.
#include <vector>

#include "daz/letter_pen.h"
#include "daz/stroke_text.h"

namespace letter_testing {

struct Stroke {
    float x, y;
    int pen;
};

inline std::vector<Stroke>& recorded() {
    static std::vector<Stroke> strokes;
    return strokes;
}

inline void record(float x, float y, int pen) { recorded().push_back({x, y, pen}); }

// While alive: strokes go to recorded(), the font starts as simplex.
class Recording {
public:
    Recording() : old_(daz::set_letter_pen(&record)) {
        recorded().clear();
        daz::ofset.font = 0;
    }
    ~Recording() {
        daz::set_letter_pen(old_);
        daz::ofset.font = 0;
    }
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // The strokes so far, then forgotten.
    std::vector<Stroke> take() {
        std::vector<Stroke> s;
        s.swap(recorded());
        return s;
    }

private:
    daz::LetterPen old_;
};

}  // namespace letter_testing
