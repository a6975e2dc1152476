// wr_label_: the short text of a contour value, for labels and the
// interval line.
#include <algorithm>

#include "miscli/fixed_format.h"
#include "section/contour_labels.h"

namespace section {

void wr_label_(float value, std::string& text, int& n) {
    constexpr int kWidth = 8;
    if (text.size() < kWidth) text.resize(kWidth, ' ');
    const std::string f = miscli::fmt_f(value, kWidth, 3);
    std::fill(text.begin(), text.end(), ' ');
    std::copy(f.begin(), f.end(), text.begin());

    int p = 1;  // first non-blank, 1-based
    while (p < kWidth && text[static_cast<std::size_t>(p - 1)] == ' ') ++p;
    // Back over trailing blanks and zeros; a point ends the scan one place
    // earlier so that "100.000" keeps its zeros but loses the point.
    int q = kWidth;
    bool found = false;
    for (int i = kWidth; i >= p; --i) {
        const char c = text[static_cast<std::size_t>(i - 1)];
        if (c == ' ' || c == '0') continue;
        q = c == '.' ? i - 1 : i;
        found = true;
        break;
    }
    if (!found) q = kWidth;
    if (q < p) q = p;  // a lone point cannot come out of F8.3; stay safe
    n = q - p + 1;
    // Nothing behind the n characters is meant to be read; blank it all.
    const std::string kept = text.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(n));
    std::fill(text.begin(), text.end(), ' ');
    std::copy(kept.begin(), kept.end(), text.begin());
}

}  // namespace section
