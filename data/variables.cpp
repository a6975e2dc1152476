#include "data/variables.h"

#include <algorithm>
#include <vector>

#include "miscli/two_threads.h"

#include "seawater/seawater.h"

namespace data {

bool sample_sigma_theta(const DiveTable& t, int k, int d, float& value) {
    if (std::max(t.prof_flag(k, d, 2), t.prof_flag(k, d, 3)) != 0) return false;
    value = t.sigma_theta.dim2() >= d ? t.sigma_theta(k, d)
                                      : seawater::sigma_(t.prof(k, d, 3), t.prof(k, d, 2), t.prof(k, d, 1), 0.0f);
    return true;
}

void work_out_sigma_theta(DiveTable& t, int n_dives) {
    if (t.sigma_theta.dim2() >= n_dives) return;
    std::vector<int> lengths(static_cast<std::size_t>(n_dives));
    for (int d = 1; d <= n_dives; ++d) lengths[static_cast<std::size_t>(d - 1)] = t.n_samp(d);
    miscli::RaggedArray2<float> sigma(lengths, 0.0f);
    miscli::split_over_two_threads(1, n_dives, [&](int d) { return t.n_samp(d); }, [&](int first, int last) {
        for (int d = first; d <= last; ++d)
            for (int k = 1; k <= t.n_samp(d); ++k)
                if (std::max(t.prof_flag(k, d, 2), t.prof_flag(k, d, 3)) == 0)
                    sigma(k, d) = seawater::sigma_(t.prof(k, d, 3), t.prof(k, d, 2), t.prof(k, d, 1), 0.0f);
    });
    t.sigma_theta = std::move(sigma);
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
