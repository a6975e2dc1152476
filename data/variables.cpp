#include "data/variables.h"

#include <algorithm>

#include "data/missing.h"
#include "seawater/seawater.h"

namespace data {

bool sample_sigma_theta(const DiveTable& t, int k, int d, float& value) {
    if (std::max(t.prof_flag(k, d, 2), t.prof_flag(k, d, 3)) != 0) return false;
    value = seawater::sigma_(t.prof(k, d, 3), t.prof(k, d, 2), t.prof(k, d, 1), 0.0f);
    return true;
}

void profile_sigma_theta(const DiveTable& t, int d, std::span<float> out) {
    const int n = t.n_samp(d);
    seawater::sigma_theta_of(t.prof.column(d, 3).data(), t.prof.column(d, 2).data(), t.prof.column(d, 1).data(),
                             out.data(), n);
    for (int k = 1; k <= n; ++k)
        if (std::max(t.prof_flag(k, d, 2), t.prof_flag(k, d, 3)) != 0) out[static_cast<std::size_t>(k - 1)] = SAMPLE_FILL;
}

const Variable* find_variable(char letter) {
    for (const Variable& v : kVariables)
        if (v.letter == letter) return &v;
    return nullptr;
}

bool is_teos10(char letter) {
    const Variable* v = find_variable(letter);
    return v && v->teos10;
}

LogPhrases log_phrases(bool teos10_offered) {
    LogPhrases p;
    for (const Variable& v : kVariables) {
        if (!v.log_question || (v.teos10 && !teos10_offered)) continue;
        p.names += (p.names.empty() ? "" : " or the ") + std::string(v.name);
        p.options += std::string(p.options.empty() ? "" : " or ") + "--color " + v.letter + " or --contour " + v.letter;
    }
    return p;
}

std::string variable_letters(bool teos10_offered) {
    std::string letters;
    for (const Variable& v : kVariables)
        if (teos10_offered || !v.teos10) letters += v.letter;
    return letters;
}

std::string listed_letters(char marked, std::string_view mark, bool teos10_offered) {
    std::string list;
    for (const Variable& v : kVariables) {
        if (!teos10_offered && v.teos10) continue;
        if (!list.empty()) list += ", ";
        list += v.letter;
        if (v.letter == marked) list += mark;
    }
    return list;
}

}  // namespace data
